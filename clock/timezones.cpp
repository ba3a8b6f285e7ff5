#include "clock/timezones.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/registry.h"
#include "base/text.h"

namespace vt {

namespace {
constexpr size_t kTziSize = 44;

std::int32_t ReadInt32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

ZoneTransition ReadTransition(const std::uint8_t* p) {
    std::uint16_t w[8];
    std::memcpy(w, p, sizeof w);
    return ZoneTransition{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]};
}

ZoneTransition FromSystemTime(const SYSTEMTIME& st) {
    return ZoneTransition{st.wYear, st.wMonth, st.wDayOfWeek, st.wDay, st.wHour, st.wMinute, st.wSecond,
                          st.wMilliseconds};
}

SYSTEMTIME ToSystemTime(const ZoneTransition& r) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(r.year);
    st.wMonth = static_cast<WORD>(r.month);
    st.wDayOfWeek = static_cast<WORD>(r.dayOfWeek);
    st.wDay = static_cast<WORD>(r.day);
    st.wHour = static_cast<WORD>(r.hour);
    st.wMinute = static_cast<WORD>(r.minute);
    st.wSecond = static_cast<WORD>(r.second);
    st.wMilliseconds = static_cast<WORD>(r.milliseconds);
    return st;
}

// The record's name fields hold 31 characters and a terminating zero; a longer registry text is cut.
template <size_t N>
void CopyBounded(WCHAR (&dest)[N], std::wstring_view source) {
    size_t n = std::min(source.size(), N - 1);
    std::copy_n(source.data(), n, dest);
    std::fill(dest + n, dest + N, L'\0');
}

std::wstring RemoveNoCase(std::wstring_view s, std::wstring_view what) {
    std::wstring out;
    size_t i = 0;
    while (i < s.size()) {
        if (s.size() - i >= what.size() && EqualsNoCaseAscii(s.substr(i, what.size()), what)) {
            i += what.size();
        } else {
            out.push_back(s[i++]);
        }
    }
    return out;
}
}  // namespace

ZoneRules TWvRegistryTimeZone::Rules() const { return RulesFromTimeZoneInformation(TimeZoneInfo); }

std::optional<ZoneRules> ParseTzi(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != kTziSize) return std::nullopt;
    ZoneRules r;
    r.bias = ReadInt32(&bytes[0]);
    r.standardBias = ReadInt32(&bytes[4]);
    r.daylightBias = ReadInt32(&bytes[8]);
    r.standardDate = ReadTransition(&bytes[12]);
    r.daylightDate = ReadTransition(&bytes[28]);
    return r;
}

ZoneRules RulesFromTimeZoneInformation(const TIME_ZONE_INFORMATION& tzi) {
    ZoneRules r;
    r.bias = tzi.Bias;
    r.standardBias = tzi.StandardBias;
    r.daylightBias = tzi.DaylightBias;
    r.standardDate = FromSystemTime(tzi.StandardDate);
    r.daylightDate = FromSystemTime(tzi.DaylightDate);
    return r;
}

TIME_ZONE_INFORMATION TimeZoneInformationFromRules(const ZoneRules& rules, std::wstring_view standardName,
                                                   std::wstring_view daylightName) {
    TIME_ZONE_INFORMATION tzi{};
    tzi.Bias = rules.bias;
    tzi.StandardBias = rules.standardBias;
    tzi.DaylightBias = rules.daylightBias;
    tzi.StandardDate = ToSystemTime(rules.standardDate);
    tzi.DaylightDate = ToSystemTime(rules.daylightDate);
    CopyBounded(tzi.StandardName, standardName);
    CopyBounded(tzi.DaylightName, daylightName);
    return tzi;
}

int GmtOffsetFromDisplayName(std::wstring_view displayName) {
    // Windows since 7 (and Wine) write "(UTC+01:00)" where older ones wrote "(GMT+01:00)".
    std::wstring s = RemoveNoCase(RemoveNoCase(displayName, L"(GMT"), L"(UTC");
    s.erase(std::remove(s.begin(), s.end(), L':'), s.end());
    // p counts the characters before the first ")"; -1 without one, which then reads no number.
    size_t close = s.find(L')');
    long long p = close == std::wstring::npos ? -1 : static_cast<long long>(close);
    int number = 0;
    if (p > 0) {
        auto n = ParseInt(std::wstring_view(s).substr(0, static_cast<size_t>(p)));
        if (n && *n >= INT_MIN / 2 && *n <= INT_MAX / 2) number = static_cast<int>(*n);
    }
    // The first character after ") "; a name too short to have one adds nothing.
    size_t next = static_cast<size_t>(p + 2);
    int code = next < s.size() ? static_cast<int>(s[next]) : 0;
    return number + code;
}

