// The tray-clock component driven as the host drives it: forwarded codes sent to its hidden window, with a
// window of this thread standing in for the host's clock window.
#include <gtest/gtest.h>

#include "support/mutation.h"
#include "support/test_support.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/handles.h"
#include "base/window.h"
#include "base/text.h"
#include "clock/tray_clock.h"

namespace vt {
namespace {

constexpr POINT kCursor{321, 254};

using vt::test::PumpUntil;
void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

// A top-level window of this thread that records what it is sent.
class RecordingWindow : public Window<RecordingWindow> {
public:
    struct Message { UINT message; WPARAM wParam; LPARAM lParam; };
    RecordingWindow(int width, int height, bool visible = true) {
        static const wchar_t kClass[] = L"VtRecordingWindow";
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassExW(&wc);
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"", WS_POPUP | (visible ? WS_VISIBLE : 0), 500, 300,
                        width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= WM_USER || message == WM_COMMAND) received.push_back({message, wParam, lParam});
        if (message == WM_PAINT) {
            ValidateRect(hwnd_, nullptr);
            return 0;
        }
        return Default(message, wParam, lParam);
    }
    std::vector<Message> Received(UINT message) const {
        std::vector<Message> out;
        for (const auto& m : received)
            if (m.message == message) out.push_back(m);
        return out;
    }
    std::vector<Message> received;
};

// Names each event as it fires, so tests can check the order.
struct Fixture : testing::Test, ITrayClockSystem {
    HWND FindClockWindow() override { return clockWindow.hwnd(); }
    bool TrackMouse(TRACKMOUSEEVENT& e) override {
        tracked.push_back(e);
        if (!trackingRefused) return true;
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    bool IsTaskbarVertical() override { return vertical; }
    POINT CursorPos() override { return kCursor; }

    RecordingWindow clockWindow{150, 30};
    RecordingWindow menuOwner{10, 10, false};
    std::vector<TRACKMOUSEEVENT> tracked;
    bool trackingRefused = false;
    bool vertical = false;
    std::vector<std::string> events;
    std::unique_ptr<TTrayClock> tray;

    void SetUp() override {
        ITrayClockSystem& system = *this;
        tray = std::make_unique<TTrayClock>(system);
        auto name = [](MouseButton b) { return b == MouseButton::Left ? "L" : b == MouseButton::Right ? "R" : "M"; };
        auto at = [](int x, int y) { return x == kCursor.x && y == kCursor.y ? "" : "@elsewhere"; };
        tray->OnMouseDown = [=, this](MouseButton b, ShiftState s, int x, int y) {
            events.push_back(std::string("down ") + name(b) + ((s & kDoubleClick) ? " double" : "") + at(x, y));
        };
        tray->OnMouseUp = [=, this](MouseButton b, ShiftState, int x, int y) {
            events.push_back(std::string("up ") + name(b) + at(x, y));
        };
        tray->OnClick = [=, this](MouseButton b, ShiftState, int x, int y) {
            events.push_back(std::string("click ") + name(b) + at(x, y));
        };
        tray->OnDblClick = [this] { events.push_back("dblclick"); };
        tray->OnMouseMove = [=, this](ShiftState, int x, int y) { events.push_back(std::string("move") + at(x, y)); };
        tray->OnMouseOver = [=, this](ShiftState, int x, int y) { events.push_back(std::string("over") + at(x, y)); };
        tray->OnMouseLeave = [=, this](ShiftState, int x, int y) { events.push_back(std::string("leave") + at(x, y)); };
        tray->Loaded();
    }
    void TearDown() override {
        tray.reset();
        Pump(0);
    }

    // The host's send; then the component runs what it left for after the answer.
    LRESULT Forward(LPARAM code) {
        const LRESULT answer = SendMessageW(tray->hwnd(), WM_TRAYCLOCKFORWARD, 0, code);
        MSG msg;
        while (PeekMessageW(&msg, tray->hwnd(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return answer;
    }
    std::vector<std::string> TakeEvents() { return std::exchange(events, {}); }
};

using Strings = std::vector<std::string>;

// --------------------------------------------------------------------------------------------------------------
// Attaching

using TrayClockAttach = Fixture;

TEST_F(TrayClockAttach, LoadedSendsTheAttachMessageWithTheHiddenWindow) {
    auto attach = clockWindow.Received(WM_CLOCKATTACH);
    ASSERT_EQ(attach.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(attach[0].wParam), tray->hwnd());
    EXPECT_EQ(tray->ClockWindow(), clockWindow.hwnd());
    wchar_t cls[64] = {};
    GetClassNameW(tray->hwnd(), cls, 64);
    EXPECT_STREQ(cls, L"TTrayClock");
    EXPECT_FALSE(IsWindowVisible(tray->hwnd()));
}

TEST_F(TrayClockAttach, HostAnnouncementReinitialisesAndAttachesAgain) {
    int inits = 0;
    tray->OnInit = [&] {
        ++inits;
        EXPECT_FALSE(tray->Active()) << "detached while the painter starts again";
    };
    EXPECT_EQ(SendMessageW(tray->hwnd(), WM_TRAYCLOCKINIT, 0, 0), 1);
    EXPECT_EQ(inits, 1);
    EXPECT_TRUE(tray->Active());
    EXPECT_EQ(clockWindow.Received(WM_CLOCKATTACH).size(), 2u);
}

TEST_F(TrayClockAttach, AttachesToTheWindowTheHostAnnounced) {
    RecordingWindow served(80, 30);
    EXPECT_EQ(SendMessageW(tray->hwnd(), WM_TRAYCLOCKINIT, reinterpret_cast<WPARAM>(served.hwnd()), 0), 1);
    EXPECT_EQ(tray->ClockWindow(), served.hwnd());
    ASSERT_EQ(served.Received(WM_CLOCKATTACH).size(), 1u);
    EXPECT_EQ(clockWindow.Received(WM_CLOCKATTACH).size(), 1u) << "only the first attach went to the located window";
    tray.reset();
    EXPECT_EQ(served.Received(RegisterWindowMessageW(L"Quellix-quit")).size(), 1u);
}

TEST_F(TrayClockAttach, ShowWhileActiveChangesNothing) {
    tray->Show();
    EXPECT_EQ(clockWindow.Received(WM_CLOCKATTACH).size(), 1u);
}

TEST_F(TrayClockAttach, DestructionTellsTheHostToQuit) {
    const UINT quit = RegisterWindowMessageW(L"Quellix-quit");
    HWND hidden = tray->hwnd();
    tray.reset();
    auto sent = clockWindow.Received(quit);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(sent[0].wParam), hidden);
    EXPECT_EQ(sent[0].lParam, 0);
    EXPECT_FALSE(IsWindow(hidden));
}

// A clock window whose thread never answers, as a hung host's would be.
struct HungWindow {
    HWND window = nullptr;
    UniqueHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle thread;
    static DWORD WINAPI Run(void* p) {
        auto* h = static_cast<HungWindow*>(p);
        h->window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        SetEvent(h->ready.get());
        WaitForSingleObject(h->release.get(), INFINITE);   // never pumps
        DestroyWindow(h->window);
        return 0;
    }
    HungWindow() {
        thread.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        WaitForSingleObject(ready.get(), 5000);
    }
    ~HungWindow() {
        SetEvent(release.get());
        WaitForSingleObject(thread.get(), 5000);
    }
};

TEST_F(TrayClockAttach, ExitDoesNotWaitForAHungHost) {
    HungWindow hung;
    ASSERT_NE(hung.window, nullptr);
    struct HungClock final : SystemTrayCalls {
        HWND window = nullptr;
        HWND FindClockWindow() override { return window; }
    } system;
    system.window = hung.window;
    const ULONGLONG start = GetTickCount64();
    {
        TTrayClock hanging(system);
        hanging.Loaded();
        EXPECT_EQ(hanging.ClockWindow(), hung.window);
    }
    EXPECT_LT(GetTickCount64() - start, 2ull * TTrayClock::kHostTimeoutMs + 1500) << "attach and quit each give up";
}

TEST_F(TrayClockAttach, UnhandledMessagesActForTheHiddenWindow) {
    SendMessageW(tray->hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hidden"));
    wchar_t text[32] = {};
    GetWindowTextW(tray->hwnd(), text, 32);
    EXPECT_STREQ(text, L"hidden");
    GetWindowTextW(clockWindow.hwnd(), text, 32);
    EXPECT_STREQ(text, L"");
}

// --------------------------------------------------------------------------------------------------------------
// Mouse

using TrayClockMouse = Fixture;

TEST_F(TrayClockMouse, LeftPressAndReleaseFireDownClickUpInOrder) {
    EXPECT_EQ(Forward(WM_LBUTTONDOWN), 7);
    EXPECT_EQ(Forward(WM_LBUTTONUP), 7);
    EXPECT_EQ(TakeEvents(), (Strings{"down L", "click L", "up L"}));
}

TEST_F(TrayClockMouse, ReleaseWithoutPressFiresOnlyUp) {
    EXPECT_EQ(Forward(WM_LBUTTONUP), 7);
    EXPECT_EQ(TakeEvents(), (Strings{"up L"}));
    Forward(WM_LBUTTONDOWN);
    Forward(WM_LBUTTONUP);
    Forward(WM_LBUTTONUP);
    EXPECT_EQ(TakeEvents(), (Strings{"down L", "click L", "up L", "up L"}));
}

TEST_F(TrayClockMouse, EveryMouseCodeIsAnsweredSeven) {
    for (LPARAM code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                        WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MOUSEHOVER, WM_MOUSELEAVE})
        EXPECT_EQ(Forward(code), 7) << std::hex << code;
    EXPECT_EQ(Forward(CLOCKCODE_CANCELLEAVE), 0);
    EXPECT_EQ(Forward(0x1234), 0);
}

TEST_F(TrayClockMouse, MiddleAndDoubleClicksReportTheirButtons) {
    Forward(WM_MBUTTONDOWN);
    Forward(WM_MBUTTONUP);
    Forward(WM_MBUTTONDBLCLK);
    Forward(WM_RBUTTONDBLCLK);
    EXPECT_EQ(TakeEvents(), (Strings{"down M", "up M", "down M double", "down R double"}));
}

TEST_F(TrayClockMouse, MoveRearmsHoverAndLeaveTrackingOfTheClockWindow) {
    Forward(WM_MOUSEMOVE);
    ASSERT_EQ(tracked.size(), 1u);
    EXPECT_EQ(tracked[0].dwFlags, static_cast<DWORD>(TME_HOVER | TME_LEAVE));
    EXPECT_EQ(tracked[0].hwndTrack, clockWindow.hwnd());
    EXPECT_EQ(tracked[0].dwHoverTime, 1000u);
    EXPECT_EQ(TakeEvents(), (Strings{"move"}));
}

TEST_F(TrayClockMouse, RefusedTrackingIsReportedOnceAndTheMoveStillCounts) {
    trackingRefused = true;
    std::vector<std::wstring> reports;
    tray->OnTrackMouseError = [&](const std::wstring& text) { reports.push_back(text); };
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Forward(WM_MOUSEMOVE), 7);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].empty());
    EXPECT_EQ(TakeEvents(), (Strings{"move", "move", "move"}));
}

TEST_F(TrayClockMouse, HoverReportsTheCursorPosition) {
    Forward(WM_MOUSEHOVER);
    EXPECT_EQ(TakeEvents(), (Strings{"over"}));
}

TEST_F(TrayClockMouse, LeaveIsReportedOneSecondAfterTheHostsNotice) {
    const ULONGLONG start = GetTickCount64();
    Forward(WM_MOUSELEAVE);
    Pump(700);
    EXPECT_TRUE(TakeEvents().empty()) << "not before a second has passed";
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }, 2000));
    EXPECT_GE(GetTickCount64() - start, 900u);
    EXPECT_EQ(TakeEvents(), (Strings{"leave"}));
    ASSERT_FALSE(tracked.empty());
    EXPECT_TRUE(tracked.back().dwFlags & TME_CANCEL);
    Pump(1300);
    EXPECT_TRUE(TakeEvents().empty()) << "reported once";
}

