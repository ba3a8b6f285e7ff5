// The taskbar-hook road on a classic taskbar. This test process plays the shell (a taskbar of its own,
// top-most so that it is found before Wine's) and the controlling process at once; a window of its own
// class stands in for the main form and records what the clock window posts and sends to it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/handles.h"
#include "base/inifile.h"
#include "base/window.h"
#include "clock/clock_hook.h"
#include "support/classic_shell.h"
#include "support/clock_skin_fixture.h"
#include "clock/clock_paint.h"
#include "clock/command_messages.h"
#include "base/taskbar_locator.h"
#include "clock/timezones.h"
#include "clock/tray_protocol.h"
#include "support/test_support.h"

namespace vt {
namespace {

using test::kShellClockColour;
using test::kShellClockSize;
constexpr COLORREF kNotifyColour = RGB(30, 60, 120);
constexpr LRESULT kShellCopyDataAnswer = 0x5EE;
constexpr LRESULT kHoverAnswer = 77;

using vt::test::PumpUntil;
void Pump(DWORD ms = 50) { PumpUntil([] { return false; }, ms); }

// ---- what the shell's own clock and the main form see ----

std::vector<UINT> g_shellClockMessages;   // messages that reached the shell's own clock procedure
struct Received {
    UINT message;
    WPARAM wParam;
    bool operator==(const Received&) const = default;
};
std::vector<Received> g_main;             // command messages that reached the stand-in main form

LRESULT CALLBACK RecordingShellClockProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    g_shellClockMessages.push_back(m);
    if (m == WM_COPYDATA) return kShellCopyDataAnswer;
    return test::PaintingShellClockProc(w, m, wp, lp);
}

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= WM_USER && m < WM_USER + 200) {
        g_main.push_back({m, wp});
        return m == WM_CLOCKHOVER ? kHoverAnswer : 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

bool Seen(UINT message) {
    return std::find(g_shellClockMessages.begin(), g_shellClockMessages.end(), message) != g_shellClockMessages.end();
}

// ---- the system seams ----

std::wstring g_settingsDir;
int g_dateTimeRuns = 0;
std::vector<TRACKMOUSEEVENT> g_tracks;
BOOL g_trackResult = TRUE;
int g_trackFailures = 0;

std::wstring TestSettingsDir() { return g_settingsDir; }
void CountDateTimeRun() { ++g_dateTimeRuns; }
BOOL WINAPI FakeTrackMouse(LPTRACKMOUSEEVENT e) {
    g_tracks.push_back(*e);
    return g_trackResult;
}
void CountTrackFailure(HWND, DWORD) { ++g_trackFailures; }

// The shell's clock with its own procedure, 250 x 40 inside a notify area of 300.
struct ClassicShell : test::ClassicShell {
    ClassicShell() : test::ClassicShell(RecordingShellClockProc, kNotifyColour, {40, 500, 300, 50, 250}) {}
};

struct StandInMainForm {
    HWND hwnd = nullptr;
    StandInMainForm() {
        RegisterWindowClass(L"VantoricHookTestMain", MainProc, CS_DBLCLKS);
        hwnd = CreateWindowExW(0, L"VantoricHookTestMain", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    ~StandInMainForm() {
        DestroyWindow(hwnd);
        UnregisterClassW(L"VantoricHookTestMain", GetModuleHandleW(nullptr));
    }
};

class ClockHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_shellClockMessages.clear();
        g_main.clear();
        g_tracks.clear();
        g_dateTimeRuns = g_trackFailures = 0;
        g_trackResult = TRUE;
        g_settingsDir = settings.path();
        SetClockHookSystem({TestSettingsDir, CountDateTimeRun, FakeTrackMouse, CountTrackFailure});
        test::WriteSyntheticSkin(skins.path() + L"Test");
        IniFile(settings.File(L"Setting.ini")).WriteString(L"Options", L"SkinName", L"Test");
        originalClockProc = shell.ClockProc();
        originalNotifyProc = shell.NotifyProc();
    }
    void TearDown() override {
        KillHooks(main.hwnd);
        SetClockHookSystem({});
    }
    bool Enable() { return SetVantoric10(main.hwnd, true, skins.path().c_str(), L"Carried"); }
    // What the main form received since the last call, after the posts have arrived.
    std::vector<Received> TakeMain() {
        Pump();
        return std::exchange(g_main, {});
    }

    test::TempDir settings, skins;
    ClassicShell shell;
    StandInMainForm main;
    LONG_PTR originalClockProc = 0, originalNotifyProc = 0;
};

bool Posted(HWND window, UINT message) {
    MSG msg;
    return PeekMessageW(&msg, window, message, message, PM_REMOVE) != FALSE;
}

TEST_F(ClockHookTest, EnableTakesTheClockAndDisableGivesItBack) {
    ASSERT_EQ(FindTaskbarWindow(), shell.taskbar) << "the test's taskbar must be the one found";
    ASSERT_TRUE(Enable());
    EXPECT_TRUE(ClockHookInstalled());
    EXPECT_NE(shell.ClockProc(), originalClockProc);
    EXPECT_NE(shell.NotifyProc(), originalNotifyProc);
    EXPECT_TRUE(Posted(shell.taskbar, WM_EXITSIZEMOVE));
    EXPECT_TRUE(Posted(shell.taskbar, WM_SIZE));
    // The skin is the options file's, not the carried name.
    EXPECT_TRUE(ClockPaint().Skin().SkinLoaded());
    EXPECT_EQ(ClockPaint().Skin().SkinName(), L"Test");
    EXPECT_FALSE(Seen(WM_COPYDATA)) << "the record is the hook's, not the shell's";

    // The taskbar's size query: the shell's clock is asked, the painter answers.
    const LRESULT size = shell.Send(kShellClockSizeQuery);
    EXPECT_TRUE(Seen(kShellClockSizeQuery));
    EXPECT_EQ(size, PackClockSize(CalcClockWidth(), CalcClockHeight()));
    EXPECT_NE(size, kShellClockSize);
    EXPECT_EQ(shell.Send(WM_NCHITTEST, 0, MAKELPARAM(560, 610)), HTCLIENT);

    // A second enable only sends the record again.
    EXPECT_TRUE(Enable());

    EXPECT_EQ(KillHooks(main.hwnd), 0);
    EXPECT_FALSE(ClockHookInstalled());
    EXPECT_EQ(shell.ClockProc(), originalClockProc);
    EXPECT_EQ(shell.NotifyProc(), originalNotifyProc);
    EXPECT_FALSE(ClockPaint().Skin().SkinLoaded()) << "the skin bitmaps are freed";
    EXPECT_EQ(shell.Send(kShellClockSizeQuery), kShellClockSize);
    // The hook went with it: the init message changes nothing any more.
    SendMessageW(shell.taskbar, ClockInitMessage(), 0, 0);
    EXPECT_EQ(shell.ClockProc(), originalClockProc);
    EXPECT_TRUE(SetVantoric10(nullptr, false, nullptr, nullptr)) << "disabling twice is harmless";
}

TEST_F(ClockHookTest, WithoutAClassicTaskbarNothingIsHooked) {
    DestroyWindow(shell.taskbar);
    EXPECT_FALSE(Enable());
    EXPECT_FALSE(ClockHookInstalled()) << "a hook on thread 0 would reach every program";
    EXPECT_FALSE(RepainClock());
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE)) << "nothing posted to this thread";
    EXPECT_EQ(KillHooks(main.hwnd), 0);
}

