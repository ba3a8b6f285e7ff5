#include "clock/clock_paint.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "clock/clock_paint_fakes.h"
#include "support/clock_skin_fixture.h"
#include "support/png_writer.h"
#include "support/gdi_object_count.h"
#include "support/test_support.h"

namespace vt {
namespace {

using test::DigitCellColor;
using test::kSkinKey;
using test::TextCellColor;

// Skin cells: digits 10 x 20, text 6 x 8, so the text rows sit 3 pixels below the digit tops.
constexpr int DW = 10, DH = 20, TW = 6, TH = 8, kOff = 3;
constexpr COLORREF kTaskbar = RGB(12, 34, 56);

struct ClockScene {
    test::TempDir dir;
    test::FakeNow now;
    test::FakeTaskbar taskbar;
    test::FakeZones zones;
    ClockPainter painter{taskbar, now, &zones};

    ClockScene() {
        test::WriteSyntheticSkin(dir.File(L"Gold"));
        painter.InitClockPaint(dir.path());
        EXPECT_TRUE(painter.LoadSkin(L"Gold"));
        // A bare clock: 24 hours, no date, no weekday, no weather; each test switches on what it checks.
        TClockOptions& c = painter.ClockOptions();
        c.EnglishTime = false;
        c.WeekShow = false;
        c.ShowDate = false;
        c.ShowWeather = false;
        c.ShowWeatherIcon = false;
        c.ShowZDate = false;
        c.Blink = false;
        now.Set(EncodeDateTime(2024, 3, 6, 10, 20, 30));   // a Wednesday in ISO week 10
    }
    TClockOptions& c() { return painter.ClockOptions(); }
    void At(int h, int m, int s = 0) { now.Set(EncodeDateTime(2024, 3, 6, h, m, s)); }

