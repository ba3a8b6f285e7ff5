#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/now.h"
#include "base/text.h"
#include "clock/timezones.h"

using namespace vt;

namespace {
TDateTime At(int y, int mo, int d, int h, int mi, int s = 0) { return EncodeDateTime(y, mo, d, h, mi, s); }

struct NamedZone {
    const char* name;
    ZoneRules rules;
};

// Northern and southern zones, one with a US-style rule, one switching at midnight (its repeated hour lies
// on the day before) and one whose "daylight" bias is larger than the standard one (the clock goes back
// when that period starts). Wine compares transitions at whole minutes, so rules at the day's last
// millisecond are checked by hand in the rule tests only.
const NamedZone kZones[] = {
    {"Berlin", {-60, 0, -60, {0, 10, 0, 5, 3, 0, 0, 0}, {0, 3, 0, 5, 2, 0, 0, 0}}},
    {"Sydney", {-600, 0, -60, {0, 4, 0, 1, 3, 0, 0, 0}, {0, 10, 0, 1, 2, 0, 0, 0}}},
    {"Los Angeles", {480, 0, -60, {0, 11, 0, 1, 2, 0, 0, 0}, {0, 3, 0, 2, 2, 0, 0, 0}}},
    {"Asuncion", {240, 0, -60, {0, 3, 0, 4, 0, 0, 0, 0}, {0, 10, 0, 1, 0, 0, 0, 0}}},
    {"Negative", {-60, 0, 60, {0, 3, 0, 5, 2, 0, 0, 0}, {0, 10, 0, 5, 3, 0, 0, 0}}},
};

TIME_ZONE_INFORMATION Tzi(const ZoneRules& r) { return TimeZoneInformationFromRules(r, L"Std", L"Dlt"); }

std::int64_t SystemUtcToLocal(const TIME_ZONE_INFORMATION& tzi, TDateTime utc) {
    SYSTEMTIME u = DateTimeToSystemTime(utc), l{};
    EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(&tzi, &u, &l));
    return DateTimeToMSecs(SystemTimeToDateTime(l));
}

std::int64_t SystemLocalToUtc(const TIME_ZONE_INFORMATION& tzi, TDateTime local) {
    SYSTEMTIME l = DateTimeToSystemTime(local), u{};
    EXPECT_TRUE(TzSpecificLocalTimeToSystemTime(&tzi, &l, &u));
    return DateTimeToMSecs(SystemTimeToDateTime(u));
}

// The local hours that are repeated and skipped around the year's transitions, as [from, to).
struct Gaps {
    TDateTime repeatedFrom, repeatedTo, skippedFrom, skippedTo;
};
Gaps GapsOf(const DaylightPeriod& p) {
    double shift = (p.standardBias - p.daylightBias) / kMinutesPerDay;
    if (p.daylightBias < p.standardBias)
        return {p.standardStart - shift, p.standardStart, p.daylightStart, p.daylightStart + shift};
    return {p.daylightStart + shift, p.daylightStart, p.standardStart, p.standardStart - shift};
}
bool InGap(TDateTime t, TDateTime from, TDateTime to) { return t >= from - 1e-9 && t < to - 1e-9; }

class FakeNow final : public INow {
public:
    FakeNow(TDateTime local, TDateTime utc) : local_(local), utc_(utc) {}
    TDateTime Now() const override { return local_; }
    TDateTime UtcNow() const override { return utc_; }
    std::uint64_t TickCount64() const override { return 0; }
private:
    TDateTime local_, utc_;
};

TWvRegistryTimeZone MakeZone(std::wstring key, std::wstring display, ZoneRules rules = {}) {
    TWvRegistryTimeZone z;
    z.KeyName = z.StandardName = std::move(key);
    z.DisplayName = std::move(display);
    z.TimeZoneInfo = Tzi(rules);
    return z;
}

std::vector<std::wstring> KeyNames(const TWvRegistryTimeZones& list) {
    std::vector<std::wstring> names;
    for (const auto& z : list.Zones()) names.push_back(z.KeyName);
    return names;
}