TEST_F(ClockHookTest, TheClockWindowReadsOnlySoundRecords) {
    ASSERT_TRUE(Enable());
    TakeMain();
    StandInMainForm other;

    // A well-formed record moves the clock to another main window.
    auto bytes = PackClockCopyData({skins.path(), L"", other.hwnd});
    ASSERT_TRUE(bytes);
    COPYDATASTRUCT copy{0, static_cast<DWORD>(bytes->size()), bytes->data()};
    EXPECT_EQ(shell.Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 1);
    EXPECT_EQ(shell.Send(WM_COMMAND, kCmdSyncTime), 0);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_SYNCTIME, 0}}));   // one window, all posts recorded
    ASSERT_EQ(GetWindowThreadProcessId(other.hwnd, nullptr), GetCurrentThreadId());

    // Short, foreign or unterminated records are the shell's business and change nothing.
    auto mine = PackClockCopyData({skins.path(), L"", main.hwnd});
    ClockCopyBytes unterminated = *mine;
    std::fill(unterminated.begin(), unterminated.begin() + 260, 'a');
    HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    auto noWindow = PackClockCopyData({skins.path(), L"", gone});
    ASSERT_TRUE(noWindow);
    COPYDATASTRUCT bad[] = {
        {0, 464, noWindow->data()},
        {0, 463, mine->data()},
        {7, 464, mine->data()},
        {0, 464, nullptr},
        {0, 464, unterminated.data()},
    };
    for (auto& b : bad) {
        g_shellClockMessages.clear();
        EXPECT_EQ(shell.Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&b)), kShellCopyDataAnswer);
        EXPECT_TRUE(Seen(WM_COPYDATA));
    }
    EXPECT_EQ(shell.Send(WM_COPYDATA, 0, 0), kShellCopyDataAnswer);
    EXPECT_TRUE(ClockPaint().Skin().SkinLoaded());
    // Commands still reach the main window the last good record named.
    EXPECT_EQ(shell.Send(WM_COMMAND, kCmdSyncTime), 0);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_SYNCTIME, 0}}));
}

