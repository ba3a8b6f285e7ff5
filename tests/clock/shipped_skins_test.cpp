// Every skin the program ships, drawn whole on Wine's 20 px taskbar and on a 40 px one like Windows'.
#include <gtest/gtest.h>

#include "clock/clock_paint.h"
#include "clock/clock_paint_fakes.h"
#include "support/clock_skin_fixture.h"
#include "support/test_support.h"

namespace vt {
namespace {

constexpr COLORREF kBelow = RGB(1, 254, 3);   // the canvas below the clock window

struct Case {
    const wchar_t* skin;
    int height;
    bool bigDate;
};

class ShippedSkin : public testing::TestWithParam<Case> {};

TEST_P(ShippedSkin, IsDrawnWholeInsideTheClockWindow) {
    const Case& k = GetParam();
    test::FakeNow now;
    now.Set(EncodeDateTime(2024, 12, 28, 23, 58, 48));   // wide digits, a two-digit day
    test::FakeTaskbar taskbar;
    taskbar.taskbarSize = {1024, k.height};
    test::FakeZones zones;
    ClockPainter painter(taskbar, now, &zones);
    painter.InitClockPaint(test::DistDir() + L"skins\\");
    ASSERT_TRUE(painter.LoadSkin(k.skin));
    // The fullest horizontal clock: seconds, 12-hour mark, date and weekday.
    TClockOptions& c = painter.ClockOptions();
    c.ShowSeconds = c.EnglishTime = c.ShowDate = c.WeekShow = true;
    c.BigDate = k.bigDate;
    c.Blink = c.ShowWeather = c.ShowZone = false;
    painter.UpdateClockDigits();
    const int width = painter.CalcClockWidth() + 8;
    taskbar.clockClient = {0, 0, width, k.height};

    // The canvas reaches 30 pixels below the window: whatever lands there was cut off on the taskbar.
    test::DibCanvas canvas(width, k.height + 30, kBelow);
    painter.PaintClock(canvas.dc(), RECT{0, 0, width, k.height});
    int drawn = 0;
    for (int y = 0; y < k.height + 30; ++y) {
        for (int x = 0; x < width; ++x) {
            if (canvas.Pixel(x, y) == kBelow) continue;
            ASSERT_LT(y, k.height) << "drawn below the clock window at x " << x;
            ++drawn;
        }
    }
    EXPECT_GT(drawn, width * 4) << "the clock was drawn at all";
}

INSTANTIATE_TEST_SUITE_P(AllSkins, ShippedSkin,
                         testing::Values(Case{L"Gold", 20, false}, Case{L"Gold", 20, true}, Case{L"Gold", 40, true},
                                         Case{L"Silver", 20, false}, Case{L"Silver", 20, true}, Case{L"Silver", 40, true},
                                         Case{L"Azure", 20, false}, Case{L"Azure", 20, true}, Case{L"Azure", 40, true},
                                         Case{L"Ember", 20, false}, Case{L"Ember", 20, true}, Case{L"Ember", 40, true}));

}  // namespace
}  // namespace vt
