#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "alarms/alarm_fakes.h"
#include "alarms/alarm_editor.h"
#include "base/handles.h"
#include "base/unwind.h"
#include "resources/alarm_editor_res.h"
#include "support/layout_check.h"
#include "support/test_support.h"

using namespace vt;
using vt::test::At;
using vt::test::FakeNow;
using vt::test::Ms;

namespace {
// Wednesday 10 June 2026, 10:20:30.
const TDateTime kNow = At(2026, 6, 10, 10, 20, 30);

class FakeSound final : public ISoundPreview {
public:
    void SetVolumePercent(int percent) override { volumes.push_back(percent); }
    void Play(const std::wstring& path) override { played.push_back(path); }
    void Stop() override { ++stops; }
    std::vector<int> volumes;
    std::vector<std::wstring> played;
    int stops = 0;
};

struct Shown {
    std::wstring text, caption;
    UINT flags;
};

std::wstring Text(HWND h) {
    wchar_t buf[4096] = L"";
    GetWindowTextW(h, buf, 4096);
    return buf;
}
bool Checked(HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Shows(HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; }
int Selected(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

// What a mouse click on a button sends to its page: check boxes toggle first, radio buttons check.
void Click(HWND button) {
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) SendMessageW(button, BM_SETCHECK, Checked(button) ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}
void Choose(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}
void SetPicker(HWND picker, TDateTime value) {
    SYSTEMTIME st = DateTimeToSystemTime(value);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}
TDateTime Picker(HWND picker) {
    SYSTEMTIME st{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return SystemTimeToDateTime(st);
}
std::wstring SelectedSound(HWND list) {
    const int i = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (i < 0) return L"";
    wchar_t name[MAX_PATH] = L"";
    ListView_GetItemText(list, i, 0, name, MAX_PATH);
    return name;
}
void SelectSound(HWND list, const std::wstring& name) {
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = L"";
        ListView_GetItemText(list, i, 0, text, MAX_PATH);
        ListView_SetItemState(list, i, name == text ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

struct Editor : IAlarmEditorHost, IEditorDialogs {
    explicit Editor(int iconCopies = 0) : clock(kNow) {
        CreateDirectoryW((program.path() + L"Sounds").c_str(), nullptr);
        CreateDirectoryW((program.path() + L"Icons").c_str(), nullptr);
        for (const wchar_t* name : {L"b.wav", L"a.wav", L"c.mp3", L"read me.txt"})
            test::WriteFileBytes(program.path() + L"Sounds\\" + name, "RIFF");
        const std::wstring shipped = test::DistDir() + L"Icons\\";
        std::vector<std::wstring> icons = ListIconFiles(shipped);
        for (const std::wstring& name : icons)
            CopyFileW((shipped + name).c_str(), (program.path() + L"Icons\\" + name).c_str(), FALSE);
        for (int i = 0; i < iconCopies; ++i)
            CopyFileW((shipped + icons.front()).c_str(),
                      (program.path() + L"Icons\\extra" + std::to_wstring(i) + L".png").c_str(), FALSE);
        list = std::make_unique<TAlarms>(settings.File(L"alarms.ini"), clock, [](const TAlRecord&) {}, errors);
        owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        form = std::make_unique<TfrmAlarm>(clock, program.path(), *this, *this, sound);
        EXPECT_TRUE(form->Create());
    }
    ~Editor() {
        form.reset();
        DestroyWindow(owner);
    }
    TAlarms* AlarmList() override { return list.get(); }
    int CategoryFilter() override { return filter; }
    int SelectedAlarmRow() override { return row; }
    void SelectAlarmRow(int r) override { selectedRows.push_back(r); }
    void ReloadCalendar() override { ++calendarReloads; }
    HWND EditorOwner() override { return owner; }
    bool BrowseFolder(HWND, std::wstring&) override { return false; }
    bool OpenFile(HWND, std::wstring&, const std::wstring&) override { return false; }
    int Ask(HWND, const std::wstring& text, const std::wstring& caption, UINT flags) override {
        shown.push_back({text, caption, flags});
        return answer;
    }
    void Ok() { SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
    void Cancel() { SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
    std::wstring Sounds() const { return program.path() + L"Sounds\\"; }
    int AddStored(TAlRecord alarm) {
        list->AddAlarm(alarm);
        return list->AlarmSchedule().back().id;
    }

    test::TempDir program, settings;
    FakeNow clock;
    test::FakeErrors errors;
    std::unique_ptr<TAlarms> list;
    FakeSound sound;
    HWND owner{};
    int filter = 0, row = -1, answer = IDOK, calendarReloads = 0;
    std::vector<int> selectedRows;
    std::vector<Shown> shown;
    std::unique_ptr<TfrmAlarm> form;
};

TAlRecord StoredDaily() {
    TAlRecord a;
    a.Type = L"Daily";
    a.Weeks = L"0111110";
    a.DateTime = At(2026, 6, 11, 7, 30);
    a.RDateTime = a.DateTime - 17 * kOneMinute;
    a.Message = L"Stand up";
    a.MessageEn = true;
    a.Enabled = false;
    a.SoundEn = true;
    a.SoundCustVol = true;
    a.SoundVolume = 40;
    a.SoundTimes = 3;
    a.SoundPause = 2;
    a.ShutdownEn = true;
    a.ShutDown = L"standby";
    a.Icon = 7;
    a.AlLabel = 2;
    a.AfterTime = kDefaultAfterTime;
    a.BeforeTime = kDefaultBeforeTime;
    return a;
}
}  // namespace

TEST(TfrmAlarm, HiddenFormWithTabsButtonsAndClientSize) {
    Editor e;
    TfrmAlarm& f = *e.form;
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(Text(f.hwnd()), L"Alarm");
    RECT rc{};
    GetClientRect(f.hwnd(), &rc);
    EXPECT_EQ(rc.right, 528);
    EXPECT_EQ(rc.bottom, 322);
    EXPECT_EQ(SendMessageW(f.PageControl, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(f.bDelete), L"Delete");
    EXPECT_EQ(Text(f.bOK), L"OK");
    EXPECT_EQ(Text(f.bCancel), L"Cancel");
    EXPECT_EQ(f.grpnMessage.Caption, L"      Display the message");
    EXPECT_EQ(f.grpnAlarm.BeginColor, 10329505u);
    EXPECT_EQ(SendMessageW(f.cbAlarmsCategory, CB_GETCOUNT, 0, 0), 11);
    EXPECT_EQ(SendMessageW(f.cbReminder, CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(SendMessageW(f.cbWinStyle, CB_GETCOUNT, 0, 0), 3);
    for (HWND h : {f.mmMessage, f.dtTime, f.dtOnceDate, f.chbSat, f.cbWeekly, f.sedMonthly, f.cbAnnualy, f.sedRegular,
                   f.dtRegular, f.sedHourly, f.dtAfter, f.dtBefore, f.lvSound, f.trbVolume, f.rbAcMonitor, f.chbForceClose,
                   f.bOpenVideoFile, f.bOpenMyMusicFile})
        EXPECT_TRUE(h);
    EXPECT_FALSE(Shows(f.bOpenVideoFile));
}

TEST(TfrmAlarm, MonthAndDayNamesOfTheLocaleSundayFirst) {
    Editor e;
    TfrmAlarm& f = *e.form;
    f.FillMonthAndDayNames();
    ASSERT_EQ(SendMessageW(f.cbAnnualy, CB_GETCOUNT, 0, 0), 12);
    ASSERT_EQ(SendMessageW(f.cbWeekly, CB_GETCOUNT, 0, 0), 7);
    wchar_t first[64] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME7, first, 64);
    wchar_t item[64] = L"";
    SendMessageW(f.cbWeekly, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, first);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME12, first, 64);
    SendMessageW(f.cbAnnualy, CB_GETLBTEXT, 11, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, first);
    EXPECT_EQ(Selected(f.cbWeekly), 0);
    EXPECT_EQ(Selected(f.cbAnnualy), 0);
}

TEST(TfrmAlarm, NewAlarmShowsTheDefaultsAndStoresAOnceAlarm) {
    Editor e;
    e.filter = 4;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    EXPECT_TRUE(f.Visible());
    EXPECT_FALSE(Shows(f.bDelete));
    EXPECT_TRUE(f.EditingNewAlarm());
    EXPECT_EQ(Text(f.mmMessage), L"Don't forget about ");
    EXPECT_EQ(Ms(FracOf(Picker(f.dtTime))), Ms(EncodeTime(10, 21, 0)));
    EXPECT_EQ(Text(f.edPathSound), e.Sounds());
    EXPECT_EQ(ListView_GetItemCount(f.lvSound), 3);   // wav and mp3 only
    HIMAGELIST sounds = ListView_GetImageList(f.lvSound, LVSIL_SMALL);   // ImageListSounds
    ASSERT_NE(sounds, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(sounds), 1);
    EXPECT_EQ(SelectedSound(f.lvSound), L"a.wav");     // first of the sorted list
    EXPECT_TRUE(Checked(f.rbOnce) && Checked(f.chbAlarm) && Checked(f.chbMessage));
    EXPECT_FALSE(Checked(f.chbSound));
    EXPECT_TRUE(Shows(f.pnOnce) && Shows(f.dtOnceDate) && Shows(f.chbAutoDelete));
    EXPECT_FALSE(Shows(f.cbWeekly) || Shows(f.chbActiveTime));
    EXPECT_EQ(Selected(f.cbAlarmsCategory), 4);   // the category being viewed
    EXPECT_EQ(f.SelectedAlarmIcon(), 5);
    EXPECT_FALSE(IsWindowEnabled(f.lvSound));

    SetWindowTextW(f.mmMessage, L"Dentist\r\nbring card");
    SetPicker(f.dtOnceDate, At(2026, 6, 11));
    Click(f.chbAutoDelete);
    e.Ok();
    EXPECT_TRUE(e.shown.empty());
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(e.calendarReloads, 1);
    ASSERT_EQ(e.list->AlarmCount(), 1);
    TAlRecord r = e.list->ReadAlarm(1);
    EXPECT_EQ(r.Type, L"Once");
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 6, 11, 10, 21)));
    EXPECT_EQ(r.Message, L"Dentist\r\nbring card");
    EXPECT_EQ(r.SoundFile, e.Sounds() + L"a.wav");
    EXPECT_TRUE(r.Enabled && r.MessageEn && r.AutoDelete);
    EXPECT_FALSE(r.SoundEn);
    EXPECT_EQ(r.Icon, 5);
    EXPECT_EQ(r.AlLabel, 4);
    EXPECT_EQ(r.RDateTime, 0);
    EXPECT_EQ(r.ShutDown, L"shutdown");
}

TEST(TfrmAlarm, CancelWritesNothing) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    SetWindowTextW(f.mmMessage, L"changed");
    e.Cancel();
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(e.list->AlarmCount(), 0);
    EXPECT_EQ(GetFileAttributesW(e.settings.File(L"alarms.ini").c_str()), INVALID_FILE_ATTRIBUTES);

    const int id = e.AddStored(StoredDaily());
    const std::string before = test::ReadFileBytes(e.settings.File(L"alarms.ini"));
    ASSERT_TRUE(f.Open(false, id));
    Click(f.rbWeekly);
    SetWindowTextW(f.mmMessage, L"changed");
    SendMessageW(f.hwnd(), WM_CLOSE, 0, 0);   // the title bar's close button
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(test::ReadFileBytes(e.settings.File(L"alarms.ini")), before);
}

TEST(TfrmAlarm, ExistingAlarmIsShownChangedAndStoredEnabled) {
    Editor e;
    test::TempDir tunes;
    test::WriteFileBytes(tunes.File(L"ring.mp3"), "ID3");
    test::WriteFileBytes(tunes.File(L"other.wav"), "RIFF");
    TAlRecord stored = StoredDaily();
    stored.SoundFile = tunes.File(L"ring.mp3");
    const int id = e.AddStored(stored);
    TfrmAlarm& f = *e.form;
    SendMessageW(f.cbReminder, CB_SETCURSEL, 4, 0);   // what the list showed last time
    ASSERT_TRUE(f.Open(false, id));
    EXPECT_TRUE(Shows(f.bDelete));
    EXPECT_EQ(f.EditedAlarmId(), id);
    EXPECT_TRUE(Checked(f.rbDaily));
    EXPECT_TRUE(Shows(f.pnDaily) && Shows(f.chbSun));
    EXPECT_FALSE(Shows(f.pnOnce) || Shows(f.chbAutoDelete));
    EXPECT_FALSE(Checked(f.chbSun) || Checked(f.chbSat));
    EXPECT_TRUE(Checked(f.chbMon) && Checked(f.chbFri));
    EXPECT_EQ(Ms(FracOf(Picker(f.dtTime))), Ms(EncodeTime(7, 30, 0)));
    EXPECT_TRUE(Checked(f.chbAlarm));               // stored disabled, shown on
    EXPECT_TRUE(Checked(f.chbReminder));            // 17 minutes before: no band
    EXPECT_EQ(Selected(f.cbReminder), 4);           // ... so the previous entry stays
    EXPECT_EQ(Text(f.edPathSound), tunes.path());
    EXPECT_EQ(SelectedSound(f.lvSound), L"ring.mp3");
    EXPECT_TRUE(Checked(f.chbSound) && Checked(f.chbCustVol));
    EXPECT_TRUE(IsWindowEnabled(f.trbVolume));
    EXPECT_EQ(SendMessageW(f.trbVolume, TBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(Text(f.lbVolume), L"Volume: 40% ");
    EXPECT_EQ(Text(f.sedRepeat), L"3");
    EXPECT_TRUE(Checked(f.chbActions) && Checked(f.rbShutdown) && Checked(f.rbAcStandby));
    EXPECT_TRUE(Shows(f.rbAcStandby));
    EXPECT_FALSE(Shows(f.edFileName));
    EXPECT_EQ(f.grpnAppDoc.Caption, L"Shut down computer");
    EXPECT_EQ(Selected(f.cbAlarmsCategory), 2);
    EXPECT_EQ(f.SelectedAlarmIcon(), 7);

    Click(f.rbWeekly);
    EXPECT_TRUE(Checked(f.rbWeekly));
    EXPECT_FALSE(Checked(f.rbDaily));
    EXPECT_TRUE(Shows(f.cbWeekly));
    EXPECT_FALSE(Shows(f.chbMon));
    Choose(f.cbWeekly, 5);   // Friday
    Choose(f.cbReminder, 1);
    e.Ok();
    EXPECT_TRUE(e.shown.empty());
    EXPECT_FALSE(f.Visible());
    ASSERT_EQ(e.list->AlarmCount(), 1);
    TAlRecord r = e.list->ReadAlarm(id);
    EXPECT_EQ(r.Type, L"Weekly");
    EXPECT_EQ(r.Week, 6);
    EXPECT_TRUE(r.Enabled);
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 6, 12, 7, 30)));
    EXPECT_EQ(Ms(r.RDateTime), Ms(At(2026, 6, 12, 6, 30)));
    EXPECT_EQ(r.SoundFile, tunes.File(L"ring.mp3"));
    EXPECT_EQ(r.SoundVolume, 40);
    EXPECT_EQ(r.ShutDown, L"standby");
    EXPECT_TRUE(r.ShutdownEn);
    EXPECT_FALSE(r.OpenfileEn);
}

TEST(TfrmAlarm, ReopeningResetsTheControlsOfTheLastEdit) {
    Editor e;
    TAlRecord stored = StoredDaily();
    stored.SoundFile = L"C:\\no such folder\\gone.wav";
    const int id = e.AddStored(stored);
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(false, id));
    // A sound file that is gone: the program's sounds with their first one.
    EXPECT_EQ(Text(f.edPathSound), e.Sounds());
    EXPECT_EQ(SelectedSound(f.lvSound), L"a.wav");
    e.Cancel();
    ASSERT_TRUE(f.Open(true, 0));
    EXPECT_TRUE(Checked(f.rbOnce));
    EXPECT_FALSE(Checked(f.rbDaily));
    EXPECT_TRUE(Checked(f.chbSun));
    EXPECT_FALSE(Checked(f.chbSound) || Checked(f.chbActions) || Checked(f.chbReminder));
    EXPECT_EQ(f.SelectedAlarmIcon(), 5);
    EXPECT_FALSE(Shows(f.bDelete));
    e.Cancel();
}

TEST(TfrmAlarm, RefusalsKeepTheEditorOpenAndTheFileUnchanged) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    SetPicker(f.dtTime, At(2026, 6, 10, 10, 19));
    e.Ok();
    ASSERT_EQ(e.shown.size(), 1u);
    EXPECT_EQ(e.shown[0].text, L"The time you've set up for this alarm is in the past. Please check your settings.");
    EXPECT_EQ(e.shown[0].caption, L"Incorrect time");
    EXPECT_EQ(e.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_TRUE(f.Visible());

    Click(f.rbDaily);
    for (HWND box : {f.chbSun, f.chbMon, f.chbTue, f.chbWed, f.chbThu, f.chbFri, f.chbSat}) Click(box);
    e.Ok();
    ASSERT_EQ(e.shown.size(), 2u);
    EXPECT_EQ(e.shown[1].text, L"Please, select day of week");
    EXPECT_EQ(e.shown[1].caption, L"Vantoric");

    Click(f.rbHourly);
    EXPECT_TRUE(Shows(f.sedHourly) && Shows(f.chbActiveTime));
    EXPECT_FALSE(IsWindowEnabled(f.dtAfter));
    Click(f.chbActiveTime);
    EXPECT_TRUE(IsWindowEnabled(f.dtAfter));
    SetPicker(f.dtAfter, EncodeTime(9, 0, 0));
    SetPicker(f.dtBefore, EncodeTime(9, 0, 0));
    e.Ok();
    ASSERT_EQ(e.shown.size(), 3u);
    EXPECT_EQ(e.shown[2].text, L"The end of activity period is earlier than start. Please verify your settings.");

    Click(f.rbAnnualy);
    SetWindowTextW(f.sedAnnualy, L"30");
    Choose(f.cbAnnualy, 1);   // 30 February
    e.Ok();
    ASSERT_EQ(e.shown.size(), 4u);
    EXPECT_EQ(e.shown[3].text, kNoSuchDayError);

    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(e.list->AlarmCount(), 0);
    Click(f.rbRegular);
    e.Ok();   // Regular with the window on 09:00-09:00 is refused too
    EXPECT_EQ(e.shown.size(), 5u);
    Click(f.chbActiveTime);
    e.Ok();
    EXPECT_EQ(e.shown.size(), 5u);
    EXPECT_FALSE(f.Visible());
    TAlRecord r = e.list->ReadAlarm(1);
    EXPECT_EQ(r.Type, L"Regular");
    EXPECT_EQ(r.Min, 30);
    EXPECT_EQ(Ms(r.DateTime), Ms(kNow + 30 * kOneMinute));
    EXPECT_FALSE(r.ActiveTime);
}

TEST(TfrmAlarm, GroupSwitchesAndTheirHeadersEnableTheirControls) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    Click(f.chbSound);
    EXPECT_TRUE(IsWindowEnabled(f.lvSound) && IsWindowEnabled(f.bPlay) && IsWindowEnabled(f.chbCustVol));
    EXPECT_FALSE(IsWindowEnabled(f.trbVolume));
    Click(f.chbCustVol);
    EXPECT_TRUE(IsWindowEnabled(f.trbVolume) && IsWindowEnabled(f.lbVolume));

    // A click on the header inverts its check box.
    SendMessageW(f.grpnSound.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 4));
    SendMessageW(f.grpnSound.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(40, 4));
    EXPECT_FALSE(Checked(f.chbSound));
    EXPECT_FALSE(IsWindowEnabled(f.lvSound) || IsWindowEnabled(f.trbVolume));

