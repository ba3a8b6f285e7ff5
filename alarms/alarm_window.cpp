#include "alarms/alarm_window.h"

#include <cmath>

#include <algorithm>

#include "base/window.h"
#include "resources/alarms_page_res.h"
#include "base/files.h"

namespace vt {

namespace {

constexpr UINT_PTR kOwnKeysSubclass = 1;

bool IsDialogKey(WPARAM key) { return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE; }

// Tab, Esc and Enter as the dialog manager answers them: the next control, IDCANCEL, the focused push
// button or else the default one.
void AnswerDialogKey(HWND control, WPARAM key) {
    HWND dialog = GetAncestor(control, GA_ROOT);
    if (key == VK_TAB) {
        SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0, FALSE);
        return;
    }
    HWND button = GetDlgItem(dialog, IDCANCEL);
    int id = IDCANCEL;
    if (key == VK_RETURN) {
        button = control;
        if (!(SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
            const LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
            button = HIWORD(def) == DC_HASDEFID ? GetDlgItem(dialog, LOWORD(def)) : nullptr;
        }
        if (!button || !IsWindowEnabled(button)) return;
        id = GetDlgCtrlID(button);
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// Every control of an alarm window answers Tab, Esc and Enter itself: the loop that delivers them may know
// nothing of the window (the alarm editor's, a message box's), and the message, an edit of many lines,
// would take Esc for the close box, leaving the sound playing.
LRESULT CALLBACK OwnKeysProc(HWND control, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    switch (m) {
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, OwnKeysProc, kOwnKeysSubclass);
        break;
    case WM_GETDLGCODE: {
        // A loop that runs the dialog manager leaves these keys to the control too: each is answered once.
        const auto* msg = reinterpret_cast<const MSG*>(l);
        const LRESULT code = DefSubclassProc(control, m, w, l);
        const bool key = msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && IsDialogKey(msg->wParam);
        return key ? code | DLGC_WANTMESSAGE : code;
    }
    case WM_KEYDOWN:
        if (IsDialogKey(w)) {
            OwnCodeScope running;   // the window a key closes goes once this has returned
            // The key's character, posted by the loop's translation, would end a menu the key opens.
            MSG typed;
            if (PeekMessageW(&typed, control, WM_CHAR, WM_CHAR, PM_NOREMOVE) && typed.wParam == w)
                PeekMessageW(&typed, control, WM_CHAR, WM_CHAR, PM_REMOVE);
            AnswerDialogKey(control, w);
            return 0;
        }
        break;
    case WM_CHAR:
        if (IsDialogKey(w)) return 0;   // answered as the key went down
        break;
    default:
        break;
    }
    return DefSubclassProc(control, m, w, l);
}

}  // namespace

void TAlarmWindows::CloseAll() {
    // Each window removes itself from the list when it is destroyed, which waits while code of it (its
    // menu, its editor) still runs; the list lets go of them all now.
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

TfrmOnAlarm::TfrmOnAlarm(const AlarmWindowDeps& deps, IAlarmEditing& editing, IAlarmWindowMessages& messages,
                         TAlarmWindows& list, const AlarmWindowRequest& request)
    : deps_(deps),
      editing_(editing),
      messages_(messages),
      list_(list),
      tag_(request.Tag),
      icon_(request.Icon),
      aheadOfAlarm_(request.AheadOfAlarm) {}

TfrmOnAlarm::~TfrmOnAlarm() = default;

namespace {

// The snooze button's glyph: a small clock face, 16 x 16, on the button's own face. The button keys out
// the colour of the bottom-left pixel, so the corners are magenta, a colour the face never uses (black
// there would take the hands with it).
Picture ReminderGlyph() {
    Picture p;
    p.width = p.height = 16;
    p.pixels.assign(256, Bgra{255, 0, 255, 0});
    auto put = [&](int x, int y, Bgra c) {
        if (x >= 0 && y >= 0 && x < 16 && y < 16) p.pixels[static_cast<size_t>(y) * 16 + x] = c;
    };
    const Bgra rim{40, 40, 160, 255}, face{255, 255, 255, 255}, hand{0, 0, 0, 255};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const double d = std::hypot(x - 7.5, y - 7.5);
            if (d <= 7.5) put(x, y, d > 6.0 ? rim : face);
        }
    for (int y = 3; y <= 8; ++y) put(7, y, hand);   // the minute hand up to twelve
    for (int x = 8; x <= 10; ++x) put(x, 8, hand);  // the hour hand towards three
    return p;
}

// The edit picture: a pencil over a sheet, pressed one pixel down and right.
void DrawEditPicture(HDC dc, const RECT& rc, bool pressed) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    const int o = pressed ? 1 : 0;
    const int x = rc.left + (rc.right - rc.left - 16) / 2 + o, y = rc.top + (rc.bottom - rc.top - 16) / 2 + o;
    RECT sheet{x + 1, y + 1, x + 12, y + 15};
    FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &sheet, GetSysColorBrush(COLOR_BTNSHADOW));
    UniqueBrush wood(CreateSolidBrush(RGB(230, 160, 40)));
    UniquePen edge(CreatePen(PS_SOLID, 1, RGB(120, 70, 10)));
    SelectGuard keepBrush(dc, wood.get());
    SelectGuard keepPen(dc, edge.get());
    const POINT pencil[] = {{x + 6, y + 13}, {x + 7, y + 10}, {x + 14, y + 3}, {x + 16, y + 5}, {x + 9, y + 12}};
    Polygon(dc, pencil, 5);
}

}  // namespace

