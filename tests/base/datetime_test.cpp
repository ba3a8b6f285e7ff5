#include <gtest/gtest.h>

#include "base/datetime.h"

using namespace vt;

TEST(DateTime, EpochAndKnownDays) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351.0);
}

TEST(DateTime, InvalidDatesDoNotEncode) {
    TDateTime out = -1;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(2024, 13, 1, out));
    EXPECT_FALSE(TryEncodeDate(2024, 4, 31, out));
    EXPECT_FALSE(TryEncodeDate(2024, 1, 0, out));
    EXPECT_EQ(out, -1);
}

TEST(DateTime, DecodeRoundsToTheMillisecond) {
    TDateTime v = EncodeDateTime(2026, 12, 8, 23, 59, 59, 999);
    EXPECT_EQ(DecodeDateTime(v), (CivilTime{2026, 12, 8, 23, 59, 59, 999}));
    // A value a hair below midnight is midnight of the next day, not 23:59:59.999.
    EXPECT_EQ(DecodeDateTime(EncodeDate(2026, 12, 9) - 1e-12), (CivilTime{2026, 12, 9, 0, 0, 0, 0}));
}

TEST(DateTime, RoundTripsEveryDayOfFourHundredYears) {
    for (TDateTime d = EncodeDate(1900, 1, 1); d < EncodeDate(2300, 1, 1); d += 1) {
        CivilTime t = DecodeDateTime(d);
        ASSERT_EQ(EncodeDate(t.year, t.month, t.day), d);
    }
}

TEST(DateTime, WeekdaysAndIsoWeeks) {
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 8)), 3);  // Tuesday
    EXPECT_EQ(IsoDayOfWeek(EncodeDate(2026, 12, 13)), 7);
    EXPECT_EQ(IsoWeekOfYear(EncodeDate(2021, 1, 3)), 53);  // belongs to 2020's last week
    EXPECT_EQ(IsoWeekOfYear(EncodeDate(2024, 12, 30)), 1);
    EXPECT_EQ(IsoWeekOfYear(EncodeDate(2026, 12, 8)), 50);
}

TEST(DateTime, IncMonthClipsToShortMonths) {
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 12, 15), 1), EncodeDate(2025, 1, 15));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 31), -1), EncodeDate(2024, 2, 29));
}
