// QuellixHook.dll: takes over the shell's own clock window ("TrayClockWClass" inside "TrayNotifyWnd") from
// inside the shell's process, where a window procedure can be replaced. The host loads it and calls the two
// entry points below; the shell's thread loads it through a window-procedure hook.
#pragma once
#include <windows.h>

namespace vt::host {

inline constexpr wchar_t kHookLibrary[] = L"QuellixHook.dll";
inline constexpr char kTakeClockEntry[] = "QuellixTakeClock";
inline constexpr char kReleaseClockEntry[] = "QuellixReleaseClock";

// Replaces the clock window's procedure from the shell's thread; true once the window forwards to the
// component. host receives "Quellix-quit" when the program quits and WM_CLOCKATTACH when it attaches.
using TakeClockFn = BOOL(WINAPI*)(HWND clock, HWND host);
// Gives the window its own procedure back and removes the hook.
using ReleaseClockFn = void(WINAPI*)(HWND clock);

}  // namespace vt::host
