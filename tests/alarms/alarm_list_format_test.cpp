#include <gtest/gtest.h>

#include "alarm_fakes.h"
#include "alarms/alarm_list_format.h"

using namespace vt;
using vt::test::At;

TEST(AlarmListDateTime, MidnightShowsTheDateAlone) {
    std::wstring midnight = FormatAlarmListDateTime(At(2024, 3, 4));
    std::wstring morning = FormatAlarmListDateTime(At(2024, 3, 4, 7, 5, 9));
    ASSERT_FALSE(midnight.empty());
    EXPECT_EQ(morning.rfind(midnight + L" ", 0), 0u) << "the same date, then the time";
    EXPECT_NE(morning.find(L"05"), std::wstring::npos);
    EXPECT_NE(morning.find(L"09"), std::wstring::npos) << "the long time shows seconds";
    EXPECT_NE(midnight.find(L"2024"), std::wstring::npos);
    EXPECT_NE(FormatAlarmListDateTime(At(2024, 3, 4, 0, 0, 0, 1)), midnight) << "only exact midnight drops the time";
}