TEST_F(TrayClockMouse, CancelCodeSuppressesThePendingLeave) {
    Forward(WM_MOUSELEAVE);
    Pump(300);
    EXPECT_EQ(Forward(CLOCKCODE_CANCELLEAVE), 0);
    Pump(1500);
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(TrayClockMouse, RightPressSuppressesThePendingLeaveAndCancelsTracking) {
    Forward(WM_MOUSELEAVE);
    Forward(WM_RBUTTONDOWN);
    ASSERT_EQ(tracked.size(), 1u);
    EXPECT_TRUE(tracked[0].dwFlags & TME_CANCEL);
    Pump(1500);
    EXPECT_EQ(TakeEvents(), (Strings{"down R"}));
}

TEST_F(TrayClockMouse, ForwardsAreIgnoredWhileInactiveOrWithoutAVisibleClockWindow) {
    tray->SetActive(false);
    EXPECT_EQ(Forward(WM_LBUTTONDOWN), 0);
    tray->SetActive(true);
    ShowWindow(clockWindow.hwnd(), SW_HIDE);
    EXPECT_EQ(Forward(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Forward(CLOCKCODE_SIZE), 0);
    EXPECT_TRUE(TakeEvents().empty());
    ShowWindow(clockWindow.hwnd(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(Forward(WM_LBUTTONDOWN), 7);
    EXPECT_EQ(TakeEvents(), (Strings{"down L"}));
}

// The host sends from a thread of its own (on the hook road, the taskbar's own thread). What a click, a
// hover or a double click does may take long; each action here waits for the answer to its own forward
// (bounded, so that an action run inside the send cannot hang the test) and says which came first.
TEST_F(TrayClockMouse, EachForwardIsAnsweredBeforeItsClickHoverOrDoubleClickActionRuns) {
    const LPARAM codes[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEHOVER, WM_LBUTTONDBLCLK};
    UniqueHandle answered[4];
    for (auto& e : answered) e.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Strings seen;
    auto action = [&](const char* name, int forward) {
        const bool after = WaitForSingleObject(answered[forward].get(), 3000) == WAIT_OBJECT_0;
        seen.push_back(std::string(name) + (after ? " after its answer" : " while the host waited"));
    };
    tray->OnClick = [&](MouseButton, ShiftState, int, int) { action("click", 1); };
    tray->OnMouseOver = [&](ShiftState, int, int) { action("over", 2); };
    tray->OnDblClick = [&] { action("dblclick", 3); };
    HWND hidden = tray->hwnd();
    UniqueHandle sent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread host([&] {
        for (int i = 0; i < 4; ++i) {
            SendMessageW(hidden, WM_TRAYCLOCKFORWARD, 0, codes[i]);
            SetEvent(answered[i].get());
        }
        SetEvent(sent.get());
    });
    PumpUntil([&] { return WaitForSingleObject(sent.get(), 0) == WAIT_OBJECT_0 && seen.size() >= 3; }, 20000);
    host.join();
    EXPECT_EQ(seen, (Strings{"click after its answer", "over after its answer", "dblclick after its answer"}));
}

// --------------------------------------------------------------------------------------------------------------
// Menu and double click

struct TrayClockMenu : Fixture {
    UniqueMenu menu{CreatePopupMenu()};
    void SetUp() override {
        Fixture::SetUp();
        AppendMenuW(menu.get(), MF_STRING, 41, L"Main Dialog...");
        AppendMenuW(menu.get(), MF_STRING, 42, L"Exit");
    }
};

struct SeenMenu {
    bool shown = false;
    RECT rect{};
    HWND foreground = nullptr;   // while the menu was up
};
SeenMenu g_seenMenu;

void CALLBACK CloseMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
        g_seenMenu.shown = true;
        GetWindowRect(menu, &g_seenMenu.rect);
        g_seenMenu.foreground = GetForegroundWindow();
        KillTimer(nullptr, id);
        EndMenu();
    }
}

TEST_F(TrayClockMenu, RightClickPopsTheMenuUpAtTheCursorInsteadOfAClick) {
    tray->SetPopupMenu(menu.get(), menuOwner.hwnd());
    g_seenMenu = {};
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseMenuSoon);
    EXPECT_EQ(Forward(WM_RBUTTONDOWN), 7);
    EXPECT_EQ(Forward(WM_RBUTTONUP), 7);
    PumpUntil([] { return g_seenMenu.shown; }, 3000);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_seenMenu.shown);
    EXPECT_EQ(g_seenMenu.rect.left, kCursor.x);
    EXPECT_EQ(g_seenMenu.rect.top, kCursor.y);
    EXPECT_EQ(TakeEvents(), (Strings{"down R", "up R"}));
    // The main window is in front for the menu; the component's hidden window once it has closed.
    EXPECT_EQ(g_seenMenu.foreground, menuOwner.hwnd());
    EXPECT_EQ(GetForegroundWindow(), tray->hwnd());
}

