// Base of the program's windows: keeps `this` with the window and turns messages into member calls.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

#include "base/unwind.h"

namespace vt {

// The standard exception display: a message box with the exception's text; the program goes on.
void ShowException(const std::exception& e) noexcept;
void ShowException(const wchar_t* text) noexcept;
// Registers a window class of this program with the arrow cursor; true when the class exists afterwards
// (also when an earlier call registered it).
bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, UINT style = 0, HBRUSH background = nullptr,
                         HICON icon = nullptr, const wchar_t* menu = nullptr);

// The paint messages of a window that paints itself whole: no erasing, WM_PAINT and WM_PRINTCLIENT both
// through `paint(dc)`. True (with `result`) when `m` was one of them.
template <class Paint>
bool PaintMessages(HWND hwnd, UINT m, WPARAM w, Paint&& paint, LRESULT& result) {
    switch (m) {
    case WM_ERASEBKGND: result = 1; return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(hwnd, &ps)) {
            paint(dc);
            EndPaint(hwnd, &ps);
        }
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(w));
        result = 0;
        return true;
    default: return false;
    }
}

// A window's whole text (an edit's contents, a control's caption).
std::wstring TextOf(HWND window);

// A length given for a 96-dpi screen, in the pixels of the screen this process sees (dialog units
// grow with the screen's font; sizes set in pixels must grow with them).
int ScaledToScreen(int pixels);

// What a dialog offers its own controls before it handles a command itself (the toolkit's reflected
// notifications). A control that takes the offer answers nonzero and the dialog does nothing more.
// ReflectedCommandMessage: a WM_COMMAND the control sent, with the same wParam and lParam, back to that
// control (a button's "clicked", also what the dialog manager sends for Enter on the default button).
// DialogKeyMessage: Esc that the dialog manager turned into IDCANCEL with no control of that id, to every
// control (wParam VK_ESCAPE), so a button set to cancel the form can answer it.
UINT ReflectedCommandMessage();
UINT DialogKeyMessage();

// Tests replace the message box with a recorder.
using ExceptionSink = void (*)(const wchar_t* text);
ExceptionSink SetExceptionSink(ExceptionSink sink) noexcept;

// Runs f, showing any exception instead of letting it cross a Win32 or thread boundary.
template <class F>
void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(L"Unknown error");
    }
}

template <class Derived>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() {
        if (hwnd_) {
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }
    HWND hwnd() const { return hwnd_; }

protected:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
        OwnCodeScope running;   // a destruction asked for meanwhile waits until this has returned
        if (m == WM_NCCREATE) {
            auto* self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
            self->hwnd_ = h;
            SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (!self) return DefWindowProcW(h, m, w, l);
        if (m == WM_NCDESTROY) {
            SetWindowLongPtrW(h, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            return DefWindowProcW(h, m, w, l);
        }
        try {
            return self->OnMessage(m, w, l);
        } catch (const std::exception& e) {
            ShowException(e);
        } catch (...) {
            ShowException(L"Unknown error");
        }
        return 0;
    }
    LRESULT Default(UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(hwnd_, m, w, l); }

    HWND hwnd_{};
};

// The dialog counterpart of Window: dialogs made from a template of this program. `this` travels as
// WM_INITDIALOG's lParam; the dialog's messages come to OnMessage (an exception is shown, never let
// through); Detached runs after the window is gone and may delete the object.
class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;
    HWND hwnd() const { return hwnd_; }

protected:
    // The modeless dialog of template `templateId`, the common controls it names (ICC_*) loaded first;
    // null when it cannot be made.
    HWND CreateModeless(HWND parent, int templateId, DWORD commonControls = 0);
    // Every message but WM_INITDIALOG, WM_COMMAND and WM_NOTIFY; FALSE leaves it to the dialog manager.
    virtual INT_PTR OnMessage(UINT, WPARAM, LPARAM) { return FALSE; }
    // WM_COMMAND and WM_NOTIFY; OnNotify's answer is the dialog's message result.
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual LRESULT OnNotify(const NMHDR& /*nm*/) { return 0; }
    // WM_INITDIALOG: the controls exist. A page inside another dialog leaves the focus where it is.
    virtual void OnInitDialog() {}
    virtual bool TakesFocus() const { return true; }
    virtual void Attached() {}   // hwnd_ is set, before WM_INITDIALOG reaches OnMessage
    virtual void Detached() {}

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept;
};

}  // namespace vt