// A scratch key under the test prefix's HKCU, removed again by the destructor.
class ScratchKey {
public:
    ScratchKey() : path_(L"Software\\Dorminax\\VantoricTests\\Zones" + std::to_wstring(GetCurrentProcessId())) {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    ~ScratchKey() {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Dorminax\\VantoricTests");   // only when left empty
    }
    const std::wstring& path() const { return path_; }
    HKEY Sub(const std::wstring& name) {
        HKEY k = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, (path_ + L"\\" + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                        nullptr);
        return k;
    }
private:
    std::wstring path_;
};

void SetString(HKEY k, const wchar_t* name, const std::wstring& v) {
    RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
}

std::vector<std::uint8_t> TziBytes(const ZoneRules& r) {
    TIME_ZONE_INFORMATION t = Tzi(r);
    std::vector<std::uint8_t> b(44);
    std::memcpy(&b[0], &t.Bias, 4);
    std::memcpy(&b[4], &t.StandardBias, 4);
    std::memcpy(&b[8], &t.DaylightBias, 4);
    std::memcpy(&b[12], &t.StandardDate, 16);
    std::memcpy(&b[28], &t.DaylightDate, 16);
    return b;
}
}  // namespace

TEST(ZoneConversionAgainstSystem, UtcToLocalAtEveryTransitionPlusMinusOneSecond) {
    for (const NamedZone& zone : kZones) {
        TIME_ZONE_INFORMATION tzi = Tzi(zone.rules);
        for (int year = 2024; year <= 2028; ++year) {
            auto p = DaylightRange(zone.rules, year);
            ASSERT_TRUE(p) << zone.name;
            const TDateTime dsU = p->daylightStart + p->standardBias / kMinutesPerDay;
            const TDateTime ssU = p->standardStart + p->daylightBias / kMinutesPerDay;
            for (TDateTime base : {dsU, ssU}) {
                for (int s : {-1, 0, 1}) {
                    TDateTime utc = base + s * kOneSecond;
                    EXPECT_EQ(DateTimeToMSecs(UTCToZoneLocal(zone.rules, utc)), SystemUtcToLocal(tzi, utc))
                        << zone.name << " " << year << " offset " << s;
                }
            }
        }
    }
}

TEST(ZoneConversionAgainstSystem, LocalToUtcAtTheEdgesOfRepeatedAndSkippedHours) {
    for (const NamedZone& zone : kZones) {
        TIME_ZONE_INFORMATION tzi = Tzi(zone.rules);
        for (int year = 2024; year <= 2028; ++year) {
            Gaps g = GapsOf(*DaylightRange(zone.rules, year));
            // Just outside each gap the local time is unambiguous and both must agree.
            for (TDateTime local : {g.repeatedFrom - kOneSecond, g.repeatedTo, g.repeatedTo + kOneSecond,
                                    g.skippedFrom - kOneSecond, g.skippedTo, g.skippedTo + kOneSecond}) {
                auto ours = ZoneLocalToUTC(zone.rules, true, local);
                ASSERT_TRUE(ours) << zone.name;
                EXPECT_EQ(DateTimeToMSecs(*ours), SystemLocalToUtc(tzi, local)) << zone.name << " " << year;
                EXPECT_EQ(ZoneLocalToUTC(zone.rules, false, local), ours);
            }
        }
    }
}

TEST(ZoneConversionAgainstSystem, AgreesThroughoutTheYear) {
    for (const NamedZone& zone : kZones) {
        TIME_ZONE_INFORMATION tzi = Tzi(zone.rules);
        Gaps g = GapsOf(*DaylightRange(zone.rules, 2026));
        for (TDateTime t = At(2026, 1, 1, 0, 7); t < At(2027, 1, 1, 0, 0); t += 97 * kOneMinute + 13 * kOneSecond) {
            EXPECT_EQ(DateTimeToMSecs(UTCToZoneLocal(zone.rules, t)), SystemUtcToLocal(tzi, t)) << zone.name;
            if (InGap(t, g.repeatedFrom, g.repeatedTo) || InGap(t, g.skippedFrom, g.skippedTo)) continue;
            EXPECT_EQ(DateTimeToMSecs(*ZoneLocalToUTC(zone.rules, false, t)), SystemLocalToUtc(tzi, t)) << zone.name;
        }
    }
}

TEST(ZoneConversionAgainstSystem, EveryRegistryZoneAtItsTransitions) {
    const TWvRegistryTimeZones& list = TimeZoneList();
    ASSERT_GT(list.Count(), 50);
    int withDaylight = 0;
    for (const TWvRegistryTimeZone& zone : list.Zones()) {
        ZoneRules rules = zone.Rules();
        std::vector<TDateTime> instants = {At(2026, 1, 15, 12, 0), At(2026, 7, 15, 12, 0)};
        if (auto p = DaylightRange(rules, 2026)) {
            ++withDaylight;
            for (TDateTime base : {p->daylightStart + p->standardBias / kMinutesPerDay,
                                   p->standardStart + p->daylightBias / kMinutesPerDay})
                for (int s : {-1, 0, 1}) instants.push_back(base + s * kOneSecond);
        }
        for (TDateTime utc : instants)
            EXPECT_EQ(DateTimeToMSecs(UTCToZoneLocal(zone.TimeZoneInfo, utc)), SystemUtcToLocal(zone.TimeZoneInfo, utc))
                << Narrow(zone.KeyName);
    }
    EXPECT_GT(withDaylight, 10);
}

