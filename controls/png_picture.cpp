#include "controls/png_picture.h"

namespace vt {

void DrawAlphaBitmap(HDC dc, const AlphaBitmap& picture, const RECT& dest) {
    if (!picture || dest.right <= dest.left || dest.bottom <= dest.top) return;
    UniqueMemDC src(CreateCompatibleDC(dc));
    if (!src) return;
    SelectGuard keep(src.get(), picture.bitmap.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src.get(), 0, 0,
               picture.width, picture.height, blend);
}

}  // namespace vt
