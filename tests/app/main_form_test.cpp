#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "app/application.h"
#include "app/main_form.h"
#include "base/inifile.h"
#include "clock/command_messages.h"
#include "base/registry.h"
#include "support/loopback_server.h"
#include "weather/weather_request.h"
#include "resources/resource.h"
#include "resources/weather_res.h"
#include "app/main_form_fixture.h"
#include "support/test_support.h"

using namespace vt;

using vt::test::FakePainter;
using vt::test::MainFormTest;

TEST_F(MainFormTest, StartsHiddenWithTheHostStartedAndThePainterLoaded) {
    TfrmClock& f = Start();
    EXPECT_FALSE(IsWindowVisible(f.hwnd()));
    EXPECT_EQ(host.starts, 1);
    EXPECT_EQ(painter.inits, 1);
    EXPECT_GE(painter.loads, 1);
    wchar_t cls[64];
    GetClassNameW(f.hwnd(), cls, 64);
    EXPECT_STREQ(cls, L"TfrmClock");
    EXPECT_EQ(f.CurrentPage(), 3);  // the stored start page defaults to "Weather"
}

// The clock is answered while the pages are still being made: what others send the half-built form then
// must wait for it or be left alone, never reach a page that does not exist yet.
TEST_F(MainFormTest, MessagesSentWhileTheFormIsBuiltWaitForItOrAreLeftAlone) {
    struct SendingHost : test::FakeHost {
        std::atomic<bool> creating{false}, stop{false};
        std::atomic<int> answeredWhileCreating{0};
        std::thread sender;
        bool Start(const std::wstring& dir) override {
            sender = std::thread([this] {
                const UINT messages[] = {WM_INITMENUPOPUP, WM_SETSHOWDATE, WM_NOTIFY,
                                         WM_TIMECHANGE, WM_CLOSE, WM_QUERYENDSESSION};
                for (size_t i = 0; !stop; ++i) {
                    HWND main = FindWindowW(L"TfrmClock", nullptr);
                    if (!main) {
                        Sleep(1);
                        continue;
                    }
                    const bool before = creating;
                    DWORD_PTR answer = 0;
                    if (SendMessageTimeoutW(main, messages[i % std::size(messages)], 0, 0, SMTO_NORMAL, 200, &answer) &&
                        before && creating)
                        ++answeredWhileCreating;
                }
            });
            return test::FakeHost::Start(dir);
        }
    } sending;
    config.host = &sending;
    form = std::make_unique<TfrmClock>(config, system);
    sending.creating = true;
    ASSERT_TRUE(form->Create());
    sending.creating = false;
    sending.stop = true;
    sending.sender.join();
    EXPECT_GT(sending.answeredWhileCreating, 0);   // answered between pages, not only after
    ASSERT_TRUE(form->InitClock());
    form->LoadOptions();
    test::Pump();
    // The command and the close waited in the queue for the whole form.
    ASSERT_NE(form->hwnd(), nullptr);
    EXPECT_FALSE(form->ReallyQuit());
    EXPECT_EQ(form->Options().showDate, false);
}

TEST_F(MainFormTest, HostThatCannotStartEndsTheProgram) {
    host.result = false;
    form = std::make_unique<TfrmClock>(config, system);
    ASSERT_TRUE(form->Create());
    EXPECT_FALSE(form->InitClock());
    EXPECT_TRUE(form->ReallyQuit());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Can't run Quellix.exe: Can't run Quellix.exe");
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(form->hwnd(), nullptr);  // closed for good
}

TEST_F(MainFormTest, SwitchMessagesCheckOnlyForOne) {
    Start();
    const struct { UINT msg; const wchar_t* key; } cases[] = {
        {WM_SETSHOWDATE, L"ShowDate"}, {WM_SETWEEKSHOW, L"WeekShow"}, {WM_SETSHOWSECONDS, L"ShowSeconds"},
        {WM_SET12HOUR, L"EnglishTime"}, {WM_SETTRANSPARENT, L"TransparentClock"}};
    for (const auto& c : cases) {
        Send(c.msg, 1);
        EXPECT_EQ(Stored(c.key), L"1") << c.key;
        Send(c.msg, 2);
        EXPECT_EQ(Stored(c.key), L"0") << c.key;
        Send(c.msg, 1);
        Send(c.msg, 0);
        EXPECT_EQ(Stored(c.key), L"0") << c.key;
    }
}