TEST_F(ClockHookTest, MenuCommandsPostCommandMessages) {
    ASSERT_TRUE(Enable());
    TakeMain();
    ClockPaint().ClockOptions().Mode = 0;
    const bool showDate = ClockPaint().ClockOptions().ShowDate;

    for (unsigned id : {kCmdShowMain, kCmdQuit, kCmdUpTime, kCmdTime, kCmdUpTime5, kCmdSyncTime, kCmdRandomSkin,
                        kCmdCalendar, kCmdNewAlarm, kCmdWeatherSettings})
        EXPECT_EQ(shell.Send(WM_COMMAND, MAKEWPARAM(id, 0)), 0);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_SHOWMAIN, 0},
                                                 {WM_QUITPROGRAM, 0},
                                                 {WM_TOGGLEUPTIME, 0},
                                                 {WM_SHOWUPTIME5, 0},
                                                 {WM_SYNCTIME, 0},
                                                 {WM_RANDOMSKIN, 0},
                                                 {WM_CALENDAR, 0},
                                                 {WM_NEWALARM, 0},
                                                 {WM_WEATHERSETTINGS, 0}}));

    shell.Send(WM_COMMAND, kCmdShowDate);
    shell.Send(WM_COMMAND, kCmdShowDate);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_SETSHOWDATE, showDate ? 0u : 1u}, {WM_SETSHOWDATE, showDate ? 1u : 0u}}));
    EXPECT_EQ(ClockPaint().ClockOptions().ShowDate, showDate);

    // The date and time properties open, and nothing is posted for them.
    shell.Send(WM_COMMAND, kCmdDateTimeProperties);
    EXPECT_EQ(g_dateTimeRuns, 1);
    EXPECT_TRUE(TakeMain().empty());

    // A command lays the clock out again: the taskbar first, then the clock window itself.
    Pump();
    g_shellClockMessages.clear();
    shell.Send(WM_COMMAND, kCmdNewAlarm);
    EXPECT_TRUE(Posted(shell.taskbar, WM_EXITSIZEMOVE));
    EXPECT_TRUE(Posted(shell.taskbar, WM_SIZE));
    Pump();
    EXPECT_TRUE(Seen(WM_EXITSIZEMOVE));
    EXPECT_TRUE(Seen(WM_SIZE));
    TakeMain();

    // A command the clock does not know is the shell's.
    g_shellClockMessages.clear();
    shell.Send(WM_COMMAND, 999);
    EXPECT_TRUE(Seen(WM_COMMAND));
    EXPECT_TRUE(TakeMain().empty());
}