// The host keeps tracking hover on its window while the menu is up: a hover then opens nothing over it.
TEST_F(TrayClockMenu, HoverWhileTheMenuIsUpFiresNoMouseOver) {
    tray->SetPopupMenu(menu.get(), menuOwner.hwnd());
    static HWND trayWindow;
    static bool hovered;
    trayWindow = tray->hwnd();
    hovered = false;
    struct Hover {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
            HWND shown = FindWindowW(L"#32768", nullptr);
            if (!shown || !IsWindowVisible(shown)) return;
            KillTimer(nullptr, id);
            SendMessageW(trayWindow, WM_TRAYCLOCKFORWARD, 0, WM_MOUSEHOVER);
            hovered = true;
            EndMenu();
        }
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 50, Hover::Tick);
    Forward(WM_RBUTTONDOWN);
    Forward(WM_RBUTTONUP);
    PumpUntil([] { return hovered; }, 3000);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(hovered);
    EXPECT_EQ(TakeEvents(), (Strings{"down R", "up R"}));
    Forward(WM_MOUSEHOVER);   // with the menu gone a hover counts again
    EXPECT_EQ(TakeEvents(), (Strings{"over"}));
}

TEST_F(TrayClockMenu, RightClickWithoutMenuDoesNothing) {
    Forward(WM_RBUTTONDOWN);
    Forward(WM_RBUTTONUP);
    Pump(200);
    HWND shownMenu = FindWindowW(L"#32768", nullptr);
    EXPECT_TRUE(!shownMenu || !IsWindowVisible(shownMenu));
    EXPECT_EQ(TakeEvents(), (Strings{"down R", "up R"}));
}

