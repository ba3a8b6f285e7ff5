// Cost of one clock paint, full and from the kept picture tick by tick, against one plain BitBlt of the
// same area, and the GDI objects the process holds after 10 paints and at the end (a leak shows as growth).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>

#include "alarms/calendar2.h"
#include "base/text.h"
#include "clock/clock_paint.h"
#include "clock/clock_paint_fakes.h"
#include "support/clock_skin_fixture.h"
#include "support/no_calendar_alarms.h"
#include "support/png_writer.h"
#include "support/gdi_object_count.h"
#include "support/test_support.h"
#include "weather/forecast_draw.h"
#include "weather/test_data.h"

using namespace vt;

namespace {

constexpr int kPaints = 10000;
constexpr int kWidth = 420, kHeight = 40;

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    static LARGE_INTEGER f = [] { LARGE_INTEGER q; QueryPerformanceFrequency(&q); return q; }();
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}


struct Target {
    vt::WindowDC screen{nullptr};
    UniqueMemDC dc{CreateCompatibleDC(screen.get())};
    UniqueBitmap bitmap{CreateCompatibleBitmap(screen.get(), kWidth, kHeight)};
    SelectGuard keep{dc.get(), bitmap.get()};
};

double g_baselineUs = 0;   // the BitBlt's, measured first

// Runs `paint` count times; reports microseconds per call, its ratio to the BitBlt, and the GDI objects
// after 10 calls and at the end, as GetGuiResources answers and as the handle table counts (Wine answers
// 0 to the former).
void Measure(const char* what, const std::function<void(int)>& paint, int count = kPaints) {
    LARGE_INTEGER t0, t1;
    DWORD gui10 = 0, live10 = 0;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < count; ++i) {
        paint(i);
        if (i == 9) {
            gui10 = test::GuiResourcesGdiObjects();
            live10 = test::LiveGdiObjects();
        }
    }
    GdiFlush();
    QueryPerformanceCounter(&t1);
    const double us = Seconds(t0, t1) * 1e6 / count;
    if (g_baselineUs == 0) g_baselineUs = us;
    std::printf("%-36s %11.2f us/op %9.1fx | GetGuiResources %lu -> %lu | live objects %lu -> %lu\n", what, us,
                us / g_baselineUs, static_cast<unsigned long>(gui10),
                static_cast<unsigned long>(test::GuiResourcesGdiObjects()), static_cast<unsigned long>(live10),
                static_cast<unsigned long>(test::LiveGdiObjects()));
}

}  // namespace

