#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "alarms/alarm_fakes.h"
#include "alarms/alarm_icons.h"
#include "alarms/calendar2.h"
#include "base/registry.h"
#include "base/text.h"
#include "support/png_writer.h"
#include "clock/tray_protocol.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

TAlRecord Once(TDateTime when, const wchar_t* message, int label = 0) {
    TAlRecord a;
    a.Type = L"Once";
    a.DateTime = when;
    a.Enabled = true;
    a.MessageEn = true;
    a.Message = message;
    a.Weeks = L"1111111";
    a.AfterTime = kDefaultAfterTime;
    a.BeforeTime = kDefaultBeforeTime;
    a.AlLabel = label;
    return a;
}

struct MessageRecord {
    std::wstring text, caption;
    UINT icon;
};

// The shipped skins, a calendar store of the test's own, an alarm list in a temporary folder and a
// stand-in for the taskbar clock window.
class CalendarWindow : public testing::Test, public ICalendarHost {
protected:
    TempDir dir;
    FakeNow now{EncodeDateTime(2024, 5, 15, 12, 0, 0)};
    FakeSwitches switches;
    FakeErrors errors;
    std::unique_ptr<TAlarms> alarms;
    CalendarStore store{HKEY_CURRENT_USER,
                        L"Software\\Dorminax\\VantoricTests\\Calendar" + std::to_wstring(GetCurrentProcessId())};
    HWND clock = nullptr;
    std::vector<MessageRecord> messages;
    int saves = 0;
    bool editorVisible = false;
    std::vector<std::pair<bool, int>> edits;
    struct Editing : IAlarmEditing {
        CalendarWindow& test;
        explicit Editing(CalendarWindow& t) : test(t) {}
        bool AlarmEditorVisible() override { return test.editorVisible; }
        void EditAlarm(bool isNew, int id) override { test.edits.emplace_back(isNew, id); }
    } editing{*this};
    AlarmIconList icons;
    std::unique_ptr<TfrmCalendar2> calendar;

    TAlarms* AlarmList() override { return alarms.get(); }
    bool AlarmsEnabled() override { return switches.enabled; }
    void SaveOptions() override { ++saves; }
    std::wstring AlarmIconFile(int icon) override { return icons.File(icon); }
    void CalendarMessage(HWND, const std::wstring& t, const std::wstring& c, UINT i) override {
        messages.push_back({t, c, i});
    }
    HWND ClockWindow() override { return clock; }

    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, store.path.c_str());
        CreateDirectoryW(dir.File(L"Icons").c_str(), nullptr);
        WritePngFile(dir.File(L"Icons\\00-bell.png"), 32, 32, std::vector<Rgba>(32 * 32, Rgba{0, 255, 0, 255}));
        icons.Load(dir.File(L"Icons"));
        TAlarmsSeams seams;
        seams.switches = &switches;
        alarms = std::make_unique<TAlarms>(dir.File(L"alarms.ini"), now, nullptr, errors, std::move(seams));
        clock = CreateWindowExW(0, L"STATIC", L"clock", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        calendar = Make(DistDir() + L"Calendar");
    }
    void TearDown() override {
        calendar.reset();
        DestroyWindow(clock);
        RegDeleteTreeW(HKEY_CURRENT_USER, store.path.c_str());
    }
    std::unique_ptr<TfrmCalendar2> Make(const std::wstring& calendarDir) {
        CalendarConfig config;
        config.appDir = dir.path();
        config.calendarDir = calendarDir;
        config.store = store;
        config.now = &now;
        return std::make_unique<TfrmCalendar2>(std::move(config), *this, editing);
    }
    int CancelLeavePosts() {
        int n = 0;
        MSG msg;
        while (PeekMessageW(&msg, clock, WM_CLOCKCANCELLEAVE, WM_CLOCKCANCELLEAVE, PM_REMOVE)) {
            EXPECT_EQ(msg.wParam, 0u);
            EXPECT_EQ(msg.lParam, 0);
            ++n;
        }
        return n;
    }
    RegKey Stored() { return RegKey::Open(store.root, store.path); }
};

