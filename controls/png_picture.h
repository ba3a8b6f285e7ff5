// PNG pictures (weather icons, calendar and forecast skins) decoded once into 32-bit bitmaps with
// premultiplied alpha, ready for AlphaBlend.
#pragma once
#include <windows.h>

#include <string>

#include "controls/alpha_bitmap.h"

namespace vt {

// Draws the picture scaled into `dest`, blended over what DC holds by its own alpha.
void DrawAlphaBitmap(HDC dc, const AlphaBitmap& picture, const RECT& dest);

}  // namespace vt
