#include "app/main_page.h"

#include "base/window.h"

namespace vt {

void TMainPage::OnCommand(int id, int code, HWND control) {
    // Esc in a page is the dialog's own: it hides the dialog.
    if (id == IDCANCEL) SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    else if (!dialog_.Loading()) OnPageCommand(id, code, control);
}

LRESULT TMainPage::OnNotify(const NMHDR& nm) {
    if (!dialog_.Loading()) OnPageNotify(nm);
    return 0;
}

INT_PTR TMainPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE;
    case WM_TIMER: return OnTimer(wp) ? TRUE : FALSE;
    default: return FALSE;
    }
}

std::wstring TMainPage::Text(int id) const { return TextOf(GetDlgItem(hwnd_, id)); }

void TMainPage::SetTextIfChanged(int id, const std::wstring& text) {
    if (Text(id) != text) SetDlgItemTextW(hwnd_, id, text.c_str());
}

int TMainPage::Selection(int id, int fallback) const {
    const auto v = static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0));
    return v < 0 ? fallback : v;
}

void TMainPage::Select(int id, int index) { SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void TMainPage::FillCombo(int id, const wchar_t* const* items, std::size_t count) {
    HWND combo = GetDlgItem(hwnd_, id);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < count; ++i) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

}  // namespace vt