TEST_F(ClockHookTest, ClicksFollowTheClickOption) {
    ASSERT_TRUE(Enable());
    TakeMain();
    auto& o = ClockPaint().ClockOptions();
    o.Mode = 0;

    o.Click = 2;
    shell.Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_CLOCKATTACH, 0}, {WM_RANDOMSKIN, 0}}));
    o.Click = 3;
    shell.Send(WM_NCLBUTTONUP, HTCLIENT, 0);
    EXPECT_EQ(o.Mode, 1);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_CLOCKATTACH, 0}, {WM_TOGGLEUPTIME, 0}}));
    o.Click = 4;   // in uptime mode already
    shell.Send(WM_LBUTTONUP);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_CLOCKATTACH, 0}}));
    o.Click = 1;
    shell.Send(WM_LBUTTONUP);
    EXPECT_EQ(g_dateTimeRuns, 1);
    TakeMain();
    o.Click = 5;
    shell.Send(WM_LBUTTONUP);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_CLOCKATTACH, 0}, {WM_CALENDAR, 0}}));

    shell.Send(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_SHOWMAIN, 0}}));

    g_shellClockMessages.clear();
    g_tracks.clear();
    shell.Send(WM_RBUTTONDOWN);
    shell.Send(WM_RBUTTONUP);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_FASTMENU, 0}}));
    ASSERT_EQ(g_tracks.size(), 1u);
    EXPECT_TRUE(g_tracks[0].dwFlags & TME_CANCEL);
    EXPECT_FALSE(Seen(WM_RBUTTONUP)) << "the shell's own menu must not open as well";
    o.Mode = 0;
}

TEST_F(ClockHookTest, HoverAndLeaveReachTheMainForm) {
    ASSERT_TRUE(Enable());
    TakeMain();

    shell.Send(WM_MOUSEMOVE);
    ASSERT_EQ(g_tracks.size(), 1u);
    EXPECT_EQ(g_tracks[0].dwFlags, static_cast<DWORD>(TME_HOVER | TME_LEAVE));
    EXPECT_EQ(g_tracks[0].hwndTrack, shell.clock);
    EXPECT_EQ(g_tracks[0].dwHoverTime, 1000u);

    shell.Send(WM_MOUSEHOVER);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_CLOCKHOVER, 0}}));
    EXPECT_EQ(LastClockHoverAnswer(), kHoverAnswer);
    // A new start of the hook road (the controlling side's record) forgets the last hover.
    auto record = PackClockCopyData({skins.path(), L"", main.hwnd});
    ASSERT_TRUE(record);
    COPYDATASTRUCT copy{0, static_cast<DWORD>(record->size()), record->data()};
    EXPECT_EQ(shell.Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 1);
    EXPECT_EQ(LastClockHoverAnswer(), 0) << "a new start forgets the last hover";

    // The leave is reported a second late...
    shell.Send(WM_MOUSELEAVE);
    EXPECT_TRUE(TakeMain().empty());
    EXPECT_TRUE(PumpUntil([] { return !g_main.empty(); }, 3000));
    EXPECT_EQ(g_main, (std::vector<Received>{{WM_CLOCKHOVER, 1}}));
    EXPECT_TRUE(g_tracks.back().dwFlags & TME_CANCEL);
    g_main.clear();

    // ...unless the pointer came back, or somebody cancelled it.
    shell.Send(WM_MOUSELEAVE);
    shell.Send(WM_MOUSEMOVE);
    shell.Send(WM_MOUSELEAVE);
    shell.Send(WM_CLOCKCANCELLEAVE);
    EXPECT_TRUE(Seen(WM_CLOCKCANCELLEAVE)) << "the shell's procedure still hears the cancel";
    Pump(1500);
    EXPECT_TRUE(g_main.empty());

    // A refused tracking request is reported once, not at every move.
    g_trackResult = FALSE;
    shell.Send(WM_MOUSEMOVE);
    shell.Send(WM_NCMOUSEMOVE);
    EXPECT_EQ(g_trackFailures, 1);
}

TEST_F(ClockHookTest, RepainClockPaintsTheSkinnedClock) {
    ASSERT_TRUE(Enable());
    ClockPaint().ClockOptions().ShowSeconds = true;   // all six digits are drawn
    Pump();
    shell.Send(WM_CLOCKREPAINTALL);
    EXPECT_TRUE(std::all_of(ClockPaint().DrawnDigits().begin(), ClockPaint().DrawnDigits().end(),
                            [](auto d) { return d == 'c'; }));
    EXPECT_TRUE(Seen(WM_CLOCKREPAINTALL));

    EXPECT_TRUE(RepainClock());
    Pump();
    EXPECT_EQ(ClockPaint().DrawnDigits(), ClockPaint().ClockDigits());
    // Digits of the synthetic skin are on the screen, and the shell's red is not.
    auto pixels = shell.Pixels();
    EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](COLORREF c) { return test::DigitOfColor(c).has_value(); }));
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kShellClockColour), 0);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), kNotifyColour), 0) << "the parent's background under the clock";

    // A settings change of the notification area repaints the clock too.
    shell.Send(WM_CLOCKREPAINTALL);
    SendMessageW(shell.notify, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(ClockPaint().DrawnDigits(), ClockPaint().ClockDigits());

    // After the hook is gone the shell paints its own clock again.
    KillHooks(main.hwnd);
    UpdateWindow(shell.clock);
    pixels = shell.Pixels();
    ClockPaint().ClockOptions().ShowSeconds = false;
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), kShellClockColour), 0);
}

