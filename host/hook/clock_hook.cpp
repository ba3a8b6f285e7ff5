// Runs in two processes: the host calls the entry points; the shell's taskbar thread runs the hook and the
// replaced clock window procedure. Per-window state lives in window properties of the clock window.
#include "host/hook/clock_hook.h"

#include <uxtheme.h>

#include <cstring>

#include "base/handles.h"
#include "clock/tray_protocol.h"
#include "base/dib.h"

namespace {

HINSTANCE g_module = nullptr;
HHOOK g_hook = nullptr;   // host side

constexpr wchar_t kOldProcProp[] = L"Quellix-OldProc";
constexpr wchar_t kComponentProp[] = L"Quellix-Component";
constexpr wchar_t kHostProp[] = L"Quellix-Host";
constexpr LRESULT kTakenAnswer = 0x51C0;
constexpr UINT kTimeoutMs = 3000;
constexpr DWORD kHoverTimeMs = 1000;

UINT TakeMessage() { return RegisterWindowMessageW(L"Quellix-TakeClock"); }
UINT TakenMessage() { return RegisterWindowMessageW(L"Quellix-ClockTaken"); }
UINT ReleaseMessage() { return RegisterWindowMessageW(L"Quellix-ReleaseClock"); }
UINT QuitMessage() { return RegisterWindowMessageW(vt::kHostQuitMessage); }

// Shell side: one clock window per shell process.
struct ShellSide {
    vt::UniqueHandle mapping;
    SIZE answered{};
    bool published = false;
    bool tracking = false;
    void Reset() {
        mapping.reset();
        answered = {};
        published = tracking = false;
    }
} g_shell;

HWND Component(HWND clock) { return static_cast<HWND>(GetPropW(clock, kComponentProp)); }

bool Forward(HWND clock, LPARAM code, LRESULT* answer = nullptr) {
    HWND component = Component(clock);
    if (!component) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(component, vt::WM_TRAYCLOCKFORWARD, reinterpret_cast<WPARAM>(clock), code,
                             SMTO_ABORTIFHUNG | SMTO_NORMAL, kTimeoutMs, &result)) {
        if (!IsWindow(component)) RemovePropW(clock, kComponentProp);
        return false;
    }
    if (answer) *answer = static_cast<LRESULT>(result);
    return true;
}

// The taskbar's own background under the clock, as the parent draws it, into "Quellix-SharedData".
void Publish(HWND clock) {
    RECT client{};
    GetClientRect(clock, &client);
    SIZE size = g_shell.answered.cx > 0 && g_shell.answered.cy > 0 ? g_shell.answered : SIZE{client.right, client.bottom};
    vt::UniqueView view = vt::PublishBackgroundView(g_shell.mapping, size);
    if (!view) return;
    const size_t bytes = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * 4;
    vt::WindowDC screen(nullptr);
    vt::UniqueMemDC memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info = vt::TopDownDib32(size.cx, size.cy);
    void* bits = nullptr;
    vt::UniqueBitmap section(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !section || !bits) return;
    {
        vt::SelectGuard keep(memory.get(), section.get());
        RECT area{0, 0, size.cx, size.cy};
        FillRect(memory.get(), &area, GetSysColorBrush(COLOR_3DFACE));
        DrawThemeParentBackground(clock, memory.get(), &area);
    }
    GdiFlush();
    std::memcpy(view.get(), bits, bytes);
}

LRESULT CALLBACK ClockProc(HWND, UINT, WPARAM, LPARAM);

void Release(HWND clock) {
    auto old = reinterpret_cast<WNDPROC>(GetPropW(clock, kOldProcProp));
    if (old && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(clock, GWLP_WNDPROC)) == ClockProc)
        SetWindowLongPtrW(clock, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(clock, kOldProcProp);
    RemovePropW(clock, kComponentProp);
    RemovePropW(clock, kHostProp);
    g_shell.Reset();
}

void Take(HWND clock, HWND host) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(clock, GWLP_WNDPROC)) == ClockProc) {
        SetPropW(clock, kHostProp, host);
        return;
    }
    // The shell keeps this library for good: its window may run our procedure after the host has gone.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&ClockProc), &self);
    SetPropW(clock, kHostProp, host);
    SetPropW(clock, kOldProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrW(clock, GWLP_WNDPROC)));
    g_shell.Reset();
    SetWindowLongPtrW(clock, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClockProc));
}

