#include "alarms/alarm_icons.h"

#include "alarms/alarm_editor_model.h"
#include "base/files.h"

namespace vt {

namespace {
constexpr int kIconSize = 32;
}  // namespace

void AlarmIconList::Load(const std::wstring& folder) {
    icons_.clear();
    imageList_.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32, 40, 8));
    const std::wstring dir = WithSlash(folder);
    for (const std::wstring& name : ListIconFiles(dir)) {
        AlphaBitmap icon = LoadPicture(dir + name);
        // An unreadable file keeps its place, so icon n stays the n-th file.
        if (imageList_) {
            AlphaBitmap cell = CreateAlphaBitmap(kIconSize, kIconSize);
            if (cell && icon) {
                UniqueMemDC src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
                SelectGuard keepSrc(src.get(), icon.bitmap.get());
                SelectGuard keepDst(dst.get(), cell.bitmap.get());
                BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                AlphaBlend(dst.get(), 0, 0, kIconSize, kIconSize, src.get(), 0, 0, icon.width, icon.height, bf);
            }
            if (cell) ImageList_Add(imageList_.get(), cell.bitmap.get(), nullptr);
        }
        icons_.push_back(std::move(icon));
    }
}

const AlphaBitmap& AlarmIconList::Icon(int index) const {
    if (index < 0 || index >= Count()) return none_;
    return icons_[static_cast<size_t>(index)];
}

}  // namespace vt
