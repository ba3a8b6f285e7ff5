#include <gtest/gtest.h>

#include "clock/zone_rules.h"

using namespace vt;

namespace {
// Central Europe: daylight from the last Sunday of March 02:00, standard from the last Sunday of October 03:00.
const ZoneRules kBerlin{-60, 0, -60, {0, 10, 0, 5, 3, 0, 0, 0}, {0, 3, 0, 5, 2, 0, 0, 0}};
// Sydney: standard from the first Sunday of April 03:00, daylight from the first Sunday of October 02:00.
const ZoneRules kSydney{-600, 0, -60, {0, 4, 0, 1, 3, 0, 0, 0}, {0, 10, 0, 1, 2, 0, 0, 0}};

TDateTime At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
    return EncodeDateTime(y, mo, d, h, mi, s, ms);
}

// Compared to the millisecond, as the values are stored and shown.
::testing::AssertionResult SameInstant(std::optional<TDateTime> actual, TDateTime expected) {
    if (!actual) return ::testing::AssertionFailure() << "no value";
    if (DateTimeToMSecs(*actual) == DateTimeToMSecs(expected)) return ::testing::AssertionSuccess();
    CivilTime a = DecodeDateTime(*actual), e = DecodeDateTime(expected);
    return ::testing::AssertionFailure() << a.year << "-" << a.month << "-" << a.day << " " << a.hour << ":"
                                         << a.minute << ":" << a.second << "." << a.millisecond << " instead of "
                                         << e.year << "-" << e.month << "-" << e.day << " " << e.hour << ":"
                                         << e.minute << ":" << e.second << "." << e.millisecond;
}
}  // namespace

TEST(DayOfWeekInMonth, WeekFiveIsTheLastSuchWeekday) {
    EXPECT_EQ(DayOfWeekInMonth(2023, 10, 5, 1), EncodeDate(2023, 10, 29));  // 31 October 2023 is a Tuesday
    EXPECT_EQ(DayOfWeekInMonth(2026, 10, 5, 7), EncodeDate(2026, 10, 31));  // the last day itself, a Saturday
    EXPECT_EQ(DayOfWeekInMonth(2024, 2, 5, 5), EncodeDate(2024, 2, 29));    // leap day, a Thursday
    EXPECT_EQ(DayOfWeekInMonth(2026, 3, 5, 1), EncodeDate(2026, 3, 29));
}

TEST(DayOfWeekInMonth, CountsWeeksFromTheFirstSuchWeekday) {
    EXPECT_EQ(DayOfWeekInMonth(2026, 3, 1, 1), EncodeDate(2026, 3, 1));   // 1 March 2026 is a Sunday
    EXPECT_EQ(DayOfWeekInMonth(2026, 3, 2, 1), EncodeDate(2026, 3, 8));
    EXPECT_EQ(DayOfWeekInMonth(2026, 3, 1, 7), EncodeDate(2026, 3, 7));
    EXPECT_EQ(DayOfWeekInMonth(2026, 4, 1, 1), EncodeDate(2026, 4, 5));   // 1 April is a Wednesday
    EXPECT_EQ(DayOfWeekInMonth(2026, 2, 4, 7), EncodeDate(2026, 2, 28));
}

TEST(DayOfWeekInMonth, FieldsOutOfRangeFormNoDate) {
    EXPECT_FALSE(DayOfWeekInMonth(2026, 3, 0, 1));
    EXPECT_FALSE(DayOfWeekInMonth(2026, 3, 6, 1));
    EXPECT_FALSE(DayOfWeekInMonth(2026, 3, 1, 0));
    EXPECT_FALSE(DayOfWeekInMonth(2026, 3, 1, 8));
    EXPECT_FALSE(DayOfWeekInMonth(2026, 0, 1, 1));
    EXPECT_FALSE(DayOfWeekInMonth(2026, 13, 1, 1));
}

TEST(TransitionDate, YearlyRuleAddsItsTimeOfDay) {
    EXPECT_EQ(TransitionDate({0, 10, 0, 5, 3, 0, 0, 0}, 2026), At(2026, 10, 25, 3, 0));
    EXPECT_TRUE(SameInstant(TransitionDate({0, 12, 6, 5, 23, 59, 59, 999}, 2026), At(2026, 12, 26, 23, 59, 59, 999)));
}

TEST(TransitionDate, FixedDateRuleKeepsItsOwnYear) {
    EXPECT_TRUE(SameInstant(TransitionDate({2007, 3, 0, 11, 2, 30, 0, 0}, 2026), At(2007, 3, 11, 2, 30)));
}

