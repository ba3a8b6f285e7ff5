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
    files_.clear();
    const std::wstring dir = WithSlash(folder);
    for (const std::wstring& name : ListIconFiles(dir)) files_.push_back(dir + name);
    imageList_ = MakeImageList(kIconSize, {});
}

void AlarmIconList::Decode() const {
    if (decoded_) return;
    decoded_ = true;
    // An unreadable file keeps its place, so icon n stays the n-th file.
    PictureDecoding decoding;   // one load of the decoder for all of them
    for (const std::wstring& file : files_) icons_.push_back(LoadPicture(file));
    AddToImageList(imageList_.get(), kIconSize, icons_);
}

const AlphaBitmap& AlarmIconList::Icon(int index) const {
    if (index < 0 || index >= Count()) return none_;
    Decode();
    return icons_[static_cast<size_t>(index)];
}

std::wstring AlarmIconList::File(int index) const {
    if (index < 0 || index >= Count()) return {};
    return files_[static_cast<size_t>(index)];
}

}  // namespace vt
