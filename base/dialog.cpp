// The dialog base apart from the window helpers: the host links those but makes no dialog, and the
// common controls this file brings in would cost it 1.7 MB.
#include "base/window.h"

#include <commctrl.h>

namespace vt {

HWND Dialog::CreateModeless(HWND parent, int templateId, DWORD commonControls) {
    if (commonControls) {
        INITCOMMONCONTROLSEX icc{sizeof icc, commonControls | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, Proc,
                              reinterpret_cast<LPARAM>(this));
}

UINT ReflectedCommandMessage() {
    static const UINT message = RegisterWindowMessageW(L"Vantoric.ReflectedCommand");
    return message;
}

UINT DialogKeyMessage() {
    static const UINT message = RegisterWindowMessageW(L"Vantoric.DialogKey");
    return message;
}

namespace {

BOOL CALLBACK OfferEscape(HWND child, LPARAM p) {
    bool& took = *reinterpret_cast<bool*>(p);
    took = SendMessageW(child, DialogKeyMessage(), VK_ESCAPE, 0) != 0;
    return !took;
}

// A command of the dialog's own control goes back to it first; Esc without a Cancel control goes to every
// control. True when one of them took it.
bool OfferedToControls(HWND dialog, WPARAM w, LPARAM l) {
    HWND control = reinterpret_cast<HWND>(l);
    if (control) return IsChild(dialog, control) && SendMessageW(control, ReflectedCommandMessage(), w, l) != 0;
    if (LOWORD(w) != IDCANCEL || HIWORD(w) != BN_CLICKED) return false;
    bool taken = false;
    EnumChildWindows(dialog, OfferEscape, reinterpret_cast<LPARAM>(&taken));
    return taken;
}

}  // namespace

INT_PTR CALLBACK Dialog::Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    OwnCodeScope running;   // a destruction asked for meanwhile waits until this has returned
    if (m == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(l);
        SetWindowLongPtrW(h, DWLP_USER, l);
        self->hwnd_ = h;
        Guarded([&] {
            self->Attached();
            self->OnInitDialog();
        });
        return self->TakesFocus() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(h, DWLP_USER));
    if (!self) return FALSE;
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrW(h, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        Guarded([&] { self->Detached(); });
        return FALSE;
    }
    INT_PTR result = FALSE;
    if (m == WM_COMMAND) {
        if (OfferedToControls(h, w, l)) return TRUE;
        Guarded([&] { self->OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l)); });
        return TRUE;
    }
    if (m == WM_NOTIFY) {
        Guarded([&] { result = self->OnNotify(*reinterpret_cast<const NMHDR*>(l)); });
        SetWindowLongPtrW(h, DWLP_MSGRESULT, result);
        return TRUE;
    }
    Guarded([&] { result = self->OnMessage(m, w, l); });
    return result;
}

}  // namespace vt
