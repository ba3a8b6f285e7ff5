#include "alarms/alarm_icons.h"

#include "alarms/alarm_editor_model.h"
#include "base/files.h"
#include "controls/image_list.h"

namespace vt {

namespace {
constexpr int kIconSize = 32;
}  // namespace

void AlarmIconList::Load(const std::wstring& folder) {
    icons_.clear();
    decoded_ = false;
    folder_ = WithSlash(folder);
    files_ = ListIconFiles(folder_);
    imageList_ = MakeImageList(kIconSize, {});
}

void AlarmIconList::Decode() const {
    if (decoded_) return;
    decoded_ = true;
    // An unreadable file keeps its place, so icon n stays the n-th file.
    for (const std::wstring& name : files_) icons_.push_back(LoadPicture(folder_ + name));
    AddToImageList(imageList_.get(), kIconSize, icons_);
}

const AlphaBitmap& AlarmIconList::Icon(int index) const {
    if (index < 0 || index >= Count()) return none_;
    Decode();
    return icons_[static_cast<size_t>(index)];
}

}  // namespace vt
