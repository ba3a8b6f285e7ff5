// PNG pictures (weather icons, calendar and forecast skins) decoded once into 32-bit bitmaps with
// premultiplied alpha, ready for AlphaBlend.
#pragma once
#include <windows.h>

#include <string>

#include "clock/base/handles.h"

namespace vt {

struct AlphaBitmap {
    UniqueBitmap bitmap;   // top-down 32-bit DIB section, premultiplied BGRA
    int width = 0;
    int height = 0;
    explicit operator bool() const { return static_cast<bool>(bitmap); }
};

// An empty result for a missing, unreadable or undecodable file; never throws.
AlphaBitmap LoadPNGAsAlphaBitmap(const std::wstring& path);

// Draws the picture scaled into `dest`, blended over what DC holds by its own alpha.
void DrawAlphaBitmap(HDC dc, const AlphaBitmap& picture, const RECT& dest);

}  // namespace vt