    // Paints the clock window's client area over the taskbar colour; the scene keeps every picture.
    const test::DibCanvas& Paint() {
        painter.UpdateClockDigits();
        const RECT r = taskbar.clockClient;
        canvases.push_back(std::make_unique<test::DibCanvas>(r.right, r.bottom, kTaskbar));
        painter.PaintClock(canvases.back()->dc());
        return *canvases.back();
    }
    std::vector<std::unique_ptr<test::DibCanvas>> canvases;
};

// Runs of digit-cell colour along one row: which digit glyph starts at which x.
std::vector<std::pair<int, int>> DigitRuns(const test::DibCanvas& canvas, int y) {
    std::vector<std::pair<int, int>> runs;
    COLORREF last = CLR_INVALID;
    for (int x = 0; x < canvas.width(); ++x) {
        COLORREF px = canvas.Pixel(x, y);
        if (px != last)
            if (auto d = test::DigitOfColor(px)) runs.emplace_back(*d, x);
        last = px;
    }
    return runs;
}

using Runs = std::vector<std::pair<int, int>>;

// The text glyph whose cell starts at (x, y); its top-left pixel is key-coloured, so look one in.
std::optional<wchar_t> TextAt(const test::DibCanvas& canvas, int x, int y) {
    return test::TextCharOfColor(canvas.Pixel(x + 1, y + 1));
}

bool ColonAt(const test::DibCanvas& canvas, int slotX, int top) {
    // Upper square of a colon: DW / 4 = 2 pixels at (slot + DW / 2, top + DH / 3).
    return canvas.Pixel(slotX + DW / 2, top + DH / 3) == DigitCellColor(0) &&
           canvas.Pixel(slotX + DW / 2 + 1, top + 2 * DH / 3 + 1) == DigitCellColor(0);
}

// ---- measuring ----

TEST(CalcClockRect, WidthFollowsTheShownParts) {
    ClockScene s;
    struct Case {
        const char* what;
        void (*set)(TClockOptions&);
        int width, height;
    };
    const Case cases[] = {
        {"bare 24-hour time", [](TClockOptions&) {}, 66, 30},
        {"seconds", [](TClockOptions& c) { c.ShowSeconds = true; }, 66 + 32, 30},
        {"AM/PM and weekday", [](TClockOptions& c) { c.EnglishTime = c.WeekShow = true; }, 66 + 19, 30},
        {"weekday only", [](TClockOptions& c) { c.WeekShow = true; }, 66 + 19, 30},
        {"AM/PM only", [](TClockOptions& c) { c.EnglishTime = true; }, 66 + 14, 30},
        {"small date", [](TClockOptions& c) { c.ShowDate = true; }, 66 + 23, 30},
        {"large date", [](TClockOptions& c) { c.ShowDate = c.BigDate = true; }, 66 + 68, 30},
        {"uptime", [](TClockOptions& c) { c.Mode = 1; }, 66 + 19 + 23 + 4, 30},
        {"uptime ignores the large date", [](TClockOptions& c) { c.Mode = 1; c.BigDate = true; }, 66 + 19 + 23 + 4, 30},
        {"painter defaults", [](TClockOptions& c) {
             c.EnglishTime = c.WeekShow = c.ShowDate = c.ShowWeather = c.ShowWeatherIcon = true;
         }, 66 + 19 + 23 + 39, 30},
    };
    for (const Case& k : cases) {
        s.c() = TClockOptions{};
        s.c().EnglishTime = s.c().WeekShow = s.c().ShowZDate = s.c().ShowWeatherIcon = false;
        k.set(s.c());
        s.painter.UpdateClockDigits();
        EXPECT_EQ(s.painter.CalcClockWidth(), k.width) << k.what;
        EXPECT_EQ(s.painter.CalcClockHeight(), k.height) << k.what;
    }
}

TEST(CalcClockRect, BlockWidths) {
    ClockScene s;
    s.c().ShowZone = true;
    s.c().Prefix = L"LONDON";
    EXPECT_EQ(s.painter.ZoneBlockWidth(), 6 * TW + 2 * TW);              // the prefix is the wider line
    s.c().Prefix = L"NY";
    EXPECT_EQ(s.painter.ZoneBlockWidth(), 5 * TW + 2 * TW);              // the time is
    s.c().EnglishTime = true;
    s.c().ShowZDate = true;
    EXPECT_EQ(s.painter.ZoneBlockWidth(), 21 + 5 * TW + 2 * TW + 2 * TW);
    s.c().ShowZone = false;
    EXPECT_EQ(s.painter.ZoneBlockWidth(), 0);

    s.c().ShowWeather = true;
    s.c().Temper = L"12";
    s.painter.Options().TemperValue = -12;
    EXPECT_EQ(s.painter.WeatherBlockWidth(), DW / 2 + 2 * (DW + 2) + 2 * TW);
    s.c().ShowWeatherIcon = true;
    s.c().ShowLocation = true;
    s.c().TemperSymbol = L"0C";
    s.painter.Options().WeatherLocationLine1 = L"Oslo,";
    s.painter.Options().WeatherLocationLine2 = L"Norway";
    EXPECT_EQ(s.painter.WeatherBlockWidth(), DW / 2 + 2 * (DW + 2) + 2 * TW + 9 + 27 + 6 * TW);
}

TEST(CalcClockRect, HalfCellsRoundToEven) {
    ClockScene s;
    test::WriteSyntheticSkin(s.dir.File(L"Seven"), {.textCellWidth = 7});
    ASSERT_TRUE(s.painter.LoadSkin(L"Seven"));
    s.c().ShowZone = true;
    s.c().ShowZDate = true;
    EXPECT_EQ(s.painter.ZoneBlockWidth(), 24 + 5 * 7 + 2 * 7);   // 3.5 x 7 = 24.5 rounds to 24
}

// ---- the time ----

TEST(PaintTimeAndDate, TwelveHourClock) {
    struct Case {
        int h, m;
        bool showZero;
        Runs digits;   // offsets from the time area's left edge
        wchar_t ampm;
    };
    const Case cases[] = {
        {0, 30, true, {{1, 0}, {2, 12}, {3, 32}, {0, 44}}, L'A'},
        {12, 5, true, {{1, 0}, {2, 12}, {0, 32}, {5, 44}}, L'P'},
        {13, 0, false, {{1, 0}, {0, 20}, {0, 32}}, L'P'},
        {13, 0, true, {{0, 0}, {1, 12}, {0, 32}, {0, 44}}, L'P'},
        {11, 59, false, {{1, 0}, {1, 12}, {5, 32}, {9, 44}}, L'A'},
    };
    for (const Case& k : cases) {
        ClockScene s;
        s.c().EnglishTime = true;
        s.c().ShowZero = k.showZero;
        s.At(k.h, k.m);
        const auto& canvas = s.Paint();
        const ClockLayout l = s.painter.LayoutClockParts();
        Runs expected;
        for (auto [d, x] : k.digits) expected.emplace_back(d, l.Left + x);
        EXPECT_EQ(DigitRuns(canvas, l.Top + 1), expected) << k.h << ":" << k.m;
        // AM/PM after the time area: 3 pixels after the minutes, 2 more before the letters.
        const int end = expected.back().second + DW + 3;
        EXPECT_EQ(TextAt(canvas, end + 2, l.Top + kOff), k.ampm);
        EXPECT_EQ(TextAt(canvas, end + 2 + TW, l.Top + kOff), L'M');
    }
}

TEST(PaintTimeAndDate, LeadingZeroTakesItsPlaceAndWidth) {
    ClockScene s;
    s.At(7, 45);
    s.c().ShowZero = false;
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1), (Runs{{7, l.Left}, {4, l.Left + 20}, {5, l.Left + 32}}));
    const int narrow = s.painter.CalcClockWidth();