// The zone block inside the taskbar's process shows the stored zone of the registry list, as the program's
// own window does, not this machine's local time.
TEST_F(ClockHookTest, TheZoneBlockShowsTheStoredZonesTime) {
    const TDateTime local = SystemClock().Now(), utc = SystemClock().UtcNow();
    int zone = -1;
    for (int i = 0; i < TimeZoneCount() && zone < 0; ++i)
        if (auto t = ZoneTimeFromUtc(i, utc); t && std::abs(*t - local) > kOneHour / 2) zone = i;
    ASSERT_GE(zone, 0) << "every zone of the list has this machine's time";
    IniFile ini(settings.File(L"Setting.ini"));
    ini.WriteString(L"Options", L"ShowZone", L"1");
    ini.WriteString(L"Options", L"EnglishTime", L"0");
    ini.WriteString(L"Options", L"TimeZone", std::to_wstring(zone));
    auto zoneDigits = [zone] {
        const CivilTime t = DecodeDateTime(*ZoneTimeFromUtc(zone, SystemClock().UtcNow()));
        return std::array<std::uint8_t, 4>{std::uint8_t(t.hour / 10), std::uint8_t(t.hour % 10),
                                           std::uint8_t(t.minute / 10), std::uint8_t(t.minute % 10)};
    };
    const auto before = zoneDigits();
    ASSERT_TRUE(Enable());
    ASSERT_TRUE(ClockPaint().ClockOptions().ShowZone);
    ASSERT_TRUE(RepainClock());
    Pump();
    const auto after = zoneDigits();
    const auto drawn = ClockPaint().DrawnZoneDigits();
    EXPECT_TRUE(drawn == before || drawn == after) << int(drawn[0]) << int(drawn[1]) << ":" << int(drawn[2])
                                                   << int(drawn[3]) << " for zone " << zone;
    ClockPaint().ClockOptions().ShowZone = false;
}

TEST_F(ClockHookTest, TheShellTakingItsWindowsDownEndsTheTakeOver) {
    ASSERT_TRUE(Enable());
    TakeMain();
    SetTimer(shell.clock, kClockLeaveTimer, 10, nullptr);
    DestroyWindow(shell.taskbar);
    Pump(100);
    EXPECT_TRUE(TakeMain().empty());
    EXPECT_TRUE(ClockHookInstalled());
    EXPECT_EQ(KillHooks(main.hwnd), 0);
    EXPECT_FALSE(ClockHookInstalled());

    // A new taskbar is taken over afresh.
    ClassicShell again;
    const LONG_PTR original = again.ClockProc();
    ASSERT_TRUE(Enable());
    EXPECT_NE(again.ClockProc(), original);
    ClockPaint().ClockOptions().Click = 2;
    again.Send(WM_LBUTTONUP);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_CLOCKATTACH, 0}, {WM_RANDOMSKIN, 0}}));
    KillHooks(main.hwnd);
    EXPECT_EQ(again.ClockProc(), original);
}

