// The whole road on the desktop: Quellix.exe serves the clock window, the component in this process attaches,
// paints a known colour through its paint event, and the colour shows on screen over the taskbar.
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

constexpr COLORREF kClockColour = RGB(0x12, 0xC4, 0x5A);

using vt::test::HostProcess;
using vt::test::PumpUntil;

COLORREF ScreenPixel(int x, int y) {
    WindowDC screen(nullptr);
    return GetPixel(screen.get(), x, y);
}

// A component 90 x 20 that fills its client area, less `inset` at each side, with the known colour.
std::unique_ptr<TTrayClock> ColourClock(int& inits, int& paints, int inset) {
    auto tray = std::make_unique<TTrayClock>(SystemTray());
    TTrayClock& t = *tray;
    tray->OnInit = [&inits] { ++inits; };
    tray->OnCalcClockSize = [&t] {
        t.SetClockWidth(90);
        t.SetClockHeight(20);
    };
    tray->OnPaint = [&paints, inset](HDC dc, const RECT& client) {
        ++paints;
        UniqueBrush brush(CreateSolidBrush(kClockColour));
        RECT r = client;
        InflateRect(&r, -inset, -inset);
        FillRect(dc, &r, brush.get());
    };
    return tray;
}

// The colour shows and is still there a moment later (nothing of the host's own drawing covers it).
bool ShowsOnScreen(int x, int y, COLORREF colour) {
    if (!PumpUntil([&] { return ScreenPixel(x, y) == colour; }, 5000)) return false;
    PumpUntil([] { return false; }, 600);
    return ScreenPixel(x, y) == colour;
}

TEST(HostRoad, ComponentPaintReachesTheHostsClockWindowOnScreen) {
    ASSERT_TRUE(PumpUntil([] { return FindTaskbarWindow() != nullptr; }, 15000))
        << "no taskbar: the prefix must run on the \"shell\" desktop";

    int inits = 0, paints = 0;
    auto tray = ColourClock(inits, paints, 2);
    tray->Loaded();

    HostProcess host;
    ASSERT_TRUE(host.Start(L"TTrayClock"));
    ASSERT_TRUE(PumpUntil([&] { return inits > 0 && tray->ClockWindow() != nullptr; }, 15000)) << "host never announced";
    HWND clock = tray->ClockWindow();
    wchar_t cls[64] = {};
    GetClassNameW(clock, cls, 64);
    EXPECT_STREQ(cls, L"TrayClockWClass");
    EXPECT_EQ(GetAncestor(clock, GA_PARENT), GetDesktopWindow()) << "the clock window must be top-level";
    EXPECT_EQ(GetWindow(clock, GW_OWNER), FindTaskbarWindow());
    EXPECT_TRUE(GetWindowLongPtrW(clock, GWL_EXSTYLE) & WS_EX_TOPMOST);

    ASSERT_TRUE(PumpUntil([&] { return paints > 0 && tray->HasBackground(); }, 10000)) << "no paint was forwarded";
    // The host took the answered width; the height is the taskbar's.
    ASSERT_TRUE(PumpUntil([&] {
        RECT r{};
        GetClientRect(clock, &r);
        return r.right == 90;
    }, 5000));
    RECT taskbar{}, window{};
    GetWindowRect(FindTaskbarWindow(), &taskbar);
    GetWindowRect(clock, &window);
    EXPECT_EQ(window.bottom - window.top, taskbar.bottom - taskbar.top);
    EXPECT_EQ(window.right, taskbar.right) << "kept over the taskbar's notification end";

    // Pixels on screen: the known colour inside, the host's published background on the 2-pixel frame.
    const int cx = (window.left + window.right) / 2, cy = (window.top + window.bottom) / 2;
    InvalidateRect(clock, nullptr, TRUE);
    EXPECT_TRUE(ShowsOnScreen(cx, cy, kClockColour)) << std::hex << "screen shows 0x" << ScreenPixel(cx, cy);
    EXPECT_EQ(ScreenPixel(window.left + 3, cy), kClockColour);
    EXPECT_NE(ScreenPixel(window.left, cy), kClockColour);

    // The program's exit ends the host.
    tray.reset();
    EXPECT_EQ(host.WaitExit(10000), 0u);
    EXPECT_TRUE(PumpUntil([] { return FindWindowW(L"TrayClockWClass", nullptr) == nullptr; }, 5000));
}

// Another process took the name of the clock's pixels first, with one page where the clock needs more:
// neither the component nor the host may write or read past its end; the host goes on serving.
TEST(HostRoad, AClockPixelsMappingTooSmallForTheClockIsNeverReadPastItsEnd) {
    ASSERT_TRUE(PumpUntil([] { return FindTaskbarWindow() != nullptr; }, 15000));
    UniqueHandle squatter(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, kClockPixelsName));
    ASSERT_TRUE(squatter);
    int inits = 0, paints = 0;
    auto tray = ColourClock(inits, paints, 0);
    tray->Loaded();
    HostProcess host;
    ASSERT_TRUE(host.Start(L"TTrayClock"));
    ASSERT_TRUE(PumpUntil([&] { return inits > 0 && tray->ClockWindow() && tray->HasBackground(); }, 15000));
    for (int i = 0; i < 5; ++i) {
        InvalidateRect(tray->ClockWindow(), nullptr, FALSE);
        PumpUntil([] { return false; }, 200);
    }
    EXPECT_EQ(host.WaitExit(0), STILL_ACTIVE) << "the host ended while painting";
    tray.reset();
    EXPECT_EQ(host.WaitExit(10000), 0u);
}