    Click(f.chbMessage);
    EXPECT_FALSE(IsWindowEnabled(f.mmMessage) || IsWindowEnabled(f.imgIcon));
    Click(f.chbAlarm);
    EXPECT_FALSE(IsWindowEnabled(f.rbDaily) || IsWindowEnabled(f.dtTime) || IsWindowEnabled(f.dtOnceDate));
    EXPECT_FALSE(IsWindowEnabled(f.cbReminder));
    Click(f.chbReminder);
    EXPECT_TRUE(IsWindowEnabled(f.cbReminder));

    EXPECT_FALSE(IsWindowEnabled(f.edFileName));
    Click(f.chbActions);
    EXPECT_TRUE(IsWindowEnabled(f.edFileName) && IsWindowEnabled(f.rbShutdown));
    Click(f.rbShutdown);
    EXPECT_EQ(f.grpnAppDoc.Caption, L"Shut down computer");
    EXPECT_TRUE(Shows(f.rbAcHibernate));
    EXPECT_FALSE(Shows(f.edFileName));
    Click(f.rbAcMonitor);
    EXPECT_TRUE(Checked(f.rbAcMonitor));
    EXPECT_FALSE(Checked(f.rbAcShutdown));

    for (HWND kind : {f.rbOnce, f.rbHourly, f.rbDaily, f.rbWeekly, f.rbMonthly, f.rbAnnualy, f.rbRegular}) {
        Click(kind);
        EXPECT_EQ(Shows(f.pnOnce), kind == f.rbOnce);
        EXPECT_EQ(Shows(f.pnHourly), kind == f.rbHourly);
        EXPECT_EQ(Shows(f.pnDaily), kind == f.rbDaily);
        EXPECT_EQ(Shows(f.pnWeekly), kind == f.rbWeekly);
        EXPECT_EQ(Shows(f.pnMonthly), kind == f.rbMonthly);
        EXPECT_EQ(Shows(f.pnAnnualy), kind == f.rbAnnualy);
        EXPECT_EQ(Shows(f.pnRegular), kind == f.rbRegular);
        EXPECT_EQ(Shows(f.pnHourly2), kind == f.rbRegular || kind == f.rbHourly);
        EXPECT_EQ(Shows(f.chbAutoDelete), kind == f.rbOnce);
    }
    e.Cancel();
}

