// A classic taskbar, whose clock lives inside "TrayNotifyWnd": the host takes that window over from inside
// the process that owns it. This test process plays the shell, with a taskbar of its own on top of Wine's.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/taskbar_locator.h"
#include "clock/tray_clock.h"
#include "host/host_process.h"
#include "support/classic_shell.h"
#include "support/test_support.h"

namespace vt {
namespace {

constexpr COLORREF kNotifyColour = RGB(30, 60, 120);
constexpr COLORREF kComponentColour = RGB(20, 230, 40);

using vt::test::HostProcess;
using vt::test::kShellClockColour;
using vt::test::kShellClockSize;
using vt::test::PumpUntil;

// The shell's clock, 100 x 30 inside a notify area of 200.
struct ClassicShell : test::ClassicShell {
    ClassicShell() : test::ClassicShell(test::PaintingShellClockProc, kNotifyColour, {30, 600, 200, 100, 100}) {}
};

TEST(ClassicTaskbar, HostTakesTheShellsClockOverAndGivesItBackAtTheEnd) {
    ClassicShell shell;
    ASSERT_EQ(FindTaskbarClockWindow(), shell.clock) << "the test's taskbar must be the one found";
    EXPECT_EQ(SendMessageW(shell.clock, WM_USER + 100, 0, 0), kShellClockSize);

    auto tray = std::make_unique<TTrayClock>(SystemTray());
    int inits = 0, paints = 0;
    std::vector<std::string> events;
    tray->OnInit = [&] { ++inits; };
    tray->OnCalcClockSize = [&] {
        tray->SetClockWidth(80);
        tray->SetClockHeight(99);
    };
    tray->OnPaint = [&](HDC dc, const RECT& client) {
        ++paints;
        RECT r = client;
        InflateRect(&r, -3, -3);
        UniqueBrush brush(CreateSolidBrush(kComponentColour));
        FillRect(dc, &r, brush.get());
    };
    tray->OnMouseDown = [&](MouseButton, ShiftState, int, int) { events.push_back("down"); };
    tray->OnClick = [&](MouseButton, ShiftState, int, int) { events.push_back("click"); };
    tray->OnMouseUp = [&](MouseButton, ShiftState, int, int) { events.push_back("up"); };
    tray->Loaded();

    HostProcess host;
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(PumpUntil([&] { return inits > 0; }, 15000)) << "the host never announced";
    EXPECT_EQ(tray->ClockWindow(), shell.clock);
    EXPECT_EQ(FindWindowW(L"TrayClockWClass", nullptr), nullptr) << "no clock window of the host's own";

    // The taskbar's size query is answered by the component: its width, the window's height.
    EXPECT_EQ(SendMessageW(shell.clock, WM_USER + 100, 0, 0), PackClockSize(80, 30));

    // A paint of the shell's clock is the component's, over the notification area's background.
    InvalidateRect(shell.clock, nullptr, TRUE);
    UpdateWindow(shell.clock);
    EXPECT_GT(paints, 0);
    EXPECT_TRUE(tray->HasBackground());
    EXPECT_EQ(shell.ClockPixel(50, 15), kComponentColour);
    EXPECT_EQ(shell.ClockPixel(1, 15), kNotifyColour);

    // The taskbar takes another look: the background under the component's paint follows it.
    constexpr COLORREF kNewLook = RGB(150, 90, 30);
    shell.SetNotifyColour(kNewLook);
    SendMessageTimeoutW(FindWindowW(L"QuellixHost", nullptr), WM_SYSCOLORCHANGE, 0, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return shell.ClockPixel(1, 15) == kNewLook; }, 5000));
    EXPECT_EQ(shell.ClockPixel(50, 15), kComponentColour);

    PostMessageW(shell.clock, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(shell.clock, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(PumpUntil([&] { return events.size() >= 3; }, 3000));
    EXPECT_EQ(events, (std::vector<std::string>{"down", "click", "up"}));

    // The program quits: the shell's clock is its own again and the host ends.
    tray.reset();
    EXPECT_EQ(host.WaitExit(10000), 0u);
    EXPECT_EQ(SendMessageW(shell.clock, WM_USER + 100, 0, 0), kShellClockSize);
    InvalidateRect(shell.clock, nullptr, TRUE);
    UpdateWindow(shell.clock);
    EXPECT_EQ(shell.ClockPixel(50, 15), kShellClockColour);
}

TEST(ClassicTaskbar, RefreshAsksOnlyAClassicTaskbarToLayOutItsClock) {
    ClassicShell shell;
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(RefreshTaskbarClockWindow(shell.clock, true));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, shell.taskbar, WM_EXITSIZEMOVE, WM_EXITSIZEMOVE, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, shell.taskbar, WM_SIZE, WM_SIZE, PM_REMOVE));
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(shell.clock, &update, FALSE));
    EXPECT_EQ(update.right, 100);

    EXPECT_FALSE(RefreshTaskbarClockWindow(shell.clock, false));
    EXPECT_FALSE(PeekMessageW(&msg, shell.taskbar, WM_SIZE, WM_SIZE, PM_REMOVE));

    // A top-level clock window (the host's own) is repainted, and the taskbar is left alone.
    HWND own = CreateWindowExW(WS_EX_TOOLWINDOW, L"TrayClockWClass", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 20,
                               shell.taskbar, nullptr, GetModuleHandleW(nullptr), nullptr);
    ValidateRect(own, nullptr);
    EXPECT_FALSE(RefreshTaskbarClockWindow(own, true));
    EXPECT_FALSE(PeekMessageW(&msg, shell.taskbar, WM_SIZE, WM_SIZE, PM_REMOVE));
    EXPECT_TRUE(GetUpdateRect(own, &update, FALSE));
    DestroyWindow(own);
    EXPECT_FALSE(RefreshTaskbarClockWindow(nullptr, true));
}

}  // namespace
}  // namespace vt
