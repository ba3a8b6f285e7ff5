#include <gtest/gtest.h>

#include <optional>

#include "alarm_fakes.h"
#include "alarms/next_occurrence.h"

using namespace vt;
using vt::test::At;
using vt::test::Ms;

namespace {

TAlRecord Alarm(const wchar_t* type, TDateTime when) {
    TAlRecord a;
    a.Type = type;
    a.DateTime = when;
    a.Enabled = true;
    a.id = 1;
    return a;
}
TAlRecord Hourly(int min) { auto a = Alarm(L"Hourly", At(2020, 1, 1, 5, 0)); a.Min = min; return a; }
TAlRecord Daily(const wchar_t* weeks, TDateTime when) { auto a = Alarm(L"Daily", when); a.Weeks = weeks; return a; }
TAlRecord Weekly(int week, TDateTime when) { auto a = Alarm(L"Weekly", when); a.Week = week; return a; }
TAlRecord Monthly(int day, TDateTime when) { auto a = Alarm(L"Monthly", when); a.DayOfMonth = day; return a; }
TAlRecord Annualy(int day, int month, TDateTime when) {
    auto a = Alarm(L"Annualy", when);
    a.Day = day;
    a.Month = month;
    return a;
}
TAlRecord Regular(int minutes, TDateTime when) { auto a = Alarm(L"Regular", when); a.Min = minutes; return a; }

struct Case {
    const char* name;
    TAlRecord alarm;
    TDateTime now;
    std::optional<TDateTime> expected;   // nothing: the alarm has no next time
};

// 2024-03-01 is a Friday, 2024-03-04 a Monday; 2024-03-31 and 2024-10-27 are the European daylight
// changes. All times are local wall-clock times.
const Case kCases[] = {
    {"HourlyBeforeTheMinute", Hourly(30), At(2024, 3, 1, 10, 10), At(2024, 3, 1, 10, 30)},
    {"HourlyAtTheMinuteTakesNextHour", Hourly(30), At(2024, 3, 1, 10, 30, 0, 200), At(2024, 3, 1, 11, 30)},
    {"HourlyJustBeforeTheMinute", Hourly(30), At(2024, 3, 1, 10, 29, 59, 999), At(2024, 3, 1, 10, 30)},
    {"HourlyAfterElevenPmGoesToTomorrow", Hourly(30), At(2024, 3, 1, 23, 45), At(2024, 3, 2, 0, 30)},
    {"HourlyAcrossTheYear", Hourly(0), At(2024, 12, 31, 23, 0, 0, 1), At(2025, 1, 1, 0, 0)},
    {"HourlyInto29February", Hourly(15), At(2024, 2, 28, 23, 50), At(2024, 2, 29, 0, 15)},
    {"HourlyOnDaylightDayKeepsWallClock", Hourly(15), At(2024, 3, 31, 1, 20), At(2024, 3, 31, 2, 15)},
    {"HourlyMinute60HasNone", Hourly(60), At(2024, 3, 1, 10, 0), std::nullopt},
    {"HourlyNegativeMinuteHasNone", Hourly(-1), At(2024, 3, 1, 10, 0), std::nullopt},

    {"DailyWorkdaysFromFridayMorningAfterTime", Daily(L"0111110", At(2024, 3, 1, 7, 0)), At(2024, 3, 1, 7, 0, 0, 500),
     At(2024, 3, 4, 7, 0)},
    {"DailyWorkdaysFromFridayBeforeTime", Daily(L"0111110", At(2024, 2, 29, 7, 0)), At(2024, 3, 1, 6, 0),
     At(2024, 3, 1, 7, 0)},
    {"DailyEqualToNowCountsAsPassed", Daily(L"1111111", At(2024, 3, 1, 7, 0)), At(2024, 3, 1, 7, 0),
     At(2024, 3, 2, 7, 0)},
    {"DailyOnlyFridayTakesNextWeek", Daily(L"0000010", At(2024, 3, 1, 7, 0)), At(2024, 3, 1, 8, 0),
     At(2024, 3, 8, 7, 0)},
    {"DailyWithoutWeekdayHasNone", Daily(L"0000000", At(2024, 3, 1, 7, 0)), At(2024, 3, 1, 8, 0), std::nullopt},
    {"DailyShortWeeksTextFlagsOnlyItsDays", Daily(L"01", At(2024, 3, 1, 7, 0)), At(2024, 3, 1, 8, 0),
     At(2024, 3, 4, 7, 0)},
    {"DailyAcrossMonthEnd", Daily(L"1111111", At(2024, 1, 31, 22, 0)), At(2024, 1, 31, 23, 0), At(2024, 2, 1, 22, 0)},
    {"DailyInto29February", Daily(L"1111111", At(2024, 2, 28, 6, 0)), At(2024, 2, 28, 6, 1), At(2024, 2, 29, 6, 0)},
    {"DailyAcrossSpringChangeKeepsWallClock", Daily(L"1111111", At(2024, 3, 30, 7, 0)), At(2024, 3, 30, 8, 0),
     At(2024, 3, 31, 7, 0)},
    {"DailyAcrossAutumnChangeKeepsWallClock", Daily(L"1111111", At(2024, 10, 26, 7, 0)), At(2024, 10, 26, 8, 0),
     At(2024, 10, 27, 7, 0)},
    {"DailyAcrossTheYear", Daily(L"1111111", At(2024, 12, 31, 23, 59, 59)), At(2024, 12, 31, 23, 59, 59, 1),
     At(2025, 1, 1, 23, 59, 59)},

    {"WeeklyDueMondayGoesToNextMonday", Weekly(2, At(2024, 3, 4, 9, 0)), At(2024, 3, 4, 9, 0, 1), At(2024, 3, 11, 9, 0)},
    // The stored time lies ahead, but today's 09:00 has passed: the next Monday, never a passed time.
    {"WeeklyStoredAheadNeverGivesPassedTime", Weekly(2, At(2024, 3, 11, 9, 0)), At(2024, 3, 4, 10, 0),
     At(2024, 3, 11, 9, 0)},
    {"WeeklyTodayBeforeTime", Weekly(2, At(2024, 3, 25, 9, 0)), At(2024, 3, 4, 8, 0), At(2024, 3, 4, 9, 0)},
    {"WeeklyAcrossTheYear", Weekly(4, At(2024, 12, 25, 10, 0)), At(2024, 12, 31, 10, 0), At(2025, 1, 1, 10, 0)},
    {"WeeklyAcrossSpringChange", Weekly(1, At(2024, 3, 24, 2, 30)), At(2024, 3, 24, 3, 0), At(2024, 3, 31, 2, 30)},
    {"WeeklyDayZeroHasNone", Weekly(0, At(2024, 3, 4, 9, 0)), At(2024, 3, 4, 10, 0), std::nullopt},
    {"WeeklyDayEightHasNone", Weekly(8, At(2024, 3, 4, 9, 0)), At(2024, 3, 4, 10, 0), std::nullopt},

    {"Monthly31stSkipsFebruary", Monthly(31, At(2024, 1, 31, 7, 0)), At(2024, 1, 31, 7, 0, 1), At(2024, 3, 31, 7, 0)},
    {"Monthly31stSameDayBeforeTime", Monthly(31, At(2023, 12, 31, 7, 0)), At(2024, 1, 31, 6, 0), At(2024, 1, 31, 7, 0)},
    {"Monthly30thSkipsFebruary", Monthly(30, At(2024, 1, 30, 7, 0)), At(2024, 2, 1, 0, 0), At(2024, 3, 30, 7, 0)},
    {"Monthly29thInLeapFebruary", Monthly(29, At(2024, 1, 29, 7, 0)), At(2024, 2, 1, 0, 0), At(2024, 2, 29, 7, 0)},
    {"Monthly29thSkipsCommonFebruary", Monthly(29, At(2023, 1, 29, 7, 0)), At(2023, 2, 1, 0, 0), At(2023, 3, 29, 7, 0)},
    {"Monthly31stSkipsApril", Monthly(31, At(2024, 3, 31, 7, 0)), At(2024, 4, 1, 0, 0), At(2024, 5, 31, 7, 0)},
    {"MonthlyAcrossTheYear", Monthly(15, At(2024, 12, 15, 7, 0)), At(2024, 12, 20, 0, 0), At(2025, 1, 15, 7, 0)},
    {"MonthlyStoredAheadNeverGivesPassedTime", Monthly(5, At(2024, 4, 5, 9, 0)), At(2024, 3, 5, 10, 0),
     At(2024, 4, 5, 9, 0)},
    {"MonthlyOnSpringChangeDay", Monthly(31, At(2024, 1, 31, 2, 30)), At(2024, 3, 30, 12, 0), At(2024, 3, 31, 2, 30)},
    {"MonthlyDayZeroHasNone", Monthly(0, At(2024, 3, 5, 9, 0)), At(2024, 3, 5, 10, 0), std::nullopt},
    {"MonthlyDay32HasNone", Monthly(32, At(2024, 3, 5, 9, 0)), At(2024, 3, 5, 10, 0), std::nullopt},

    {"Annualy29FebruaryWaitsForLeapYear", Annualy(29, 2, At(2024, 2, 29, 8, 0)), At(2024, 3, 1, 0, 0),
     At(2028, 2, 29, 8, 0)},
    {"Annualy29FebruaryAcrossCenturyYear", Annualy(29, 2, At(2096, 2, 29, 8, 0)), At(2096, 3, 1, 0, 0),
     At(2104, 2, 29, 8, 0)},
    {"Annualy29FebruaryIn2000", Annualy(29, 2, At(1996, 2, 29, 8, 0)), At(1999, 6, 1, 0, 0), At(2000, 2, 29, 8, 0)},
    {"AnnualyChristmasAfterTimeTakesNextYear", Annualy(25, 12, At(2024, 12, 25, 8, 0)), At(2024, 12, 25, 9, 0),
     At(2025, 12, 25, 8, 0)},
    {"AnnualySameDayBeforeTime", Annualy(25, 12, At(2023, 12, 25, 8, 0)), At(2024, 12, 25, 7, 0),
     At(2024, 12, 25, 8, 0)},
    {"AnnualyStoredAheadNeverGivesPassedTime", Annualy(1, 3, At(2025, 3, 1, 8, 0)), At(2024, 3, 1, 9, 0),
     At(2025, 3, 1, 8, 0)},
    {"AnnualyNewYearsEveAcrossTheYear", Annualy(31, 12, At(2023, 12, 31, 23, 59)), At(2024, 1, 1, 0, 0),
     At(2024, 12, 31, 23, 59)},
    {"Annualy30FebruaryHasNone", Annualy(30, 2, At(2024, 3, 1, 8, 0)), At(2024, 3, 1, 9, 0), std::nullopt},
    {"Annualy31AprilHasNone", Annualy(31, 4, At(2024, 3, 1, 8, 0)), At(2024, 3, 1, 9, 0), std::nullopt},
    {"AnnualyReaderDefaultsHaveNone", Annualy(-1, 0, At(2024, 3, 1, 8, 0)), At(2024, 3, 1, 9, 0), std::nullopt},
    {"AnnualyMonth13HasNone", Annualy(1, 13, At(2024, 3, 1, 8, 0)), At(2024, 3, 1, 9, 0), std::nullopt},

    {"RegularCountsFromNow", Regular(90, At(2024, 3, 1, 10, 0)), At(2024, 3, 1, 10, 0, 2), At(2024, 3, 1, 11, 30, 2)},
    {"RegularAheadStays", Regular(90, At(2024, 3, 1, 10, 0)), At(2024, 3, 1, 9, 0), At(2024, 3, 1, 10, 0)},
    {"RegularEqualToNowStays", Regular(90, At(2024, 3, 1, 10, 0)), At(2024, 3, 1, 10, 0), At(2024, 3, 1, 10, 0)},
    {"RegularAcrossMidnight", Regular(60, At(2024, 12, 31, 23, 30)), At(2024, 12, 31, 23, 30, 1),
     At(2025, 1, 1, 0, 30, 1)},
    {"RegularZeroMinutesHasNone", Regular(0, At(2024, 3, 1, 10, 0)), At(2024, 3, 1, 10, 0, 2), std::nullopt},

    {"UnknownKindHasNone", Alarm(L"NOTFOUND", At(2024, 3, 1, 10, 0)), At(2024, 3, 1, 11, 0), std::nullopt},
    {"KindIsCaseSensitive", Alarm(L"daily", At(2024, 3, 1, 10, 0)), At(2024, 3, 1, 11, 0), std::nullopt},
};

class NextOccurrenceTable : public testing::TestWithParam<Case> {};

TEST_P(NextOccurrenceTable, GivesTheExpectedTime) {
    const Case& c = GetParam();
    auto r = NextOccurrence(c.alarm, c.now);
    ASSERT_EQ(r.has_value(), c.expected.has_value());
    if (!r) return;
    EXPECT_EQ(Ms(r->DateTime), Ms(*c.expected)) << DecodeDateTime(r->DateTime).day << " "
                                                << DecodeDateTime(r->DateTime).hour;
    EXPECT_GT(r->DateTime, c.now - 1e-9) << "never a time already passed";
    TAlRecord rest = *r;
    rest.DateTime = c.alarm.DateTime;
    EXPECT_EQ(rest, c.alarm) << "only DateTime changes";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, NextOccurrenceTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

}  // namespace

TEST(NextOccurrence, OncePassedComesBackDisabledWithItsTime) {
    auto a = Alarm(L"Once", At(2024, 3, 1, 8, 0));
    auto r = NextOccurrence(a, At(2024, 3, 1, 8, 0, 1));
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->Enabled);
    EXPECT_EQ(r->DateTime, a.DateTime);
}

