#include "base/datetime.h"

#include <cmath>

namespace vt {

namespace {
// Days from 0001-01-01 (proleptic Gregorian) to 1899-12-30.
constexpr std::int64_t kEpochOffset = 693593;

std::int64_t DaysFromCivil(int y, int m, int d) {
    // Days before the date, counted from 0001-01-01.
    std::int64_t yy = y - 1;
    std::int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    static const int kCum[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    days += kCum[m - 1] + (m > 2 && IsLeapYear(y) ? 1 : 0) + d - 1;
    return days;
}

void CivilFromDays(std::int64_t days, int& y, int& m, int& d) {
    // days counted from 0001-01-01; algorithm on 400-year cycles.
    std::int64_t n = days;
    std::int64_t q400 = n / 146097;
    n %= 146097;
    if (n < 0) { n += 146097; --q400; }
    std::int64_t q100 = n / 36524;
    if (q100 == 4) q100 = 3;
    n -= q100 * 36524;
    std::int64_t q4 = n / 1461;
    n -= q4 * 1461;
    std::int64_t q1 = n / 365;
    if (q1 == 4) q1 = 3;
    n -= q1 * 365;
    y = static_cast<int>(q400 * 400 + q100 * 100 + q4 * 4 + q1 + 1);
    m = 1;
    for (;;) {
        int dim = DaysInMonth(y, m);
        if (n < dim) break;
        n -= dim;
        ++m;
    }
    d = static_cast<int>(n) + 1;
}
}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (!IsValidDate(year, month, day)) return false;
    out = static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r = 0;
    return TryEncodeDate(year, month, day, r) ? r : 0;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / kMSecsPerDay;
}

TDateTime EncodeDateTime(const CivilTime& t) {
    return EncodeDate(t.year, t.month, t.day) + EncodeTime(t.hour, t.minute, t.second, t.millisecond);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, millisecond);
}

std::int64_t DateTimeToMSecs(TDateTime value) { return std::llround(value * kMSecsPerDay); }

TDateTime MSecsToDateTime(std::int64_t msecs) { return static_cast<double>(msecs) / kMSecsPerDay; }

CivilTime DecodeDateTime(TDateTime value) {
    std::int64_t ms = DateTimeToMSecs(value);
    std::int64_t day = ms / 86400000;
    std::int64_t rest = ms % 86400000;
    if (rest < 0) { rest += 86400000; --day; }
    CivilTime t;
    CivilFromDays(day + kEpochOffset, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

TDateTime DateOf(TDateTime value) {
    CivilTime t = DecodeDateTime(value);
    return EncodeDate(t.year, t.month, t.day);
}

TDateTime TimeOf(TDateTime value) {
    CivilTime t = DecodeDateTime(value);
    return EncodeTime(t.hour, t.minute, t.second, t.millisecond);
}

int DayOfWeek(TDateTime value) {
    std::int64_t day = DateTimeToMSecs(value) / 86400000;
    if (DateTimeToMSecs(value) < 0 && DateTimeToMSecs(value) % 86400000) --day;
    // 1899-12-30 was a Saturday.
    int r = static_cast<int>(((day + 6) % 7 + 7) % 7);  // 0 = Sunday
    return r + 1;
}

int IsoDayOfWeek(TDateTime value) {
    int d = DayOfWeek(value);  // 1 = Sunday
    return d == 1 ? 7 : d - 1;
}

int IsoWeekOfYear(TDateTime value) {
    TDateTime day = DateOf(value);
    // The week belongs to the year of its Thursday.
    TDateTime thursday = day + (4 - IsoDayOfWeek(day));
    CivilTime t = DecodeDateTime(thursday);
    TDateTime jan1 = EncodeDate(t.year, 1, 1);
    return static_cast<int>((thursday - jan1) / 7) + 1;
}

TDateTime IncMonth(TDateTime value, int months) {
    CivilTime t = DecodeDateTime(value);
    int total = t.year * 12 + (t.month - 1) + months;
    t.year = total / 12;
    t.month = total % 12 + 1;
    if (t.day > DaysInMonth(t.year, t.month)) t.day = DaysInMonth(t.year, t.month);
    return EncodeDateTime(t);
}

}  // namespace vt
