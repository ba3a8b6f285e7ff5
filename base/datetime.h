// The program's date-time: a double counting days since 30 December 1899, the fraction being the time
// of day. Values stay doubles at the edges (files, registry); calendar arithmetic happens here.
#pragma once
#include <cstdint>

namespace vt {

using TDateTime = double;

inline constexpr double kHoursPerDay = 24.0;
inline constexpr double kMinutesPerDay = 1440.0;
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMSecsPerDay = 86400000.0;
inline constexpr double kOneHour = 1.0 / 24.0;
inline constexpr double kOneMinute = 1.0 / 1440.0;
inline constexpr double kOneSecond = 1.0 / 86400.0;
// The first moment after 31 December 9999, the last day a date can name.
inline constexpr TDateTime kMaxDateTime = 2958466.0;

struct CivilTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    bool operator==(const CivilTime&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);                // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);  // 0 for an invalid date
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
TDateTime EncodeDateTime(const CivilTime& t);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);

// Rounds to the nearest millisecond, as the stored values were written.
CivilTime DecodeDateTime(TDateTime value);
// Whole milliseconds since the epoch, rounded; the one place where day fractions are rounded.
std::int64_t DateTimeToMSecs(TDateTime value);
TDateTime MSecsToDateTime(std::int64_t msecs);

TDateTime DateOf(TDateTime value);   // midnight of the value's day
TDateTime TimeOf(TDateTime value);   // the time of day alone

int DayOfWeek(TDateTime value);      // 1 = Sunday ... 7 = Saturday
int IsoDayOfWeek(TDateTime value);   // 1 = Monday ... 7 = Sunday
int IsoWeekOfYear(TDateTime value);  // ISO 8601 week number, 1..53

// Adds months keeping the day, clipped to the last day of a shorter month.
TDateTime IncMonth(TDateTime value, int months);

}  // namespace vt