TEST_F(MainFormTest, UptimeForFiveSecondsReturnsToTheTimeByItself) {
    TfrmClock& f = Start();
    Send(WM_SHOWUPTIME5);
    EXPECT_TRUE(f.Options().upTime);
    EXPECT_EQ(Stored(L"Mode"), L"1");
    for (int i = 0; i < 4; ++i) f.TimerTimer();
    EXPECT_TRUE(f.Options().upTime);
    f.TimerTimer();
    EXPECT_FALSE(f.Options().upTime);
    EXPECT_EQ(Stored(L"Mode"), L"0");
}

TEST_F(MainFormTest, UptimeForFiveSecondsWhileUptimeShowsDoesNothing) {
    TfrmClock& f = Start();
    Send(WM_TOGGLEUPTIME);
    EXPECT_TRUE(f.Options().upTime);
    Send(WM_SHOWUPTIME5);
    EXPECT_EQ(f.UpTimeCountdown(), 0);
    for (int i = 0; i < 6; ++i) f.TimerTimer();
    EXPECT_TRUE(f.Options().upTime);
}

TEST_F(MainFormTest, CalendarMessageClosesShowsOrIgnores) {
    TfrmClock& f = Start();
    Send(WM_CALENDAR, 2);
    Send(WM_CALENDAR, 1);   // closes only a calendar that exists
    EXPECT_EQ(f.Calendar(), nullptr);
    Send(WM_CALENDAR, 0);
    ASSERT_NE(f.Calendar(), nullptr);
    ASSERT_NE(f.Calendar()->hwnd(), nullptr);
    EXPECT_TRUE(IsWindowVisible(f.Calendar()->hwnd()));
    Send(WM_CALENDAR, 2);
    EXPECT_TRUE(f.Calendar()->hwnd() && IsWindowVisible(f.Calendar()->hwnd()));
    Send(WM_CALENDAR, 1);
    EXPECT_TRUE(f.Calendar()->hwnd() == nullptr || !IsWindowVisible(f.Calendar()->hwnd()));
    Send(WM_CALENDAR, 7);
    EXPECT_TRUE(f.Calendar()->hwnd() && IsWindowVisible(f.Calendar()->hwnd()));
}

TEST_F(MainFormTest, ClosingHidesUnlessQuitting) {
    TfrmClock& f = Start();
    Send(WM_SHOWMAIN);
    EXPECT_TRUE(IsWindowVisible(f.hwnd()));
    Send(WM_CLOSE);
    ASSERT_NE(f.hwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(f.hwnd()));
    EXPECT_FALSE(f.ReallyQuit());
    Send(WM_QUITPROGRAM);
    EXPECT_EQ(f.hwnd(), nullptr);
    EXPECT_EQ(Stored(L"ShowDate"), L"1");  // saved on the way out
}

TEST_F(MainFormTest, EndOfSessionSavesAndOnlyEndsWhenTheSessionEnds) {
    TfrmClock& f = Start();
    f.Options().prefix = L"before";
    EXPECT_EQ(Send(WM_QUERYENDSESSION), TRUE);
    EXPECT_EQ(Send(WM_QUERYENDSESSION), TRUE);
    EXPECT_NE(Stored(L"Prefix"), L"<missing>");
    Send(WM_ENDSESSION, FALSE);  // the shutdown was cancelled
    ASSERT_NE(f.hwnd(), nullptr);
    Send(WM_ENDSESSION, TRUE);
    EXPECT_EQ(f.hwnd(), nullptr);
}

TEST_F(MainFormTest, WeatherHotKeyStartsARequestAndResumeReschedules) {
    TfrmClock& f = Start();
    // A refused connection: the request fails and says so, the stored weather stays.
    SetWeatherServiceHost(L"127.0.0.1:1");
    SetDlgItemTextW(f.Page(3), 3303, L"Oslo");   // the place box
    f.Options().temper = L"12";
    Send(WM_HOTKEY, 2);
    EXPECT_TRUE(f.WeatherPage()->Page().State().buttonEnabled);
    Send(WM_HOTKEY, 1);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000 && f.WeatherPage()->Page().State().errorText.empty()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    SetWeatherServiceHost(L"");
    EXPECT_EQ(f.WeatherPage()->Page().State().errorText.rfind(L"Can't Get Weather: ", 0), 0u)
        << f.WeatherPage()->Page().State().errorText;
    EXPECT_EQ(f.Options().temper, L"12");
    // After a resume the check is due again from the stored date: never checked, so in 5 seconds.
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(f.WeatherPage()->Page().State().schedule.enabled);
    EXPECT_EQ(f.WeatherPage()->Page().State().schedule.intervalMs, 5000u);
}

