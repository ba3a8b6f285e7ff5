// System-wide hot keys as a hot-key control holds them: the program registers every hot key here.
#pragma once
#include <windows.h>

#include <string>

namespace vt {

struct HotKeyRegistration {
    UINT modifiers = 0;   // MOD_*
    UINT virtualKey = 0;
};

// A hot-key control names its modifiers HOTKEYF_SHIFT 1, CONTROL 2, ALT 4; RegisterHotKey wants MOD_ALT 1,
// MOD_CONTROL 2, MOD_SHIFT 4. The extended-key flag is not passed on.
HotKeyRegistration HotKeyToRegistration(WORD hotKey);

// Replaces hot key `id` of `window`. A value of 0 (the control cleared) leaves no hot key and counts as
// success. False when the system refused the key.
bool ReplaceHotKey(HWND window, int id, WORD hotKey);
// The key as a menu shows it: "Ctrl+Alt+U", "Shift+F9"; empty for no key.
std::wstring HotKeyText(WORD hotKey);

}  // namespace vt