bool IsForwardedMouse(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) || message == WM_MOUSEHOVER ||
           message == WM_MOUSELEAVE;
}

LRESULT CALLBACK ClockProc(HWND clock, UINT message, WPARAM wParam, LPARAM lParam) {
    auto old = reinterpret_cast<WNDPROC>(GetPropW(clock, kOldProcProp));
    if (!old) return DefWindowProcW(clock, message, wParam, lParam);
    if (message == TakenMessage()) return kTakenAnswer;
    if (message == ReleaseMessage()) {
        Release(clock);
        InvalidateRect(clock, nullptr, TRUE);
        return 1;
    }
    if (message == QuitMessage()) {
        // The program quits: the shell gets its clock back and the host ends.
        HWND host = static_cast<HWND>(GetPropW(clock, kHostProp));
        Release(clock);
        InvalidateRect(clock, nullptr, TRUE);
        if (host) PostMessageW(host, QuitMessage(), wParam, 0);
        return 1;
    }
    const bool attached = Component(clock) != nullptr;
    switch (message) {
    case vt::WM_CLOCKATTACH:
        SetPropW(clock, kComponentProp, reinterpret_cast<HANDLE>(wParam));
        g_shell.published = false;
        if (HWND host = static_cast<HWND>(GetPropW(clock, kHostProp))) PostMessageW(host, vt::WM_CLOCKATTACH, wParam, 0);
        InvalidateRect(clock, nullptr, FALSE);
        return 1;
    case vt::WM_CLOCKCANCELLEAVE:
        Forward(clock, vt::CLOCKCODE_CANCELLEAVE);
        return 0;
    case vt::kShellClockSizeQuery: {
        LRESULT answer = 0;
        if (attached && Forward(clock, vt::CLOCKCODE_SIZE, &answer) && answer) {
            SIZE wanted{vt::ClockSizeWidth(answer), vt::ClockSizeHeight(answer)};
            if (wanted.cx != g_shell.answered.cx || wanted.cy != g_shell.answered.cy) g_shell.published = false;
            g_shell.answered = wanted;
            return answer;
        }
        break;
    }
    case WM_PAINT:
        if (!attached) break;
        if (!g_shell.published) {
            Publish(clock);
            g_shell.published = Forward(clock, vt::CLOCKCODE_BACKGROUND);
        }
        if (g_shell.published && Forward(clock, WM_PAINT)) {
            ValidateRect(clock, nullptr);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (attached) return 1;
        break;
    case WM_NCHITTEST:
        if (attached) return HTCLIENT;
        break;
    case WM_NCDESTROY:
        Release(clock);
        return CallWindowProcW(old, clock, message, wParam, lParam);
    default:
        if (attached && IsForwardedMouse(message)) {
            if (message == WM_MOUSEMOVE && !g_shell.tracking) {
                TRACKMOUSEEVENT e{};
                e.cbSize = sizeof e;
                e.dwFlags = TME_HOVER | TME_LEAVE;
                e.hwndTrack = clock;
                e.dwHoverTime = kHoverTimeMs;
                g_shell.tracking = TrackMouseEvent(&e) != FALSE;
            }
            if (message == WM_MOUSELEAVE) g_shell.tracking = false;
            Forward(clock, message);
            return 0;
        }
        break;
    }
    return CallWindowProcW(old, clock, message, wParam, lParam);
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == TakeMessage()) Take(call->hwnd, reinterpret_cast<HWND>(call->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI QuellixTakeClock(HWND clock, HWND host) {
    if (!IsWindow(clock)) return FALSE;
    if (!g_hook) {
        DWORD thread = GetWindowThreadProcessId(clock, nullptr);
        g_hook = SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, g_module, thread);
        if (!g_hook) return FALSE;
    }
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(clock, TakeMessage(), reinterpret_cast<WPARAM>(host), 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kTimeoutMs, &answer);
    answer = 0;
    SendMessageTimeoutW(clock, TakenMessage(), 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, kTimeoutMs, &answer);
    return answer == static_cast<DWORD_PTR>(kTakenAnswer);
}

extern "C" __declspec(dllexport) void WINAPI QuellixReleaseClock(HWND clock) {
    if (clock && IsWindow(clock)) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(clock, ReleaseMessage(), 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, kTimeoutMs, &answer);
    }
    if (g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