TEST(ZoneConversionAgainstSystem, LocalToUtcUsesTheMachinesZone) {
    TIME_ZONE_INFORMATION tzi{};
    GetTimeZoneInformation(&tzi);
    const TDateTime local = At(2026, 6, 1, 12, 0);
    EXPECT_EQ(DateTimeToMSecs(*LocalToUTC(true, local)), SystemLocalToUtc(tzi, local));
}

TEST(GmtOffsetFromDisplayName, ReadsOffsetAsHhmmPlusFirstPlaceLetter) {
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(GMT+05:30) Chennai, Kolkata"), 530 + 'C');
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(GMT-08:00) Pacific Time"), -800 + 'P');
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(GMT) Greenwich Mean Time"), 'G');
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(gmt+01:00) amsterdam"), 100 + 'a');
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(UTC+05:30) Chennai"), 530 + 'C');   // Windows 7 and later
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(utc-03:00) Brasilia"), -300 + 'B');
}

TEST(GmtOffsetFromDisplayName, OtherPrefixesCountAsOffsetZero) {
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(UT+05:30) Chennai"), 'C');
    EXPECT_EQ(GmtOffsetFromDisplayName(L"Coordinated Universal Time"), 'o');  // no ")": the second character
    EXPECT_EQ(GmtOffsetFromDisplayName(L""), 0);
    EXPECT_EQ(GmtOffsetFromDisplayName(L"(GMT+05:30)"), 530);                 // nothing after ") "
}

TEST(TimeZoneSort, OrdersByKeyThenDisplayThenKeyName) {
    TWvRegistryTimeZones list({MakeZone(L"Z", L"(GMT+05:30) Zanzibar"), MakeZone(L"A", L"(GMT+05:45) Almaty"),
                               MakeZone(L"P", L"(GMT-08:00) Pacific"), MakeZone(L"G", L"(GMT) Greenwich")});
    EXPECT_EQ(KeyNames(list), (std::vector<std::wstring>{L"P", L"G", L"A", L"Z"}));   // -720, 71, 610, 620
}

TEST(TimeZoneSort, EqualKeysHaveOneOrderWhateverTheInputOrder) {
    // All four keys are 65 ('A'); two even share their display name.
    std::vector<TWvRegistryTimeZone> zones = {
        MakeZone(L"Key 2", L"(UTC) Amsterdam"), MakeZone(L"Key 1", L"(UTC) Amsterdam"),
        MakeZone(L"Atlantic", L"(UTC) Atlantic -4"), MakeZone(L"Azores", L"(UTC) Atlantic -1")};
    std::sort(zones.begin(), zones.end(), [](const auto& a, const auto& b) { return a.KeyName < b.KeyName; });
    const std::vector<std::wstring> expected = {L"Key 1", L"Key 2", L"Azores", L"Atlantic"};
    do {
        EXPECT_EQ(KeyNames(TWvRegistryTimeZones(zones)), expected);
    } while (std::next_permutation(zones.begin(), zones.end(),
                                   [](const auto& a, const auto& b) { return a.KeyName < b.KeyName; }));
}

TEST(TimeZoneList, SameOrderOnEveryLoad) {
    TWvRegistryTimeZones first, second;
    ASSERT_GT(first.Count(), 50);
    EXPECT_EQ(KeyNames(first), KeyNames(second));
    EXPECT_EQ(KeyNames(first), KeyNames(TimeZoneList()));
    second.Reload();
    EXPECT_EQ(KeyNames(first), KeyNames(second));
    for (int i = 1; i < first.Count(); ++i) EXPECT_LT(CompareTimeZones(first.Zones()[i - 1], first.Zones()[i]), 0);
    EXPECT_EQ(first.Zones()[0].DisplayName.substr(0, 6), L"(UTC-1");   // west to east, not A to Z
}

