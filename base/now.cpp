#include "base/now.h"

namespace vt {

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

SYSTEMTIME DateTimeToSystemTime(TDateTime value) {
    CivilTime t = DecodeDateTime(value);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) - 1);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

TDateTime SystemNow::Now() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

TDateTime SystemNow::UtcNow() const {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return SystemTimeToDateTime(st);
}

const INow& SystemClock() {
    static const SystemNow clock;
    return clock;
}

}  // namespace vt
