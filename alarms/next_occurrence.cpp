#include "alarms/next_occurrence.h"

#include <cmath>

namespace vt {

namespace {

// Midnight of the day of a date-time (dates before 1899 included).
TDateTime WholeDays(TDateTime value) { return DateOf(value); }

// The first of the days `first`, `first`+1, ... `first`+`count`-1 whose time `timeOfDay` lies after
// now and which `matches`.
template <class Match>
std::optional<TDateTime> FirstDayAfter(TDateTime now, TDateTime timeOfDay, int count, Match matches) {
    TDateTime today = WholeDays(now);
    for (int i = 0; i < count; ++i) {
        TDateTime day = today + i;
        TDateTime candidate = day + timeOfDay;
        if (candidate > now && matches(day)) return candidate;
    }
    return std::nullopt;
}

bool WeekdayFlagged(const std::wstring& weeks, int weekday) {
    size_t pos = static_cast<size_t>(weekday - 1);
    return pos < weeks.size() && weeks[pos] == L'1';
}

std::optional<TDateTime> NextHourly(const TAlRecord& a, TDateTime now) {
    if (a.Min < 0 || a.Min > 59) return std::nullopt;
    CivilTime t = DecodeDateTime(now);
    int hour = t.hour + (t.minute >= a.Min ? 1 : 0);
    TDateTime day = EncodeDate(t.year, t.month, t.day);
    if (hour == 24) {
        hour = 0;
        day += 1;
    }
    return day + EncodeTime(hour, a.Min, 0, 0);
}

std::optional<TDateTime> NextMonthly(const TAlRecord& a, TDateTime now, TDateTime timeOfDay) {
    if (a.DayOfMonth < 1 || a.DayOfMonth > 31) return std::nullopt;
    CivilTime t = DecodeDateTime(now);
    // A day 31 appears at least every second month: three months always suffice; a few more are harmless.
    for (int k = 0; k < 14; ++k) {
        int total = t.year * 12 + (t.month - 1) + k;
        int y = total / 12, m = total % 12 + 1;
        TDateTime day = 0;
        if (!TryEncodeDate(y, m, a.DayOfMonth, day)) continue;
        if (day + timeOfDay > now) return day + timeOfDay;
    }
    return std::nullopt;
}

std::optional<TDateTime> NextAnnualy(const TAlRecord& a, TDateTime now, TDateTime timeOfDay) {
    // 29 February exists in some leap year; 30 February or 31 April in none.
    if (a.Month < 1 || a.Month > 12 || a.Day < 1 || a.Day > DaysInMonth(2000, a.Month)) return std::nullopt;
    int year = DecodeDateTime(now).year;
    // 29 February can be eight years apart across a century year that is no leap year.
    for (int y = year; y <= year + 8; ++y) {
        TDateTime day = 0;
        if (!TryEncodeDate(y, a.Month, a.Day, day)) continue;
        if (day + timeOfDay > now) return day + timeOfDay;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TAlRecord> NextOccurrence(const TAlRecord& alarm, TDateTime now) {
    auto kind = AlarmKindOf(alarm.Type);
    if (!kind) return std::nullopt;
    TAlRecord r = alarm;
    TDateTime timeOfDay = FracOf(alarm.DateTime);
    std::optional<TDateTime> next;
    switch (*kind) {
    case TAlarmKind::akOnce:
        if (now > alarm.DateTime) r.Enabled = false;
        return r;
    case TAlarmKind::akHourly:
        next = NextHourly(alarm, now);
        break;
    case TAlarmKind::akDaily:
        // Today and the seven days after it: the same weekday comes back within the window.
        next = FirstDayAfter(now, timeOfDay, 8, [&](TDateTime day) { return WeekdayFlagged(alarm.Weeks, DayOfWeek(day)); });
        break;
    case TAlarmKind::akWeekly:
        if (alarm.Week < 1 || alarm.Week > 7) return std::nullopt;
        next = FirstDayAfter(now, timeOfDay, 8, [&](TDateTime day) { return DayOfWeek(day) == alarm.Week; });
        break;
    case TAlarmKind::akMonthly:
        next = NextMonthly(alarm, now, timeOfDay);
        break;
    case TAlarmKind::akAnnualy:
        next = NextAnnualy(alarm, now, timeOfDay);
        break;
    case TAlarmKind::akRegular:
        if (alarm.Min < 1) return std::nullopt;
        // The interval counts from the moment the alarm is found due, not from its previous time.
        next = now > alarm.DateTime ? now + alarm.Min * kOneMinute : alarm.DateTime;
        break;
    }
    if (!next) return std::nullopt;
    r.DateTime = *next;
    return r;
}

}  // namespace vt
