// Months of running in one go: a million one-second ticks (about 11.5 days) of the real painter, the
// taskbar clock component painting its window, and the 900 ms alarm check over a file of alarms, all on a
// fake clock. Prints the GDI objects, USER objects and private bytes at the start and at the end; a
// program that runs for months must end where it started.
//   bench_soak [ticks]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "alarms/alarm_list.h"
#include "alarms/alarms_file.h"
#include "clock/clock_paint.h"
#include "clock/clock_paint_fakes.h"
#include "clock/tray_clock.h"
#include "clock/tray_protocol.h"
#include "support/clock_skin_fixture.h"
#include "support/gdi_object_count.h"
#include "support/mutation.h"
#include "support/test_support.h"

using namespace vt;

namespace {

constexpr int kWidth = 220, kHeight = 40;

LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

struct Counts {
    DWORD gdi, user;
    SIZE_T privateBytes;
    std::int64_t heap;
};

Counts Take() {
    return {test::LiveGdiObjects(), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), test::PrivateBytes(),
            test::LiveHeapBytes()};
}

void Print(const char* when, const Counts& c) {
    std::printf("%-6s GDI objects %5lu | USER objects %5lu | private bytes %8zu KB | program heap %9lld bytes\n", when,
                static_cast<unsigned long>(c.gdi), static_cast<unsigned long>(c.user),
                static_cast<size_t>(c.privateBytes / 1024), static_cast<long long>(c.heap));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const long ticks = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000000;
    test::TempDir dir;
    test::WriteSyntheticSkin(dir.File(L"Gold"), {.digitWidth = 14, .digitHeight = 24, .textCellWidth = 7,
                                                 .textCellHeight = 9});

    // The painter with everything on, as the tray component's paint event uses it.
    test::FakeNow now;
    test::FakeTaskbar taskbar;
    taskbar.clockClient = RECT{0, 0, kWidth, kHeight};
    test::FakeZones zones;
    zones.offsetHours[1] = -5;
    ClockPainter painter(taskbar, now, &zones);
    painter.InitClockPaint(dir.path());
    if (!painter.LoadSkin(L"Gold")) return std::printf("skin did not load\n"), 1;
    TClockOptions& c = painter.ClockOptions();
    c.ShowDate = c.Blink = c.ShowWeather = c.ShowSeconds = c.ShowZone = c.GradientClock = true;
    c.TimeZone = 1;
    c.Prefix = L"NY";
    c.Temper = L"3.5";
    c.TemperSymbol = L"0C";

    // The component on a window of its own, with a published taskbar background.
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantoricSoakClock";
    RegisterClassW(&wc);
    HWND clockWindow = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                       wc.hInstance, nullptr);
    struct OwnClockWindow final : SystemTrayCalls {
        HWND window = nullptr;
        HWND FindClockWindow() override { return window; }
        bool IsTaskbarVertical() override { return false; }
    } system;
    system.window = clockWindow;
    TTrayClock tray(system);
    tray.OnCalcClockSize = [&] { tray.SetClockWidth(kWidth); };
    tray.OnPaint = [&](HDC dc, const RECT& client) { painter.PaintClockCached(dc, client, tray.BackgroundVersion()); };
    tray.Loaded();
    UniqueHandle background;
    UniqueView pixels = PublishBackgroundView(background, SIZE{kWidth, kHeight});
    SendMessageW(tray.hwnd(), WM_TRAYCLOCKFORWARD, 0, CLOCKCODE_SIZE);
    SendMessageW(tray.hwnd(), WM_TRAYCLOCKFORWARD, 0, CLOCKCODE_BACKGROUND);

    // Alarms of every kind, each firing as its time comes.
    const TDateTime start = EncodeDateTime(2026, 3, 1, 8, 0, 0);
    {
        AlarmsFile file(dir.File(L"alarms.ini"));
        const wchar_t* kinds[] = {L"Daily", L"Hourly", L"Weekly", L"Regular"};
        for (int i = 0; i < 4; ++i) {
            TAlRecord a;
            a.Type = kinds[i];
            a.DateTime = start + (i + 1) / 24.0;
            a.Weeks = L"1111111";
            a.Week = 2;
            a.Min = i == 3 ? 45 : 10;
            a.Message = L"soak";
            a.Enabled = a.MessageEn = true;
            file.Add(a);
        }
    }
    long fired = 0;
    struct IgnoredErrors final : IAlarmErrors {
        void AlarmError(const std::wstring&) override {}
    } errors;
    TAlarms alarms(dir.File(L"alarms.ini"), now, [&](const TAlRecord&) { ++fired; }, errors);

    // Between the window's own paints (once a minute here: each one waits on the display under Wine) the
    // painter draws into memory, as the host's pixel road does. The host publishes the background anew
    // every hour, so the picture is composed again as well as redrawn cell by cell.
    const long paintsPerWindowPaint = 60;
    test::DibCanvas canvas(kWidth, kHeight);
    auto tick = [&](long i) {
        now.Set(start + i / 86400.0, 1);
        painter.UpdateClockDigits();
        if (i % 3600 == 1800) SendMessageW(tray.hwnd(), WM_TRAYCLOCKFORWARD, 0, CLOCKCODE_BACKGROUND);
        if (i % paintsPerWindowPaint == 0) {
            InvalidateRect(clockWindow, nullptr, FALSE);
            SendMessageW(tray.hwnd(), WM_TRAYCLOCKFORWARD, 0, WM_PAINT);
        } else {
            painter.PaintClockCached(canvas.dc(), RECT{0, 0, kWidth, kHeight}, tray.BackgroundVersion());
        }
        alarms.Tick();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    // The counts start after a warm-up long enough for every string and cache to reach its size: a
    // simulated day, or a tenth of a shorter run.
    const long warmUp = std::min<long>(86400, ticks / 10);
    for (long i = 0; i < warmUp; ++i) tick(i);
    const Counts before = Take();
    const std::int64_t allocationsBefore = test::HeapAllocations();
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (long i = warmUp; i < ticks; ++i) tick(i);
    QueryPerformanceCounter(&t1);
    const Counts after = Take();
    const std::int64_t allocations = test::HeapAllocations() - allocationsBefore;
    const double seconds = double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
    std::printf("%ld ticks (%.1f days of clock) in %.1f s, %.1f us a tick; %ld alarms fired\n", ticks, ticks / 86400.0,
                seconds, seconds * 1e6 / static_cast<double>(std::max(1L, ticks - warmUp)), fired);
    std::printf("%lld blocks taken from the heap, %.3f a tick\n", static_cast<long long>(allocations),
                static_cast<double>(allocations) / static_cast<double>(std::max(1L, ticks - warmUp)));
    Print("start", before);
    Print("end", after);
    const bool flat = after.gdi == before.gdi && after.user == before.user && after.heap <= before.heap;
    std::printf("%s\n", flat ? "flat: the soak ends where it started" : "GROWTH: the soak did not end where it started");
    DestroyWindow(clockWindow);
    return flat ? 0 : 2;
}
