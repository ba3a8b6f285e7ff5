// Work on alpha bitmaps: texts of the calendar and the forecast widget with their shadows, alpha from
// drawings, blending.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/handles.h"
#include "base/picture.h"
#include "base/pixels.h"

namespace vt {


// Sets each alpha byte of onBlack from how far the drawing on white differs from the same drawing on
// black: 255 where ink covers the pixel fully, 0 where it left the background alone. Colours stay.
void AlphaFromDifference(const PixelView& onBlack, const PixelView& onWhite);
// Copies source's alpha bytes into target and scales target's colour bytes by them (rounding down).
void CopyAlphaAndPremultiply(const PixelView& target, const PixelView& source);
// Writes the alpha of a straight-alpha picture into bitmap at (x, y) and premultiplies the pixels it
// reaches; pixels of the picture that fall outside the bitmap are left out.
void CopyAlphaFromPNG(const PixelView& bitmap, const PixelView& png, int x, int y);
inline void CopyPNGAlpha(const PixelView& bitmap, const PixelView& png) { CopyAlphaFromPNG(bitmap, png, 0, 0); }
// Source-over of premultiplied source onto dest at (0, 0) with a constant alpha on top of the per-pixel one.
void BlendOver(const PixelView& dest, const PixelView& source, std::uint8_t constantAlpha);

// The ink the coverage of a font colour is measured with: black for bright colours, white for dark ones.
COLORREF CoverageInk(COLORREF fontColor);

// Text in font and fontColor at the top left of a bitmap text width + 2 by text height + 2; with shadow, a
// blurred copy in shadowColor 2 pixels right and down lies under it at 175/255 strength.
AlphaBitmap MakeTextBitmap(const std::wstring& text, HFONT font, COLORREF fontColor, bool shadow,
                           COLORREF shadowColor);


}  // namespace vt
