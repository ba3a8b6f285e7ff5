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
// Load only lists the files: the icons are decoded on first use (Icon, ImageList, Decode), as a user who
// never opens a window showing them never needs them.
class AlarmIconList {
public:
    void Load(const std::wstring& folder);
    int Count() const { return static_cast<int>(files_.size()); }
    // An empty bitmap for an index outside the list.
    const AlphaBitmap& Icon(int index) const;
    // The file icon `index` was read from; empty for an index outside the list.
    std::wstring File(int index) const;
    // 32 x 32 image list (small images of the alarm list view), with every icon.
    HIMAGELIST ImageList() const {
        Decode();
        return imageList_.get();
    }
    // The same list, its icons added only by the first Decode: for a window that shows it later.
    HIMAGELIST ListHandle() const { return imageList_.get(); }
    void Decode() const;

private:
    std::vector<std::wstring> files_;   // whole paths, in the list's order
    mutable std::vector<AlphaBitmap> icons_;
    mutable bool decoded_ = false;
    UniqueImageList imageList_;
    AlphaBitmap none_;
};

}  // namespace vt
