#include "weather/weather_schedule.h"

#include <windows.h>

#include "base/now.h"
#include "base/locale_text.h"
#include "clock/options_model.h"

namespace vt {

TDateTime WeatherCheckInterval(int everyIndex) {
    switch (everyIndex) {
        case kWeather30Min: return 30 * kOneMinute;
        case kWeather1Hour: return kOneHour;
        case kWeather3Hours: return 3 * kOneHour;
        case kWeather12Hours: return 12 * kOneHour;
        case kWeather1Day: return 1.0;
        case kWeather1Minute: return kOneMinute;
        default: return 0;
    }
}

WeatherSchedule ScheduleWeatherCheck(int everyIndex, TDateTime lastCheck, TDateTime now) {
    WeatherSchedule s;
    TDateTime interval = WeatherCheckInterval(everyIndex);
    if (interval <= 0) {
        s.label = WeatherSchedule::Label::Never;
        return s;
    }
    s.enabled = true;
    const TDateTime next = lastCheck + interval;
    const std::int64_t waitMs = DateTimeToMSecs(next) - DateTimeToMSecs(now);
    if (lastCheck > now || waitMs <= 0) {
        s.intervalMs = kWeatherDueDelayMs;
        return s;
    }
    s.intervalMs = static_cast<unsigned>(waitMs);
    s.label = WeatherSchedule::Label::NextCheck;
    s.next = next;
    return s;
}

std::wstring WeatherSyncLabel(const WeatherSchedule& schedule, const std::wstring& current) {
    switch (schedule.label) {
        case WeatherSchedule::Label::Never: return L"Never";
        case WeatherSchedule::Label::NextCheck: return DateTimeToText(schedule.next);
        case WeatherSchedule::Label::Keep: break;
    }
    return current;
}

}  // namespace vt
