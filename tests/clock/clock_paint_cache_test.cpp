// The kept clock picture against a full repaint: after every tick and every kind of change, the cached
// paint must leave exactly the pixels a full repaint over the same background leaves.
#include "clock/clock_paint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "clock/clock_paint_fakes.h"
#include "support/clock_skin_fixture.h"
#include "support/gdi_object_count.h"
#include "support/png_writer.h"
#include "support/test_support.h"

namespace vt {
namespace {

const TDateTime kDay = EncodeDateTime(2024, 3, 6, 0, 0, 0);   // a Wednesday

// Stripes of many colours, so a cell restored from the wrong place or a stale background shows.
void FillBackground(const test::DibCanvas& canvas, int seed) {
    for (int x = 0; x < canvas.width(); x += 3) {
        const RECT band{x, 0, x + 3, canvas.height()};
        UniqueBrush brush(CreateSolidBrush(RGB((seed * 53 + x * 7) & 0xFF, (seed * 11 + x) & 0xFF, (x * 5) & 0xFF)));
        FillRect(canvas.dc(), &band, brush.get());
    }
}

struct CacheScene {
    test::TempDir dir;
    test::FakeNow now;
    test::FakeTaskbar taskbar;
    test::FakeZones zones;
    ClockPainter painter{taskbar, now, &zones};
    std::uint64_t background = 1;
    int backgroundSeed = 1;

    CacheScene() {
        test::WriteSyntheticSkin(dir.File(L"Gold"));
        test::WriteSyntheticSkin(dir.File(L"Wide"), {.digitWidth = 12, .digitHeight = 22, .textCellWidth = 7,
                                                     .textCellHeight = 9});
        test::WritePngFile(dir.File(L"icon.png"), 40, 40, std::vector<test::Rgba>(1600, test::Rgba{20, 90, 200, 150}));
        test::WritePngFile(dir.File(L"icon2.png"), 40, 40, std::vector<test::Rgba>(1600, test::Rgba{200, 9, 20, 255}));
        taskbar.clockClient = RECT{0, 0, 640, 40};
        taskbar.taskbarSize = SIZE{1280, 40};
        zones.offsetHours[1] = -5;
        zones.offsetHours[2] = 9;
        painter.InitClockPaint(dir.path());
        EXPECT_TRUE(painter.LoadSkin(L"Gold"));
        // Everything on: seconds and a blinking colon, date and weekday, the zone with its date, the
        // temperature with its icon and place.
        TClockOptions& c = painter.ClockOptions();
        c.ShowSeconds = c.Blink = c.ShowDate = c.WeekShow = c.ShowZone = c.ShowZDate = true;
        c.ShowWeather = c.ShowWeatherIcon = c.ShowLocation = true;
        c.TimeZone = 1;
        c.Prefix = L"NY";
        c.Temper = L"21";
        c.TemperSymbol = L"0C";
        painter.Options().TemperValue = 21;
        painter.Options().WeatherIconPicture = LoadPicture(dir.File(L"icon.png"));
        painter.Options().WeatherLocationLine1 = L"Oslo,";
        painter.Options().WeatherLocationLine2 = L"Norway";
        now.ticks = 3ull * 86400000 + 5000;
    }
    TClockOptions& c() { return painter.ClockOptions(); }
    void At(TDateTime t) {
        now.Set(t, 1);
        now.ticks = 3ull * 86400000 + static_cast<std::uint64_t>((t - kDay) * 86400000.0 + 0.5);
    }
    // The picture under the clock changes: the caller says so with a new number.
    void NewBackground() {
        ++background;
        ++backgroundSeed;
    }

