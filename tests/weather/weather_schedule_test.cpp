#include <gtest/gtest.h>

#include "base/locale_text.h"
#include "clock/options_file.h"

#include "clock/options_model.h"
#include "weather/weather_schedule.h"

using namespace vt;

namespace {
const TDateTime kNow = EncodeDateTime(2026, 6, 1, 12, 0, 0);
using Label = WeatherSchedule::Label;
}  // namespace

TEST(WeatherSchedule, NeverRunsNoTimerAndSaysNever) {
    for (TDateTime last : {0.0, kNow - 1, kNow + 1}) {
        WeatherSchedule s = ScheduleWeatherCheck(kWeatherNever, last, kNow);
        EXPECT_FALSE(s.enabled);
        EXPECT_EQ(s.label, Label::Never);
        EXPECT_EQ(WeatherSyncLabel(s, L"12:00"), L"Never");
    }
}

TEST(WeatherSchedule, IntervalsOfTheList) {
    const std::pair<int, unsigned> table[] = {
        {kWeather30Min, 30u * 60000}, {kWeather1Hour, 3600000u}, {kWeather3Hours, 3u * 3600000},
        {kWeather12Hours, 12u * 3600000}, {kWeather1Day, 24u * 3600000}, {kWeather1Minute, 60000u},
    };
    for (auto [index, ms] : table) {
        WeatherSchedule s = ScheduleWeatherCheck(index, kNow, kNow);
        EXPECT_TRUE(s.enabled) << index;
        EXPECT_EQ(s.intervalMs, ms) << index;
        EXPECT_EQ(s.label, Label::NextCheck);
        EXPECT_DOUBLE_EQ(s.next, kNow + ms / kMSecsPerDay);
    }
    EXPECT_FALSE(ScheduleWeatherCheck(7, kNow, kNow).enabled);
    EXPECT_FALSE(ScheduleWeatherCheck(-1, kNow, kNow).enabled);
}

TEST(WeatherSchedule, NeverCheckedIsDueInFiveSeconds) {
    WeatherSchedule s = ScheduleWeatherCheck(kWeather1Hour, 0, kNow);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.intervalMs, 5000u);
    EXPECT_EQ(s.label, Label::Keep);
    EXPECT_EQ(WeatherSyncLabel(s, L"earlier text"), L"earlier text");
}

TEST(WeatherSchedule, DueAndOverdueStartInFiveSeconds) {
    // Exactly due, a little overdue, and 10 minutes overdue after a resume from standby.
    for (TDateTime last : {kNow - kOneHour, kNow - kOneHour - kOneSecond, kNow - kOneHour - 10 * kOneMinute}) {
        WeatherSchedule s = ScheduleWeatherCheck(kWeather1Hour, last, kNow);
        EXPECT_TRUE(s.enabled);
        EXPECT_EQ(s.intervalMs, 5000u);
        EXPECT_EQ(s.label, Label::Keep);
    }
}

TEST(WeatherSchedule, PendingCheckWaitsTheRestAfterResume) {
    // Checked at 11:20 with a one-hour interval; the machine resumes at 12:00: 20 minutes remain.
    WeatherSchedule s = ScheduleWeatherCheck(kWeather1Hour, kNow - 40 * kOneMinute, kNow);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.intervalMs, 20u * 60000);
    EXPECT_EQ(s.label, Label::NextCheck);
    EXPECT_EQ(WeatherSyncLabel(s, L""), DateTimeToText(kNow + 20 * kOneMinute));
    // One millisecond before it is due.
    EXPECT_EQ(ScheduleWeatherCheck(kWeather1Hour, kNow - kOneHour + 1 / kMSecsPerDay, kNow).intervalMs, 1u);
}

TEST(WeatherSchedule, CheckDateInTheFutureCountsAsDue) {
    // The clock went back a day: waiting for "last check + interval" would stop updates for a day.
    for (TDateTime last : {kNow + kOneSecond, kNow + 10 * kOneMinute, kNow + 1, kNow + 3650}) {
        WeatherSchedule s = ScheduleWeatherCheck(kWeather1Day, last, kNow);
        EXPECT_TRUE(s.enabled);
        EXPECT_EQ(s.intervalMs, 5000u);
    }
}

TEST(WeatherSchedule, DateTimeTextLeavesOutMidnight) {
    std::wstring midnight = DateTimeToText(EncodeDate(2026, 6, 1));
    std::wstring noon = DateTimeToText(kNow);
    EXPECT_FALSE(midnight.empty());
    EXPECT_EQ(noon.substr(0, midnight.size() + 1), midnight + L" ");
    EXPECT_GT(noon.size(), midnight.size() + 4);
}