TEST_F(TrayClockMenu, DoubleClickChoosesTheDefaultItemInsteadOfTheEvent) {
    SetMenuDefaultItem(menu.get(), 42, FALSE);
    tray->SetPopupMenu(menu.get(), menuOwner.hwnd());
    EXPECT_EQ(Forward(WM_LBUTTONDBLCLK), 7);
    Pump(100);
    auto commands = menuOwner.Received(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 42);
    EXPECT_EQ(TakeEvents(), (Strings{"down L double"}));
}

TEST_F(TrayClockMenu, DoubleClickFiresTheEventWhenTheDefaultItemIsDisabled) {
    SetMenuDefaultItem(menu.get(), 42, FALSE);
    EnableMenuItem(menu.get(), 42, MF_BYCOMMAND | MF_GRAYED);
    tray->SetPopupMenu(menu.get(), menuOwner.hwnd());
    Forward(WM_LBUTTONDBLCLK);
    Pump(100);
    EXPECT_TRUE(menuOwner.Received(WM_COMMAND).empty());
    EXPECT_EQ(TakeEvents(), (Strings{"dblclick", "down L double"}));
}

TEST_F(TrayClockMenu, DoubleClickWithoutMenuFiresTheEvent) {
    Forward(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeEvents(), (Strings{"dblclick", "down L double"}));
}

