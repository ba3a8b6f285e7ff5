#include "base/window.h"

#include <commctrl.h>

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

}  // namespace vt