    s.c().ShowZero = true;
    const auto& zero = s.Paint();
    const ClockLayout z = s.painter.LayoutClockParts();
    EXPECT_EQ(z.Left, l.Left - (DW + 2) / 2) << "the wider clock is centred again";
    EXPECT_EQ(DigitRuns(zero, z.Top + 1), (Runs{{0, z.Left}, {7, z.Left + 12}, {4, z.Left + 32}, {5, z.Left + 44}}));
    EXPECT_EQ(s.painter.CalcClockWidth(), narrow + DW + 2);

    // Two-digit hours never lose a digit.
    s.c().ShowZero = false;
    s.At(17, 45);
    s.painter.UpdateClockDigits();
    EXPECT_EQ(s.painter.CalcClockWidth(), narrow + DW + 2);
}

TEST(PaintTimeAndDate, SecondsAndColons) {
    ClockScene s;
    s.c().ShowSeconds = true;
    s.At(10, 20, 37);
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left;
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1),
              (Runs{{1, x}, {0, x + 12}, {2, x + 32}, {0, x + 44}, {3, x + 64}, {7, x + 76}}));
    EXPECT_TRUE(ColonAt(canvas, x + 22, l.Top));
    EXPECT_TRUE(ColonAt(canvas, x + 54, l.Top));
}

TEST(UpdateClockDigits, ColonBlinksOneSecondInThree) {
    ClockScene s;
    s.c().Blink = true;
    std::vector<bool> shown;
    for (int sec = 0; sec < 12; ++sec) {
        s.At(10, 20, sec);
        s.painter.UpdateClockDigits();
        shown.push_back(s.painter.ColonVisible());
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, true, false, true, true, false, true, true, false, true, true, false}));

    // Across the minute the rhythm goes on.
    shown.clear();
    for (int sec : {57, 58, 59, 0, 1, 2, 3, 4, 5}) {
        s.At(10, sec >= 57 ? 20 : 21, sec);
        s.painter.UpdateClockDigits();
        shown.push_back(s.painter.ColonVisible());
    }
    EXPECT_EQ(std::count(shown.begin(), shown.end(), false), 3);
    for (size_t i = 2; i < shown.size(); ++i)
        EXPECT_TRUE(shown[i] || (shown[i - 1] && shown[i - 2])) << "hidden twice in three seconds at " << i;
}

TEST(PaintTimeAndDate, HiddenColonKeepsItsSlot) {
    ClockScene s;
    s.c().Blink = true;
    std::vector<bool> colon;
    std::vector<Runs> digits;
    for (int sec : {0, 1, 2}) {   // the third second hides the colon
        s.At(10, 20, sec);
        const auto& canvas = s.Paint();
        const ClockLayout l = s.painter.LayoutClockParts();
        colon.push_back(ColonAt(canvas, l.Left + 22, l.Top));
        digits.push_back(DigitRuns(canvas, l.Top + 1));
    }
    EXPECT_EQ(colon, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(digits[0], digits[2]);

    s.c().Blink = false;
    s.At(10, 20, 2);
    s.painter.UpdateClockDigits();
    ASSERT_FALSE(s.painter.ColonVisible());
    const auto& steady = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    EXPECT_TRUE(ColonAt(steady, l.Left + 22, l.Top));
}

TEST(PaintTimeAndDate, SmallDateAndWeekday) {
    ClockScene s;
    s.c().ShowDate = true;
    s.c().WeekShow = true;
    s.c().NameWeek = true;
    s.now.Set(EncodeDateTime(2024, 3, 6, 10, 20, 0));
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left, top = l.Top + kOff;
    // Day 06 shows its single digit; the month sits one row lower than the weekday row.
    EXPECT_EQ(TextAt(canvas, x + 9 - 3, top), L'6');
    EXPECT_EQ(TextAt(canvas, x - 1, l.Top + TH + 2 + kOff), L'M');
    EXPECT_EQ(TextAt(canvas, x + TW - 1, l.Top + TH + 2 + kOff), L'A');
    EXPECT_EQ(TextAt(canvas, x + 2 * TW - 1, l.Top + TH + 2 + kOff), L'R');
    const int time = x + 3 * TW + 2;
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1).front(), std::make_pair(1, time));
    const int side = time + 5 * DW + 4 + 3;
    EXPECT_EQ(TextAt(canvas, side, l.Top + TH + 1 + kOff), L'W');
    EXPECT_EQ(TextAt(canvas, side + TW, l.Top + TH + 1 + kOff), L'E');
    EXPECT_EQ(TextAt(canvas, side + 2 * TW, l.Top + TH + 1 + kOff), L'D');

    // A two-digit day, and the ISO week number instead of the name.
    s.c().NameWeek = false;
    s.now.Set(EncodeDateTime(2024, 12, 30, 10, 20, 0));   // ISO week 1 of 2025
    const auto& week = s.Paint();
    EXPECT_EQ(TextAt(week, x + 3 - 1, top), L'3');
    EXPECT_EQ(TextAt(week, x + 9 - 1, top), L'0');
    EXPECT_EQ(TextAt(week, side + 2, l.Top + TH + 1 + kOff), L'0');
    EXPECT_EQ(TextAt(week, side + 2 + TW, l.Top + TH + 1 + kOff), L'1');
}

