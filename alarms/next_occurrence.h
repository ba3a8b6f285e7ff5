// When an alarm fires next: a pure function of the alarm and "now" (local wall-clock time).
#pragma once
#include <optional>

#include "alarms/alarm_record.h"

namespace vt {

// The alarm with DateTime moved to its next firing time (a Once alarm whose time has passed comes back
// disabled instead); every other field, Missed included, is unchanged. Weekly, Monthly and Annualy
// alarms, like Daily ones, move to the first matching day whose time is after now, never to a time
// already passed. Nothing when the alarm has no next time: an unknown kind, a Daily alarm without a
// weekday, a weekday, day or month that no calendar day matches (30 February), an Hourly minute outside
// 0..59 or a Regular interval below one minute. Every search is bounded.
std::optional<TAlRecord> NextOccurrence(const TAlRecord& alarm, TDateTime now);

}  // namespace vt
