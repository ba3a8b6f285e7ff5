// TfrmAlarm: the alarm editor. The program creates one, frmAlarm, right after the main form and keeps it
// hidden; EditAlarm fills it from an alarm (or the defaults), shows it modally and, on OK, stores the
// alarm through TAlarms. It also owns the alarm icon list that the alarm page, the message window and the
// calendar draw from. The rules live in AlarmEditorModel; this class only moves values between them
// and the controls.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "alarms/alarm_editor_model.h"
#include "alarms/alarm_icons.h"
#include "alarms/alarm_list.h"
#include "controls/alpha_bitmap.h"
#include "base/handles.h"
#include "base/now.h"
#include "base/window.h"
#include "controls/gradient_panel.h"

namespace vt {

// The editor's play and stop buttons. The program's alarm sound player implements it; the editor's test
// play uses the same player as a ringing alarm.
class ISoundPreview {
public:
    virtual ~ISoundPreview() = default;
    virtual void SetVolumePercent(int percent) = 0;   // before a test play with custom volume
    virtual void Play(const std::wstring& path) = 0;  // closes what plays, then plays path once
    virtual void Stop() = 0;                          // never reports an error
};

// What the editor reaches in the main form.
class IAlarmEditorHost {
public:
    virtual TAlarms* AlarmList() = 0;          // null until the main form has made it (after the editor)
    virtual int CategoryFilter() = 0;          // the main form's cbAlarmsCategory index
    virtual int SelectedAlarmRow() = 0;        // lvAlarms' selected row, -1 for none
    virtual void SelectAlarmRow(int row) = 0;
    virtual void ReloadCalendar() = 0;         // the calendar's btReloadClick when it is visible
    virtual HWND EditorOwner() = 0;            // disabled while the editor is shown

protected:
    ~IAlarmEditorHost() = default;
};

// The editor's dialogs with the user: the folder and file choosers and the message boxes.
class IEditorDialogs {
public:
    virtual bool BrowseFolder(HWND owner, std::wstring& folder) = 0;
    virtual bool OpenFile(HWND owner, std::wstring& file, const std::wstring& startFolder) = 0;
    // Returns the pressed button.
    virtual int Ask(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) = 0;

protected:
    ~IEditorDialogs() = default;
};

// The system's folder browser, open-file dialog and message box.
class SystemEditorDialogs final : public IEditorDialogs {
public:
    bool BrowseFolder(HWND owner, std::wstring& folder) override;
    bool OpenFile(HWND owner, std::wstring& file, const std::wstring& startFolder) override;
    int Ask(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) override;
};

class TfrmAlarm final : public Dialog {
public:
    TfrmAlarm(const INow& now, std::wstring programDir, IAlarmEditorHost& host, IEditorDialogs& dialogs,
              ISoundPreview& sound);
    ~TfrmAlarm() override;

    // FormCreate: the hidden window, the icon list and the icon menu.
    bool Create();
    bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

    // The one entry: fills the form for a new alarm (id 0) or the alarm `id`, shows it modally and returns
    // when it closes. Does nothing while the editor is already open.
    void EditAlarm(bool isNew, int id);
    // EditAlarm in two steps, for callers (and tests) that run their own message loop.
    bool Open(bool isNew, int id);
    // Counts as the program's code while it runs: an owner that frees the editor meanwhile (the program
    // quits from inside it) closes it and hands it to DeleteWhenUnwound (base/unwind.h).
    void RunModal();
    // Hidden, and the modal loop ends (Cancel).
    void Close();

    void FillMonthAndDayNames();
    void ShowSchedulePanel(int n);
    void SelectIcon(int index);
    void ReloadSoundList(const std::wstring& folder);
    void EnableAlarmGroup(bool on);
    void EnableMessageGroup(bool on);
    void EnableSoundGroup(bool on);
    void EnableVolumeControls(bool on);
    void EnableActionsGroup(bool on);

    // The controls' values, and back.
    AlarmEditorFields ControlsToFields() const;
    void FieldsToControls(const AlarmEditorFields& fields);