// The program dies during its start-up, before it ever talks to its host: the host ends with it, whether
// its clock window shows already or it had not yet looked for the program.
TEST(HostRoad, TheHostEndsWithItsProgramAlsoBeforeTheirFirstExchange) {
    HostProcess program, host, late;   // the program: a process that never runs (a host held suspended)
    ASSERT_TRUE(program.Start(L"TTrayClock", test::DistDir(), nullptr, CREATE_SUSPENDED));
    ASSERT_TRUE(host.Start(L"TTrayClock", test::DistDir(), program.process.get()));
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"TrayClockWClass", nullptr) != nullptr; }, 10000));
    TerminateProcess(program.process.get(), 9);
    EXPECT_EQ(host.WaitExit(5000), 0u) << "the host outlived its program";
    EXPECT_EQ(FindWindowW(L"TrayClockWClass", nullptr), nullptr);

    ASSERT_TRUE(program.Start(L"TTrayClock", test::DistDir(), nullptr, CREATE_SUSPENDED));
    ASSERT_TRUE(late.Start(L"TTrayClock", test::DistDir(), program.process.get(), CREATE_SUSPENDED));
    TerminateProcess(program.process.get(), 9);
    WaitForSingleObject(program.process.get(), 5000);
    program.process.reset();   // with both handles closed its id names no process any more
    program.thread.reset();
    ResumeThread(late.thread.get());
    EXPECT_EQ(late.WaitExit(5000), 0u) << "a host whose program had died serves on";
}