TEST_F(ClockHookTest, EnablingAfterAShellRestartHooksTheNewTaskbar) {
    ASSERT_TRUE(Enable());
    DestroyWindow(shell.taskbar);
    ClassicShell again;
    const LONG_PTR original = again.ClockProc();
    ASSERT_TRUE(Enable()) << "the hook of the old taskbar must not stand in the way";
    EXPECT_NE(again.ClockProc(), original);

    // The shell's clock window alone is made anew.
    HWND oldClock = again.clock;
    DestroyWindow(oldClock);
    again.clock = CreateWindowExW(0, L"TrayClockWClass", L"", WS_CHILD | WS_VISIBLE, 50, 0, 250, 40, again.notify,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(Enable());
    EXPECT_NE(again.ClockProc(), original);
    KillHooks(main.hwnd);
    EXPECT_EQ(again.ClockProc(), original);
    EXPECT_EQ(again.NotifyProc(), GetClassLongPtrW(again.notify, GCLP_WNDPROC));
}

TEST_F(ClockHookTest, WithoutAMainWindowClicksGoNowhere) {
    // A post to no window would land in the shell thread's own queue.
    SendMessageW(shell.taskbar, ClockInitMessage(), 0, 0);   // no hook: nothing happens
    EXPECT_EQ(shell.ClockProc(), originalClockProc);
    ASSERT_TRUE(Enable());
    KillHooks(main.hwnd);
    ASSERT_TRUE(SetVantoric10(nullptr, true, skins.path().c_str(), L""));
    TakeMain();
    shell.Send(WM_LBUTTONUP);
    shell.Send(WM_COMMAND, kCmdShowMain);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(TakeMain().empty());
}

// The entry points as a controlling process finds them: by their plain names in the image.
TEST_F(ClockHookTest, ExportedEntryPointsWork) {
    HMODULE self = GetModuleHandleW(nullptr);
    using SetFn = BOOL(WINAPI*)(HWND, BOOL, LPCWSTR, LPCWSTR);
    using RepaintFn = BOOL(WINAPI*)();
    using KillFn = int(WINAPI*)(HWND);
    auto set = reinterpret_cast<SetFn>(reinterpret_cast<void*>(GetProcAddress(self, "SetVantoric10")));
    auto repaint = reinterpret_cast<RepaintFn>(reinterpret_cast<void*>(GetProcAddress(self, "RepainClock")));
    auto kill = reinterpret_cast<KillFn>(reinterpret_cast<void*>(GetProcAddress(self, "KillHooks")));
    ASSERT_TRUE(set && repaint && kill);

    EXPECT_TRUE(set(main.hwnd, TRUE, skins.path().c_str(), L"Test"));
    EXPECT_NE(shell.ClockProc(), originalClockProc);
    EXPECT_TRUE(repaint());
    EXPECT_TRUE(Posted(shell.clock, ClockRefreshMessage()));
    EXPECT_EQ(kill(main.hwnd), 0);
    EXPECT_EQ(shell.ClockProc(), originalClockProc);
    EXPECT_FALSE(ClockHookInstalled());
}

// A controlling process loads a module and calls its entry points; the module keeps its own state, reads
// the options from the program's settings folder and shows the program folder's skin. The system maps a
// program file into another process without binding its imports or moving it to its address, so the
// module that runs there is the library built from the same sources.
TEST_F(ClockHookTest, TheHookLibraryTakesTheClockWithItsOwnState) {
    const std::wstring library = test::DistDir() + L"VantoricHook.dll";
    if (GetFileAttributesW(library.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no VantoricHook.dll built";
    UniqueLibrary image(LoadLibraryW(library.c_str()));
    ASSERT_TRUE(image);
    using SetFn = BOOL(WINAPI*)(HWND, BOOL, LPCWSTR, LPCWSTR);
    using KillFn = int(WINAPI*)(HWND);
    auto set = reinterpret_cast<SetFn>(reinterpret_cast<void*>(GetProcAddress(image.get(), "SetVantoric10")));
    auto kill = reinterpret_cast<KillFn>(reinterpret_cast<void*>(GetProcAddress(image.get(), "KillHooks")));
    ASSERT_TRUE(set && kill);
    EXPECT_TRUE(set(main.hwnd, TRUE, (test::DistDir() + L"skins\\").c_str(), L"Gold"));
    EXPECT_NE(shell.ClockProc(), originalClockProc);
    shell.Send(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeMain(), (std::vector<Received>{{WM_SHOWMAIN, 0}}));
    EXPECT_NE(shell.Send(kShellClockSizeQuery), kShellClockSize);
    EXPECT_FALSE(ClockHookInstalled()) << "the library's hook is not this program's";
    EXPECT_EQ(kill(main.hwnd), 0);
    EXPECT_EQ(shell.ClockProc(), originalClockProc);
}

}  // namespace
}  // namespace vt
