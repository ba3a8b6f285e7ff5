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
#include "support/test_support.h"

namespace vt {
namespace {

constexpr COLORREF kShellClockColour = RGB(250, 20, 20);
constexpr COLORREF kNotifyColour = RGB(30, 60, 120);
constexpr COLORREF kComponentColour = RGB(20, 230, 40);
constexpr LRESULT kShellClockSize = MAKELONG(55, 30);

using vt::test::PumpUntil;

// The shell's own clock: paints itself red and answers the taskbar's size query.
LRESULT CALLBACK ShellClockProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 100) return kShellClockSize;
    if (m == WM_PAINT) {
        PaintDC paint(w);
        UniqueBrush brush(CreateSolidBrush(kShellClockColour));
        FillRect(paint.get(), &paint.ps().rcPaint, brush.get());
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

struct ClassicShell {
    UniqueBrush taskbarBrush{CreateSolidBrush(RGB(200, 200, 200))};
    UniqueBrush notifyBrush{CreateSolidBrush(kNotifyColour)};
    HWND taskbar = nullptr, notify = nullptr, clock = nullptr;

    static void Register(const wchar_t* name, WNDPROC proc, HBRUSH brush) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = brush;
        wc.lpszClassName = name;
        UnregisterClassW(name, wc.hInstance);
        RegisterClassExW(&wc);
    }
    ClassicShell() {
        Register(L"Shell_TrayWnd", DefWindowProcW, taskbarBrush.get());
        Register(L"TrayNotifyWnd", DefWindowProcW, notifyBrush.get());
        Register(L"TrayClockWClass", ShellClockProc, nullptr);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        // Top-most, so that it is the taskbar found before Wine's own.
        taskbar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0, 600,
                                  800, 30, nullptr, nullptr, instance, nullptr);
        notify = CreateWindowExW(0, L"TrayNotifyWnd", L"", WS_CHILD | WS_VISIBLE, 600, 0, 200, 30, taskbar, nullptr,
                                 instance, nullptr);
        clock = CreateWindowExW(0, L"TrayClockWClass", L"", WS_CHILD | WS_VISIBLE, 100, 0, 100, 30, notify, nullptr,
                                instance, nullptr);
        UpdateWindow(taskbar);
    }
    ~ClassicShell() {
        if (taskbar) DestroyWindow(taskbar);
        UnregisterClassW(L"TrayClockWClass", GetModuleHandleW(nullptr));
        UnregisterClassW(L"TrayNotifyWnd", GetModuleHandleW(nullptr));
        UnregisterClassW(L"Shell_TrayWnd", GetModuleHandleW(nullptr));
    }
    COLORREF ClockPixel(int x, int y) const {
        WindowDC dc(clock);
        return GetPixel(dc.get(), x, y);
    }
};

struct HostProcess {
    UniqueHandle process, thread;
    bool Start() {
        std::wstring cmd = L"\"" + test::DistDir() + L"Quellix.exe\" TTrayClock";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, test::DistDir().c_str(), &si, &pi))
            return false;
        process.reset(pi.hProcess);
        thread.reset(pi.hThread);
        return true;
    }
    // Keeps this thread's windows answering while the host ends.
    DWORD WaitExit(DWORD ms) {
        if (!PumpUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, ms)) return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.get(), &code);
        return code;
    }
    ~HostProcess() {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process.get(), 99);
    }
};

TEST(ClassicTaskbar, HostTakesTheShellsClockOverAndGivesItBackAtTheEnd) {
    ClassicShell shell;
    ASSERT_EQ(FindTaskbarClockWindow(), shell.clock) << "the test's taskbar must be the one found";
    EXPECT_EQ(SendMessageW(shell.clock, WM_USER + 100, 0, 0), kShellClockSize);

    auto tray = std::make_unique<TTrayClock>();
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