TEST(TfrmAlarm, DeleteAsksWithTheWholeMessageAndSelectsTheRowBefore) {
    Editor e;
    TAlRecord first = StoredDaily();
    e.AddStored(first);
    TAlRecord second = StoredDaily();
    second.Message = L"two\r\nlines";
    const int id = e.AddStored(second);
    TfrmAlarm& f = *e.form;
    e.row = 1;
    e.answer = IDNO;
    ASSERT_TRUE(f.Open(false, id));
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BDELETE, BN_CLICKED), 0);
    ASSERT_EQ(e.shown.size(), 1u);
    EXPECT_EQ(e.shown[0].text, L"Delete Alarm \"two\r\nlines\" ?");
    EXPECT_EQ(e.shown[0].caption, L"Delete");
    EXPECT_EQ(e.shown[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(e.list->AlarmCount(), 2);

    e.answer = IDYES;
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BDELETE, BN_CLICKED), 0);
    EXPECT_FALSE(f.Visible());
    ASSERT_EQ(e.list->AlarmCount(), 1);
    EXPECT_NE(e.list->AlarmSchedule()[0].id, id);
    EXPECT_EQ(e.selectedRows, std::vector<int>{0});
}

TEST(TfrmAlarm, AlarmDeletedWhileOpenIsStoredAgainNotLost) {
    Editor e;
    const int id = e.AddStored(StoredDaily());
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(false, id));
    e.list->DeleteAlarm(id);   // from its message window, say
    e.list->Refresh();
    SetWindowTextW(f.mmMessage, L"kept");
    e.Ok();
    EXPECT_FALSE(f.Visible());
    ASSERT_EQ(e.list->AlarmCount(), 1);
    EXPECT_EQ(e.list->ReadAlarm(e.list->AlarmSchedule()[0].id).Message, L"kept");
}

