// The main form's connections to its windows, through the roads the program takes: the taskbar host's
// own clock window beside a shell clock, the alarm editor's window, the label filter and the one icon list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <tuple>

#include "app/main_form_fixture.h"
#include "base/registry.h"
#include "base/taskbar_locator.h"
#include "clock/tray_protocol.h"
#include "host/host_process.h"
#include "resources/alarms_page_res.h"
#include "support/classic_shell.h"
#include "support/png_writer.h"

namespace vt::test {
namespace {

// Cancel codes the host forwarded to the form's component, and cancel messages the shell's clock got.
int g_forwardedCancels = 0;
int g_forwardedLeaves = 0;
int g_shellClockCancels = 0;
WNDPROC g_componentProc = nullptr;

LRESULT CALLBACK CountingComponentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_TRAYCLOCKFORWARD && lp == CLOCKCODE_CANCELLEAVE) ++g_forwardedCancels;
    if (m == WM_TRAYCLOCKFORWARD && lp == WM_MOUSELEAVE) ++g_forwardedLeaves;
    return CallWindowProcW(g_componentProc, w, m, wp, lp);
}

LRESULT CALLBACK ShellClockProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CLOCKCANCELLEAVE) ++g_shellClockCancels;
    return DefWindowProcW(w, m, wp, lp);
}

void CALLBACK CloseQuickMenu(HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
        KillTimer(nullptr, id);
        EndMenu();
    }
}

bool Shown(HWND w) { return w && IsWindow(w) && IsWindowVisible(w); }

// A shell whose clock the host cannot take (its hook library is not beside the copy of Quellix.exe that
// runs): the host serves a top-level clock window of its own, and the shell's clock stays where the
// locator finds it.
struct OwnClockWindowRoad : MainFormTest {
    ClassicShell shell{ShellClockProc, RGB(30, 60, 120), {30, 600, 200, 100, 100}};
    TempDir hostFolder;
    HostProcess host;
    HWND ownClock = nullptr;

    void SetUp() override {
        MainFormTest::SetUp();
        g_forwardedCancels = g_forwardedLeaves = g_shellClockCancels = 0;
        ASSERT_TRUE(CopyFileW((DistDir() + L"Quellix.exe").c_str(), hostFolder.File(L"Quellix.exe").c_str(), FALSE));
        TfrmClock& f = Start();
        g_componentProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            f.TrayClock()->hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingComponentProc)));
        ASSERT_TRUE(host.Start(L"TTrayClock", hostFolder.path()));
        ASSERT_TRUE(PumpUntil([&] { return f.TrayClock()->HostAnnounced() && Shown(f.TrayClock()->ClockWindow()); },
                              15000))
            << "the host never announced its window";
        ownClock = f.TrayClock()->ClockWindow();
        ASSERT_NE(ownClock, shell.clock);
        ASSERT_EQ(FindTaskbarClockWindow(), shell.clock) << "the locator finds the shell's clock";
    }
    void TearDown() override {
        form.reset();   // tells the host to quit
        EXPECT_EQ(host.WaitExit(10000), 0u);
        MainFormTest::TearDown();
    }
    // The pointer left the clock window: the component's leave report is one second away.
    void Leave() {
        const int before = g_forwardedLeaves;
        PostMessageW(ownClock, WM_MOUSELEAVE, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return g_forwardedLeaves > before; }, 3000));
    }
    bool CancelArrives(int before) { return PumpUntil([&] { return g_forwardedCancels > before; }, 3000); }
};

TEST_F(OwnClockWindowRoad, HoverOpenedCalendarAndWidgetStayOpenWhileThePointerIsOnThem) {
    form->Options().hoverMouse = 3;
    PostMessageW(ownClock, WM_MOUSEHOVER, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return form->Calendar() && form->Calendar()->IsShown(); }, 5000));
    ASSERT_TRUE(form->Forecast()->get());
    HWND calendar = form->Calendar()->hwnd(), widget = form->Forecast()->get()->hwnd();
    ASSERT_TRUE(Shown(widget));

    Leave();
    int before = g_forwardedCancels;
    SendMessageW(calendar, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(CancelArrives(before)) << "the calendar's cancel did not reach the attached clock window";
    PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(Shown(calendar)) << "the calendar closed under the pointer";
    EXPECT_TRUE(Shown(widget));

    Leave();
    before = g_forwardedCancels;
    SendMessageW(widget, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    EXPECT_TRUE(CancelArrives(before)) << "the widget's cancel did not reach the attached clock window";
    PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(Shown(widget)) << "the widget closed under the pointer";
    EXPECT_EQ(g_shellClockCancels, 0);

    // Without a move over them, the leave closes both.
    Leave();
    EXPECT_TRUE(PumpUntil([&] { return !form->Calendar() || !form->Calendar()->IsOpen(); }, 3000));
    EXPECT_FALSE(form->Forecast()->get());
}

TEST_F(OwnClockWindowRoad, QuickMenuCancelsTheLeaveOfTheAttachedClockWindow) {
    const int before = g_forwardedCancels;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseQuickMenu);
    Send(WM_FASTMENU);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(CancelArrives(before));
    Pump();
    EXPECT_EQ(g_shellClockCancels, 0);
}

TEST_F(MainFormTest, AlarmProgramsOpenOwnedByTheAlarmEditorsWindow) {
    TfrmClock& f = Start();
    ASSERT_NE(f.AlarmEditor()->hwnd(), nullptr);
    EXPECT_EQ(system.devicesOwner, f.AlarmEditor()->hwnd());
}