TEST_F(MainFormTest, TrayIconShowsWhenTheClockIsNotPainted) {
    TfrmClock& f = Start();
    f.RefreshClock();
    EXPECT_TRUE(f.TrayIconActive());  // replacing, but no taskbar clock to paint
    f.Options().replaceClock = false;
    f.RefreshClock();
    EXPECT_TRUE(f.TrayIconActive());
}

TEST_F(MainFormTest, TakenHotKeyShowsTheFixedMessage) {
    TfrmClock& f = Start();
    HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_CONTROL | MOD_ALT, 'U'));
    EXPECT_FALSE(f.RegisterWeatherHotKey());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"error: Unable to assign Alt-Shift-F9 as hotkey.");
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
    EXPECT_TRUE(f.RegisterWeatherHotKey());
}

TEST_F(MainFormTest, StoredOptionsComeBackOnTheNextStart) {
    {
        TfrmClock& f = Start();
        Send(WM_SETSHOWSECONDS, 1);
        Send(WM_SET12HOUR, 0);
        f.SelectPage(4);
        Send(WM_QUITPROGRAM);
    }
    form.reset();
    TfrmClock& g = Start();
    EXPECT_TRUE(g.Options().showSeconds);
    EXPECT_FALSE(g.Options().englishTime);
    EXPECT_EQ(g.CurrentPage(), 4);
}

TEST_F(MainFormTest, DueAlarmReachesTheHandlerFromTheCheckTimer) {
    TfrmClock& f = Start();
    // Each fired alarm with a message opens its window.
    auto fired = [&] {
        std::vector<std::wstring> texts;
        for (const TfrmOnAlarm* w : f.AlarmWindows.Items()) texts.push_back(w->MessageText());
        return texts;
    };
    TAlRecord alarm;
    alarm.Type = L"Once";
    alarm.DateTime = clock.now + kOneMinute;
    alarm.Message = L"Stand up";
    alarm.MessageEn = true;
    alarm.Enabled = true;
    ASSERT_GT(f.AlarmList()->AddAlarm(alarm), 0);
    Send(WM_TIMER, 2);
    EXPECT_TRUE(fired().empty());
    clock.now += kOneMinute + kOneSecond;
    Send(WM_TIMER, 2);
    EXPECT_EQ(fired(), std::vector<std::wstring>{L"Stand up"}) << "on time: no missed-alarm prefix";
    // With alarms switched off in the dialog nothing more fires.
    alarm.DateTime = clock.now + kOneSecond;
    f.AlarmList()->AddAlarm(alarm);
    f.Options().enAlarms = false;
    f.AlarmsPage()->SetAlarmsEnabled(false);
    clock.now += kOneMinute;
    Send(WM_TIMER, 2);
    EXPECT_EQ(fired().size(), 1u);
}

TEST_F(MainFormTest, ProxyPageEnablesItsFieldsAndKeepsTheSettings) {
    TfrmClock& f = Start();
    HWND page = f.Page(7);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 311)));
    SetDlgItemTextW(page, 311, L"proxy.local");
    SetDlgItemTextW(page, 312, L"8080");
    CheckDlgButton(page, 310, BST_CHECKED);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(310, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 310)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 311)));
    EXPECT_TRUE(f.Options().proxy.enabled);
    EXPECT_EQ(f.Options().proxy.address, L"proxy.local");
    EXPECT_EQ(f.Options().proxy.PortNumber(), 8080);
}

TEST_F(MainFormTest, AtomicClockPageGetsTheServerTimeOffTheMainThread) {
    TfrmClock& f = Start();
    Send(WM_SYNCTIME);
    EXPECT_EQ(f.CurrentPage(), 5);
    HWND page = f.Page(5);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(295, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 295)));
    wchar_t diff[128] = L"";
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        GetDlgItemTextW(page, 294, diff, 128);
        if (diff[0]) break;
        Sleep(10);
    }
    EXPECT_EQ(timeQuery.asked.load(), 1);
    EXPECT_NE(std::wstring(diff).find(L"00:00:02"), std::wstring::npos) << diff;
}