TEST(PaintTimeAndDate, LargeDate) {
    ClockScene s;
    s.c().ShowDate = true;
    s.c().BigDate = true;
    s.now.Set(EncodeDateTime(2024, 11, 7, 10, 20, 0));
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left;
    // 07.11: no tens digit for the day, the day's units, a dot, the month; then the time.
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1),
              (Runs{{7, x + 12}, {1, x + 32}, {1, x + 44}, {1, x + 68}, {0, x + 80}, {2, x + 100}, {0, x + 112}}));
    EXPECT_EQ(canvas.Pixel(x + 2 * DW + 2 + DW / 2, l.Top + 16), DigitCellColor(0)) << "dot";
}

// ---- uptime ----

TEST(PaintUpTime, DaysHoursMinutes) {
    ClockScene s;
    s.c().Mode = 1;
    s.now.ticks = ((3ull * 24 + 4) * 60 + 5) * 60000 + 17000;
    const auto& canvas = s.Paint();
    EXPECT_EQ(s.painter.UpDays(), 3);
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left, top = l.Top + kOff, bottom = l.Top + TH + 1 + kOff;
    EXPECT_EQ(TextAt(canvas, x + 9 - 3, top), L'3');
    EXPECT_EQ(TextAt(canvas, x - 1, bottom), L'D');
    EXPECT_EQ(TextAt(canvas, x + TW - 1, bottom), L'A');
    EXPECT_EQ(TextAt(canvas, x + 2 * TW - 1, bottom), L'Y');
    const int t = x + 3 * TW + 2;
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1), (Runs{{0, t}, {4, t + 12}, {0, t + 32}, {5, t + 44}}));
    const int end = t + 5 * DW + 4 + 3;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(TextAt(canvas, end + i * TW, bottom), L"TIME"[i]);
    EXPECT_EQ(TextAt(canvas, end + TW, top), L'U');
    EXPECT_EQ(TextAt(canvas, end + 2 * TW, top), L'P');
}

TEST(PaintUpTime, CountsPastFortyNineDays) {
    ClockScene s;
    s.c().Mode = 1;
    s.c().ShowSeconds = true;
    // 50 days, 1:02:03: a 32-bit tick count would have wrapped to 0 days 18:59.
    s.now.ticks = 50ull * 86400000 + 3723000;
    const auto& canvas = s.Paint();
    EXPECT_EQ(s.painter.UpDays(), 50);
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left;
    EXPECT_EQ(TextAt(canvas, x + 3 - 1, l.Top + kOff), L'5');
    EXPECT_EQ(TextAt(canvas, x + 9 - 1, l.Top + kOff), L'0');
    const int t = x + 3 * TW + 2;
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1),
              (Runs{{0, t}, {1, t + 12}, {0, t + 32}, {2, t + 44}, {0, t + 64}, {3, t + 76}}));
    // The uptime's own end: one pixel less than the clock's after the seconds.
    EXPECT_EQ(TextAt(canvas, t + 76 + DW + 3, l.Top + TH + 1 + kOff), L'T');
}

TEST(PaintUpTime, HundredsOfDaysShowAllThreeDigits) {
    ClockScene s;
    s.c().Mode = 1;
    s.now.ticks = 123ull * 86400000 + 60000;
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(TextAt(canvas, l.Left - 1 + i * TW, l.Top + kOff), L"123"[i]) << i;
    EXPECT_EQ(TextAt(canvas, l.Left - 1, l.Top + TH + 1 + kOff), L'D');
}

// ---- weather ----

struct WeatherScene : ClockScene {
    WeatherScene() {
        c().ShowWeather = true;
        c().TemperSymbol = L"\x00B0" L"C";
    }
    void Temperature(const std::wstring& stored, double value) {
        c().Temper = stored;
        painter.Options().TemperValue = value;
    }
};

TEST(PaintWeather, NegativeWholeTemperature) {
    WeatherScene s;
    s.Temperature(L"7", -7);
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left;
    // Minus bar: squares of 2 at x - 6 + 5 and 2 further, half a digit down.
    for (int bx = x - 1; bx < x + 3; ++bx) EXPECT_EQ(canvas.Pixel(bx, l.Top + DH / 2), DigitCellColor(0)) << bx;
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1).front(), std::make_pair(7, x + DW / 2));
    const int deg = x + DW / 2 + DW + 2;
    EXPECT_EQ(TextAt(canvas, deg, l.Top + kOff), L'O');
    EXPECT_EQ(TextAt(canvas, deg, l.Top + TH + 1 + kOff), L'C');
    // The time follows the whole weather block.
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1)[1].second, x + s.painter.WeatherBlockWidth());
}