TEST(TransitionDate, RuleThatCannotFormADateGivesNothing) {
    const ZoneTransition bad[] = {
        {0, 0, 0, 5, 3, 0, 0, 0},      // month 0: no transition at all
        {0, 13, 0, 5, 3, 0, 0, 0},     // month 13
        {0, 10, 7, 5, 3, 0, 0, 0},     // weekday 7
        {0, 10, 0, 0, 3, 0, 0, 0},     // week 0
        {0, 10, 0, 6, 3, 0, 0, 0},     // week 6
        {0, 10, 0, 5, 24, 0, 0, 0},    // hour 24
        {0, 10, 0, 5, 3, 60, 0, 0},    // minute 60
        {0, 10, 0, 5, 3, 0, 0, 1000},  // 1000 ms
        {2026, 2, 0, 30, 3, 0, 0, 0},  // 30 February
    };
    for (const ZoneTransition& rule : bad) EXPECT_FALSE(TransitionDate(rule, 2026)) << rule.month << "/" << rule.day;
}

TEST(ZoneConversion, InvalidRulesMeanNoDaylightSaving) {
    ZoneRules zones[] = {kBerlin, kBerlin, kBerlin, kBerlin, kBerlin};
    zones[0].daylightDate.month = 13;
    zones[1].standardDate.day = 0;
    zones[2].daylightDate.day = 6;
    zones[3].standardDate.dayOfWeek = 7;
    zones[4].daylightDate.month = 0;
    for (const ZoneRules& z : zones) {
        EXPECT_FALSE(DaylightRange(z, 2026));
        // Midsummer converts with the plain bias: one hour, never a date near 1899.
        EXPECT_TRUE(SameInstant(UTCToZoneLocal(z, At(2026, 7, 1, 12, 0)), At(2026, 7, 1, 13, 0)));
        EXPECT_TRUE(SameInstant(ZoneLocalToUTC(z, true, At(2026, 7, 1, 13, 0)), At(2026, 7, 1, 12, 0)));
    }
}

TEST(ZoneConversion, NorthernZoneAroundBothTransitions) {
    // Daylight starts 29 March 2026 01:00 UTC, standard time 25 October 2026 01:00 UTC.
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 3, 29, 0, 59, 59)), At(2026, 3, 29, 1, 59, 59)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 3, 29, 1, 0, 0)), At(2026, 3, 29, 3, 0, 0)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 3, 29, 1, 0, 1)), At(2026, 3, 29, 3, 0, 1)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 10, 25, 0, 59, 59)), At(2026, 10, 25, 2, 59, 59)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 10, 25, 1, 0, 0)), At(2026, 10, 25, 2, 0, 0)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 10, 25, 1, 0, 1)), At(2026, 10, 25, 2, 0, 1)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kBerlin, At(2026, 1, 1, 0, 0)), At(2026, 1, 1, 1, 0)));

    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, false, At(2026, 3, 29, 1, 59, 59)), At(2026, 3, 29, 0, 59, 59)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, false, At(2026, 3, 29, 3, 0, 0)), At(2026, 3, 29, 1, 0, 0)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, true, At(2026, 10, 25, 1, 59, 59)), At(2026, 10, 24, 23, 59, 59)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, true, At(2026, 10, 25, 3, 0, 0)), At(2026, 10, 25, 2, 0, 0)));
}

TEST(ZoneConversion, SouthernZoneAroundBothTransitions) {
    // Standard time from 5 April 2026 03:00 daylight (4 April 16:00 UTC), daylight saving from 4 October
    // 2026 02:00 standard (3 October 16:00 UTC); the daylight period spans the new year.
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 4, 4, 15, 59, 59)), At(2026, 4, 5, 2, 59, 59)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 4, 4, 16, 0, 0)), At(2026, 4, 5, 2, 0, 0)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 4, 4, 16, 0, 1)), At(2026, 4, 5, 2, 0, 1)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 10, 3, 15, 59, 59)), At(2026, 10, 4, 1, 59, 59)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 10, 3, 16, 0, 0)), At(2026, 10, 4, 3, 0, 0)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 10, 3, 16, 0, 1)), At(2026, 10, 4, 3, 0, 1)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 12, 31, 20, 0)), At(2027, 1, 1, 7, 0)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(kSydney, At(2026, 7, 1, 0, 0)), At(2026, 7, 1, 10, 0)));

    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kSydney, false, At(2026, 4, 5, 3, 0, 0)), At(2026, 4, 4, 17, 0, 0)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kSydney, true, At(2026, 4, 5, 1, 59, 59)), At(2026, 4, 4, 14, 59, 59)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kSydney, true, At(2026, 10, 4, 1, 59, 59)), At(2026, 10, 3, 15, 59, 59)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kSydney, true, At(2026, 10, 4, 3, 0, 0)), At(2026, 10, 3, 16, 0, 0)));
}

