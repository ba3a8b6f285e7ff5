// The caption font of the program's own controls: the parent's font while ParentFont is set, else a copy
// the control owns; either way with a text colour of its own.
#pragma once
#include <windows.h>

#include "base/handles.h"
#include "controls/system_colours.h"

namespace vt {

class ControlFont {
public:
    bool parentFont = true;
    TColor colour = clWindowText;

    // Takes a copy of the font; the caller keeps its own.
    void Assign(HFONT font) {
        LOGFONTW lf{};
        if (font && GetObjectW(font, sizeof lf, &lf) == sizeof lf) Assign(lf);
    }
    void Assign(const LOGFONTW& lf) {
        own_.reset(CreateFontIndirectW(&lf));
        parentFont = false;
    }
    // The font to draw with in a control whose parent is `parent`.
    HFONT Get(HWND parent) const {
        if (!parentFont && own_) return own_.get();
        HFONT inherited = parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
        return inherited ? inherited : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }

private:
    UniqueFont own_;
};

}  // namespace vt
