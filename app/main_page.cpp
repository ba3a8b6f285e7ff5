#include "app/main_page.h"

#include "base/window.h"

namespace vt {

HWND TMainPage::Create(HWND parent) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent, Proc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK TMainPage::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_INITDIALOG) {
        auto* page = reinterpret_cast<TMainPage*>(lp);
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        page->hwnd_ = dlg;
        Guarded([&] { page->Init(); });
        return TRUE;
    }
    auto* self = reinterpret_cast<TMainPage*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!self) return FALSE;
    switch (msg) {
    case WM_NCDESTROY:
        SetWindowLongPtrW(dlg, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    case WM_COMMAND:
        // Esc in a page is the dialog's own: it hides the dialog.
        if (LOWORD(wp) == IDCANCEL) {
            SendMessageW(GetParent(dlg), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            return TRUE;
        }
        if (!self->dialog_.Loading())
            Guarded([&] { self->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); });
        return TRUE;
    case WM_NOTIFY:
        if (!self->dialog_.Loading()) Guarded([&] { self->OnNotify(reinterpret_cast<NMHDR*>(lp)); });
        return TRUE;
    case WM_DRAWITEM: {
        bool drawn = false;
        Guarded([&] { drawn = self->OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp)); });
        return drawn ? TRUE : FALSE;
    }
    case WM_TIMER: {
        bool handled = false;
        Guarded([&] { handled = self->OnTimer(wp); });
        return handled ? TRUE : FALSE;
    }
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