// Shipped layout: DayX 52, DayY 78, DayIncX 32, DayIncY 28; Wednesday 1 May 2024 is in column 3.
POINT CellPoint(int column, int row) { return {52 + column * 32 + 10, 78 + row * 28 + 10}; }

}  // namespace

TEST_F(CalendarWindow, ShowsALayeredWindowOfTheSkinsSizeAtTodaysMonth) {
    calendar->ShowCalendar();
    ASSERT_TRUE(calendar->IsShown());
    EXPECT_TRUE(GetWindowLongPtrW(calendar->hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    RECT r{};
    GetWindowRect(calendar->hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 285);
    EXPECT_EQ(r.bottom - r.top, 275);
    EXPECT_EQ(calendar->View().year, 2024);
    EXPECT_EQ(calendar->View().month, 5);
    EXPECT_EQ(calendar->CalendarSkin(), L"Dark Blue Glass");
    ASSERT_TRUE(calendar->Picture());
    EXPECT_EQ(calendar->Skins().size(), 2u);
    EXPECT_TRUE(GetWindowLongPtrW(calendar->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "\"Always on top\" starts checked";
    EXPECT_TRUE(messages.empty());
}

TEST_F(CalendarWindow, ClickAreasNavigateAndClose) {
    calendar->ShowCalendar();
    calendar->ClickAt(20, 20);   // previous month
    EXPECT_EQ(calendar->View().month, 4);
    calendar->ClickAt(262, 20);  // next month
    calendar->ClickAt(262, 20);
    EXPECT_EQ(calendar->View().month, 6);
    calendar->ClickAt(140, 20);  // today
    EXPECT_EQ(calendar->View().month, 5);
    for (int i = 0; i < 5; ++i) calendar->Navigate(-1);
    EXPECT_EQ(calendar->View().year, 2023);
    EXPECT_EQ(calendar->View().month, 12);
    SendMessageW(calendar->hwnd(), WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(calendar->View().year, 2024);
    EXPECT_EQ(calendar->View().month, 1);
    calendar->ClickAt(265, 257); // close
    EXPECT_FALSE(calendar->IsOpen());
}

TEST_F(CalendarWindow, ClosingKeepsPlacementAndSwitchesAndANewWindowStartsAtToday) {
    calendar->ShowCalendar();
    SetWindowPos(calendar->hwnd(), nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    calendar->SetMonFirst(true);
    calendar->ChooseSkin(L"Graphite");
    calendar->SetWeekNumbers(false);
    calendar->SetTransparency(2);
    calendar->Navigate(3);
    calendar->Close();
    ASSERT_FALSE(calendar->IsOpen());
    RegKey key = Stored();
    EXPECT_EQ(key.ReadString(L"IsMonFirst"), L"-1");
    EXPECT_EQ(key.ReadString(L"CalendarSkin"), L"Graphite");
    EXPECT_EQ(key.ReadDword(L"imnWeekNumbers"), 0u);
    EXPECT_EQ(key.ReadDword(L"imnMonday"), 1u);
    EXPECT_EQ(key.ReadDword(L"imnSunday"), 0u);
    EXPECT_EQ(key.ReadDword(L"Left"), 120u);
    EXPECT_EQ(key.ReadDword(L"Top"), 90u);

    calendar = Make(DistDir() + L"Calendar");   // the next request makes a new calendar
    calendar->ShowCalendar();
    EXPECT_EQ(calendar->View().month, 5);
    EXPECT_TRUE(calendar->View().isMonFirst);
    EXPECT_FALSE(calendar->View().weekNumbers);
    EXPECT_EQ(calendar->CalendarSkin(), L"Graphite");
    EXPECT_EQ(calendar->Transparency(), 0) << "the transparency is not kept";
    RECT r{};
    GetWindowRect(calendar->hwnd(), &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 90);

    calendar->Navigate(2);
    calendar->Close();
    calendar->ShowCalendar();   // the same object opens a fresh window
    EXPECT_EQ(calendar->View().month, 5);
}

TEST_F(CalendarWindow, APlaceOffEveryMonitorIsNotRestored) {
    RegKey key = RegKey::Create(store.root, store.path);
    key.WriteDword(L"Left", static_cast<std::uint32_t>(-20000));
    key.WriteDword(L"Top", static_cast<std::uint32_t>(-20000));
    key.WriteString(L"IsMonFirst", L"true");
    calendar->ShowCalendar();
    RECT r{};
    GetWindowRect(calendar->hwnd(), &r);
    EXPECT_GT(r.left, -1000);
    EXPECT_GT(r.top, -1000);
    EXPECT_TRUE(calendar->View().isMonFirst) << "older boolean text is read";
}

TEST_F(CalendarWindow, MissingStoredSkinIsReportedAndStaysTheUsersChoice) {
    RegKey::Create(store.root, store.path).WriteString(L"CalendarSkin", L"Longhorn");
    calendar->ShowCalendar();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find(L"Longhorn\\calendar.png Not found"), std::wstring::npos);
    EXPECT_EQ(messages[0].caption, L"Error");
    EXPECT_EQ(calendar->CalendarSkin(), L"Longhorn");
    calendar->Close();
    EXPECT_EQ(RegKey::Open(store.root, store.path, KEY_READ).ReadString(L"CalendarSkin"),
              std::optional<std::wstring>(L"Longhorn"));
}

TEST_F(CalendarWindow, EmptyStoredSkinDrawsTheDefault) {
    RegKey::Create(store.root, store.path).WriteString(L"CalendarSkin", L"");
    calendar->ShowCalendar();
    EXPECT_EQ(calendar->CalendarSkin(), L"Dark Blue Glass");
    ASSERT_TRUE(calendar->Picture());
    EXPECT_TRUE(messages.empty());
}

TEST_F(CalendarWindow, NoSkinAtAllIsReportedAndNothingIsDrawn) {
    calendar = Make(dir.File(L"NoCalendar\\"));
    calendar->ShowCalendar();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"File: " + dir.File(L"NoCalendar\\Dark Blue Glass\\calendar.png") + L" Not found");
    EXPECT_EQ(messages[0].caption, L"Error");
    EXPECT_EQ(messages[0].icon, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_FALSE(calendar->Picture());
}

TEST_F(CalendarWindow, MouseOverTheCalendarCancelsTheClocksLeaveAndShowsTheDayHint) {
    alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 7, 0, 0), L"Dentist"));
    alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 18, 0, 0), L"Call"));
    calendar->ShowCalendar();
    CancelLeavePosts();
    const POINT p = CellPoint(1, 3);   // 20 May
    SendMessageW(calendar->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(CancelLeavePosts(), 1);
    const std::wstring hint = calendar->Hint();
    EXPECT_EQ(hint.rfind(LocaleShortDate(EncodeDate(2024, 5, 20)) + L"\r\n", 0), 0u) << Narrow(hint);
    EXPECT_NE(hint.find(L" - Dentist...\r\n"), std::wstring::npos);
    EXPECT_NE(hint.find(L" - Call...\r\n"), std::wstring::npos);
    EXPECT_LT(hint.find(L"Dentist"), hint.find(L"Call"));
    EXPECT_EQ(calendar->TipText(), hint);

    SendMessageW(calendar->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, 78 + 6 * 28 + 2));   // below the sixth row
    EXPECT_TRUE(calendar->Hint().empty());
    EXPECT_TRUE(calendar->TipText().empty());
    EXPECT_FALSE(calendar->HoverCell());
    SendMessageW(calendar->hwnd(), WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(CancelLeavePosts(), 2);
}

