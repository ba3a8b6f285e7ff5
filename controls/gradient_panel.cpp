#include "controls/gradient_panel.h"

#include <windowsx.h>

#include <cstdlib>
#include <utility>

namespace vt {

int MulDivRound(int a, int b, int c) {
    if (c == 0) return 0;
    const long long num = static_cast<long long>(a) * b;
    long long q = num / c;
    const long long rem = num % c;
    if (2 * std::llabs(rem) >= std::llabs(static_cast<long long>(c))) q += ((num < 0) != (c < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

BandColours BuildBandColours(COLORREF begin, COLORREF end) {
    BandColours table{};
    auto channel = [](int from, int to, int i) {
        return static_cast<BYTE>((from + MulDivRound(i, to - from, kGradientBands - 1)) & 0xFF);
    };
    for (int i = 0; i < 256; ++i) {
        table[i] = RGB(channel(GetRValue(begin), GetRValue(end), i), channel(GetGValue(begin), GetGValue(end), i),
                       channel(GetBValue(begin), GetBValue(end), i));
    }
    return table;
}

void PaintBands(HDC dc, const RECT& box, COLORREF begin, COLORREF end) {
    const int width = box.right - box.left;
    if (width <= 0 || box.bottom <= box.top) return;
    const BandColours bands = BuildBandColours(begin, end);
    for (int i = 0; i <= kGradientBands; ++i) {
        const RECT band{box.left + BandLeft(i, width), box.top, box.left + BandLeft(i + 1, width), box.bottom};
        if (band.right <= band.left || band.left >= box.right) continue;
        UniqueBrush brush(CreateSolidBrush(bands[i]));
        FillRect(dc, &band, brush.get());
    }
}

void PaintGradientPanel(HDC dc, int width, int height, COLORREF begin, COLORREF end, const std::wstring& caption,
                        HFONT font, COLORREF textColour) {
    if (width <= 0 || height <= 0) return;
    UniqueMemDC mem(CreateCompatibleDC(dc));
    UniqueBitmap face(CreateCompatibleBitmap(dc, width, height));
    if (!mem || !face) return;
    {
        SelectGuard keep(mem.get(), face.get());
        PaintBands(mem.get(), RECT{0, 0, width, height}, begin, end);
        SelectGuard useFont(mem.get(), font);
        SIZE w{};
        GetTextExtentPoint32W(mem.get(), L"W", 1, &w);
        SetBkMode(mem.get(), TRANSPARENT);
        SetTextColor(mem.get(), textColour);
        TextOutW(mem.get(), 4, (height - w.cy) / 2, caption.c_str(), static_cast<int>(caption.size()));
        BitBlt(dc, 0, 0, width, height, mem.get(), 0, 0, SRCCOPY);
    }
}

bool TgradientPanel::Create(HWND parent, int x, int y, int width, int height, int id) {
    if (!RegisterWindowClass(kClassName, Proc)) return false;
    return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           this) != nullptr;
}

bool TgradientPanel::CreateTitle(HWND placeholder) {
    HWND parent = GetParent(placeholder);
    RECT rc{};
    GetWindowRect(placeholder, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    const int id = GetDlgCtrlID(placeholder);
    Caption = TextOf(placeholder);
    DestroyWindow(placeholder);
    BeginColor = kTitleBeginColour;
    EndColor = clBtnFace;
    Font.colour = clWhite;   // every title reads white on the grey
    if (!Create(parent, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, id)) return false;
    // A new child window comes last in the z-order, under a group box it stands on.
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void TgradientPanel::PaintTo(HDC dc) {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    PaintGradientPanel(dc, rc.right, rc.bottom, ColorToRGB(BeginColor), ColorToRGB(EndColor), Caption,
                       Font.Get(GetParent(hwnd_)), ColorToRGB(Font.colour));
}

void TgradientPanel::MouseDown(UINT button, WPARAM keys, LPARAM l) {
    SetCapture(hwnd_);
    if (button == WM_LBUTTONDOWN) clicked_ = true;
    if (OnMouseDown) OnMouseDown({button, keys, {GET_X_LPARAM(l), GET_Y_LPARAM(l)}});
}

void TgradientPanel::MouseUp(UINT downButton, WPARAM keys, LPARAM l) {
    const bool wasClicked = std::exchange(clicked_, false);
    if (GetCapture() == hwnd_) ReleaseCapture();
    const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (downButton == WM_LBUTTONDOWN && wasClicked) {
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        if (PtInRect(&rc, pt) && OnClick) OnClick();
    }
    if (OnMouseUp) OnMouseUp({downButton, keys, pt});
}

LRESULT TgradientPanel::OnMessage(UINT m, WPARAM w, LPARAM l) {
    LRESULT painted = 0;
    if (PaintMessages(hwnd_, m, w, [this](HDC dc) { PaintTo(dc); }, painted)) return painted;
    switch (m) {
    case WM_SETFONT:
        Font.Assign(reinterpret_cast<HFONT>(w));
        if (LOWORD(l)) InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        MouseDown(m, w, l);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        MouseUp(m - 1, w, l);   // each button's up message follows its down message
        return 0;
    case WM_CAPTURECHANGED:
        clicked_ = false;
        return 0;
    }
    return Default(m, w, l);
}

}  // namespace vt