TEST_F(MainFormTest, ForecastWidgetComesOnFirstUseAndIsFreedAtTheEnd) {
    TfrmClock& f = Start();
    ASSERT_NE(f.Forecast(), nullptr);
    EXPECT_EQ(f.Forecast()->get(), nullptr);
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(501, 0), 0);   // "Weather Forecast"
    ASSERT_NE(f.Forecast()->get(), nullptr);
    EXPECT_TRUE(IsWindowVisible(f.Forecast()->get()->hwnd()));
    HWND widget = f.Forecast()->get()->hwnd();
    Send(WM_QUITPROGRAM);
    EXPECT_FALSE(IsWindow(widget));
}

TEST_F(MainFormTest, OneAlarmEditorShipsItsIconsToTheAlarmPage) {
    TfrmClock& f = Start();
    ASSERT_NE(f.AlarmEditor(), nullptr);
    EXPECT_FALSE(f.AlarmEditor()->Visible());
    ASSERT_NE(f.AlarmEditor()->ImageList(), nullptr);
    EXPECT_GE(ImageList_GetImageCount(f.AlarmEditor()->ImageList()), 33);
    EXPECT_EQ(ListView_GetImageList(f.AlarmsPage()->lvAlarms, LVSIL_SMALL), f.AlarmEditor()->ImageList());
}

namespace {
// Runs the form's messages until `done` or ten seconds have passed.
void PumpUntil(const std::function<bool()>& done) { test::PumpUntil(done, 10000); }
}  // namespace

TEST_F(MainFormTest, NewVersionCheckAsksOnlyForAnExactTrue) {
    std::string body;
    int status = 200;
    test::LoopbackServer server([&](const std::string&) { return test::Status(status, "OK", body); });
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", server.HostAndPort().c_str());
    const std::vector<std::wstring>& asked = system.asked;
    const std::vector<int>& opened = system.opened;
    config.versionFull = L"1.2.3.4";
    TfrmClock& f = Start();

    body = "true";
    f.CheckaNewVersion1Click();
    PumpUntil([&] { return !asked.empty(); });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], L"There is a new version available. Go to the download page?");
    EXPECT_EQ(opened, std::vector<int>{11});
    EXPECT_TRUE(server.Requested("GET /vantoric/checknewversion.php?vrxversion=1.2.3.4 "));

    body = "True ";
    f.CheckaNewVersion1Click();
    PumpUntil([&] { return !messages.empty(); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Vantoric: There is no new version available.");

    // A failed exchange shows nothing.
    status = 500;
    body = "true";
    size_t requests = server.Requests().size();
    f.CheckaNewVersion1Click();
    PumpUntil([&] { return server.Requests().size() > requests; });
    Sleep(300);
    PumpUntil([] { return true; });
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(messages.size(), 1u);
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", nullptr);
}

TEST_F(MainFormTest, TimeServerListIsKeptWithThePlacement) {
    {
        TfrmClock& f = Start();
        HWND combo = GetDlgItem(f.Page(5), 297);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"ntp.example.test"));
        SetWindowTextW(combo, L"ntp.example.test");
        Send(WM_QUITPROGRAM);
    }
    form.reset();
    TfrmClock& g = Start();
    HWND combo = GetDlgItem(g.Page(5), 297);
    wchar_t text[128] = L"";
    GetWindowTextW(combo, text, 128);
    EXPECT_STREQ(text, L"ntp.example.test");
    EXPECT_NE(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"ntp.example.test")), CB_ERR);
}

namespace {

std::wstring MenuText(HMENU menu, UINT id) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND);
    return text;
}

void Type(HWND edit, const wchar_t* text) {
    SetFocus(edit);
    for (const wchar_t* c = text; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
}

class ThrowingPainter : public FakePainter {
public:
    void InitClockPaint(const std::wstring&) override { throw std::runtime_error("skins folder unreadable"); }
};

}  // namespace

TEST_F(MainFormTest, TypedProxyValuesSurviveRefreshesOfTheControls) {
    TfrmClock& f = Start();
    HWND address = GetDlgItem(f.Page(7), IDC_EDADDRESS);
    Type(address, L"proxy.example");
    Send(WM_SHOWUPTIME5);   // refreshes every control from the options
    for (int i = 0; i < 5; ++i) f.TimerTimer();   // and the countdown's end does so again
    wchar_t text[64] = L"";
    GetWindowTextW(address, text, 64);
    EXPECT_STREQ(text, L"proxy.example");
    EXPECT_EQ(f.Options().proxy.address, L"proxy.example");
    Send(WM_SETSHOWDATE, 0);
    EXPECT_EQ(RegKey::Open(HKEY_CURRENT_USER, config.store.programKey, KEY_READ).ReadString(L"edAddress.Text"),
              std::optional<std::wstring>(L"proxy.example"));
}