    // One tick: the digits, then the cached paint and a full repaint over the same background.
    ::testing::AssertionResult TickMatches(const std::string& what) {
        painter.UpdateClockDigits();
        const RECT r = taskbar.clockClient;
        test::DibCanvas cached(r.right, r.bottom), full(r.right, r.bottom);
        FillBackground(cached, backgroundSeed);
        FillBackground(full, backgroundSeed);
        painter.PaintClockCached(cached.dc(), r, background);
        painter.PaintClock(full.dc(), r);
        int differ = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x)
                if (cached.Pixel(x, y) != full.Pixel(x, y) && differ++ == 0) firstX = x, firstY = y;
        if (differ == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << what << ": " << differ << " pixels differ, the first at (" << firstX
                                             << ", " << firstY << ")";
    }
};

std::string Clock(TDateTime t) {
    const CivilTime c = DecodeDateTime(t);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    return text;
}

// Seconds in a row from `from`, then a tick every `step` seconds until `to`.
void Ticks(CacheScene& s, TDateTime from, int seconds, const std::string& what) {
    for (int i = 0; i < seconds; ++i) {
        const TDateTime t = from + i / 86400.0;
        s.At(t);
        ASSERT_TRUE(s.TickMatches(what + " at " + Clock(t)));
    }
}

// The turns of a day: every second across midnight (the date and weekday and the zone's date), noon
// (AM and PM), ten o'clock (the leading zero), the top of an hour, and a tick every 7 minutes between.
void ADay(CacheScene& s, const std::string& what) {
    Ticks(s, kDay + EncodeTime(23, 59, 50) - 1, 20, what);
    Ticks(s, kDay + EncodeTime(9, 59, 55), 10, what);
    Ticks(s, kDay + EncodeTime(11, 59, 56), 8, what);
    Ticks(s, kDay + EncodeTime(14, 59, 58), 4, what);
    for (int minute = 0; minute < 24 * 60; minute += 7) {
        s.At(kDay + minute / 1440.0 + 13 / 86400.0);
        ASSERT_TRUE(s.TickMatches(what + " at minute " + std::to_string(minute)));
    }
}

TEST(ClockPictureCache, EveryTickOfADayMatchesAFullRepaintInEachStyle) {
    CacheScene s;
    ADay(s, "key-coloured plate");
    s.c().TransparentClock = true;
    ADay(s, "transparent glyphs");
    s.c().TransparentClock = false;
    s.c().GradientClock = s.c().GradientHoriz = true;
    s.c().Color1 = RGB(250, 4, 30);
    s.c().Color2 = RGB(3, 200, 90);
    ADay(s, "gradient");
    s.c().GradientClock = false;
    s.c().ShowZero = false;
    s.c().EnglishTime = false;
    ADay(s, "24-hour clock without the leading zero");
    s.c().ShowSeconds = false;
    s.c().BigDate = true;
    ADay(s, "big date, no seconds");
}

TEST(ClockPictureCache, UptimeTicksMatchAcrossADayOfUptime) {
    CacheScene s;
    s.c().Mode = 1;
    ADay(s, "uptime");
    s.c().ShowSeconds = false;
    ADay(s, "uptime without seconds");
}

TEST(ClockPictureCache, TallAndVerticalTaskbarsMatch) {
    CacheScene s;
    s.taskbar.clockClient = RECT{0, 0, 200, 110};
    s.taskbar.taskbarSize = SIZE{1280, 110};
    s.NewBackground();
    ADay(s, "tall taskbar");
    s.taskbar.clockClient = RECT{0, 0, 120, 160};
    s.taskbar.taskbarSize = SIZE{120, 900};
    s.taskbar.edge = ABE_LEFT;
    s.NewBackground();
    ADay(s, "vertical taskbar");
}

// After each change the next paint must show it: the kept picture may not stand in for it.
TEST(ClockPictureCache, EachKindOfChangeShowsAtTheNextPaint) {
    CacheScene s;
    s.At(kDay + EncodeTime(10, 20, 30));
    ASSERT_TRUE(s.TickMatches("first paint"));
    using Change = std::function<void()>;
    const std::pair<const char*, Change> changes[] = {
        {"seconds off", [&] { s.c().ShowSeconds = false; }},
        {"weekday as a name", [&] { s.c().NameWeek = true; }},
        {"12-hour clock off", [&] { s.c().EnglishTime = false; }},
        {"big date", [&] { s.c().BigDate = true; }},
        {"date off", [&] { s.c().ShowDate = false; }},
        {"zone prefix", [&] { s.c().Prefix = L"LA"; }},
        {"another zone", [&] { s.c().TimeZone = 2; }},
        {"the zone moves an hour", [&] { s.zones.offsetHours[2] = 10; }},
        {"zone date off", [&] { s.c().ShowZDate = false; }},
        {"zone off", [&] { s.c().ShowZone = false; }},
        {"temperature", [&] { s.c().Temper = L"3.5"; s.painter.Options().TemperValue = -3.5; }},
        {"unit", [&] { s.c().TemperSymbol = L"0F"; }},
        {"place", [&] { s.painter.Options().WeatherLocationLine1 = L"Bergen,"; }},
        {"place, second line", [&] { s.painter.Options().WeatherLocationLine2 = L"Vestland"; }},
        {"another icon", [&] { s.painter.Options().WeatherIconPicture = LoadPicture(s.dir.File(L"icon2.png")); }},
        {"icon off", [&] { s.c().ShowWeatherIcon = false; }},
        {"place off", [&] { s.c().ShowLocation = false; }},
        {"weather off", [&] { s.c().ShowWeather = false; }},
        {"transparent", [&] { s.c().TransparentClock = true; }},
        {"gradient", [&] { s.c().GradientClock = true; s.c().Color1 = RGB(9, 90, 190); }},
        {"gradient colour", [&] { s.c().Color2 = RGB(255, 255, 0); }},
        {"gradient direction", [&] { s.c().GradientHoriz = !s.c().GradientHoriz; }},
        {"blink off", [&] { s.c().Blink = false; }},
        {"another skin", [&] { ASSERT_TRUE(s.painter.LoadSkin(L"Wide")); }},
        {"a wider clock window", [&] { s.taskbar.clockClient.right += 50; s.NewBackground(); }},
        {"another background", [&] { s.NewBackground(); }},
        {"the next day", [&] { s.At(kDay + 1 + EncodeTime(10, 20, 31)); }},
        {"uptime", [&] { s.c().Mode = 1; }},
        {"uptime of another day", [&] { s.now.ticks += 86400000; }},
        {"the clock again", [&] { s.c().Mode = 0; }},
        {"zone back on", [&] { s.c().ShowZone = true; }},
    };
    for (const auto& [what, change] : changes) {
        change();
        ASSERT_TRUE(s.TickMatches(what));
        // A second paint of the same instant comes from the kept picture.
        ASSERT_TRUE(s.TickMatches(std::string(what) + ", painted again"));
    }
}

TEST(ClockPictureCache, AnUnchangedBackgroundNumberKeepsTheComposedPictureAndItsObjects) {
    CacheScene s;
    s.At(kDay + EncodeTime(10, 20, 30));
    ASSERT_TRUE(s.TickMatches("first paint"));
    const RECT r = s.taskbar.clockClient;
    // A caller that hands over another background without a new number gets the kept picture: proof
    // that the picture is kept, and the reason the number must change with the background.
    test::DibCanvas canvas(r.right, r.bottom);
    FillBackground(canvas, 1);
    s.painter.PaintClockCached(canvas.dc(), r, s.background);
    const COLORREF corner = canvas.Pixel(0, r.bottom - 1);
    canvas.Fill(RGB(1, 2, 3));
    s.painter.PaintClockCached(canvas.dc(), r, s.background);
    EXPECT_EQ(canvas.Pixel(0, r.bottom - 1), corner);
    canvas.Fill(RGB(1, 2, 3));
    s.NewBackground();
    s.painter.PaintClockCached(canvas.dc(), r, s.background);
    EXPECT_EQ(canvas.Pixel(0, r.bottom - 1), RGB(1, 2, 3));

    // A thousand ticks hold no more objects than the first.
    const DWORD objects = test::LiveGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        s.At(kDay + EncodeTime(10, 21, 0) + i / 86400.0);
        s.painter.UpdateClockDigits();
        s.painter.PaintClockCached(canvas.dc(), r, s.background);
    }
    EXPECT_EQ(test::LiveGdiObjects(), objects);
    // The kept picture holds the skin selected; a skin change must still free the old bitmaps.
    ASSERT_TRUE(s.painter.LoadSkin(L"Wide"));
    ASSERT_TRUE(s.painter.LoadSkin(L"Gold"));
    EXPECT_TRUE(s.TickMatches("after two skin changes"));
    EXPECT_EQ(test::LiveGdiObjects(), objects);
}

// The main form asks before it repaints: seconds that change nothing on the clock cost no paint.
TEST(ClockPictureCache, OnlyASecondThatChangesTheClockAsksForAPaint) {
    CacheScene s;
    s.c().ShowSeconds = s.c().Blink = false;
    s.At(kDay + EncodeTime(10, 20, 30));
    s.painter.UpdateClockDigits();
    EXPECT_TRUE(s.painter.PictureOutdated()) << "nothing painted yet";
    ASSERT_TRUE(s.TickMatches("first paint"));
    s.At(kDay + EncodeTime(10, 20, 31));
    s.painter.UpdateClockDigits();
    EXPECT_FALSE(s.painter.PictureOutdated());
    s.At(kDay + EncodeTime(10, 21, 0));
    s.painter.UpdateClockDigits();
    EXPECT_TRUE(s.painter.PictureOutdated()) << "a new minute";
    ASSERT_TRUE(s.TickMatches("the new minute"));
    s.painter.Options().WeatherLocationLine1 = L"Bergen,";
    EXPECT_TRUE(s.painter.PictureOutdated()) << "another place";
    ASSERT_TRUE(s.TickMatches("another place"));
    s.c().Blink = true;
    EXPECT_TRUE(s.painter.PictureOutdated()) << "another option";
    ASSERT_TRUE(s.TickMatches("blinking"));
    // With the colon blinking, two seconds of three change the clock.
    int outdated = 0;
    for (int second = 1; second <= 30; ++second) {
        s.At(kDay + EncodeTime(10, 21, second));
        s.painter.UpdateClockDigits();
        outdated += s.painter.PictureOutdated();
        ASSERT_TRUE(s.TickMatches("blinking"));
    }
    EXPECT_EQ(outdated, 20);
}

}  // namespace
}  // namespace vt
