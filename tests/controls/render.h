// Rendering helpers for the control tests: a 32-bit canvas to print controls into, and a hidden parent.
#pragma once
#include <windows.h>

#include <vector>

#include "controls/alpha_bitmap.h"
#include "base/handles.h"
#include "support/gdi_object_count.h"

namespace vt::test {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3))
        : bitmap_(CreateAlphaBitmap(width, height)), dc_(CreateCompatibleDC(nullptr)) {
        old_ = SelectObject(dc_.get(), bitmap_.bitmap.get());
        UniqueBrush brush(CreateSolidBrush(fill));
        RECT rc{0, 0, width, height};
        FillRect(dc_.get(), &rc, brush.get());
    }
    ~Canvas() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    int width() const { return bitmap_.width; }
    int height() const { return bitmap_.height; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const Bgra p = PixelsOf(bitmap_).at(x, y);
        return RGB(p.r, p.g, p.b);
    }
    void Print(HWND control) const { SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc()), PRF_CLIENT); }

private:
    AlphaBitmap bitmap_;
    UniqueMemDC dc_;
    HGDIOBJ old_;
};

// A hidden top-level window to hold the controls under test.
class HostWindow {
public:
    HostWindow()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_CLIPCHILDREN, 100, 100, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~HostWindow() { DestroyWindow(hwnd_); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND get() const { return hwnd_; }
private:
    HWND hwnd_;
};

}  // namespace vt::test
