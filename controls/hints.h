// Hints: the tooltips of a window's controls. Every hint hides again after the program's hint pause.
#pragma once
#include <windows.h>

#include <string>

namespace vt {

// How long a hint stays up (the platform's default is 2500 ms).
inline constexpr int kHintHidePauseMs = 4000;

class THints {
public:
    // The tip window is owned by `owner` and goes with it. Nothing happens before Attach.
    void Attach(HWND owner);
    // Shows `text` over the child window `control`; a later call replaces the text. A line break ("\n")
    // starts a second line.
    void Set(HWND control, const std::wstring& text);
    // The same for an area of the owner itself, told apart by `id`.
    void SetArea(UINT_PTR id, const RECT& area, const std::wstring& text);
    // A hint that no control owns (a menu item's): shown at a point of the screen until HideAt.
    void ShowAt(UINT_PTR id, POINT screen, const std::wstring& text);
    void HideAt(UINT_PTR id);
    HWND window() const { return tips_; }

private:
    void Put(UINT flags, UINT_PTR id, const RECT& area, const std::wstring& text);
    HWND owner_ = nullptr;
    HWND tips_ = nullptr;
};

}  // namespace vt