TEST(ZoneConversion, SkippedLocalHourDoesNotExist) {
    EXPECT_FALSE(ZoneLocalToUTC(kBerlin, true, At(2026, 3, 29, 2, 0, 0)));
    EXPECT_FALSE(ZoneLocalToUTC(kBerlin, false, At(2026, 3, 29, 2, 30, 0)));
    EXPECT_FALSE(ZoneLocalToUTC(kBerlin, false, At(2026, 3, 29, 2, 59, 59)));
    EXPECT_FALSE(ZoneLocalToUTC(kSydney, false, At(2026, 10, 4, 2, 30, 0)));
}

TEST(ZoneConversion, RepeatedLocalHourFollowsPreferDaylight) {
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, true, At(2026, 10, 25, 2, 0, 0)), At(2026, 10, 25, 0, 0, 0)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, false, At(2026, 10, 25, 2, 0, 0)), At(2026, 10, 25, 1, 0, 0)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, true, At(2026, 10, 25, 2, 59, 59)), At(2026, 10, 25, 0, 59, 59)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kBerlin, false, At(2026, 10, 25, 2, 59, 59)), At(2026, 10, 25, 1, 59, 59)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kSydney, true, At(2026, 4, 5, 2, 30, 0)), At(2026, 4, 4, 15, 30, 0)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(kSydney, false, At(2026, 4, 5, 2, 30, 0)), At(2026, 4, 4, 16, 30, 0)));
}

TEST(ZoneConversion, TransitionInstantWithinATenthOfAMillisecondStartsTheNewPeriod) {
    const TDateTime start = At(2026, 3, 29, 1, 0, 0);
    const double tenthMs = 0.0001 * kOneSecond;
    EXPECT_NEAR(UTCToZoneLocal(kBerlin, start - 0.5 * tenthMs), start + 2 * kOneHour, 1e-9);
    EXPECT_NEAR(UTCToZoneLocal(kBerlin, start - 2 * tenthMs), start + kOneHour - 2 * tenthMs, 1e-9);
    // A local instant a hair before the end of the skipped hour already exists.
    EXPECT_TRUE(ZoneLocalToUTC(kBerlin, false, At(2026, 3, 29, 3, 0, 0) - 0.5 * tenthMs));
    EXPECT_FALSE(ZoneLocalToUTC(kBerlin, false, At(2026, 3, 29, 3, 0, 0) - 2 * tenthMs));
}

TEST(ZoneConversion, ZoneWithoutDaylightSavingUsesItsBias) {
    const ZoneRules tokyo{-540, 0, 0, {}, {}};
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(tokyo, At(2026, 12, 31, 20, 0)), At(2027, 1, 1, 5, 0)));
    EXPECT_TRUE(SameInstant(ZoneLocalToUTC(tokyo, false, At(2027, 1, 1, 5, 0)), At(2026, 12, 31, 20, 0)));
}

TEST(ZoneConversion, RuleAtTheLastMillisecondOfTheDay) {
    // Santiago: daylight saving ends when the first Saturday of April 2026 (the 4th) reaches 23:59:59.999.
    const ZoneRules santiago{240, 0, -60, {0, 4, 6, 1, 23, 59, 59, 999}, {0, 9, 6, 1, 23, 59, 59, 999}};
    const TDateTime end = At(2026, 4, 5, 2, 59, 59, 999);   // in UTC
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(santiago, end - 0.001 * kOneSecond), At(2026, 4, 4, 23, 59, 59, 998)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(santiago, end), At(2026, 4, 4, 22, 59, 59, 999)));
    // Daylight saving starts when the first Saturday of September (the 5th) ends.
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(santiago, At(2026, 9, 6, 3, 59, 59, 999)), At(2026, 9, 6, 0, 59, 59, 999)));
    EXPECT_TRUE(SameInstant(UTCToZoneLocal(santiago, At(2026, 9, 6, 3, 59, 58)), At(2026, 9, 5, 23, 59, 58)));
}
