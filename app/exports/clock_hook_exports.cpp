// The program image's exports for a controlling process that loads it as a module: the taskbar-hook
// road. Plain names on both targets (the program links with --kill-at).
#include <windows.h>

#include "clock/clock_hook.h"

extern "C" {

__declspec(dllexport) BOOL WINAPI SetVantoric10(HWND mainWindow, BOOL enable, LPCWSTR skinsPath, LPCWSTR skinName) {
    return vt::SetVantoric10(mainWindow, enable != FALSE, skinsPath, skinName) ? TRUE : FALSE;
}

__declspec(dllexport) BOOL WINAPI RepainClock() { return vt::RepainClock() ? TRUE : FALSE; }

__declspec(dllexport) int WINAPI KillHooks(HWND mainWindow) { return vt::KillHooks(mainWindow); }

}