TEST_F(CalendarWindow, DayMenuOpensTheAlarmUnlessTheEditorIsOpen) {
    const int first = alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 7, 0, 0), L"Dentist & co"));
    const int second = alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 18, 0, 0), L"Call"));
    alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 21, 7, 0, 0), L"Other day"));
    calendar->ShowCalendar();
    calendar->MouseMove(CellPoint(1, 3).x, CellPoint(1, 3).y);
    const auto items = calendar->DayMenuAlarms();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], (std::pair<int, std::wstring>{first, L"Dentist & co..."}));
    EXPECT_EQ(items[1].first, second);

    editorVisible = true;
    calendar->EditAlarm1Click(first);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Please, close alarm dialog.");
    EXPECT_EQ(messages[0].caption, L"Information");
    EXPECT_TRUE(edits.empty());
    editorVisible = false;
    calendar->EditAlarm1Click(first);
    EXPECT_EQ(edits, (std::vector<std::pair<bool, int>>{{false, first}}));

    calendar->MouseMove(CellPoint(0, 0).x, CellPoint(0, 0).y);   // 28 April: another month
    EXPECT_TRUE(calendar->DayMenuAlarms().empty());
}

TEST_F(CalendarWindow, DayMenuListsTheDaysAlarmsAlsoWhileAlarmsAreSwitchedOff) {
    const int id = alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 7, 0, 0), L"Dentist"));
    switches.enabled = false;
    alarms->Refresh();
    calendar->ShowCalendar();
    EXPECT_TRUE(calendar->Picture()->marks.empty()) << "no marks while alarms are off";
    calendar->MouseMove(CellPoint(1, 3).x, CellPoint(1, 3).y);
    const auto items = calendar->DayMenuAlarms();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (std::pair<int, std::wstring>{id, L"Dentist..."}));
    UniqueMenu menu = calendar->BuildPopupMenu();
    const int count = GetMenuItemCount(menu.get());
    EXPECT_EQ(GetMenuItemID(menu.get(), count - 1), static_cast<UINT>(TfrmCalendar2::kCmdFirstAlarm));
}

