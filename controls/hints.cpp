#include "controls/hints.h"

#include <commctrl.h>

namespace vt {

void THints::Attach(HWND owner) {
    owner_ = owner;
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!tips_) return;
    SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kHintHidePauseMs);
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 600);   // a width makes "\n" break the line
}

void THints::Set(HWND control, const std::wstring& text) {
    Put(TTF_IDISHWND | TTF_SUBCLASS, reinterpret_cast<UINT_PTR>(control), RECT{}, text);
}

void THints::SetArea(UINT_PTR id, const RECT& area, const std::wstring& text) { Put(TTF_SUBCLASS, id, area, text); }

void THints::ShowAt(UINT_PTR id, POINT screen, const std::wstring& text) {
    if (!tips_) return;
    Put(TTF_TRACK | TTF_ABSOLUTE, id, RECT{}, text);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner_;
    ti.uId = id;
    SendMessageW(tips_, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageW(tips_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void THints::HideAt(UINT_PTR id) {
    if (!tips_) return;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner_;
    ti.uId = id;
    SendMessageW(tips_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

void THints::Put(UINT flags, UINT_PTR id, const RECT& area, const std::wstring& text) {
    if (!tips_) return;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = flags;
    ti.hwnd = owner_;
    ti.uId = id;
    ti.rect = area;
    ti.lpszText = const_cast<wchar_t*>(text.c_str());
    TOOLINFOW known = ti;
    known.lpszText = nullptr;
    if (SendMessageW(tips_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&known)))
        SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    else
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace vt