TEST(PaintWeather, DecimalTemperatureHasNoDegreeSign) {
    WeatherScene s;
    s.Temperature(L"7.5", 7.5);
    s.c().Blink = false;
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left;
    auto runs = DigitRuns(canvas, l.Top + 1);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[0], std::make_pair(7, x));
    EXPECT_EQ(runs[1], std::make_pair(5, x + DW + 2)) << "the 5 shares the dot's slot";
    const int after = x + 2 * (DW + 2);
    EXPECT_FALSE(TextAt(canvas, after, l.Top + kOff));
    EXPECT_FALSE(TextAt(canvas, after, l.Top + TH + 1 + kOff));
    EXPECT_EQ(canvas.Pixel(x + DW, l.Top + 5), kSkinKey);
}

TEST(PaintWeather, MissingUnitShowsFahrenheitAndHidesTheFirstPlaceLine) {
    WeatherScene s;
    s.Temperature(L"7", 7);
    s.c().TemperSymbol = L"";
    s.c().ShowLocation = true;
    s.painter.Options().WeatherLocationLine1 = L"Oslo,";
    s.painter.Options().WeatherLocationLine2 = L"Norway";
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int deg = l.Left + DW + 2;
    EXPECT_EQ(TextAt(canvas, deg, l.Top + TH + 1 + kOff), L'F');
    const int place = deg + TW;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(TextAt(canvas, place + i * TW, l.Top + kOff)) << i;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(TextAt(canvas, place + i * TW, l.Top + TH + 1 + kOff), L"NORWAY"[i]);
    EXPECT_EQ(s.c().TemperSymbol, L"") << "the stored options stay as read";
}

TEST(PaintWeather, IconBesideTheTemperature) {
    WeatherScene s;
    s.Temperature(L"21", 21);
    s.c().ShowWeatherIcon = true;
    test::WritePngFile(s.dir.File(L"icon.png"), 4, 4, std::vector<test::Rgba>(16, test::Rgba{0, 0, 255, 255}));
    s.painter.Options().WeatherIconPicture = LoadPicture(s.dir.File(L"icon.png"));
    ASSERT_TRUE(s.painter.Options().WeatherIconPicture);
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int deg = l.Left + 2 * (DW + 2);
    const int iconLeft = deg + TW + TW - 4 - TW / 2;
    const int iconTop = (l.ClientRect.bottom - l.ClientRect.top) / 2 - 15;
    EXPECT_EQ(canvas.Pixel(iconLeft + 16, iconTop + 16), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(iconLeft + 31, iconTop + 31), RGB(0, 0, 255));
    EXPECT_NE(canvas.Pixel(iconLeft + 32, iconTop + 16), RGB(0, 0, 255));
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1)[2].second, l.Left + s.painter.WeatherBlockWidth());
}

TEST(PaintWeather, NoTemperatureDrawsNoIcon) {
    WeatherScene s;
    s.c().ShowWeatherIcon = true;
    test::WritePngFile(s.dir.File(L"icon.png"), 4, 4, std::vector<test::Rgba>(16, test::Rgba{0, 0, 255, 255}));
    s.painter.Options().WeatherIconPicture = LoadPicture(s.dir.File(L"icon.png"));
    const auto& canvas = s.Paint();
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) ASSERT_NE(canvas.Pixel(x, y), RGB(0, 0, 255));
}

// ---- the zone block ----

TEST(PaintZoneTime, ZoneTimeBeforeTheClock) {
    ClockScene s;
    s.c().ShowZone = true;
    s.c().Prefix = L"NY";
    s.c().TimeZone = 3;
    s.zones.offsetHours[3] = -5;
    s.now.Set(EncodeDateTime(2024, 3, 6, 13, 34, 0), 1);   // local UTC+1: 12:34 UTC, 07:34 in zone 3
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left, top = l.Top + kOff, bottom = l.Top + TH + 1 + kOff;
    EXPECT_EQ(TextAt(canvas, x, top), L'N');
    EXPECT_EQ(TextAt(canvas, x + TW, top), L'Y');
    const wchar_t* zone = L"07:34";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(TextAt(canvas, x + i * TW, bottom), zone[i]) << i;
    EXPECT_EQ(s.painter.DrawnZoneDigits(), (std::array<std::uint8_t, 4>{0, 7, 3, 4}));
    EXPECT_EQ(DigitRuns(canvas, l.Top + 1).front(), std::make_pair(1, x + s.painter.ZoneBlockWidth()));
}

TEST(PaintZoneTime, TwelveHourZoneWithDate) {
    ClockScene s;
    s.c().ShowZone = true;
    s.c().ShowZDate = true;
    s.c().EnglishTime = true;
    s.c().TimeZone = 1;
    s.zones.offsetHours[1] = 10;
    s.now.Set(EncodeDateTime(2024, 3, 31, 20, 5, 0));    // UTC; 06:05 on 1 April in zone 1
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const int x = l.Left, top = l.Top + kOff, bottom = l.Top + TH + 1 + kOff;
    EXPECT_EQ(TextAt(canvas, x + 9 - 3, top), L'1');
    EXPECT_EQ(TextAt(canvas, x - 1, bottom), L'A');
    EXPECT_EQ(TextAt(canvas, x + TW - 1, bottom), L'P');
    EXPECT_EQ(TextAt(canvas, x + 2 * TW - 1, bottom), L'R');
    const int t = x + 21;
    const wchar_t* zone = L"06:05AM";
    for (int i = 0; i < 7; ++i) EXPECT_EQ(TextAt(canvas, t + i * TW, bottom), zone[i]) << i;
    EXPECT_TRUE(s.painter.ZoneIsAM());
}

