#include <gtest/gtest.h>

#include "base/locale_text.h"

using namespace vt;

namespace {
TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime(y, mo, d, h, mi, s, ms);
}
}  // namespace

TEST(DateTimeToText, MidnightShowsTheDateAlone) {
    std::wstring midnight = DateTimeToText(At(2024, 3, 4));
    std::wstring morning = DateTimeToText(At(2024, 3, 4, 7, 5, 9));
    ASSERT_FALSE(midnight.empty());
    EXPECT_EQ(morning.rfind(midnight + L" ", 0), 0u) << "the same date, then the time";
    EXPECT_NE(morning.find(L"05"), std::wstring::npos);
    EXPECT_NE(morning.find(L"09"), std::wstring::npos) << "the long time shows seconds";
    EXPECT_NE(midnight.find(L"2024"), std::wstring::npos);
    EXPECT_NE(DateTimeToText(At(2024, 3, 4, 0, 0, 0, 1)), midnight) << "only exact midnight drops the time";
}
