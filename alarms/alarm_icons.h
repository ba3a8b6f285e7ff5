// The alarm icons that the alarm page, the editor, the message window and the calendar draw from.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/handles.h"
#include "base/picture.h"

namespace vt {

// The alarm icons: every PNG of the program's Icons\ folder in directory order; icon n has index n.
class AlarmIconList {
public:
    void Load(const std::wstring& folder);
    int Count() const { return static_cast<int>(icons_.size()); }
    // An empty bitmap for an index outside the list.
    const AlphaBitmap& Icon(int index) const;
    // The file icon `index` was read from; empty for an index outside the list.
    std::wstring File(int index) const;
    // 32 x 32 image list (small images of the alarm list view).
    HIMAGELIST ImageList() const { return imageList_.get(); }

private:
    std::vector<AlphaBitmap> icons_;
    std::vector<std::wstring> files_;
    UniqueImageList imageList_;
    AlphaBitmap none_;
};

}  // namespace vt
