#include "base/window.h"

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

std::wstring TextOf(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(window, s.data(), n + 1)));
    return s;
}

}  // namespace vt
