// classic_taskbar: a classic taskbar in a process of its own, for the tests of the taskbar-hook road:
// "Shell_TrayWnd" (top-most, so that it is the taskbar found) holding "TrayNotifyWnd" holding the shell's
// clock "TrayClockWClass", which answers the taskbar's size query with kShellClockSize.
// Its clock window also answers the registered message "VtClassicTaskbar-HasModule": wParam 0 asks whether
// VantoricHook.dll is mapped here, 1 Vantoric.exe, 2 clock_hooks_tests.exe; the answer is 1 or 0.
// Ends when its taskbar window is closed.
#include <windows.h>

namespace {

constexpr LRESULT kShellClockSize = MAKELONG(55, 30);
UINT g_hasModule = 0;

LRESULT CALLBACK ClockProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 100) return kShellClockSize;
    if (m == g_hasModule && g_hasModule) {
        static const wchar_t* const kNames[] = {L"VantoricHook.dll", L"Vantoric.exe", L"clock_hooks_tests.exe"};
        return wp < 3 && GetModuleHandleW(kNames[wp]) != nullptr ? 1 : 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

LRESULT CALLBACK TaskbarProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, m, wp, lp);
}

void Register(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_hasModule = RegisterWindowMessageW(L"VtClassicTaskbar-HasModule");
    Register(L"Shell_TrayWnd", TaskbarProc);
    Register(L"TrayNotifyWnd", DefWindowProcW);
    Register(L"TrayClockWClass", ClockProc);
    HWND taskbar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0,
                                   600, 800, 30, nullptr, nullptr, instance, nullptr);
    HWND notify = CreateWindowExW(0, L"TrayNotifyWnd", L"", WS_CHILD | WS_VISIBLE, 600, 0, 200, 30, taskbar, nullptr,
                                  instance, nullptr);
    CreateWindowExW(0, L"TrayClockWClass", L"", WS_CHILD | WS_VISIBLE, 100, 0, 100, 30, notify, nullptr, instance,
                    nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
