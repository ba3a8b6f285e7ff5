// The world time zones that Windows keeps in its registry, read once and sorted, so that a zone is named
// by its index (the stored options "TimeZone" and "ItemZone"); and the conversions the clock needs.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"
#include "base/now.h"
#include "clock/zone_rules.h"

namespace vt {

inline constexpr wchar_t kTimeZonesKeyPath[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

struct TWvRegistryTimeZone {
    std::wstring DisplayName;   // "Display": an offset in parentheses, a blank, place names
    std::wstring StandardName;  // the zone's key name
    std::wstring KeyName;
    TIME_ZONE_INFORMATION TimeZoneInfo{};

    ZoneRules Rules() const;
};

// The registry's "TZI" record (44 bytes: three biases, then the standard and the daylight date); nothing
// for any other size.
std::optional<ZoneRules> ParseTzi(const std::vector<std::uint8_t>& bytes);

ZoneRules RulesFromTimeZoneInformation(const TIME_ZONE_INFORMATION& tzi);
TIME_ZONE_INFORMATION TimeZoneInformationFromRules(const ZoneRules& rules, std::wstring_view standardName,
                                                   std::wstring_view daylightName);

// Sort key of a display name: the "(GMT+hh:mm)" or "(UTC+hh:mm)" offset read as the number hhmm, plus the
// character code of the first character after ") ". Names in another form count as offset 0.
int GmtOffsetFromDisplayName(std::wstring_view displayName);
// -1, 0 or 1. Equal keys are ordered by display name, then key name, so the order (and so every stored
// index) is the same on every start whatever order the registry lists the zones in.
int CompareTimeZones(const TWvRegistryTimeZone& a, const TWvRegistryTimeZone& b);
void SortTimeZones(std::vector<TWvRegistryTimeZone>& zones);

// Every subkey of root\path with a 44-byte "TZI" value, in the registry's order.
std::vector<TWvRegistryTimeZone> ReadRegistryTimeZones(HKEY root, const std::wstring& path);

class TWvRegistryTimeZones {
public:
    TWvRegistryTimeZones();   // from the system's Time Zones key
    TWvRegistryTimeZones(HKEY root, const std::wstring& path);
    explicit TWvRegistryTimeZones(std::vector<TWvRegistryTimeZone> zones);   // sorted here

    void Reload();
    void Reload(HKEY root, const std::wstring& path);

    int Count() const { return static_cast<int>(zones_.size()); }
    const std::vector<TWvRegistryTimeZone>& Zones() const { return zones_; }
    const TWvRegistryTimeZone* Zone(int index) const;   // null outside the list

    // The current time of zone `index` from the UTC instant; nothing for an index outside the list.
    std::optional<TDateTime> ZoneTimeFromUtc(int index, TDateTime utcNow) const;

private:
    std::vector<TWvRegistryTimeZone> zones_;
};

// The program's one list, read from the registry on first use and never rebuilt while it runs.
const TWvRegistryTimeZones& TimeZoneList();
int TimeZoneCount();
bool GetTimeZone(int index, std::wstring& standardName, std::wstring& displayName, TIME_ZONE_INFORMATION& tzi);

std::optional<TDateTime> ZoneLocalToUTC(const TIME_ZONE_INFORMATION& zone, bool preferDaylight, TDateTime local);
TDateTime UTCToZoneLocal(const TIME_ZONE_INFORMATION& zone, TDateTime utc);
// A local time of this machine's zone, as the system reports it, to UTC.
std::optional<TDateTime> LocalToUTC(bool preferDaylight, TDateTime local);

// The clock's second time: zone `index` of TimeZoneList at the UTC instant; nothing outside the list.
// Taken from UTC because local time converted back is ambiguous in the hour after this machine's own
// fall-back.
std::optional<TDateTime> ZoneTimeFromUtc(int index, TDateTime utcNow);

// Fills a list box with every zone's display name in list order, so an item index is a zone index.
void FillZoneList(HWND listBox);

}  // namespace vt