TEST_F(CalendarWindow, MenuSwitchesRedrawAndSaveTheOptions) {
    calendar->ShowCalendar();
    calendar->SetMonFirst(true);
    EXPECT_EQ(saves, 0);
    calendar->SetWeekNumbers(false);
    calendar->SetOnlyCurrentMonth(false);
    calendar->SetTransparency(4);
    calendar->ChooseSkin(L"Graphite");
    EXPECT_EQ(saves, 4);
    EXPECT_EQ(calendar->Picture()->skin, L"Graphite");
    EXPECT_FALSE(calendar->View().onlyCurrentMonth);
    calendar->SetOnTop(false);
    EXPECT_FALSE(GetWindowLongPtrW(calendar->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(CalendarWindow, MarksFollowTheLabelFilterTheSwitchAndSavedAlarms) {
    alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 7, 0, 0), L"Birthday", 1));
    alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 22, 7, 0, 0), L"Business", 3));
    switches.label = 1;
    alarms->Refresh();
    calendar->ShowCalendar();
    ASSERT_EQ(calendar->Picture()->marks.size(), 1u);
    EXPECT_EQ(calendar->Picture()->marks[0].cell, (CellPos{1, 3}));

    switches.label = 0;
    alarms->Refresh();
    calendar->btReloadClick();
    EXPECT_EQ(calendar->Picture()->marks.size(), 2u);

    switches.enabled = false;
    calendar->btReloadClick();
    EXPECT_TRUE(calendar->Picture()->marks.empty());
    EXPECT_TRUE(calendar->CellHints()[1][3].empty());
}