// A fired alarm opens its window through the form, and the window's edit button reaches the form's one
// alarm editor: refused with the form's message while the editor is open, otherwise the editor on that alarm.
TEST_F(MainFormTest, AlarmWindowsEditButtonReachesTheOneEditor) {
    TfrmClock& f = Start();
    TAlRecord alarm;
    alarm.Type = L"Once";
    alarm.DateTime = clock.now;
    alarm.Enabled = alarm.MessageEn = true;
    alarm.Message = L"Water the plants";
    const int id = f.AlarmList()->AddAlarm(alarm);
    f.AlarmList()->FireAlarm(f.AlarmList()->ReadAlarm(id));
    ASSERT_EQ(f.AlarmWindows.Count(), 1);
    TfrmOnAlarm* window = f.AlarmWindows.Items()[0];
    EXPECT_EQ(window->Tag(), id);

    ASSERT_TRUE(f.AlarmEditor()->Open(true, 0));
    window->imgEditClick();
    EXPECT_EQ(messages, std::vector<std::wstring>{L"Information: Please, close alarm dialog."});
    EXPECT_EQ(f.AlarmWindows.Count(), 1);
    SendMessageW(f.AlarmEditor()->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_FALSE(f.AlarmEditor()->Visible());

    // The editor's modal loop takes the cancel waiting for it; the fields stay as they were filled.
    SetWindowTextW(f.AlarmEditor()->mmMessage, L"");
    PostMessageW(f.AlarmEditor()->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    window->imgEditClick();
    EXPECT_FALSE(f.AlarmEditor()->Visible());
    wchar_t edited[64] = L"";
    GetWindowTextW(f.AlarmEditor()->mmMessage, edited, 64);
    EXPECT_STREQ(edited, L"Water the plants") << "the editor was not opened on the alarm";
    EXPECT_TRUE(PumpUntil([&] { return f.AlarmWindows.Count() == 0; }, 3000)) << "the alarm window stays";
}

TEST_F(MainFormTest, ChosenLabelFilterIsStoredAtOnceAndComesBack) {
    TfrmClock& f = Start();
    TAlarmsPage& page = *f.AlarmsPage();
    SendMessageW(page.cbAlarmsCategory, CB_SETCURSEL, 4, 0);
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CBALARMSCATEGORY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(page.cbAlarmsCategory));
    EXPECT_EQ(RegKey::Open(HKEY_CURRENT_USER, config.store.programKey).ReadDword(L"cbAlarmsCategory.ItemIndex"), 4u);
    form.reset();   // an end without closing: nothing but the choice itself stored it
    TfrmClock& again = Start();
    EXPECT_EQ(again.AlarmsPage()->LabelFilter(), 4);
}

// The calendar marks a day with icon n of the editor's own list, whatever else the icon folder holds.
TEST_F(MainFormTest, CalendarMarksWithTheEditorsIconN) {
    TempDir program;
    const std::wstring dist = DistDir();
    CreateDirectoryW(program.File(L"Calendar").c_str(), nullptr);
    CreateDirectoryW(program.File(L"Calendar\\Dark Blue Glass").c_str(), nullptr);
    for (std::wstring file : {L"circle.png", L"Dark Blue Glass\\calendar.png", L"Dark Blue Glass\\config.ini"}) {
        file = L"Calendar\\" + file;
        ASSERT_TRUE(CopyFileW((dist + file).c_str(), program.File(file).c_str(), FALSE));
    }
    CreateDirectoryW(program.File(L"Icons").c_str(), nullptr);
    const std::vector<Rgba> colours = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
    for (size_t i = 0; i < colours.size(); ++i)
        WritePngFile(program.File(L"Icons\\i" + std::to_wstring(i) + L".png"), 32, 32,
                     std::vector<Rgba>(32 * 32, colours[i]));
    // A folder whose name matches the icons' pattern takes a place in the editor's list.
    CreateDirectoryW(program.File(L"Icons\\folder.png").c_str(), nullptr);
    config.appDir = program.path().substr(0, program.path().size() - 1);
    TfrmClock& f = Start();
    const AlarmIconList& icons = f.AlarmEditor()->Icons();
    ASSERT_EQ(icons.Count(), 5);
    int tested = 0;
    for (int n = 0; n < icons.Count(); ++n) {
        if (!icons.Icon(n)) continue;   // the folder
        TAlRecord alarm;
        alarm.Type = L"Once";
        alarm.DateTime = clock.now + 1.0;   // tomorrow, in this month's view
        alarm.Enabled = alarm.MessageEn = true;
        alarm.Message = L"Icon";
        alarm.Icon = n;
        const int id = f.AlarmList()->AddAlarm(alarm);
        f.ShowCalendar();
        f.Calendar()->btReloadClick();
        const CalendarPicture* pic = f.Calendar()->Picture();
        ASSERT_TRUE(pic);
        ASSERT_EQ(pic->marks.size(), 1u);
        const AreaRect r = MarkRect(pic->style, f.Calendar()->View().weekNumbers, pic->marks[0].cell, 32, 32);
        const Bgra seen = PixelsOf(pic->canvas).at(r.left + r.width / 2, r.top + r.height / 2);
        const Bgra wanted = PixelsOf(icons.Icon(n)).at(16, 16);
        EXPECT_EQ(std::tuple(seen.r, seen.g, seen.b), std::tuple(wanted.r, wanted.g, wanted.b)) << "icon " << n;
        f.AlarmList()->DeleteAlarm(id);
        f.AlarmList()->Refresh();
        ++tested;
    }
    EXPECT_EQ(tested, 4);
}

}  // namespace
}  // namespace vt::test