// The file refuses the write once (a scanner holding it during the rename): the edit is reported, not
// stored as a new alarm beside the old one, and the editor keeps what the user typed.
TEST(TfrmAlarm, AFailedSaveOfAnEditedAlarmAddsNothing) {
    Editor e;
    const int id = e.AddStored(StoredDaily());
    struct RefusedOnce : FileSaveSteps {
        bool refused = false;
        bool Replace(const std::wstring& from, const std::wstring& to) override {
            return std::exchange(refused, true) && FileSaveSteps::Replace(from, to);
        }
    } saves;
    TAlarmsSeams seams;
    seams.saves = &saves;
    e.list = std::make_unique<TAlarms>(e.settings.File(L"alarms.ini"), e.clock, nullptr, e.errors, std::move(seams));
    const std::string before = test::ReadFileBytes(e.settings.File(L"alarms.ini"));
    ASSERT_TRUE(e.form->Open(false, id));
    SetWindowTextW(e.form->mmMessage, L"changed");
    e.Ok();
    EXPECT_EQ(test::ReadFileBytes(e.settings.File(L"alarms.ini")), before);
    EXPECT_EQ(e.shown.size(), 1u) << "not reported";
    EXPECT_TRUE(e.form->Visible());
    EXPECT_EQ(Text(e.form->mmMessage), L"changed");
}

