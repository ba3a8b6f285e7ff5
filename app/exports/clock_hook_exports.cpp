// The program image's exports for a controlling process that loads it as a module: the taskbar-hook
// road. Plain names on both targets (the program links with --kill-at).
//
// A program file loaded as a module is mapped without its start-up: its imports may be left unbound and
// its run-time is not initialised, so nothing of the road may run in it; the exports then refuse, false
// (0 for KillHooks) with the last error ERROR_NOT_SUPPORTED, touching nothing that needs an import. Such a
// controller loads VantoricHook.dll, which carries the same entry points and is started as libraries are.
#include <windows.h>

#include "clock/clock_hook.h"

namespace {

// Set by this image's start-up (the program's or the library's); a module that was only mapped has it false.
constinit bool g_imageStarted = false;
[[maybe_unused]] const bool g_startNotice = [] { return g_imageStarted = true; }();

// SetLastError without the import table: the thread's last error lives in its environment block.
BOOL Refuse() {
    const DWORD error = ERROR_NOT_SUPPORTED;
#if defined(_WIN64)
    asm volatile("movl %0, %%gs:0x68" : : "r"(error) : "memory");
#else
    asm volatile("movl %0, %%fs:0x34" : : "r"(error) : "memory");
#endif
    return FALSE;
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI SetVantoric10(HWND mainWindow, BOOL enable, LPCWSTR skinsPath, LPCWSTR skinName) {
    if (!g_imageStarted) return Refuse();
    return vt::SetVantoric10(mainWindow, enable != FALSE, skinsPath, skinName) ? TRUE : FALSE;
}

__declspec(dllexport) BOOL WINAPI RepainClock() {
    if (!g_imageStarted) return Refuse();
    return vt::RepainClock() ? TRUE : FALSE;
}

__declspec(dllexport) int WINAPI KillHooks(HWND mainWindow) {
    if (!g_imageStarted) return Refuse();
    return vt::KillHooks(mainWindow);
}

}
