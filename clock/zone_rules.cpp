#include "clock/zone_rules.h"

#include <cmath>

namespace vt {

namespace {
constexpr double kNearlyEqual = 1.1574074074E-9;  // 0.1 ms in days

bool ValidTimeOfDay(const ZoneTransition& r) {
    return r.hour >= 0 && r.hour <= 23 && r.minute >= 0 && r.minute <= 59 && r.second >= 0 && r.second <= 59 &&
           r.milliseconds >= 0 && r.milliseconds <= 999;
}

// t lies in [from, to): a time within 0.1 ms of `from` counts as inside, one within 0.1 ms of `to` as after,
// so an instant computed along another path still lands in the period that starts there.
bool Within(TDateTime t, TDateTime from, TDateTime to) {
    bool afterStart = t > from || NearlyEqualDateTime(from, t);
    bool beforeEnd = t < to && !NearlyEqualDateTime(t, to);
    return afterStart && beforeEnd;
}

double Minutes(int m) { return m / kMinutesPerDay; }
}  // namespace

std::optional<TDateTime> DayOfWeekInMonth(int year, int month, int week, int weekday) {
    if (month < 1 || month > 12 || week < 1 || week > 5 || weekday < 1 || weekday > 7) return std::nullopt;
    TDateTime first = 0;
    if (!TryEncodeDate(year, month, 1, first)) return std::nullopt;
    if (week == 5) {
        int last = DaysInMonth(year, month);
        int d = weekday - DayOfWeek(first + last - 1) + last;
        if (d > last) d -= 7;
        return first + d - 1;
    }
    int day = weekday + 1 - DayOfWeek(first);
    if (day < 1) day += 7;
    return first + (week - 1) * 7 + day - 1;
}

std::optional<TDateTime> TransitionDate(const ZoneTransition& rule, int year) {
    if (rule.month == 0 || !ValidTimeOfDay(rule)) return std::nullopt;
    TDateTime time = EncodeTime(rule.hour, rule.minute, rule.second, rule.milliseconds);
    if (rule.year == 0) {
        if (rule.dayOfWeek < 0 || rule.dayOfWeek > 6) return std::nullopt;
        auto date = DayOfWeekInMonth(year, rule.month, rule.day, rule.dayOfWeek + 1);
        if (!date) return std::nullopt;
        return *date + time;
    }
    TDateTime date = 0;
    if (!TryEncodeDate(rule.year, rule.month, rule.day, date)) return std::nullopt;
    return date + time;
}

std::optional<DaylightPeriod> DaylightRange(const ZoneRules& zone, int year) {
    if (zone.daylightDate.month == 0 || zone.standardDate.month == 0) return std::nullopt;
    auto ds = TransitionDate(zone.daylightDate, year);
    auto ss = TransitionDate(zone.standardDate, year);
    if (!ds || !ss) return std::nullopt;
    return DaylightPeriod{*ds, *ss, zone.bias + zone.daylightBias, zone.bias + zone.standardBias};
}

bool NearlyEqualDateTime(TDateTime a, TDateTime b) { return std::fabs(a - b) < kNearlyEqual; }

std::optional<TDateTime> ZoneLocalToUTC(const ZoneRules& zone, bool preferDaylight, TDateTime local) {
    auto period = DaylightRange(zone, DecodeDateTime(local).year);
    if (!period) return local + Minutes(zone.bias);
    const TDateTime ds = period->daylightStart, ss = period->standardStart;
    const int db = period->daylightBias, sb = period->standardBias;
    const double shift = Minutes(sb - db);

    // The clock is set back where the bias grows and forward where it shrinks.
    bool repeated, skipped;
    if (db < sb) {
        repeated = Within(local, ss - shift, ss);
        skipped = Within(local, ds, ds + shift);
    } else {
        repeated = Within(local, ds + shift, ds);
        skipped = Within(local, ss, ss - shift);
    }
    if (repeated) return local + Minutes(preferDaylight ? db : sb);
    if (skipped) return std::nullopt;
    if (ds < ss) return local + Minutes(Within(local, ds, ss) ? db : sb);
    return local + Minutes(Within(local, ss, ds) ? sb : db);
}

TDateTime UTCToZoneLocal(const ZoneRules& zone, TDateTime utc) {
    auto period = DaylightRange(zone, DecodeDateTime(utc).year);
    if (!period) return utc - Minutes(zone.bias);
    const TDateTime dsU = period->daylightStart + Minutes(period->standardBias);
    const TDateTime ssU = period->standardStart + Minutes(period->daylightBias);
    bool daylight = dsU < ssU ? Within(utc, dsU, ssU) : !Within(utc, ssU, dsU);
    return utc - Minutes(daylight ? period->daylightBias : period->standardBias);
}

}  // namespace vt
