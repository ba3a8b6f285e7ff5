#include "controls/image_list.h"

#include <commctrl.h>

namespace vt {

UniqueImageList MakeImageList(int side, const std::vector<AlphaBitmap>& pictures) {
    const int count = static_cast<int>(pictures.size());
    UniqueImageList list(ImageList_Create(side, side, ILC_COLOR32, count, 8));
    if (list) AddToImageList(list.get(), side, pictures);
    return list;
}

void AddToImageList(HIMAGELIST list, int side, const std::vector<AlphaBitmap>& pictures) {
    if (!list) return;
    for (const AlphaBitmap& picture : pictures) {
        AlphaBitmap cell = CreateAlphaBitmap(side, side);
        if (!cell) continue;
        if (picture) {
            UniqueMemDC dc(CreateCompatibleDC(nullptr));
            SelectGuard keep(dc.get(), cell.bitmap.get());
            DrawAlphaBitmap(dc.get(), picture, RECT{0, 0, side, side});
        }
        ImageList_Add(list, cell.bitmap.get(), nullptr);
    }
}

}  // namespace vt