// A shell clock the host cannot take over (no hook library beside its copy): its own window goes over it.
// With a skin that paints nothing, the screen there shows the taskbar in its look of the moment, not the
// shell's digits.
TEST(HostRoad, TheOwnWindowsBackgroundIsTheTaskbarsInItsLookNotTheShellsDigits) {
    UniqueBrush digits(CreateSolidBrush(RGB(250, 20, 20)));   // all the shell's clock shows
    test::ClassicShell shell(DefWindowProcW, RGB(30, 60, 120), {30, 600, 200, 100, 100});
    SetClassLongPtrW(shell.clock, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(digits.get()));
    RedrawWindow(shell.clock, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    test::TempDir folder;
    ASSERT_TRUE(CopyFileW((test::DistDir() + L"Quellix.exe").c_str(), folder.File(L"Quellix.exe").c_str(), FALSE));
    auto tray = std::make_unique<TTrayClock>(SystemTray());
    tray->Loaded();
    HostProcess host;
    ASSERT_TRUE(host.Start(L"TTrayClock", folder.path()));
    ASSERT_TRUE(PumpUntil([&] { return tray->HasBackground() && tray->ClockWindow() != shell.clock; }, 15000));
    const int x = 770, y = 615;   // on the shell's digits, under the host's window
    EXPECT_TRUE(ShowsOnScreen(x, y, RGB(30, 60, 120))) << std::hex << "screen shows 0x" << ScreenPixel(x, y);

    for (UINT change : {WM_THEMECHANGED, WM_SYSCOLORCHANGE, WM_DWMCOLORIZATIONCOLORCHANGED, WM_SETTINGCHANGE}) {
        const COLORREF look = RGB(change & 0xFF, 90, 160);
        shell.SetNotifyColour(look);
        const auto what = reinterpret_cast<LPARAM>(change == WM_SETTINGCHANGE ? L"ImmersiveColorSet" : nullptr);
        SendMessageTimeoutW(FindWindowW(L"QuellixHost", nullptr), change, 0, what, SMTO_NORMAL, 5000, nullptr);
        EXPECT_TRUE(ShowsOnScreen(x, y, look)) << std::hex << "after 0x" << change << " the screen shows 0x" << ScreenPixel(x, y);
    }
    tray.reset();
    EXPECT_EQ(host.WaitExit(10000), 0u);
}

// A host serving a component of this process, both started fresh for each test.
struct HostServing : testing::Test {
    std::unique_ptr<TTrayClock> tray;
    HostProcess host;
    int inits = 0, paints = 0, mouseOvers = 0, mouseLeaves = 0;
    std::vector<std::string> events;

    void SetUp() override {
        ASSERT_TRUE(PumpUntil([] { return FindTaskbarWindow() != nullptr; }, 15000));
        tray = MakeTray();
        ASSERT_TRUE(host.Start(L"TTrayClock"));
        ASSERT_TRUE(PumpUntil([&] { return inits > 0 && tray->ClockWindow() && paints > 0; }, 15000));
    }
    void TearDown() override {
        tray.reset();
        EXPECT_EQ(host.WaitExit(10000), 0u);
    }
    std::unique_ptr<TTrayClock> MakeTray() {
        auto t = std::make_unique<TTrayClock>(SystemTray());
        TTrayClock* raw = t.get();
        t->OnInit = [this] { ++inits; };
        t->OnCalcClockSize = [raw] {
            raw->SetClockWidth(70);
            raw->SetClockHeight(20);
        };
        t->OnPaint = [this](HDC dc, const RECT& client) {
            ++paints;
            UniqueBrush brush(CreateSolidBrush(kClockColour));
            FillRect(dc, &client, brush.get());
        };
        t->OnMouseDown = [this](MouseButton, ShiftState, int, int) { events.push_back("down"); };
        t->OnClick = [this](MouseButton, ShiftState, int, int) { events.push_back("click"); };
        t->OnMouseUp = [this](MouseButton, ShiftState, int, int) { events.push_back("up"); };
        t->OnMouseOver = [this](ShiftState, int, int) { ++mouseOvers; };
        t->OnMouseLeave = [this](ShiftState, int, int) { ++mouseLeaves; };
        t->Loaded();
        return t;
    }
};

TEST_F(HostServing, ClickOnTheClockWindowReachesTheComponentInOrder) {
    HWND clock = tray->ClockWindow();
    PostMessageW(clock, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(clock, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(PumpUntil([&] { return events.size() >= 3; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"down", "click", "up"}));
}

TEST_F(HostServing, LeaveIsReportedUnlessCancelledThroughTheClockWindow) {
    HWND clock = tray->ClockWindow();
    PostMessageW(clock, WM_MOUSELEAVE, 0, 0);
    PostMessageW(clock, WM_CLOCKCANCELLEAVE, 0, 0);
    PumpUntil([] { return false; }, 1600);
    EXPECT_EQ(mouseLeaves, 0);
    PostMessageW(clock, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return mouseLeaves > 0; }, 3000));
}

TEST_F(HostServing, HoverAndLeaveFollowTheRealPointer) {
    RECT window{};
    GetWindowRect(tray->ClockWindow(), &window);
    // The suites share one display: a move another test makes at the same moment may be the one the
    // window sees, so the pointer comes to rest again (a pixel aside) until the hover is reported.
    const int x = (window.left + window.right) / 2, y = (window.top + window.bottom) / 2;
    bool hovered = false;
    for (int attempt = 0; attempt < 6 && !hovered; ++attempt) {
        SetCursorPos(x + attempt % 2, y);
        hovered = PumpUntil([&] { return mouseOvers > 0; }, 1500);
    }
    EXPECT_TRUE(hovered) << "no hover after the pointer rested";
    bool left = false;
    for (int attempt = 0; attempt < 6 && !left; ++attempt) {
        SetCursorPos(200 + attempt % 2, 200);
        left = PumpUntil([&] { return mouseLeaves > 0; }, 1500);
    }
    EXPECT_TRUE(left) << "no leave after the pointer went";
}

TEST_F(HostServing, ShellRestartGivesANewClockWindowAndAFreshAttach) {
    HWND old = tray->ClockWindow();
    const int initsBefore = inits;
    paints = 0;
    HWND hostWindow = FindWindowW(L"QuellixHost", nullptr);
    ASSERT_NE(hostWindow, nullptr);
    PostMessageW(hostWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return inits > initsBefore && tray->ClockWindow() != old && paints > 0; }, 10000));
    EXPECT_FALSE(IsWindow(old));
    RECT window{};
    GetWindowRect(tray->ClockWindow(), &window);
    const int cx = (window.left + window.right) / 2, cy = (window.top + window.bottom) / 2;
    EXPECT_TRUE(ShowsOnScreen(cx, cy, kClockColour));
}

TEST_F(HostServing, AComponentStartedAfterTheHostIsFoundWithinSeconds) {
    tray.reset();   // tells this host to quit
    EXPECT_EQ(host.WaitExit(10000), 0u);
    ASSERT_TRUE(host.Start(L"TTrayClock"));
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"TrayClockWClass", nullptr) != nullptr; }, 10000));
    paints = 0;
    // The component finds the served clock window by itself and attaches; the host then asks for paints.
    tray = MakeTray();
    EXPECT_EQ(tray->ClockWindow(), FindWindowW(L"TrayClockWClass", nullptr));
    EXPECT_TRUE(PumpUntil([&] { return paints > 0; }, 5000));
}

TEST_F(HostServing, ASecondHostTakesOverFromTheFirst) {
    HostProcess second;
    ASSERT_TRUE(second.Start(L"TTrayClock"));
    EXPECT_EQ(host.WaitExit(10000), 0u) << "the first host makes room";
    const int initsBefore = inits;
    EXPECT_TRUE(PumpUntil([&] { return inits > initsBefore; }, 10000));
    host.process = std::move(second.process);
    host.thread = std::move(second.thread);
}

}  // namespace
}  // namespace vt