int wmain() {
    test::TempDir dir;
    test::WriteSyntheticSkin(dir.File(L"Gold"), {.digitWidth = 14, .digitHeight = 24, .textCellWidth = 7,
                                                 .textCellHeight = 9});
    test::WritePngFile(dir.File(L"icon.png"), 64, 64, std::vector<test::Rgba>(64 * 64, test::Rgba{20, 90, 200, 180}));

    test::FakeNow now;
    test::FakeTaskbar taskbar;
    taskbar.clockClient = RECT{0, 0, kWidth, kHeight};
    taskbar.taskbarSize = SIZE{1280, kHeight};
    taskbar.edge = ABE_BOTTOM;
    test::FakeZones zones;
    zones.offsetHours[1] = -5;
    ClockPainter painter(taskbar, now, &zones);
    painter.InitClockPaint(dir.path());
    if (!painter.LoadSkin(L"Gold")) {
        std::printf("skin did not load\n");
        return 1;
    }
    const TDateTime start = EncodeDateTime(2024, 3, 6, 23, 59, 0);

    Target target, source;
    BitBlt(source.dc.get(), 0, 0, kWidth, kHeight, nullptr, 0, 0, WHITENESS);

    std::printf("%d operations into a %dx%d memory DC (screen-compatible bitmap)\n", kPaints, kWidth, kHeight);
    Measure("BitBlt of the same area", [&](int) {
        BitBlt(target.dc.get(), 0, 0, kWidth, kHeight, source.dc.get(), 0, 0, SRCCOPY);
    });

    TClockOptions& c = painter.ClockOptions();
    auto run = [&](const char* what, double utcOffset) {
        painter.UpdateClockDigits();
        Measure(what, [&](int i) {
            now.Set(start + i / 86400.0, utcOffset);
            painter.UpdateClockDigits();
            painter.PaintClock(target.dc.get());
        });
    };
    // The painter's own defaults: 12-hour time, date, weekday, temperature block without a value.
    c = TClockOptions{};
    c.ShowDate = c.Blink = c.ShowWeather = true;
    run("PaintClock, default options", 0);
    c.TransparentClock = true;
    run("PaintClock, transparent glyphs", 0);
    c.TransparentClock = false;
    c.GradientClock = c.GradientHoriz = true;
    c.Color1 = RGB(255, 2, 253);
    run("PaintClock, gradient background", 0);
    c.GradientClock = false;
    c.Temper = L"21";
    c.TemperSymbol = L"0C";
    c.ShowWeatherIcon = true;
    painter.Options().TemperValue = 21;
    painter.Options().WeatherIconPicture = LoadPicture(dir.File(L"icon.png"));
    run("PaintClock, temperature and icon", 0);

    // Everything on: gradient, seconds, zone with date, temperature with icon and place.
    c.ShowSeconds = c.ShowZone = c.ShowLocation = c.GradientClock = true;
    c.TimeZone = 1;
    c.Prefix = L"NY";
    c.Temper = L"3.5";
    painter.Options().TemperValue = -3.5;
    painter.Options().WeatherLocationLine1 = L"Oslo,";
    painter.Options().WeatherLocationLine2 = L"Norway";
    run("PaintClock, everything on", 1);
    // From one second to the next: the kept picture, with the clock advanced one second per paint
    // through a whole day (the colon blinking, minutes, hours and the date rolling over).
    auto perTick = [&](const char* what, double utcOffset) {
        const RECT client{0, 0, kWidth, kHeight};
        Measure(what, [&](int i) {
            now.Set(start + i / 86400.0, utcOffset);
            painter.UpdateClockDigits();
            painter.PaintClockCached(target.dc.get(), client, 1);
        }, 86400);
    };
    perTick("per tick, everything on", 1);
    c = TClockOptions{};
    c.ShowDate = c.Blink = c.ShowWeather = true;
    painter.Options().TemperValue = 0;
    painter.Options().WeatherLocationLine1.clear();
    painter.Options().WeatherLocationLine2.clear();
    perTick("per tick, default options", 0);
    std::printf("(clock window %dx%d; the full clock measures %dx%d)\n", kWidth, kHeight,
                static_cast<int>(painter.CalcClockWidth()), static_cast<int>(painter.CalcClockHeight()));

    // The forecast widget and the calendar draw only when their data or state change (a reply, a click):
    // one whole draw each, with the shipped skins.
    const std::wstring dist = test::DistDir();
    const std::wstring reply = Widen(test::WeatherData(L"golden.xml"));
    ForecastFields fields;
    ForecastFont font;
    const ForecastReading reading = ReadForecastWeather(reply, kWeatherCurrent, true, fields);
    ForecastDrawOptions forecast;
    forecast.programDir = dist;
    PictureCache pictures;
    Measure("forecast widget, one whole draw", [&](int) {
        if (!DrawForecast(fields, reading, forecast, font, pictures).bitmap) std::printf("the forecast did not draw\n");
    }, 100);
    CalendarRenderRequest calendar;
    calendar.calendarDir = dist + L"Calendar";
    calendar.view.year = 2026;
    calendar.view.month = 12;
    calendar.today = {2026, 12, 9};
    calendar.names = LocaleCalendarNames();
    test::NoCalendarAlarms alarms;
    Measure("calendar, one whole draw", [&](int) {
        std::wstring error;
        if (!RenderCalendar(calendar, alarms, pictures, error)) std::printf("the calendar did not draw\n");
    }, 100);
    return 0;
}
