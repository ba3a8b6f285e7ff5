// A classic taskbar played by the test process: "Shell_TrayWnd" holding "TrayNotifyWnd" holding the
// shell's own clock "TrayClockWClass", top-most so that it is the taskbar found before Wine's own.
#pragma once
#include <windows.h>

#include <vector>

#include "base/handles.h"
#include "clock/tray_protocol.h"
#include "support/clock_skin_fixture.h"
#include "support/test_support.h"

namespace vt::test {

// The shell's own clock paints itself in this colour and answers the taskbar's size query with this size.
inline constexpr COLORREF kShellClockColour = RGB(250, 20, 20);
inline constexpr LRESULT kShellClockSize = MAKELONG(55, 30);

// The shell's own clock: answers the size query and paints itself; a test's own clock procedure passes
// it what it does not answer itself.
inline LRESULT CALLBACK PaintingShellClockProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kShellClockSizeQuery) return kShellClockSize;
    if (m == WM_PAINT) {
        PaintDC paint(w);
        UniqueBrush brush(CreateSolidBrush(kShellClockColour));
        FillRect(paint.get(), &paint.ps().rcPaint, brush.get());
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

struct ClassicShell {
    // Where the windows go: the taskbar is 800 wide at y 600; the notify area and the clock are placed by
    // their left edge and width inside their parents, all `height` high.
    struct Layout {
        int height;
        int notifyLeft, notifyWidth;
        int clockLeft, clockWidth;
    };

    UniqueBrush taskbarBrush{CreateSolidBrush(RGB(200, 200, 200))};
    UniqueBrush notifyBrush;
    HWND taskbar = nullptr, notify = nullptr, clock = nullptr;
    Layout layout;

    ClassicShell(WNDPROC clockProc, COLORREF notifyColour, Layout place)
        : notifyBrush(CreateSolidBrush(notifyColour)), layout(place) {
        Register(L"Shell_TrayWnd", DefWindowProcW, taskbarBrush.get(), 0);
        Register(L"TrayNotifyWnd", DefWindowProcW, notifyBrush.get(), 0);
        Register(L"TrayClockWClass", clockProc, nullptr, CS_DBLCLKS);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        taskbar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0, 600,
                                  800, place.height, nullptr, nullptr, instance, nullptr);
        notify = CreateWindowExW(0, L"TrayNotifyWnd", L"", WS_CHILD | WS_VISIBLE, place.notifyLeft, 0, place.notifyWidth,
                                 place.height, taskbar, nullptr, instance, nullptr);
        clock = CreateWindowExW(0, L"TrayClockWClass", L"", WS_CHILD | WS_VISIBLE, place.clockLeft, 0, place.clockWidth,
                                place.height, notify, nullptr, instance, nullptr);
        UpdateWindow(taskbar);
    }
    ~ClassicShell() {
        if (taskbar && IsWindow(taskbar)) DestroyWindow(taskbar);
        for (const wchar_t* name : {L"TrayClockWClass", L"TrayNotifyWnd", L"Shell_TrayWnd"})
            UnregisterClassW(name, GetModuleHandleW(nullptr));
    }
    ClassicShell(const ClassicShell&) = delete;
    ClassicShell& operator=(const ClassicShell&) = delete;

    // The taskbar's new look: the notification area repainted in another colour.
    void SetNotifyColour(COLORREF colour) {
        UniqueBrush brush(CreateSolidBrush(colour));
        SetClassLongPtrW(notify, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush.get()));
        notifyBrush = std::move(brush);
        RedrawWindow(notify, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    LONG_PTR ClockProc() const { return GetWindowLongPtrW(clock, GWLP_WNDPROC); }
    LONG_PTR NotifyProc() const { return GetWindowLongPtrW(notify, GWLP_WNDPROC); }
    LRESULT Send(UINT m, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageW(clock, m, wp, lp); }
    COLORREF ClockPixel(int x, int y) const {
        WindowDC dc(clock);
        return GetPixel(dc.get(), x, y);
    }
    // Pixels of the clock window as the screen shows them, row by row.
    std::vector<COLORREF> Pixels() const {
        DibCanvas canvas(layout.clockWidth, layout.height);
        WindowDC dc(clock);
        BitBlt(canvas.dc(), 0, 0, layout.clockWidth, layout.height, dc.get(), 0, 0, SRCCOPY);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < layout.height; ++y)
            for (int x = 0; x < layout.clockWidth; ++x) pixels.push_back(canvas.Pixel(x, y));
        return pixels;
    }

private:
    static void Register(const wchar_t* name, WNDPROC proc, HBRUSH brush, UINT style) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = brush;
        wc.lpszClassName = name;
        UnregisterClassW(name, wc.hInstance);
        RegisterClassExW(&wc);
    }
};

}  // namespace vt::test