TEST(TfrmAlarm, PlayUsesTheSelectedSoundAndCustomVolume) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    Click(f.chbSound);
    SelectSound(f.lvSound, L"c.mp3");
    SendMessageW(f.TabSheet2, WM_COMMAND, MAKEWPARAM(IDC_BPLAY, BN_CLICKED), 0);
    EXPECT_EQ(e.sound.played, std::vector<std::wstring>{e.Sounds() + L"c.mp3"});
    EXPECT_TRUE(e.sound.volumes.empty());
    Click(f.chbCustVol);
    SendMessageW(f.trbVolume, TBM_SETPOS, TRUE, 50);
    SendMessageW(f.TabSheet2, WM_HSCROLL, SB_THUMBPOSITION, reinterpret_cast<LPARAM>(f.trbVolume));
    EXPECT_EQ(Text(f.lbVolume), L"Volume: 50% ");
    NMITEMACTIVATE dbl{};
    dbl.hdr = {f.lvSound, IDC_LVSOUND, static_cast<UINT>(NM_DBLCLK)};
    SendMessageW(f.TabSheet2, WM_NOTIFY, IDC_LVSOUND, reinterpret_cast<LPARAM>(&dbl));
    EXPECT_EQ(e.sound.volumes, std::vector<int>{50});
    EXPECT_EQ(e.sound.played.size(), 2u);
    SendMessageW(f.TabSheet2, WM_COMMAND, MAKEWPARAM(IDC_BSTOP, BN_CLICKED), 0);
    EXPECT_EQ(e.sound.stops, 1);

    SelectSound(f.lvSound, L"");
    SendMessageW(f.TabSheet2, WM_COMMAND, MAKEWPARAM(IDC_BPLAY, BN_CLICKED), 0);
    EXPECT_EQ(e.sound.played.size(), 2u);   // nothing selected: nothing plays
    e.Ok();
    EXPECT_EQ(e.list->ReadAlarm(1).SoundFile, L"");
}

