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

// Whether this code runs in the process's own program image, told from the code's own address and the
// process block alone: a mapped image may have neither its imports bound nor its relocations applied (so
// no global of its own may be read). The hook library always runs, the loader started it.
bool InTheStartedImage() {
#if defined(VT_HOOK_LIBRARY)
    return true;
#else
    const char* peb = nullptr;
    const char* here = nullptr;
#if defined(_WIN64)
    asm volatile("movq %%gs:0x60, %0" : "=r"(peb));
    asm volatile("leaq 0(%%rip), %0" : "=r"(here));
    const char* base = *reinterpret_cast<char* const*>(peb + 0x10);
#else
    asm volatile("movl %%fs:0x30, %0" : "=r"(peb));
    asm volatile("call 1f\n1: popl %0" : "=r"(here));
    const char* base = *reinterpret_cast<char* const*>(peb + 0x08);
#endif
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return here >= base && here < base + nt->OptionalHeader.SizeOfImage;
#endif
}

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
    if (!InTheStartedImage()) return Refuse();
    return vt::SetVantoric10(mainWindow, enable != FALSE, skinsPath, skinName) ? TRUE : FALSE;
}

__declspec(dllexport) BOOL WINAPI RepainClock() {
    if (!InTheStartedImage()) return Refuse();
    return vt::RepainClock() ? TRUE : FALSE;
}

__declspec(dllexport) int WINAPI KillHooks(HWND mainWindow) {
    if (!InTheStartedImage()) return Refuse();
    return vt::KillHooks(mainWindow);
}

}
