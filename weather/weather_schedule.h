// When the next weather check runs: a pure function of the interval, the last successful check and now.
#pragma once
#include <string>

#include "base/datetime.h"

namespace vt {

// Time added to the last check for each item of the interval list; 0 for "Never" and unknown items.
TDateTime WeatherCheckInterval(int everyIndex);

inline constexpr unsigned kWeatherDueDelayMs = 5000;

struct WeatherSchedule {
    enum class Label { Keep, Never, NextCheck };
    bool enabled = false;      // the one-shot weather timer runs
    unsigned intervalMs = 0;   // its interval while enabled
    Label label = Label::Keep; // what the "Next run at:" label shows
    TDateTime next = 0;        // the next check, when label is NextCheck
};

// The next check is the last one plus the interval. A check that is due, overdue, never made, or dated
// after now (the clock went back) starts 5 seconds from now, so updates never stop.
WeatherSchedule ScheduleWeatherCheck(int everyIndex, TDateTime lastCheck, TDateTime now);

// The label's text for a schedule; `current` is kept when the schedule says so.
std::wstring WeatherSyncLabel(const WeatherSchedule& schedule, const std::wstring& current);

}  // namespace vt