// --------------------------------------------------------------------------------------------------------------
// Size, background and paint

using TrayClockSize = Fixture;

TEST_F(TrayClockSize, HorizontalTaskbarTakesTheWindowsHeight) {
    tray->OnCalcClockSize = [this] {
        tray->SetClockWidth(120);
        tray->SetClockHeight(77);
    };
    const LRESULT answer = Forward(CLOCKCODE_SIZE);
    EXPECT_EQ(answer & 0xFFFF, 120);
    EXPECT_EQ((answer >> 16) & 0xFFFF, 30);
    EXPECT_EQ(tray->ClockHeight(), 30);
}

TEST_F(TrayClockSize, VerticalTaskbarTakesTheWindowsWidth) {
    vertical = true;
    tray->OnCalcClockSize = [this] {
        tray->SetClockWidth(120);
        tray->SetClockHeight(44);
    };
    const LRESULT answer = Forward(CLOCKCODE_SIZE);
    EXPECT_EQ(answer, PackClockSize(150, 44));
    EXPECT_EQ(tray->ClockWidth(), 150);
}

TEST_F(TrayClockSize, NoWidthAnswersZero) {
    tray->OnCalcClockSize = [this] { tray->SetClockWidth(0); };
    EXPECT_EQ(Forward(CLOCKCODE_SIZE), 0);
}