TEST(PaintZoneTime, UnknownZoneShowsLocalTime) {
    ClockScene s;
    s.c().ShowZone = true;
    s.c().TimeZone = 27;
    s.now.Set(EncodeDateTime(2024, 3, 6, 9, 41, 0), 2);
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    const wchar_t* zone = L"09:41";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(TextAt(canvas, l.Left + i * TW, l.Top + TH + 1 + kOff), zone[i]) << i;

    // Without any zone list at all, the same.
    s.painter.SetZoneClock(nullptr);
    s.c().TimeZone = 0;
    const auto& plain = s.Paint();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(TextAt(plain, l.Left + i * TW, l.Top + TH + 1 + kOff), zone[i]) << i;
}

// ---- taskbar shapes ----

TEST(IsClockTall, DependsOnTheTaskbarShape) {
    ClockScene s;
    s.taskbar.taskbarSize = {1024, 40};
    EXPECT_FALSE(s.painter.IsClockTall());
    s.taskbar.taskbarSize = {1024, 60};
    EXPECT_FALSE(s.painter.IsClockTall()) << "room for two lines but nothing to put there";
    s.c().ShowWeather = true;
    EXPECT_TRUE(s.painter.IsClockTall());
    s.taskbar.taskbarSize = {1024, 50};
    EXPECT_FALSE(s.painter.IsClockTall()) << "2.5 digit heights do not fit";
    s.taskbar.taskbarSize = {60, 700};
    s.taskbar.edge = ABE_RIGHT;
    s.c().ShowWeather = false;
    EXPECT_TRUE(s.painter.IsClockTall());
    EXPECT_TRUE(s.painter.IsTaskbarVertical());
    s.taskbar.edge = std::nullopt;
    EXPECT_FALSE(s.painter.IsTaskbarVertical()) << "an unanswered query counts as horizontal";
    s.taskbar.edge = ABE_TOP;
    EXPECT_FALSE(s.painter.IsTaskbarVertical());
}

TEST(LayoutClockParts, CentresTheClockInTheClockWindow) {
    ClockScene s;
    s.painter.UpdateClockDigits();
    ClockLayout l = s.painter.LayoutClockParts();
    EXPECT_FALSE(l.Tall);
    EXPECT_EQ(l.ClientRect.top, 1);
    EXPECT_EQ(l.Left, (200 - 66) / 2 + 6);
    EXPECT_EQ(l.Top, 39 / 2 - DH / 2);
    // A clock window narrower than the clock: the clock starts at the left edge.
    s.taskbar.clockClient = {0, 0, 40, 40};
    l = s.painter.LayoutClockParts();
    EXPECT_EQ(l.Left, 0);
    s.taskbar.clockClient = {0, 0, 200, 21};
    EXPECT_EQ(s.painter.LayoutClockParts().Top, 1) << "never above the client area";
    s.taskbar.clockClient = {0, 0, 200, 12};
    EXPECT_EQ(s.painter.LayoutClockParts().Top, 0);
}

TEST(LayoutClockParts, VerticalTaskbarPutsTheBlocksBelowTheTime) {
    ClockScene s;
    s.taskbar.taskbarSize = {60, 700};
    s.taskbar.edge = ABE_LEFT;
    s.taskbar.clockClient = {0, 0, 120, 200};
    s.c().ShowZone = true;
    s.c().Prefix = L"NY";
    s.c().ShowWeather = true;
    s.c().Temper = L"7";
    s.painter.Options().TemperValue = 7;
    s.c().TemperSymbol = L"0C";
    s.At(10, 20);
    const auto& canvas = s.Paint();
    const ClockLayout l = s.painter.LayoutClockParts();
    ASSERT_TRUE(l.Tall);
    EXPECT_EQ(l.Top, 7);
    EXPECT_EQ(l.Left, (114 - 66) / 2 + 6);
    EXPECT_EQ(s.painter.CalcClockWidth(), 66);
    EXPECT_EQ(s.painter.CalcClockHeight(), DH + 12 + DH + TH + (DH + 4));
    // The time on the first line...
    EXPECT_EQ(DigitRuns(canvas, 8), (Runs{{1, 30}, {0, 42}, {2, 62}, {0, 74}}));
    // ...the zone block centred below it...
    const int zoneY = 7 + 2 + DH + 4, zoneX = 30 + (117 - 30) / 2 - 42 / 2;
    EXPECT_EQ(TextAt(canvas, zoneX, zoneY + kOff), L'N');
    EXPECT_EQ(TextAt(canvas, zoneX + TW, zoneY + TH + 1 + kOff), L'0');
    // ...and the weather block below that.
    const int weatherY = zoneY + 2 + DH + 3, weatherX = 30 + 66 / 2 - 24 / 2;
    EXPECT_EQ(DigitRuns(canvas, weatherY + 1), (Runs{{7, weatherX}}));
    EXPECT_EQ(TextAt(canvas, weatherX + DW + 2, weatherY + kOff), L'O');
}

