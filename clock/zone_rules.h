// Daylight-saving arithmetic of one time zone, in the form the system keeps it: a base bias, a standard
// and a daylight bias, and two transition rules (a yearly "n-th weekday of a month", week 5 meaning the
// last, or a fixed date). Plain values, no system calls, so every boundary can be tested anywhere.
#pragma once
#include <optional>

#include "base/datetime.h"

namespace vt {

// The fields of a SYSTEMTIME used as a transition rule. With year 0 it is yearly: `day` is the week
// (1..5, 5 = last) and `dayOfWeek` the weekday (0 = Sunday .. 6) in `month`. Month 0 means no transition.
struct ZoneTransition {
    int year = 0, month = 0, dayOfWeek = 0, day = 0;   // as SYSTEMTIME holds them
    int hour = 0, minute = 0, second = 0, milliseconds = 0;
    bool operator==(const ZoneTransition&) const = default;
};

// Biases in minutes: UTC = local + bias. The daylight date is a standard local time, the standard date a
// daylight local time, as the system writes them.
struct ZoneRules {
    int bias = 0;
    int standardBias = 0;
    int daylightBias = 0;
    ZoneTransition standardDate;
    ZoneTransition daylightDate;
    bool operator==(const ZoneRules&) const = default;
};

// Both transitions of one year, in the zone's local time, with the full biases that apply after each.
struct DaylightPeriod {
    TDateTime daylightStart = 0;
    TDateTime standardStart = 0;
    int daylightBias = 0;   // bias + daylightBias
    int standardBias = 0;   // bias + standardBias
};

// The date of the week-th `weekday` (1 = Sunday .. 7 = Saturday) of the month; week 5 is the last one.
// Nothing for a month, week or weekday out of range.
std::optional<TDateTime> DayOfWeekInMonth(int year, int month, int week, int weekday);

// The local date-time at which the rule switches in `year`; nothing when the rule has no transition
// (month 0) or its fields cannot form a date.
std::optional<TDateTime> TransitionDate(const ZoneTransition& rule, int year);

// The zone's daylight period of `year`; nothing for a zone without daylight saving, which includes one
// whose rules cannot form a date.
std::optional<DaylightPeriod> DaylightRange(const ZoneRules& zone, int year);

// Within 0.1 ms: values computed along different paths still meet at a transition.
bool NearlyEqualDateTime(TDateTime a, TDateTime b);

// The UTC instant of a local time of the zone. A local time repeated at the end of daylight saving takes
// the daylight bias when preferDaylight, else the standard one; a local time skipped at its start does
// not exist and gives nothing.
std::optional<TDateTime> ZoneLocalToUTC(const ZoneRules& zone, bool preferDaylight, TDateTime local);

// The zone's local time at a UTC instant; a transition instant belongs to the period it starts.
TDateTime UTCToZoneLocal(const ZoneRules& zone, TDateTime utc);

}  // namespace vt