    bool EditingNewAlarm() const { return editingNewAlarm_; }
    int EditedAlarmId() const { return editedAlarmId_; }
    int SelectedAlarmIcon() const { return selectedAlarmIcon_; }
    const AlarmIconList& Icons() const { return icons_; }
    HIMAGELIST ImageList() const { return icons_.ImageList(); }
    HMENU IconMenu() {
        if (!pmIcons_) BuildIconMenu();
        return pmIcons_.get();
    }

    // Form
    HWND PageControl{}, TabSheet1{}, TabSheet2{}, TabSheet3{}, bDelete{}, bOK{}, bCancel{};
    // Tab "Alarm"
    HWND chbMessage{}, lAlarmCategory{}, cbAlarmsCategory{}, shpMessage{}, imgIcon{}, imgDropDown{}, mmMessage{},
        chbReminder{}, cbReminder{}, chbAlarm{}, rbOnce{}, rbHourly{}, rbDaily{}, rbWeekly{}, rbMonthly{},
        rbAnnualy{}, rbRegular{}, lbTime{}, dtTime{}, pnOnce{}, dtOnceDate{}, pnDaily{}, chbSun{}, chbMon{},
        chbTue{}, chbWed{}, chbThu{}, chbFri{}, chbSat{}, pnWeekly{}, cbWeekly{}, pnMonthly{}, sedMonthly{},
        pnAnnualy{}, sedAnnualy{}, cbAnnualy{}, pnRegular{}, sedRegular{}, dtRegular{}, pnHourly{}, sedHourly{},
        pnHourly2{}, chbActiveTime{}, dtAfter{}, dtBefore{}, chbAutoDelete{}, cbWakeup{};
    // Tab "Sound"
    HWND chbSound{}, edPathSound{}, bOpenSound{}, lvSound{}, bPlay{}, bStop{}, rbRepeatSpec{}, sedRepeat{},
        rbRepeatClose{}, sedRepeatPause{}, chbCustVol{}, lbVolume{}, trbVolume{};
    // Tab "Actions"
    HWND chbActions{}, rbOpenDoc{}, rbShutdown{}, pnOpenApp{}, edFileName{}, bOpenFile{}, edParam{}, cbWinStyle{},
        bOpenVideoFile{}, bOpenMyMusicFile{}, pnShutdown{}, rbAcShutdown{}, rbAcRestart{}, rbAcStandby{},
        rbAcHibernate{}, rbAcLogon{}, rbAcMonitor{}, chbForceClose{};
    // Section headers
    TgradientPanel grpnMessage, grpnAlarm, grpnDateTime, grpnSound, grpnSoundSet, grpnActions, grpnAppDoc;

private:
    void MakeSoundImages();
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l) override;
    void OnInitDialog() override { FormCreate(); }
    bool TakesFocus() const override { return false; }
    // The tab pages hand their controls' messages to the form.
    static INT_PTR CALLBACK PageProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept;
    INT_PTR FormMessage(UINT m, WPARAM w, LPARAM l);
    void FormCreate();
    void FindControls();
    void MakeHeaders();
    void BuildIconMenu();
    void LayOut();
    void ShowTab(int index);
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(const NMHDR& nm) override;
    void ApplyEnabling();
    void SetEnabled(std::initializer_list<int> ids, HWND page, bool on);
    void bOKClick();
    void bDeleteClick();
    void bPlayClick();
    void bOpenSoundClick();
    void bOpenFileClick(const std::wstring& startFolder);
    void ShowIconMenu();
    void PressDropDown();
    void PlaceDropDown();   // under the icon
    int Message(const std::wstring& text, const std::wstring& caption, UINT flags);
    std::wstring SoundsFolder() const { return programDir_ + L"Sounds\\"; }
    void DrawIcon(const DRAWITEMSTRUCT& d);

    const INow& now_;
    std::wstring programDir_;   // ends with "\"
    IAlarmEditorHost& host_;
    IEditorDialogs& dialogs_;
    ISoundPreview& sound_;
    bool editingNewAlarm_ = false;
    int editedAlarmId_ = 0;
    int selectedAlarmIcon_ = kNewAlarmIcon;
    bool closed_ = true;
    bool inModal_ = false;
    AlarmIconList icons_;
    UniqueImageList soundImages_;   // the sound list's small picture
    UniqueMenu pmIcons_;
    std::vector<UniqueBitmap> menuBitmaps_;
    std::wstring shownSoundFolder_;
};

}  // namespace vt