TEST(TfrmAlarm, IconMenuHasAnItemPerIconInColumnsOfEleven) {
    Editor e(/*iconCopies*/ 1);   // 34 icons
    TfrmAlarm& f = *e.form;
    ASSERT_EQ(f.Icons().Count(), 34);
    EXPECT_EQ(ImageList_GetImageCount(f.ImageList()), 34);
    HMENU menu = f.IconMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 34);
    for (int i : {0, 10, 11, 12, 22, 33}) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_BITMAP;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi));
        EXPECT_EQ((mi.fType & MFT_MENUBREAK) != 0, i == 11 || i == 22 || i == 33) << i;
        EXPECT_EQ(mi.dwItemData, static_cast<ULONG_PTR>(i));
        EXPECT_TRUE(mi.hbmpItem);
    }
    ASSERT_TRUE(f.Open(true, 0));
    SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDM_ICON_FIRST + 33, 0), 0);
    EXPECT_EQ(f.SelectedAlarmIcon(), 33);
    e.Ok();
    EXPECT_EQ(e.list->ReadAlarm(1).Icon, 33);
}

TEST(TfrmAlarm, FewerIconsStillOfferTheDefinedItems) {
    Editor e;
    test::TempDir empty;
    TfrmAlarm bare(e.clock, empty.path(), e, e, e.sound);
    ASSERT_TRUE(bare.Create());
    EXPECT_EQ(bare.Icons().Count(), 0);
    EXPECT_EQ(GetMenuItemCount(bare.IconMenu()), 33);
}

