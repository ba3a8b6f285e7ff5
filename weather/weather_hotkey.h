// The global hot key that updates the weather (id 1 of the main window).
#pragma once
#include <windows.h>

#include "base/hotkey.h"

namespace vt {

inline constexpr int kWeatherHotKeyId = 1;
// Ctrl+Alt+U, as a hot-key control's value: virtual key in the low byte, HOTKEYF_* in the high byte.
inline constexpr WORD kDefaultWeatherHotKey = MAKEWORD('U', 0x02 /*HOTKEYF_CONTROL*/ | 0x04 /*HOTKEYF_ALT*/);

inline bool RegisterWeatherHotKey(HWND mainWindow, WORD hotKey) { return ReplaceHotKey(mainWindow, kWeatherHotKeyId, hotKey); }
// The same, with the failure message box owned by `owner`.
bool RegisterWeatherHotKeyOrWarn(HWND mainWindow, WORD hotKey, HWND owner);

}  // namespace vt
