#include "weather/weather_hotkey.h"

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

bool RegisterWeatherHotKey(HWND mainWindow, WORD hotKey) {
    UnregisterHotKey(mainWindow, kWeatherHotKeyId);
    if (LOBYTE(hotKey) == 0) return true;
    HotKeyRegistration r = HotKeyToRegistration(hotKey);
    return RegisterHotKey(mainWindow, kWeatherHotKeyId, r.modifiers, r.virtualKey) != FALSE;
}

bool RegisterWeatherHotKeyOrWarn(HWND mainWindow, WORD hotKey, HWND owner) {
    if (RegisterWeatherHotKey(mainWindow, hotKey)) return true;
    MessageBoxW(owner, L"Unable to assign Alt-Shift-F9 as hotkey.", L"error", MB_OK);
    return false;
}

}  // namespace vt
