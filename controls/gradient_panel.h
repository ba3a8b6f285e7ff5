// The title bar of a group of options: a left-to-right two-colour gradient with a one-line caption.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "base/window.h"
#include "controls/control_font.h"
#include "controls/system_colours.h"

namespace vt {

constexpr int kGradientBands = 255;
using BandColours = std::array<COLORREF, 256>;

// a * b / c rounded to the nearest integer, halves away from zero (the platform's MulDiv, without its
// overflow result).
int MulDivRound(int a, int b, int c);
// Entry i steps from begin (entry 0) to end (entry 254); each channel is taken modulo 256.
BandColours BuildBandColours(COLORREF begin, COLORREF end);
// Left edge of band i in a panel `width` pixels wide; band i ends where band i + 1 starts.
inline int BandLeft(int band, int width) { return MulDivRound(band, width, kGradientBands); }
// The header colour of the program's title panels: grey 161, 157, 157, fading into the button face.
inline constexpr COLORREF kTitleBeginColour = 10329505;
// Fills `box` with the 255 bands stepping from begin to end, left to right.
void PaintBands(HDC dc, const RECT& box, COLORREF begin, COLORREF end);
// The whole face: bands, then the caption at x = 4, vertically centred by the height of "W".
void PaintGradientPanel(HDC dc, int width, int height, COLORREF begin, COLORREF end, const std::wstring& caption,
                        HFONT font, COLORREF textColour);

struct PanelMouse {
    UINT button;   // WM_LBUTTONDOWN, WM_RBUTTONDOWN, ... (the down message of the button)
    WPARAM keys;
    POINT pt;
};

class TgradientPanel : public Window<TgradientPanel> {
public:
    static constexpr const wchar_t* kClassName = L"TgradientPanel";
    static constexpr int kDefaultWidth = 377;
    static constexpr int kDefaultHeight = 121;

    // A child window of parent; the control id lets a dialog find it.
    bool Create(HWND parent, int x, int y, int width = kDefaultWidth, int height = kDefaultHeight, int id = 0);
    // A title panel in place of a dialog's placeholder control: its place, id and text, title colours.
    // The placeholder is destroyed.
    bool CreateTitle(HWND placeholder);

    // None of these repaints: a change shows at the next paint.
    TColor BeginColor = clBtnShadow;
    TColor EndColor = 0xC0C0C0;
    std::wstring Caption;
    ControlFont Font;
    int TabOrder = -1;

    std::function<void()> OnClick;
    std::function<void(const PanelMouse&)> OnMouseDown, OnMouseUp;

    // Draws the panel's face into any DC (the window's paint and WM_PRINTCLIENT use it).
    void PaintTo(HDC dc);

private:
    friend class Window<TgradientPanel>;
    LRESULT OnMessage(UINT m, WPARAM w, LPARAM l);
    void MouseDown(UINT button, WPARAM keys, LPARAM l);
    void MouseUp(UINT downButton, WPARAM keys, LPARAM l);
    bool clicked_ = false;
};

}  // namespace vt