TEST(NextOccurrence, OnceAheadOrAtNowStaysEnabled) {
    auto a = Alarm(L"Once", At(2024, 3, 1, 8, 0));
    EXPECT_TRUE(NextOccurrence(a, At(2024, 3, 1, 7, 59))->Enabled);
    EXPECT_TRUE(NextOccurrence(a, At(2024, 3, 1, 8, 0))->Enabled);
}

TEST(NextOccurrence, KeepsMissedAndEveryOtherField) {
    auto a = Daily(L"1111111", At(2024, 3, 1, 7, 0));
    a.Missed = true;
    a.Message = L"a\r\nb";
    a.RDateTime = At(2024, 3, 1, 6, 45);
    auto r = NextOccurrence(a, At(2024, 3, 1, 9, 0));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->Missed);
    EXPECT_EQ(r->Message, a.Message);
    EXPECT_EQ(r->RDateTime, a.RDateTime);
}

TEST(NextOccurrence, TimeOfDayKeepsItsMilliseconds) {
    auto a = Daily(L"1111111", At(2024, 3, 1, 9, 0, 0, 560));
    auto r = NextOccurrence(a, At(2024, 3, 5, 12, 0));
    EXPECT_EQ(Ms(r->DateTime), Ms(At(2024, 3, 6, 9, 0, 0, 560)));
}

TEST(NextOccurrence, EveryDayOfTwoLeapCyclesFindsAnAnswerQuickly) {
    // Bounded searches: every start day over eight years gives a time after now for every valid value.
    for (TDateTime day = At(2095, 1, 1); day < At(2105, 1, 1); day += 7.3) {
        for (int m = 1; m <= 12; ++m) {
            auto r = NextOccurrence(Annualy(DaysInMonth(2000, m), m, At(2000, 1, 1, 12, 0)), day);
            ASSERT_TRUE(r) << m;
            EXPECT_GT(r->DateTime, day);
            EXPECT_LT(r->DateTime, day + 8 * 366 + 1);
        }
        auto r = NextOccurrence(Monthly(31, At(2000, 1, 1, 12, 0)), day);
        ASSERT_TRUE(r);
        EXPECT_LT(r->DateTime, day + 62);
    }
}