// The host's side of the background: a named mapping of the given byte size filled with one colour.
UniqueHandle PublishBackground(size_t bytes, DWORD pixel) {
    UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(bytes),
                                            L"Quellix-SharedData"));
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, bytes));
    auto* p = static_cast<DWORD*>(view.get());
    for (size_t i = 0; i < bytes / 4; ++i) p[i] = pixel;
    return mapping;
}

struct TrayClockPaint : Fixture {
    int paints = 0;
    COLORREF backgroundSeen = CLR_INVALID;
    void SetUp() override {
        Fixture::SetUp();
        tray->OnCalcClockSize = [this] {
            tray->SetClockWidth(150);
            tray->SetClockHeight(30);
        };
        tray->OnPaint = [this](HDC dc, const RECT& client) {
            ++paints;
            backgroundSeen = GetPixel(dc, 3, 3);
            EXPECT_EQ(client.right, 150);
            EXPECT_EQ(client.bottom, 30);
            UniqueBrush brush(CreateSolidBrush(RGB(200, 10, 10)));
            RECT r{10, 5, 60, 25};
            FillRect(dc, &r, brush.get());
        };
        Forward(CLOCKCODE_SIZE);
    }
};

TEST_F(TrayClockPaint, PaintsOverThePublishedBackgroundIntoTheClockWindow) {
    UniqueHandle mapping = PublishBackground(150 * 30 * 4, 0x0020B0F0);   // B0F0 green-blue, as BGRA in memory
    EXPECT_EQ(Forward(CLOCKCODE_BACKGROUND), 0);
    ASSERT_TRUE(tray->HasBackground());
    EXPECT_EQ(Forward(WM_PAINT), 0);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(backgroundSeen, RGB(0x20, 0xB0, 0xF0));
    WindowDC dc(clockWindow.hwnd());
    EXPECT_EQ(GetPixel(dc.get(), 20, 10), RGB(200, 10, 10));
    EXPECT_EQ(GetPixel(dc.get(), 100, 10), RGB(0x20, 0xB0, 0xF0));
}

TEST_F(TrayClockPaint, TooSmallMappingIsNotRead) {
    UniqueHandle mapping = PublishBackground(100 * 30 * 4, 0x00FF0000);
    Forward(CLOCKCODE_BACKGROUND);
    EXPECT_FALSE(tray->HasBackground());
    Forward(WM_PAINT);
    EXPECT_EQ(paints, 0) << "no paint without a background";
}

TEST_F(TrayClockPaint, NewSizeAndTooSmallMappingDropThePreviousBackground) {
    {
        UniqueHandle mapping = PublishBackground(150 * 30 * 4, 0x00FF0000);
        Forward(CLOCKCODE_BACKGROUND);
        ASSERT_TRUE(tray->HasBackground());
    }
    UniqueHandle small = PublishBackground(16, 0x00FF0000);
    Forward(CLOCKCODE_BACKGROUND);
    EXPECT_FALSE(tray->HasBackground());
}

TEST_F(TrayClockPaint, MissingMappingLeavesNothingToPaint) {
    Forward(CLOCKCODE_BACKGROUND);
    EXPECT_FALSE(tray->HasBackground());
    Forward(WM_PAINT);
    EXPECT_EQ(paints, 0);
}

TEST_F(TrayClockMouse, LeaveTimerStopsWhileTheClockWindowIsHidden) {
    Forward(WM_MOUSELEAVE);
    ShowWindow(clockWindow.hwnd(), SW_HIDE);
    Pump(1500);
    ShowWindow(clockWindow.hwnd(), SW_SHOWNA);
    Pump(1500);
    EXPECT_TRUE(TakeEvents().empty()) << "a leave from before the clock was hidden is not reported later";
}

namespace {
struct ShownBox {
    HWND window = nullptr;
    std::wstring caption, text;
};
BOOL CALLBACK FindErrorBox(HWND w, LPARAM l) {
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (wcscmp(cls, L"#32770") != 0 || GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId()) return TRUE;
    auto* box = reinterpret_cast<ShownBox*>(l);
    box->window = w;
    return FALSE;
}
}  // namespace

