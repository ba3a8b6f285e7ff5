#include "alarms/alarm_window.h"

#include <algorithm>

#include "base/window.h"
#include "resources/alarms_page_res.h"
#include "base/files.h"

namespace vt {

namespace {
}  // namespace

void TAlarmWindows::CloseAll() {
    // Each window removes itself from the list while it is destroyed; one busy closing already
    // (its editor still open) is only let go of.
    auto open = items_;
    for (TfrmOnAlarm* w : open) w->Close();
    items_.clear();
}

bool TAlarmWindows::PreTranslate(MSG& msg) const {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    for (TfrmOnAlarm* w : items_)
        if (w->hwnd() == root) return IsDialogMessageW(root, &msg) != FALSE;
    return false;
}

TfrmOnAlarm::TfrmOnAlarm(const AlarmWindowDeps& deps, TAlarmWindows& list, int tag, int icon)
    : deps_(deps), list_(list), tag_(tag), icon_(icon) {}

TfrmOnAlarm::~TfrmOnAlarm() = default;

TfrmOnAlarm* TfrmOnAlarm::Open(const AlarmWindowDeps& deps, TAlarmWindows& list, const AlarmWindowRequest& request) {
    auto* w = new TfrmOnAlarm(deps, list, request.Tag, request.Icon);
    w->prevForegroundWnd_ = GetForegroundWindow();
    // No owner: each alarm window stands by itself on the taskbar.
    if (!w->CreateModeless(nullptr, IDD_ONALARM)) {
        delete w;
        return nullptr;
    }
    list.items_.push_back(w);
    SetDlgItemTextW(w->hwnd_, IDC_MMMESSAGE, request.Message.c_str());
    SetWindowTextW(w->hwnd_, request.Message.c_str());
    ShowWindow(w->hwnd_, SW_SHOW);
    SetForegroundWindow(w->hwnd_);
    return w;
}

void TfrmOnAlarm::Detached() {
    // The window owns this object: its list entry and the object go with it.
    auto& items = list_.items_;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    delete this;
}

void TfrmOnAlarm::OnInitDialog() {
    pmReminder_.reset(CreatePopupMenu());
    for (size_t row = 0; row < kReminderIntervals.size(); ++row) {
        UINT flags = MF_STRING | (row == kFirstHourRow ? MF_MENUBARBREAK : 0);
        std::wstring caption(kReminderIntervals[row].caption);
        AppendMenuW(pmReminder_.get(), flags, IDM_REMIND_FIRST + row, caption.c_str());
    }
    SetMenuDefaultItem(pmReminder_.get(), IDM_REMIND_FIRST, FALSE);
    // FormShow
    SetDlgItemTextW(hwnd_, IDC_BREMIND, L"Remind again in none");
    SetDlgItemTextW(hwnd_, IDOK, L"OK");
}

void TfrmOnAlarm::OnCommand(int id, int code, HWND) {
    if (id >= IDM_REMIND_FIRST && id < IDM_REMIND_FIRST + static_cast<int>(kReminderIntervals.size())) {
        ChooseReminder(static_cast<size_t>(id - IDM_REMIND_FIRST));
    } else if (id == IDOK || id == IDCANCEL) {   // IDCANCEL: the Esc key
        bOKClick();
    } else if (id == IDC_BREMIND && code == BN_CLICKED) {
        ShowReminderMenu();
    } else if (id == IDC_IMGEDIT && code == BN_CLICKED) {
        imgEditClick();
    }
}

INT_PTR TfrmOnAlarm::OnMessage(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_CLOSE:   // the title bar's close box
        Close();
        return TRUE;
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(l) != GetDlgItem(hwnd_, IDC_MMMESSAGE)) return FALSE;
        SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    default:
        return FALSE;
    }
}

void TfrmOnAlarm::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& rc = item.rcItem;
    if (item.CtlID == IDC_SHPMESSAGE) {
        // The rounded rectangle in the window colour behind the icon and the message.
        HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
        SelectGuard keepBrush(dc, brush);
        SelectGuard keepPen(dc, GetStockObject(NULL_PEN));
        RoundRect(dc, rc.left, rc.top, rc.right + 1, rc.bottom + 1, 12, 12);
    } else if (item.CtlID == IDC_IMGICO) {
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (deps_.icons) ImageList_Draw(deps_.icons, icon_, dc, rc.left, rc.top, ILD_TRANSPARENT);
    }
}

std::wstring TfrmOnAlarm::RemindCaption() const { return TextOf(GetDlgItem(hwnd_, IDC_BREMIND)); }
std::wstring TfrmOnAlarm::OkCaption() const { return TextOf(GetDlgItem(hwnd_, IDOK)); }
std::wstring TfrmOnAlarm::MessageText() const { return TextOf(GetDlgItem(hwnd_, IDC_MMMESSAGE)); }

void TfrmOnAlarm::ShowReminderMenu() {
    RECT rc;
    GetWindowRect(GetDlgItem(hwnd_, IDC_BREMIND), &rc);
    TrackPopupMenu(pmReminder_.get(), TPM_LEFTALIGN | TPM_TOPALIGN, rc.left, rc.bottom, 0, hwnd_, nullptr);
}

void TfrmOnAlarm::ChooseReminder(size_t row) {
    if (row >= kReminderIntervals.size()) return;
    const ReminderInterval& r = kReminderIntervals[row];
    SetDlgItemTextW(hwnd_, IDC_BREMIND, (L"Remind again in " + std::wstring(r.caption)).c_str());
    SetDlgItemTextW(hwnd_, IDOK, r.minutes ? L"Postpone" : L"OK");
    // Id 0 (the test window) writes nothing.
    deps_.alarms->Snooze(tag_, r.minutes, r.minutes == 0);
}

void TfrmOnAlarm::bOKClick() {
    // One player serves every alarm window: this stops whatever alarm sound plays.
    if (deps_.sound) deps_.sound->StopAlarmSound();
    if (deps_.volume) deps_.volume->RestoreVolume();
    if (tag_ != 0) {
        TAlRecord alarm = deps_.alarms->ReadAlarm(tag_);
        // A pending reminder keeps the alarm; a deleted alarm reads as defaults and matches nothing.
        if (alarm.id == tag_ && alarm.RDateTime == 0 && alarm.AutoDelete &&
            alarm.Type == AlarmTypeName(TAlarmKind::akOnce)) {
            deps_.alarms->DeleteAlarm(tag_);
            deps_.alarms->Refresh();
        }
    }
    HWND previous = prevForegroundWnd_;
    Close();
    if (previous && IsWindow(previous)) SetForegroundWindow(previous);
}

void TfrmOnAlarm::imgEditClick() {
    if (tag_ == 0 || !deps_.editAlarm) return;
    if (deps_.editorVisible && deps_.editorVisible()) {
        ShowMessageBox(L"Please, close alarm dialog.", L"Information", MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowWindow(hwnd_, SW_HIDE);
    deps_.editAlarm(false, tag_);
    Close();
}

void TfrmOnAlarm::Close() {
    if (closing_ || !hwnd_) return;
    closing_ = true;
    DestroyWindow(hwnd_);   // WM_NCDESTROY takes it off the list and frees it
}

void TfrmOnAlarm::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    if (deps_.messageBox) deps_.messageBox(hwnd_, text, caption, flags);
    else MessageBoxW(hwnd_, text.c_str(), caption.c_str(), flags);
}

}  // namespace vt
