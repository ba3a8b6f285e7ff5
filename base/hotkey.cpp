#include "base/hotkey.h"

#include <commctrl.h>

namespace vt {

HotKeyRegistration HotKeyToRegistration(WORD hotKey) {
    HotKeyRegistration r;
    const BYTE flags = HIBYTE(hotKey);
    if (flags & HOTKEYF_CONTROL) r.modifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_ALT) r.modifiers |= MOD_ALT;
    if (flags & HOTKEYF_SHIFT) r.modifiers |= MOD_SHIFT;
    r.virtualKey = LOBYTE(hotKey);
    return r;
}

std::wstring HotKeyText(WORD hotKey) {
    const UINT key = LOBYTE(hotKey);
    if (key == 0) return {};
    const BYTE flags = HIBYTE(hotKey);
    std::wstring text;
    if (flags & HOTKEYF_SHIFT) text += L"Shift+";
    if (flags & HOTKEYF_CONTROL) text += L"Ctrl+";
    if (flags & HOTKEYF_ALT) text += L"Alt+";
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return text + static_cast<wchar_t>(key);
    if (key >= VK_F1 && key <= VK_F24) return text + L"F" + std::to_wstring(key - VK_F1 + 1);
    // Other keys by the keyboard's own name; the extended bit picks the arrow and editing keys' names.
    LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (flags & HOTKEYF_EXT) scan |= 1L << 24;
    wchar_t name[64] = L"";
    if (GetKeyNameTextW(scan, name, 64) > 0) return text + name;
    return text + L"#" + std::to_wstring(key);
}

bool ReplaceHotKey(HWND window, int id, WORD hotKey) {
    UnregisterHotKey(window, id);
    if (LOBYTE(hotKey) == 0) return true;
    HotKeyRegistration r = HotKeyToRegistration(hotKey);
    return RegisterHotKey(window, id, r.modifiers, r.virtualKey) != FALSE;
}

}  // namespace vt
