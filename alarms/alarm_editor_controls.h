// What the alarm editor's two files share: its layout constants, the control groups and the small
// control helpers.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "alarms/alarm_editor_model.h"
#include "base/now.h"
#include "base/text.h"
#include "base/window.h"
#include "controls/system_colours.h"
#include "resources/alarm_editor_res.h"

namespace vt::alarm_editor {
constexpr int kClientWidth = 528;
constexpr int kClientHeight = 322;
constexpr int kIconSize = 32;
constexpr int kDefinedIconItems = 33;   // the menu always offers these, icons or not
constexpr int kIconMenuColumn = 11;

// Schedule panels by EditorKind (1..7): their marker ids; a panel's controls follow the marker.
constexpr int kPanelOf[kEditorKindCount + 1] = {0,          IDC_PNONCE,   IDC_PNDAILY,   IDC_PNWEEKLY,
                                                IDC_PNMONTHLY, IDC_PNANNUALY, IDC_PNREGULAR, IDC_PNHOURLY};
constexpr int kPanelSpan = 10;
constexpr int kKindButtons[kEditorKindCount + 1] = {0,          IDC_RBONCE,    IDC_RBDAILY,   IDC_RBWEEKLY,
                                                    IDC_RBMONTHLY, IDC_RBANNUALY, IDC_RBREGULAR, IDC_RBHOURLY};
constexpr int kWeekdayBoxes[7] = {IDC_CHBSUN, IDC_CHBMON, IDC_CHBTUE, IDC_CHBWED, IDC_CHBTHU, IDC_CHBFRI, IDC_CHBSAT};
constexpr int kActionButtons[6] = {IDC_RBACSHUTDOWN, IDC_RBACRESTART, IDC_RBACSTANDBY,
                                   IDC_RBACHIBERNATE, IDC_RBACLOGON, IDC_RBACMONITOR};

inline void SetText(HWND h, const std::wstring& text) {
    if (h && TextOf(h) != text) SetWindowTextW(h, text.c_str());
}
inline bool Checked(HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }
inline void Check(HWND h, bool on) { SendMessageW(h, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
inline int Selected(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
inline void Select(HWND combo, int index) { SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
inline void AddItem(HWND combo, std::wstring_view text) {
    const std::wstring s(text);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

inline int SpinValue(HWND edit, int low, int high) {
    return std::clamp(StrToIntDef(Trim(TextOf(edit)), low), low, high);
}
inline void SetSpin(HWND edit, int value) { SetText(edit, std::to_wstring(value)); }

inline TDateTime PickerValue(HWND picker) {
    SYSTEMTIME st{};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return 0;
    return SystemTimeToDateTime(st);
}
inline void SetPicker(HWND picker, TDateTime value) {
    SYSTEMTIME st = DateTimeToSystemTime(value);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

}  // namespace vt::alarm_editor
