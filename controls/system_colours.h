// Colours of the program's own controls: a plain RGB value, or a system colour that follows the desktop's
// colour scheme at every paint (high bit set, low byte the GetSysColor index).
#pragma once
#include <windows.h>

#include <cstdint>

namespace vt {

using TColor = std::uint32_t;

constexpr TColor kSystemColour = 0x80000000u;
constexpr TColor SystemColour(int index) { return kSystemColour | static_cast<TColor>(index); }

constexpr TColor clBtnFace = SystemColour(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColour(COLOR_BTNSHADOW);
constexpr TColor clBtnHighlight = SystemColour(COLOR_BTNHIGHLIGHT);
constexpr TColor clWindowText = SystemColour(COLOR_WINDOWTEXT);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;

inline COLORREF ColorToRGB(TColor c) {
    return (c & kSystemColour) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c & 0xFFFFFF);
}

}  // namespace vt
