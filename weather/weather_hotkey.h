// The global hot key that updates the weather (id 1 of the main window).
#pragma once
#include <windows.h>

#include <string>

namespace vt {

inline constexpr int kWeatherHotKeyId = 1;
// Ctrl+Alt+U, as a hot-key control's value: virtual key in the low byte, HOTKEYF_* in the high byte.
inline constexpr WORD kDefaultWeatherHotKey = MAKEWORD('U', 0x02 /*HOTKEYF_CONTROL*/ | 0x04 /*HOTKEYF_ALT*/);

struct HotKeyRegistration {
    UINT modifiers = 0;   // MOD_*
    UINT virtualKey = 0;
};

// A hot-key control names its modifiers HOTKEYF_SHIFT 1, CONTROL 2, ALT 4; RegisterHotKey wants MOD_ALT 1,
// MOD_CONTROL 2, MOD_SHIFT 4. The extended-key flag is not passed on.
HotKeyRegistration HotKeyToRegistration(WORD hotKey);

// Replaces hot key id 1 of the main window. A value of 0 (the control cleared) leaves no hot key and
// counts as success. False when the system refused the key.
bool RegisterWeatherHotKey(HWND mainWindow, WORD hotKey);
// The key as a menu shows it: "Ctrl+Alt+U", "Shift+F9"; empty for no key.
std::wstring HotKeyText(WORD hotKey);

// The same, with the failure message box owned by `owner`.
bool RegisterWeatherHotKeyOrWarn(HWND mainWindow, WORD hotKey, HWND owner);

}  // namespace vt
