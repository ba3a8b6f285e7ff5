// The baseline of the start, quit and memory figures: the least a Win32 program does to show a painted
// window, repaint the time once a second and end on WM_CLOSE. The names of libraries on its command line
// are loaded first: what each one costs alone.
#include <windows.h>

namespace {

LRESULT CALLBACK TrivialProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        SYSTEMTIME t;
        GetLocalTime(&t);
        wchar_t text[16];
        const int n = wsprintfW(text, L"%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
        TextOutW(dc, 4, 4, text, n);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_TIMER: InvalidateRect(w, nullptr, FALSE); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(w, m, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    for (wchar_t* name = commandLine; name && *name;) {
        wchar_t* end = name;
        while (*end && *end != L' ') ++end;
        const bool last = *end == 0;
        *end = 0;
        if (*name) LoadLibraryW(name);
        name = last ? end : end + 1;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = TrivialProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"VantoricTrivial";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Trivial", WS_POPUP | WS_VISIBLE, 0, 0, 80, 20,
                             nullptr, nullptr, instance, nullptr);
    UpdateWindow(w);
    SetTimer(w, 1, 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