TEST(TfrmAlarm, IconIsDrawnOnWhite) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    f.SelectIcon(0);   // the bell
    AlphaBitmap canvas = CreateAlphaBitmap(32, 32);
    ASSERT_TRUE(canvas);
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    {
        SelectGuard keep(dc.get(), canvas.bitmap.get());
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_STATIC;
        d.CtlID = IDC_IMGICON;
        d.hwndItem = f.imgIcon;
        d.hDC = dc.get();
        d.rcItem = {0, 0, 32, 32};
        SendMessageW(f.TabSheet1, WM_DRAWITEM, IDC_IMGICON, reinterpret_cast<LPARAM>(&d));
    }
    GdiFlush();
    PixelView px = PixelsOf(canvas);
    auto white = [&](int x, int y) {
        const Bgra p = px.at(x, y);
        return p.r == 255 && p.g == 255 && p.b == 255;
    };
    EXPECT_TRUE(white(0, 0));   // the white behind the icon
    int inked = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) inked += !white(x, y);
    EXPECT_GT(inked, 60);   // the bell itself
    e.Cancel();
}

RECT g_arrowInMenu{};
bool g_menuSeen = false;
HWND g_arrow = nullptr;
void CALLBACK NoteArrowAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
        g_menuSeen = true;
        GetWindowRect(g_arrow, &g_arrowInMenu);
        KillTimer(nullptr, id);
        EndMenu();
    }
}