TEST_F(MainFormTest, QuickMenuShowsTheWeatherHotKey) {
    TfrmClock& f = Start();
    EXPECT_EQ(MenuText(f.FastMenu(), IDM_CHECKWEATHER), L"Update Weather\tCtrl+Alt+U");
    SendMessageW(GetDlgItem(f.Page(3), IDC_HOTKEY1), HKM_SETHOTKEY, MAKEWORD(VK_F9, HOTKEYF_ALT | HOTKEYF_SHIFT), 0);
    SendMessageW(f.Page(3), WM_COMMAND, MAKEWPARAM(IDC_HOTKEY1, EN_CHANGE), reinterpret_cast<LPARAM>(GetDlgItem(f.Page(3), IDC_HOTKEY1)));
    EXPECT_EQ(MenuText(f.FastMenu(), IDM_CHECKWEATHER), L"Update Weather\tShift+Alt+F9");
}

TEST_F(MainFormTest, UnwritableSettingsFolderIsReportedOnce) {
    test::InstallExceptionRecorder();
    test::TakeShownExceptions();
    // A folder below a file can be neither created nor written.
    std::wstring file = dir.path() + L"plain-file";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    config.store.settingsDir = file + L"\\settings\\";
    TfrmClock& f = Start();
    Send(WM_SETSHOWDATE, 0);
    Send(WM_SETSHOWDATE, 1);
    f.SaveOptions();
    auto shown = test::TakeShownExceptions();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(L"settings"), std::wstring::npos) << shown[0];
}

TEST_F(MainFormTest, StartUpFailureIsShownAndEndsTheRunWithoutTouchingTheOptions) {
    test::InstallExceptionRecorder();
    test::TakeShownExceptions();
    IniFile(dir.path() + L"Setting.ini").WriteString(L"Options", L"SkinName", L"Azure");
    ThrowingPainter throwing;
    config.painter = &throwing;
    EXPECT_EQ(RunMainForm(config, system), 1);
    auto shown = test::TakeShownExceptions();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"skins folder unreadable");
    EXPECT_EQ(FindWindowW(L"TfrmClock", nullptr), nullptr);
    EXPECT_EQ(Stored(L"SkinName"), L"Azure");
}

TEST_F(MainFormTest, QuitFromInsideTheEditorsModalLoopEndsTheLoopFirst) {
    TfrmClock& f = Start();
    PostMessageW(f.hwnd(), WM_QUITPROGRAM, 0, 0);   // reaches the form through the editor's loop
    f.EditAlarm(true, 0);
    EXPECT_EQ(f.hwnd(), nullptr);
    EXPECT_EQ(f.AlarmEditor(), nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));   // the program's loop ends next
}

TEST_F(MainFormTest, CalendarsDayMenuOpensTheAlarmInTheEditor) {
    TfrmClock& f = Start();
    TAlRecord alarm;
    alarm.Type = L"Once";
    alarm.DateTime = clock.now + kOneHour;
    alarm.Message = L"Dentist";
    alarm.MessageEn = true;
    alarm.Enabled = true;
    const int id = f.AlarmList()->AddAlarm(alarm);
    ASSERT_GT(id, 0);
    f.ShowCalendar();
    ASSERT_NE(f.Calendar(), nullptr);
    // The editor is modal: a task posted to the form looks at it from inside its loop, then closes it.
    bool seenVisible = false;
    int seenId = -1;
    f.MainThread().Post([&] {
        seenVisible = f.AlarmEditor()->Visible();
        seenId = f.AlarmEditor()->EditedAlarmId();
        SendMessageW(f.AlarmEditor()->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    f.Calendar()->EditAlarm1Click(id);
    EXPECT_TRUE(seenVisible);
    EXPECT_EQ(seenId, id);
}

TEST_F(MainFormTest, RightButtonOnTheClockClosesWhatTheHoverOpened) {
    TfrmClock& f = Start();
    f.Options().hoverMouse = 1;   // "Show Calendar"
    f.TrayClock()->OnMouseOver(0, 10, 10);
    ASSERT_NE(f.Calendar(), nullptr);
    ASSERT_TRUE(IsWindowVisible(f.Calendar()->hwnd()));
    f.TrayClock()->OnMouseDown(MouseButton::Right, 0, 10, 10);   // the quick menu follows on release
    EXPECT_FALSE(IsWindowVisible(f.Calendar()->hwnd()));
}