TEST(LayoutClockParts, TallHorizontalTaskbarShiftsTheClock) {
    ClockScene s;
    s.taskbar.taskbarSize = {1024, 80};
    s.taskbar.clockClient = {0, 0, 200, 80};
    s.c().ShowWeather = true;
    s.painter.UpdateClockDigits();
    ClockLayout l = s.painter.LayoutClockParts();
    ASSERT_TRUE(l.Tall);
    const int width = 66 + 9 + 0, height = DH + 12 + 24;
    EXPECT_EQ(s.painter.CalcClockWidth(), width);
    EXPECT_EQ(s.painter.CalcClockHeight(), height);
    EXPECT_EQ(l.Left, (194 - width) / 2 + 6 + 9);
    EXPECT_EQ(l.Top, 78 / 2 - height / 2 + 8);
}

// ---- backgrounds ----

TEST(PaintClock, OwnBackgroundIsARoundedKeyColouredPanel) {
    ClockScene s;
    const auto& canvas = s.Paint();
    EXPECT_EQ(canvas.Pixel(10, 20), kSkinKey);
    EXPECT_EQ(canvas.Pixel(1, 20), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(canvas.Pixel(0, 20), kTaskbar);
    EXPECT_EQ(canvas.Pixel(10, 0), kTaskbar) << "one pixel of the taskbar stays above";
    EXPECT_EQ(canvas.Pixel(1, 2), kTaskbar) << "rounded corner";

    s.c().TransparentClock = true;
    const auto& clear = s.Paint();
    EXPECT_EQ(clear.Pixel(10, 20), kTaskbar);
    const ClockLayout l = s.painter.LayoutClockParts();
    EXPECT_EQ(clear.Pixel(l.Left, l.Top), kTaskbar) << "key pixels of glyphs are left out";
    EXPECT_EQ(clear.Pixel(l.Left + 1, l.Top + 1), DigitCellColor(1));
}

TEST(PaintGradient, HorizontalBandsRunFromColor1ToColor2) {
    ClockScene s;
    s.taskbar.clockClient = {0, 0, 1024, 40};
    s.c().GradientClock = true;
    s.c().GradientHoriz = true;
    s.c().Color1 = RGB(200, 10, 30);
    s.c().Color2 = RGB(20, 240, 100);
    const auto& canvas = s.Paint();
    // Client top 1; the gradient area starts one further in and is outlined in grey.
    EXPECT_EQ(canvas.Pixel(1, 20), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(canvas.Pixel(3, 20), RGB(200, 10, 30));
    EXPECT_EQ(canvas.Pixel(1021, 20), RGB(20, 240, 100));
    EXPECT_EQ(canvas.Pixel(1023, 20), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(canvas.Pixel(512, 0), kTaskbar);
    int lastRed = 256;
    for (int x = 11; x <= 1011; x += 8) {
        int red = GetRValue(canvas.Pixel(x, 4));
        EXPECT_LE(red, lastRed) << x;
        lastRed = red;
    }
    const ClockLayout l = s.painter.LayoutClockParts();
    EXPECT_NE(canvas.Pixel(l.Left, l.Top), kSkinKey) << "glyphs are copied transparently over a gradient";
    EXPECT_EQ(canvas.Pixel(l.Left + 1, l.Top + 1), DigitCellColor(1));
}

TEST(PaintGradient, VerticalBandsOnATallClock) {
    ClockScene s;
    s.taskbar.taskbarSize = {60, 700};
    s.taskbar.edge = ABE_LEFT;
    s.taskbar.clockClient = {0, 0, 120, 600};
    s.c().GradientClock = true;
    s.c().Color1 = RGB(0, 0, 0);
    s.c().Color2 = RGB(255, 128, 64);
    const auto& canvas = s.Paint();
    EXPECT_EQ(canvas.Pixel(60, 3), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(canvas.Pixel(60, 4), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(60, 596), RGB(255, 128, 64));
    EXPECT_EQ(canvas.Pixel(60, 597), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(canvas.Pixel(60, 300), RGB(127, 64, 32));   // band 127
}

// ---- when nothing is painted ----

TEST(PaintClock, NothingWithoutSkinOrVisibleClockWindow) {
    auto untouched = [](const test::DibCanvas& c) {
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                if (c.Pixel(x, y) != kTaskbar) return false;
        return true;
    };
    ClockScene s;
    s.taskbar.shown = false;
    EXPECT_TRUE(untouched(s.Paint()));
    s.taskbar.shown = true;
    s.painter.FreeSkinBitmaps();
    EXPECT_TRUE(untouched(s.Paint()));
    ASSERT_TRUE(s.painter.LoadSkin(L"Gold"));
    EXPECT_FALSE(untouched(s.Paint()));
}

TEST(PaintClock, GivenClientRectNeedsNoTaskbarWindow) {
    ClockScene s;
    s.taskbar.shown = false;
    s.painter.UpdateClockDigits();
    test::DibCanvas canvas(200, 40, kTaskbar);
    s.painter.PaintClock(canvas.dc(), RECT{0, 0, 200, 40});
    EXPECT_EQ(canvas.Pixel(10, 20), kSkinKey);
}

TEST(PaintClock, LeaksNoGdiObject) {
    WeatherScene s;
    s.c().ShowZone = true;
    s.c().ShowDate = s.c().WeekShow = s.c().EnglishTime = true;
    s.c().GradientClock = true;
    s.c().ShowWeatherIcon = true;
    s.Temperature(L"4", -4);
    test::WritePngFile(s.dir.File(L"icon.png"), 4, 4, std::vector<test::Rgba>(16, test::Rgba{0, 0, 255, 255}));
    s.painter.Options().WeatherIconPicture = LoadPicture(s.dir.File(L"icon.png"));
    test::DibCanvas canvas(200, 40, kTaskbar);
    s.painter.PaintClock(canvas.dc());
    ASSERT_TRUE(test::GdiCountIsLive()) << "no way to count GDI objects here";
    const DWORD before = test::LiveGdiObjects();
    for (int i = 0; i < 300; ++i) {
        s.now.local += kOneSecond;
        s.painter.UpdateClockDigits();
        s.painter.PaintClock(canvas.dc());
    }
    EXPECT_EQ(test::LiveGdiObjects(), before);
}

TEST(InitClockPaint, FindsTheTaskbarAgainAndComputesTheDigits) {
    ClockScene s;
    const int locates = s.taskbar.locates;
    s.At(21, 7);
    EXPECT_TRUE(s.painter.InitClockPaint(s.dir.path()));
    EXPECT_EQ(s.taskbar.locates, locates + 1);
    EXPECT_EQ(s.painter.ClockDigits(), (std::array<std::uint8_t, 6>{2, 1, 0, 7, 0, 0}));
    EXPECT_EQ(s.painter.Skin().SkinsBase() + L"\\", s.dir.path());
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

TEST(TaskbarEdgeCache, AsksTheShellAgainOnlyWhenTheTaskbarMovesOrChanges) {
    TaskbarEdgeCache cache;
    int asked = 0;
    UINT shellEdge = ABE_BOTTOM;
    auto ask = [&]() -> std::optional<UINT> {
        ++asked;
        return shellEdge;
    };
    HWND bar = reinterpret_cast<HWND>(0x1234), other = reinterpret_cast<HWND>(0x5678);
    RECT bottom{0, 740, 1024, 768}, left{0, 0, 60, 768};
    EXPECT_EQ(cache.Get(bar, bottom, ask), ABE_BOTTOM);
    EXPECT_EQ(cache.Get(bar, bottom, ask), ABE_BOTTOM);
    EXPECT_EQ(asked, 1);
    shellEdge = ABE_LEFT;   // dragged to the left: a new rectangle
    EXPECT_EQ(cache.Get(bar, left, ask), ABE_LEFT);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(cache.Get(other, left, ask), ABE_LEFT);   // a restarted shell: a new window
    EXPECT_EQ(asked, 3);
    // A failed answer is not kept, and without a window there is nothing to key on.
    auto fails = [&]() -> std::optional<UINT> {
        ++asked;
        return std::nullopt;
    };
    EXPECT_FALSE(cache.Get(bar, bottom, fails).has_value());
    EXPECT_EQ(cache.Get(bar, bottom, ask), ABE_LEFT);
    EXPECT_EQ(asked, 5);
    EXPECT_EQ(cache.Get(nullptr, RECT{}, ask), ABE_LEFT);
    EXPECT_EQ(cache.Get(nullptr, RECT{}, ask), ABE_LEFT);
    EXPECT_EQ(asked, 7);
}

TEST(SystemTaskbar, TheKeptEdgeIsTheShellsAnswer) {
    SystemTaskbar taskbar;
    taskbar.Locate();
    APPBARDATA abd{};
    abd.cbSize = sizeof abd;
    abd.hWnd = taskbar.TaskbarWindow();
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &abd)) GTEST_SKIP() << "no taskbar on this desktop";
    EXPECT_EQ(taskbar.TaskbarEdge(), abd.uEdge);
    EXPECT_EQ(taskbar.TaskbarEdge(), abd.uEdge);
}

}  // namespace
}  // namespace vt