TEST(TfrmAlarm, DropDownArrowLooksPressedWhileItsMenuIsOpen) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    g_arrow = f.imgDropDown;
    RECT before{}, icon{};
    GetWindowRect(f.imgDropDown, &before);
    GetWindowRect(f.imgIcon, &icon);
    EXPECT_EQ(before.left, icon.left);
    EXPECT_EQ(before.top, icon.bottom);
    g_menuSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, NoteArrowAndCloseMenu);
    SendMessageW(f.TabSheet1, WM_COMMAND, MAKEWPARAM(IDC_IMGDROPDOWN, STN_CLICKED),
                 reinterpret_cast<LPARAM>(f.imgDropDown));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(g_menuSeen);
    EXPECT_EQ(g_arrowInMenu.left, before.left + 1);
    EXPECT_EQ(g_arrowInMenu.top, before.top + 1);
    RECT after{};
    GetWindowRect(f.imgDropDown, &after);
    EXPECT_EQ(after.left, icon.left);
    EXPECT_EQ(after.top, icon.bottom);
    e.Cancel();
}

TEST(TfrmAlarm, EditAlarmIsModalAndReturnsWhenClosed) {
    Editor e;
    TfrmAlarm& f = *e.form;
    PostMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    f.EditAlarm(true, 0);
    EXPECT_FALSE(f.Visible());
    EXPECT_TRUE(IsWindowEnabled(e.owner));
    EXPECT_EQ(e.list->AlarmCount(), 1);

    // While it is open a second request is refused.
    ASSERT_TRUE(f.Open(true, 0));
    EXPECT_FALSE(f.Open(false, 1));
    EXPECT_TRUE(f.EditingNewAlarm());
    e.Cancel();
}

namespace {
// The owner frees the editor from inside its modal loop, as the main form does when it goes then.
Editor* g_owner = nullptr;
bool g_aliveInLoop = false;
void CALLBACK FreeEditorInItsLoop(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const HWND window = g_owner->form->hwnd();
    g_owner->form->Close();
    DeleteWhenUnwound(std::move(g_owner->form));
    g_aliveInLoop = IsWindow(window) != FALSE;
}
}  // namespace

TEST(TfrmAlarm, FreedInsideItsModalLoopGoesOnlyOnceTheLoopHasReturned) {
    Editor e;
    ASSERT_TRUE(e.form->Open(true, 0));
    const HWND window = e.form->hwnd();
    g_owner = &e;
    g_aliveInLoop = false;
    SetTimer(nullptr, 0, 10, FreeEditorInItsLoop);
    e.form->RunModal();
    EXPECT_TRUE(g_aliveInLoop) << "freed under its own loop";
    EXPECT_FALSE(e.form);
    EXPECT_FALSE(IsWindow(window)) << "not freed once the loop had returned";
    EXPECT_TRUE(IsWindowEnabled(e.owner));
}

TEST(TfrmAlarm, EveryTabLaysItsControlsOutWhole) {
    Editor e;
    TfrmAlarm& f = *e.form;
    ASSERT_TRUE(f.Open(true, 0));
    for (int tab = 0; tab < 3; ++tab) {
        TabCtrl_SetCurSel(f.PageControl, tab);
        NMHDR change{f.PageControl, static_cast<UINT_PTR>(GetDlgCtrlID(f.PageControl)), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(f.hwnd(), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
        // Every schedule kind shows its own panel; each is looked at.
        for (int kind = 1; kind <= (tab == 0 ? kEditorKindCount : 1); ++kind) {
            if (tab == 0) f.ShowSchedulePanel(kind);
            std::string problems;
            for (const std::string& p : test::LayoutProblems(f.hwnd())) problems += "\n  " + p;
            EXPECT_TRUE(problems.empty()) << "tab " << tab << ", schedule " << kind << ":" << problems;
        }
    }

}
