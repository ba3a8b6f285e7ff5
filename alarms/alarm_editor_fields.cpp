// The alarm editor's values: from the controls into the model's fields and back.
#include "alarms/alarm_editor.h"
#include "alarms/alarm_editor_controls.h"

namespace vt {

using namespace alarm_editor;

AlarmEditorFields TfrmAlarm::ControlsToFields() const {
    AlarmEditorFields f;
    f.alarmOn = Checked(chbAlarm);
    f.messageOn = Checked(chbMessage);
    f.category = std::max(0, Selected(cbAlarmsCategory));
    f.icon = selectedAlarmIcon_;
    f.message = TextOf(mmMessage);
    f.reminder = Checked(chbReminder);
    f.reminderIndex = Selected(cbReminder);
    f.kind = EditorKind::Once;
    for (int k = 1; k <= kEditorKindCount; ++k)
        if (IsDlgButtonChecked(TabSheet1, kKindButtons[k]) == BST_CHECKED) f.kind = static_cast<EditorKind>(k);
    f.time = FracOf(PickerValue(dtTime));
    f.onceDate = PickerValue(dtOnceDate);
    for (int i = 0; i < 7; ++i) f.weekdays[static_cast<size_t>(i)] = IsDlgButtonChecked(TabSheet1, kWeekdayBoxes[i]) == BST_CHECKED;
    f.weeklyIndex = Selected(cbWeekly);
    f.monthlyDay = SpinValue(sedMonthly, 1, 31);
    f.annualDay = SpinValue(sedAnnualy, 1, 31);
    f.annualMonthIndex = Selected(cbAnnualy);
    f.regularMinutes = SpinValue(sedRegular, 1, kMaxRegularMinutes);
    f.regularStart = PickerValue(dtRegular);
    f.hourlyMinute = SpinValue(sedHourly, 0, 59);
    f.activeTime = Checked(chbActiveTime);
    f.after = FracOf(PickerValue(dtAfter));
    f.before = FracOf(PickerValue(dtBefore));
    f.autoDelete = Checked(chbAutoDelete);
    f.wakeup = Checked(cbWakeup);
    f.soundOn = Checked(chbSound);
    f.soundFolder = TextOf(edPathSound);
    const int sel = ListView_GetNextItem(lvSound, -1, LVNI_SELECTED);
    if (sel >= 0) {
        wchar_t name[MAX_PATH * 2] = L"";
        ListView_GetItemText(lvSound, sel, 0, name, MAX_PATH * 2);
        f.sound = name;
    }
    f.repeatUntilClosed = Checked(rbRepeatClose);
    f.repeatTimes = SpinValue(sedRepeat, 1, kMaxRepeat);
    f.repeatPause = SpinValue(sedRepeatPause, 0, kMaxRepeatPause);
    f.customVolume = Checked(chbCustVol);
    f.volume = static_cast<int>(SendMessageW(trbVolume, TBM_GETPOS, 0, 0));
    f.actionsOn = Checked(chbActions);
    f.openDoc = !Checked(rbShutdown);
    f.fileName = TextOf(edFileName);
    f.params = TextOf(edParam);
    f.windowStyle = std::max(0, Selected(cbWinStyle));
    f.action = -1;
    for (int i = 0; i < 6; ++i)
        if (IsDlgButtonChecked(TabSheet3, kActionButtons[i]) == BST_CHECKED) f.action = i;
    f.forceClose = Checked(chbForceClose);
    return f;
}


void TfrmAlarm::FieldsToControls(const AlarmEditorFields& f) {
    const TDateTime today = DateOf(now_.Now());
    Check(chbAlarm, f.alarmOn);
    Check(chbMessage, f.messageOn);
    Select(cbAlarmsCategory, f.category);
    SelectIcon(f.icon);
    SetText(mmMessage, f.message);
    Check(chbReminder, f.reminder);
    Select(cbReminder, f.reminderIndex);   // -1 clears the list's text
    CheckRadioButton(TabSheet1, IDC_RBONCE, IDC_RBREGULAR, kKindButtons[static_cast<int>(f.kind)]);
    SetPicker(dtTime, today + FracOf(f.time));
    SetPicker(dtOnceDate, DateOf(f.onceDate) + FracOf(f.time));
    for (int i = 0; i < 7; ++i) CheckDlgButton(TabSheet1, kWeekdayBoxes[i], f.weekdays[static_cast<size_t>(i)] ? BST_CHECKED : BST_UNCHECKED);
    Select(cbWeekly, f.weeklyIndex);
    SetSpin(sedMonthly, f.monthlyDay);
    SetSpin(sedAnnualy, f.annualDay);
    Select(cbAnnualy, f.annualMonthIndex);
    SetSpin(sedRegular, f.regularMinutes);
    SetPicker(dtRegular, f.regularStart);
    SetSpin(sedHourly, f.hourlyMinute);
    Check(chbActiveTime, f.activeTime);
    SetPicker(dtAfter, today + FracOf(f.after));
    SetPicker(dtBefore, today + FracOf(f.before));
    Check(chbAutoDelete, f.autoDelete);
    Check(cbWakeup, f.wakeup);
    Check(chbSound, f.soundOn);
    SetText(edPathSound, f.soundFolder);
    if (f.soundFolder != shownSoundFolder_ || ListView_GetItemCount(lvSound) == 0) ReloadSoundList(f.soundFolder);
    ListView_SetItemState(lvSound, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!f.sound.empty()) {
        const int count = ListView_GetItemCount(lvSound);
        for (int i = 0; i < count; ++i) {
            wchar_t name[MAX_PATH * 2] = L"";
            ListView_GetItemText(lvSound, i, 0, name, MAX_PATH * 2);
            if (f.sound == name) {
                ListView_SetItemState(lvSound, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(lvSound, i, FALSE);
            }
        }
    }
    CheckRadioButton(TabSheet2, IDC_RBREPEATSPEC, IDC_RBREPEATCLOSE, f.repeatUntilClosed ? IDC_RBREPEATCLOSE : IDC_RBREPEATSPEC);
    SetSpin(sedRepeat, f.repeatTimes);
    SetSpin(sedRepeatPause, f.repeatPause);
    Check(chbCustVol, f.customVolume);
    SendMessageW(trbVolume, TBM_SETPOS, TRUE, f.volume);
    Check(chbActions, f.actionsOn);
    CheckRadioButton(TabSheet3, IDC_RBOPENDOC, IDC_RBSHUTDOWN, f.openDoc ? IDC_RBOPENDOC : IDC_RBSHUTDOWN);
    SetText(edFileName, f.fileName);
    SetText(edParam, f.params);
    Select(cbWinStyle, f.windowStyle);
    for (int i = 0; i < 6; ++i) CheckDlgButton(TabSheet3, kActionButtons[i], i == f.action ? BST_CHECKED : BST_UNCHECKED);
    Check(chbForceClose, f.forceClose);
    ApplyEnabling();
}

}  // namespace vt
