// Image lists of the program's own pictures, for list views, tab controls and menus.
#pragma once
#include <vector>

#include "base/handles.h"
#include "base/picture.h"

namespace vt {

// A 32-bit image list whose image n is pictures[n] drawn into a side x side cell, scaled when its size
// differs. An empty picture keeps its place as a transparent cell, so the indexes stay those of the
// pictures.
UniqueImageList MakeImageList(int side, const std::vector<AlphaBitmap>& pictures);
// The same, added after the list's images.
void AddToImageList(HIMAGELIST list, int side, const std::vector<AlphaBitmap>& pictures);

}  // namespace vt