int CompareTimeZones(const TWvRegistryTimeZone& a, const TWvRegistryTimeZone& b) {
    int ka = GmtOffsetFromDisplayName(a.DisplayName), kb = GmtOffsetFromDisplayName(b.DisplayName);
    if (ka != kb) return ka < kb ? -1 : 1;
    if (int c = a.DisplayName.compare(b.DisplayName)) return c < 0 ? -1 : 1;
    if (int c = a.KeyName.compare(b.KeyName)) return c < 0 ? -1 : 1;
    return 0;
}

void SortTimeZones(std::vector<TWvRegistryTimeZone>& zones) {
    std::stable_sort(zones.begin(), zones.end(),
                     [](const auto& a, const auto& b) { return CompareTimeZones(a, b) < 0; });
}

std::vector<TWvRegistryTimeZone> ReadRegistryTimeZones(HKEY root, const std::wstring& path) {
    std::vector<TWvRegistryTimeZone> zones;
    RegKey list = RegKey::Open(root, path, KEY_READ);
    if (!list) return zones;
    for (const std::wstring& name : list.SubKeyNames()) {
        RegKey key = RegKey::Open(list.get(), name, KEY_READ);
        if (!key) continue;
        auto tzi = key.ReadBinary(L"TZI");
        if (!tzi) continue;
        auto rules = ParseTzi(*tzi);
        if (!rules) continue;
        TWvRegistryTimeZone zone;
        zone.TimeZoneInfo = TimeZoneInformationFromRules(*rules, key.ReadString(L"Std").value_or(L""),
                                                         key.ReadString(L"Dlt").value_or(L""));
        zone.StandardName = name;
        zone.DisplayName = key.ReadString(L"Display").value_or(L"");
        zone.KeyName = name;
        zones.push_back(std::move(zone));
    }
    return zones;
}

TWvRegistryTimeZones::TWvRegistryTimeZones() { Reload(); }

TWvRegistryTimeZones::TWvRegistryTimeZones(HKEY root, const std::wstring& path) { Reload(root, path); }

TWvRegistryTimeZones::TWvRegistryTimeZones(std::vector<TWvRegistryTimeZone> zones) : zones_(std::move(zones)) {
    SortTimeZones(zones_);
}

void TWvRegistryTimeZones::Reload() { Reload(HKEY_LOCAL_MACHINE, kTimeZonesKeyPath); }

void TWvRegistryTimeZones::Reload(HKEY root, const std::wstring& path) {
    zones_ = ReadRegistryTimeZones(root, path);
    SortTimeZones(zones_);
}

const TWvRegistryTimeZone* TWvRegistryTimeZones::Zone(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &zones_[static_cast<size_t>(index)];
}

std::optional<TDateTime> TWvRegistryTimeZones::ZoneTimeFromUtc(int index, TDateTime utcNow) const {
    const TWvRegistryTimeZone* zone = Zone(index);
    if (!zone) return std::nullopt;
    return vt::UTCToZoneLocal(zone->Rules(), utcNow);
}

const TWvRegistryTimeZones& TimeZoneList() {
    static const TWvRegistryTimeZones list;
    return list;
}

int TimeZoneCount() { return TimeZoneList().Count(); }

bool GetTimeZone(int index, std::wstring& standardName, std::wstring& displayName, TIME_ZONE_INFORMATION& tzi) {
    const TWvRegistryTimeZone* zone = TimeZoneList().Zone(index);
    if (!zone) return false;
    standardName = zone->StandardName;
    displayName = zone->DisplayName;
    tzi = zone->TimeZoneInfo;
    return true;
}

std::optional<TDateTime> ZoneLocalToUTC(const TIME_ZONE_INFORMATION& zone, bool preferDaylight, TDateTime local) {
    return ZoneLocalToUTC(RulesFromTimeZoneInformation(zone), preferDaylight, local);
}

TDateTime UTCToZoneLocal(const TIME_ZONE_INFORMATION& zone, TDateTime utc) {
    return UTCToZoneLocal(RulesFromTimeZoneInformation(zone), utc);
}

std::optional<TDateTime> LocalToUTC(bool preferDaylight, TDateTime local) {
    TIME_ZONE_INFORMATION tzi{};
    if (GetTimeZoneInformation(&tzi) == TIME_ZONE_ID_INVALID) tzi = TIME_ZONE_INFORMATION{};
    return ZoneLocalToUTC(tzi, preferDaylight, local);
}

std::optional<TDateTime> ZoneTimeFromUtc(int index, TDateTime utcNow) {
    return TimeZoneList().ZoneTimeFromUtc(index, utcNow);
}

void FillZoneList(HWND listBox) {
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    // Inserted at the end even into a sorted list box, so that an item index stays a zone index.
    for (const TWvRegistryTimeZone& zone : TimeZoneList().Zones()) {
        SendMessageW(listBox, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(zone.DisplayName.c_str()));
    }
}

}  // namespace vt
