#include "support/layout_check.h"

#include <commctrl.h>

#include "base/handles.h"
#include "base/text.h"
#include "base/window.h"

namespace vt::test {

namespace {

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = L"";
    GetClassNameW(w, name, 64);
    return name;
}

std::string Name(HWND w) {
    return "control " + std::to_string(GetDlgCtrlID(w)) + " \"" + Narrow(TextOf(w)) + "\" (" + Narrow(ClassOf(w)) + ")";
}

RECT ScreenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

bool IsGroupBox(HWND w) {
    return ClassOf(w) == L"Button" && (GetWindowLongPtrW(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsTextStatic(HWND w) {
    const LONG_PTR type = GetWindowLongPtrW(w, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
}

// An edit's up-down buddy sits on the edit's edge.
bool IsUpDown(HWND w) { return ClassOf(w) == UPDOWN_CLASSW; }

// Windows that lie under others by design: group boxes, title panels, tab controls, pages (dialogs inside
// the form), background shapes and frames.
bool MayLieUnder(HWND w) {
    const std::wstring cls = ClassOf(w);
    if (IsGroupBox(w) || cls == L"TgradientPanel" || cls == WC_TABCONTROLW || cls == L"#32770") return true;
    return cls == L"Static" && !IsTextStatic(w);
}

// The width the caption needs in the control's own font, and the width it has; 0 needed when the control
// shows no single-line caption.
void CaptionFit(HWND w, int& needed, int& has) {
    needed = has = 0;
    const std::wstring text = TextOf(w);
    const std::wstring cls = ClassOf(w);
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    if (text.empty() || text.find(L'\n') != std::wstring::npos) return;
    int extra = 0;
    if (cls == L"Static") {
        if (!IsTextStatic(w)) return;
    } else if (cls == L"Button") {
        const LONG_PTR type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) extra = 16;
        else if (type == BS_OWNERDRAW) return;
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
                 type == BS_3STATE || type == BS_AUTO3STATE)
            extra = 16;
        else
            extra = 6;
    } else {
        return;
    }
    WindowDC dc(w);
    SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
    RECT client{};
    GetClientRect(w, &client);
    SIZE size{};
    std::wstring shown;
    for (wchar_t c : text)
        if (c != L'&') shown += c;
    GetTextExtentPoint32W(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &size);
    // A static or a multi-line button of two lines or more wraps its text.
    const bool wraps = cls == L"Static" || (style & BS_MULTILINE);
    if (wraps && client.bottom >= 2 * size.cy) return;
    needed = size.cx + extra;
    has = client.right;
}

void Check(HWND parent, std::vector<std::string>& out) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c)) children.push_back(c);
    RECT inside{};
    GetClientRect(parent, &inside);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    for (size_t i = 0; i < children.size(); ++i) {
        HWND c = children[i];
        const RECT r = ScreenRect(c);
        if (r.left < inside.left || r.top < inside.top || r.right > inside.right || r.bottom > inside.bottom)
            out.push_back(Name(c) + " reaches outside its parent (" + std::to_string(r.right - inside.left) + " of " +
                          std::to_string(inside.right - inside.left) + " wide, " + std::to_string(r.bottom - inside.top) +
                          " of " + std::to_string(inside.bottom - inside.top) + " high)");
        int needed = 0, has = 0;
        CaptionFit(c, needed, has);
        if (needed > has) out.push_back(Name(c) + " shows " + std::to_string(has) + " of " + std::to_string(needed) +
                                        " pixels of its caption");
        for (size_t j = i + 1; j < children.size(); ++j) {
            HWND d = children[j];
            RECT both{};
            const RECT s = ScreenRect(d);
            if (!IntersectRect(&both, &r, &s) || IsUpDown(c) || IsUpDown(d)) continue;
            // What may lie under others holds them whole: a check box on its title panel, a page on its
            // tab control. Reaching partly over it is a fault all the same.
            if ((MayLieUnder(c) || MayLieUnder(d)) && (EqualRect(&both, &r) || EqualRect(&both, &s))) continue;
            out.push_back(Name(c) + (MayLieUnder(c) || MayLieUnder(d) ? " partly overlaps " : " overlaps ") + Name(d) +
                          " (" + std::to_string(both.right - both.left) + " x " + std::to_string(both.bottom - both.top) +
                          " pixels)");
        }
        // Pages and sheets are looked into; a common control's own parts are its business.
        if (ClassOf(c) == L"#32770") Check(c, out);
    }
}

}  // namespace

std::vector<std::string> LayoutProblems(HWND window) {
    std::vector<std::string> out;
    Check(window, out);
    return out;
}

}  // namespace vt::test