TEST_F(TrayClockMouse, RefusedTrackingShowsErrorAsTextAndTheSystemsWordsAsCaptionOverTheClock) {
    trackingRefused = true;
    ShownBox box;
    HWND owner = nullptr;
    // The box is modal: look at it from a timer of this thread while it runs, then close it.
    static ShownBox* seen;
    static HWND* seenOwner;
    seen = &box;
    seenOwner = &owner;
    struct Look {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
            EnumThreadWindows(GetCurrentThreadId(), FindErrorBox, reinterpret_cast<LPARAM>(seen));
            if (!seen->window) return;
            KillTimer(nullptr, id);
            wchar_t text[256] = L"";
            GetWindowTextW(seen->window, text, 256);
            seen->caption = text;
            GetDlgItemTextW(seen->window, 0xFFFF, text, 256);
            seen->text = text;
            *seenOwner = GetWindow(seen->window, GW_OWNER);
            PostMessageW(seen->window, WM_COMMAND, IDOK, 0);
        }
    };
    SetTimer(nullptr, 0, 100, Look::Tick);
    Forward(WM_MOUSEMOVE);
    Pump(1500);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"Error");
    EXPECT_EQ(box.caption, SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(owner, clockWindow.hwnd());
}


// Mappings of every wrong size, for every clock size the component may have answered: the background is
// read, and the drawn clock written, only when the whole picture fits.
TEST_F(TrayClockSize, MappingsOfEveryWrongSizeAreNeverReadOrWrittenPastTheirEnd) {
    static const int kLengths[] = {-5, 0, 1, 29, 30, 150, 151, 4096, 40000, 65535};
    int width = 0, height = 0;
    tray->OnCalcClockSize = [&] {
        tray->SetClockWidth(width);
        tray->SetClockHeight(height);
    };
    tray->OnPaint = [](HDC, const RECT&) {};
    test::RunMutations({"background and clock pixel mappings", 0xB6D, 300}, [&](test::Mutator& m, int) {
        vertical = m.Chance(30);
        width = kLengths[m.Below(std::size(kLengths))];
        height = kLengths[m.Below(std::size(kLengths))];
        Forward(CLOCKCODE_SIZE);
        const int w = tray->ClockWidth(), h = tray->ClockHeight();
        const size_t needed = w > 0 && h > 0 ? static_cast<size_t>(w) * static_cast<size_t>(h) * 4 : 0;
        const size_t sizes[] = {1, 16, needed ? needed - 1 : 2, needed + 4096, static_cast<size_t>(1 + m.Below(1 << 20))};
        const size_t bytes = std::max<size_t>(1, sizes[m.Below(std::size(sizes))]);
        UniqueHandle mapping = PublishBackground(bytes, 0x00123456);
        Forward(CLOCKCODE_BACKGROUND);
        // Pages round a mapping up: what is read must lie inside the pages it has.
        const size_t pages = (bytes + 4095) / 4096 * 4096;
        EXPECT_EQ(tray->HasBackground(), needed > 0 && pages >= needed) << w << " x " << h << " from " << bytes;
        Forward(WM_PAINT);

        const size_t pixelBytes = static_cast<size_t>(1 + m.Below(40000));
        UniqueHandle pixels(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                               static_cast<DWORD>(pixelBytes), kClockPixelsName));
        const LRESULT rendered = SendMessageW(tray->hwnd(), WM_TRAYCLOCKFORWARD,
                                              reinterpret_cast<WPARAM>(clockWindow.hwnd()), CLOCKCODE_RENDER);
        const size_t clientBytes = 150 * 30 * 4;
        if ((pixelBytes + 4095) / 4096 * 4096 < clientBytes) {
            EXPECT_EQ(rendered, 0);
        }
        // Every case ends without a background, so the GDI count compares like with like.
        mapping.reset();
        vertical = false;
        width = 0;
        Forward(CLOCKCODE_SIZE);
        UniqueHandle none = PublishBackground(16, 0);
        Forward(CLOCKCODE_BACKGROUND);
        ASSERT_FALSE(tray->HasBackground());
    });
}

}  // namespace
}  // namespace vt
