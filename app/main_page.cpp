#include "app/main_page.h"

#include "base/window.h"

#include <algorithm>

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
    case WM_CTLCOLORSTATIC: {
        const auto control = reinterpret_cast<HWND>(lp);
        std::optional<LabelLook> look = LabelStyle(control);
        if (!look && std::find(links_.begin(), links_.end(), control) != links_.end())
            look = LabelLook{RGB(0, 0, 255), GetSysColor(COLOR_BTNFACE)};
        if (!look) return FALSE;
        const auto dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, look->text);
        SetBkColor(dc, look->ground);
        UniqueBrush& ground = grounds_[look->ground];
        if (!ground) ground.reset(CreateSolidBrush(look->ground));
        return reinterpret_cast<INT_PTR>(ground.get());
    }
    case WM_SETCURSOR:
        if (std::find(links_.begin(), links_.end(), reinterpret_cast<HWND>(wp)) == links_.end()) return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE;
    case WM_TIMER: return OnTimer(wp) ? TRUE : FALSE;
    default: return FALSE;
    }
}

void TMainPage::MakeTitle(TgradientPanel& panel, int id, int box) {
    panel.Font.colour = clWhite;
    if (!panel.CreateTitle(GetDlgItem(hwnd_, id)) || !box) return;
    HWND check = GetDlgItem(hwnd_, box);
    SetWindowPos(check, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    panel.OnClick = [check] { SendMessageW(check, BM_CLICK, 0, 0); };
}

UniqueFont& TMainPage::FontVariant(bool underline, bool bold) {
    UniqueFont& font = underline ? underlined_ : bold_;
    if (!font) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        if (underline) lf.lfUnderline = TRUE;
        if (bold) lf.lfWeight = FW_BOLD;
        font.reset(CreateFontIndirectW(&lf));
    }
    return font;
}

void TMainPage::MakeLink(int id) {
    HWND link = GetDlgItem(hwnd_, id);
    links_.push_back(link);
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(FontVariant(true, false).get()), TRUE);
}

void TMainPage::MakeBold(int id) {
    SendMessageW(GetDlgItem(hwnd_, id), WM_SETFONT, reinterpret_cast<WPARAM>(FontVariant(false, true).get()), TRUE);
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