TfrmOnAlarm* TfrmOnAlarm::Open(const AlarmWindowDeps& deps, IAlarmEditing& editing, IAlarmWindowMessages& messages,
                               TAlarmWindows& list, const AlarmWindowRequest& request) {
    auto* w = new TfrmOnAlarm(deps, editing, messages, list, request);
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
    // The owner-drawn snooze button takes the place of the template's placeholder.
    HWND place = GetDlgItem(hwnd_, IDC_BREMIND);
    RECT r{};
    GetWindowRect(place, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    bRemind_.SetLayout(blGlyphRight);
    bRemind_.SetGlyph(ReminderGlyph());
    bRemind_.SetPopupMenu(pmReminder_.get());
    bRemind_.OnMenuCommand = [this](UINT command) {
        if (command >= IDM_REMIND_FIRST) ChooseReminder(command - IDM_REMIND_FIRST);
    };
    bRemind_.Create(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, IDC_BREMIND);
    // In the placeholder's place in the tab order, too.
    SetWindowPos(bRemind_.hwnd(), place, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(place);
    SendMessageW(bRemind_.hwnd(), WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        SetWindowSubclass(c, OwnKeysProc, kOwnKeysSubclass, 0);
    hints_.Attach(hwnd_);
    hints_.Set(GetDlgItem(hwnd_, IDC_IMGEDIT), L"Edit alarm");
    // FormShow
    SetDlgItemTextW(hwnd_, IDC_BREMIND, L"Remind again in none");
    SetDlgItemTextW(hwnd_, IDOK, L"OK");
}

void TfrmOnAlarm::OnCommand(int id, int code, HWND) {
    if (id >= IDM_REMIND_FIRST && id < IDM_REMIND_FIRST + static_cast<int>(kReminderIntervals.size())) {
        ChooseReminder(static_cast<size_t>(id - IDM_REMIND_FIRST));
    } else if (id == IDOK || id == IDCANCEL) {   // IDCANCEL: the Esc key
        bOKClick();
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
    } else if (item.CtlID == IDC_IMGEDIT) {
        DrawEditPicture(dc, rc, (item.itemState & ODS_SELECTED) != 0);
    } else if (item.CtlID == IDC_IMGICO) {
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (deps_.icons) ImageList_Draw(deps_.icons, icon_, dc, rc.left, rc.top, ILD_TRANSPARENT);
    }
}

std::wstring TfrmOnAlarm::RemindCaption() const { return TextOf(GetDlgItem(hwnd_, IDC_BREMIND)); }
std::wstring TfrmOnAlarm::OkCaption() const { return TextOf(GetDlgItem(hwnd_, IDOK)); }
std::wstring TfrmOnAlarm::MessageText() const { return TextOf(GetDlgItem(hwnd_, IDC_MMMESSAGE)); }

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
    if (tag_ != 0 && !aheadOfAlarm_) {
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
    if (tag_ == 0) return;
    if (editing_.AlarmEditorVisible()) {
        messages_.AlarmWindowMessage(hwnd_, L"Please, close alarm dialog.", L"Information", MB_ICONINFORMATION);
        return;
    }
    ShowWindow(hwnd_, SW_HIDE);
    editing_.EditAlarm(false, tag_);
    Close();
}

void TfrmOnAlarm::Close() {
    if (closing_ || !hwnd_) return;
    closing_ = true;
    // Out of sight at once: the loop of the editor or of a message box may hold the destruction back.
    ShowWindow(hwnd_, SW_HIDE);
    // WM_NCDESTROY takes it off the list and frees it, once no code of the window runs any more: this
    // may be its own button's menu or the editor it opened.
    DestroyWindowWhenUnwound(hwnd_);
}

}  // namespace vt
