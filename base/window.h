// Base of the program's windows: keeps `this` with the window and turns messages into member calls.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

namespace vt {

// The standard exception display: a message box with the exception's text; the program goes on.
void ShowException(const std::exception& e) noexcept;
void ShowException(const wchar_t* text) noexcept;
// A window's whole text (an edit's contents, a control's caption).
std::wstring TextOf(HWND window);

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
    // The modeless dialog of template `templateId`; null when it cannot be made.
    HWND CreateModeless(HWND parent, int templateId);
    virtual INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l) = 0;
    virtual void Attached() {}   // hwnd_ is set, before WM_INITDIALOG reaches OnMessage
    virtual void Detached() {}

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept;
};

}  // namespace vt