TEST(TimeZoneList, ReadsZonesFromTheirKeysAndSkipsBadOnes) {
    ScratchKey scratch;
    const ZoneRules berlin = kZones[0].rules;
    auto tzi = TziBytes(berlin);
    {
        UniqueKey k(scratch.Sub(L"W. Europe"));
        RegSetValueExW(k.get(), L"TZI", 0, REG_BINARY, tzi.data(), 44);
        SetString(k.get(), L"Display", L"(GMT+01:00) Amsterdam, Berlin");
        SetString(k.get(), L"Std", L"A standard name that is far longer than thirty-one characters");
        SetString(k.get(), L"Dlt", L"Summer");
    }
    {
        UniqueKey k(scratch.Sub(L"Bare"));   // only a TZI: the names read as empty
        RegSetValueExW(k.get(), L"TZI", 0, REG_BINARY, tzi.data(), 44);
    }
    {
        UniqueKey k(scratch.Sub(L"Short"));
        RegSetValueExW(k.get(), L"TZI", 0, REG_BINARY, tzi.data(), 43);
        SetString(k.get(), L"Display", L"(GMT) Short");
    }
    {
        UniqueKey k(scratch.Sub(L"Text"));
        SetString(k.get(), L"TZI", std::wstring(21, L'x'));   // 44 bytes, but not binary
    }
    UniqueKey(scratch.Sub(L"Empty"));

    TWvRegistryTimeZones list(HKEY_CURRENT_USER, scratch.path());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Zone(0)->KeyName, L"Bare");   // key 0 sorts before 100 + 'A'
    EXPECT_EQ(list.Zone(0)->DisplayName, L"");
    const TWvRegistryTimeZone& z = *list.Zone(1);
    EXPECT_EQ(z.KeyName, L"W. Europe");
    EXPECT_EQ(z.StandardName, L"W. Europe");
    EXPECT_EQ(z.DisplayName, L"(GMT+01:00) Amsterdam, Berlin");
    EXPECT_EQ(std::wstring(z.TimeZoneInfo.StandardName), L"A standard name that is far lon");   // 31 characters
    EXPECT_EQ(std::wstring(z.TimeZoneInfo.DaylightName), L"Summer");
    EXPECT_EQ(z.Rules(), berlin);
    EXPECT_EQ(list.Zone(2), nullptr);
    EXPECT_EQ(list.Zone(-1), nullptr);

    EXPECT_EQ(TWvRegistryTimeZones(HKEY_CURRENT_USER, scratch.path() + L"\\Missing").Count(), 0);
}

TEST(TimeZoneList, TziOfAnyOtherSizeIsRejected) {
    auto bytes = TziBytes(kZones[1].rules);
    EXPECT_EQ(ParseTzi(bytes), kZones[1].rules);
    bytes.push_back(0);
    EXPECT_FALSE(ParseTzi(bytes));
    EXPECT_FALSE(ParseTzi({}));
}

TEST(TimeZoneList, GetTimeZoneAnswersOnlyInsideTheList) {
    std::wstring standard = L"keep", display = L"keep";
    TIME_ZONE_INFORMATION tzi{};
    EXPECT_FALSE(GetTimeZone(-1, standard, display, tzi));
    EXPECT_FALSE(GetTimeZone(TimeZoneCount(), standard, display, tzi));
    EXPECT_EQ(standard, L"keep");
    ASSERT_TRUE(GetTimeZone(TimeZoneCount() - 1, standard, display, tzi));
    EXPECT_EQ(display, TimeZoneList().Zones().back().DisplayName);
    EXPECT_EQ(standard, TimeZoneList().Zones().back().StandardName);
}

TEST(ZoneTime, TakenFromUtcNowEvenInTheHourAfterTheMachinesFallBack) {
    TWvRegistryTimeZones list({MakeZone(L"Tokyo", L"(GMT+09:00) Tokyo", {-540, 0, 0, {}, {}}),
                               MakeZone(L"Berlin", L"(GMT+01:00) Berlin", kZones[0].rules)});
    // 01:30 UTC on 25 October 2026 is the second 02:30 in Berlin; Tokyo shows 10:30, not 09:30.
    EXPECT_EQ(DateTimeToMSecs(*list.ZoneTimeFromUtc(1, At(2026, 10, 25, 1, 30))),
              DateTimeToMSecs(At(2026, 10, 25, 10, 30)));
    EXPECT_EQ(DateTimeToMSecs(*list.ZoneTimeFromUtc(0, At(2026, 10, 25, 1, 30))),
              DateTimeToMSecs(At(2026, 10, 25, 2, 30)));
    EXPECT_FALSE(list.ZoneTimeFromUtc(2, At(2026, 10, 25, 1, 30)));
}

TEST(FillZoneList, ItemIndexIsZoneIndexEvenInASortedListBox) {
    HWND box = CreateWindowExW(0, L"LISTBOX", L"", LBS_SORT | WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"left over"));
    FillZoneList(box);
    ASSERT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), TimeZoneCount());
    for (int i = 0; i < TimeZoneCount(); ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(box, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        EXPECT_EQ(text, TimeZoneList().Zone(i)->DisplayName) << i;
    }
    DestroyWindow(box);
}