TEST_F(CalendarWindow, ASecondShowLeavesAnOpenCalendarAsItIs) {
    calendar->ShowCalendar();
    calendar->SetMonFirst(true);
    calendar->Navigate(1);
    SetWindowPos(calendar->hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    calendar->ShowCalendar();   // hovering the clock again
    EXPECT_TRUE(calendar->View().isMonFirst);
    EXPECT_EQ(calendar->View().month, 6);
    RECT r{};
    GetWindowRect(calendar->hwnd(), &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
}

TEST_F(CalendarWindow, PressAndReleaseOnAMonthButtonNavigates) {
    calendar->ShowCalendar();
    SendMessageW(calendar->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(262, 20));
    EXPECT_EQ(calendar->View().month, 5) << "the month changes when the button is released";
    SendMessageW(calendar->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(262, 20));
    EXPECT_EQ(calendar->View().month, 6);
    SendMessageW(calendar->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(calendar->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(140, 100));   // released elsewhere
    EXPECT_EQ(calendar->View().month, 6);
    EXPECT_EQ(CancelLeavePosts(), 2);
}

namespace {

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[128]{};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

}  // namespace

TEST_F(CalendarWindow, RightClickMenuListsTheSwitchesThenTheDaysAlarms) {
    const int id = alarms->AddAlarm(Once(EncodeDateTime(2024, 5, 20, 7, 0, 0), L"Tom & Jerry"));
    calendar->ShowCalendar();
    calendar->MouseMove(CellPoint(1, 3).x, CellPoint(1, 3).y);
    UniqueMenu menu = calendar->BuildPopupMenu();
    HMENU m = menu.get();
    const std::vector<std::wstring> expected{L"Goto Today", L"", L"Skins", L"Transparent", L"",
                                             L"Start of week Sunday", L"Start of week Monday",
                                             L"Display Week Numbers", L"Show Only Current Month", L"",
                                             L"Always on top", L"", L"Close", L"", L"Tom && Jerry..."};
    ASSERT_EQ(GetMenuItemCount(m), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(ItemText(m, static_cast<int>(i)), expected[i]) << i;
    EXPECT_TRUE(Checked(m, TfrmCalendar2::kCmdSunday));
    EXPECT_FALSE(Checked(m, TfrmCalendar2::kCmdMonday));
    EXPECT_TRUE(Checked(m, TfrmCalendar2::kCmdWeekNumbers));
    EXPECT_TRUE(Checked(m, TfrmCalendar2::kCmdOnlyCurrentMonth));
    EXPECT_TRUE(Checked(m, TfrmCalendar2::kCmdOnTop));
    HMENU skins = GetSubMenu(m, 2);
    ASSERT_EQ(GetMenuItemCount(skins), 2);
    const UINT darkBlue = ItemText(skins, 0) == L"Dark Blue Glass" ? 0 : 1;
    EXPECT_TRUE(Checked(skins, TfrmCalendar2::kCmdFirstSkin + darkBlue));
    EXPECT_FALSE(Checked(skins, TfrmCalendar2::kCmdFirstSkin + 1 - darkBlue));
    EXPECT_TRUE(Checked(GetSubMenu(m, 3), TfrmCalendar2::kCmdTransparent0));

    calendar->OnCommand(TfrmCalendar2::kCmdFirstAlarm);
    EXPECT_EQ(edits, (std::vector<std::pair<bool, int>>{{false, id}}));
    calendar->OnCommand(TfrmCalendar2::kCmdFirstSkin + 1 - darkBlue);
    EXPECT_EQ(calendar->CalendarSkin(), L"Graphite");
    calendar->OnCommand(TfrmCalendar2::kCmdTransparent0 + 3);
    EXPECT_EQ(calendar->Transparency(), 3);
    EXPECT_EQ(calendar->Picture()->canvas.width, 285);
    calendar->OnCommand(TfrmCalendar2::kCmdMonday);
    EXPECT_TRUE(calendar->View().isMonFirst);
    calendar->OnCommand(TfrmCalendar2::kCmdClose);
    EXPECT_FALSE(calendar->IsOpen());
}
