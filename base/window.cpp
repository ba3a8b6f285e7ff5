#include "base/window.h"

#include <commctrl.h>

#include "base/late_library.h"
#include "base/text.h"

namespace vt {

namespace {
void MessageBoxSink(const wchar_t* text) { MessageBoxW(nullptr, text, L"Vantoric", MB_OK | MB_ICONERROR | MB_TASKMODAL); }
ExceptionSink g_sink = MessageBoxSink;
}  // namespace

ExceptionSink SetExceptionSink(ExceptionSink sink) noexcept {
    ExceptionSink old = g_sink;
    g_sink = sink ? sink : MessageBoxSink;
    return old;
}

void ShowException(const wchar_t* text) noexcept { g_sink(text); }

void ShowException(const std::exception& e) noexcept {
    try {
        ShowException(Widen(e.what()).c_str());
    } catch (...) {
        ShowException(L"Out of memory");
    }
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background, HICON icon,
                         const wchar_t* menu) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszMenuName = menu;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int ScaledToScreen(int pixels) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return MulDiv(pixels, dpi, 96);
}

std::wstring TextOf(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(window, s.data(), n + 1)));
    return s;
}

HWND Dialog::CreateModeless(HWND parent, int templateId, DWORD commonControls) {
    if (commonControls) {
        // Late: the host links this file but makes no common control, and the library costs it 1.7 MB.
        static const auto init = LateFunction<decltype(&InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
        INITCOMMONCONTROLSEX icc{sizeof icc, commonControls | ICC_STANDARD_CLASSES};
        if (init) init(&icc);
    }
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, Proc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Dialog::Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
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
