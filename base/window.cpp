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

}  // namespace vt
