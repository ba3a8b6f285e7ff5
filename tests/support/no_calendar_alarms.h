// The alarm details of a calendar month that holds no alarm: the calendar draws its days and nothing more.
#pragma once
#include <optional>
#include <string>

#include "alarms/calendar2.h"

namespace vt::test {

struct NoCalendarAlarms final : ICalendarAlarmDetails {
    std::wstring IconFile(int) override { return L""; }
    std::optional<TAlRecord> ReadAlarm(int) override { return std::nullopt; }
    std::wstring DateText(TDateTime) override { return L""; }
    std::wstring TimeText(TDateTime) override { return L""; }
};

}  // namespace vt::test
