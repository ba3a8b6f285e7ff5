#include "alarms/alarm_list_format.h"

#include <windows.h>

#include "clock/base/now.h"

namespace vt {

namespace {
std::wstring Formatted(int(WINAPI* format)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int), DWORD flags,
                       const SYSTEMTIME& st) {
    int n = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, nullptr, 0);
    if (n <= 0) return {};
    std::wstring text(static_cast<size_t>(n), L'\0');
    n = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, text.data(), n);
    text.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return text;
}
}  // namespace

std::wstring FormatAlarmListDateTime(TDateTime value) {
    SYSTEMTIME st = DateTimeToSystemTime(value);
    std::wstring text = Formatted(&GetDateFormatW, DATE_SHORTDATE, st);
    if (DateTimeToMSecs(TimeOf(value)) != 0) text += L" " + Formatted(&GetTimeFormatW, 0, st);
    return text;
}

}  // namespace vt
