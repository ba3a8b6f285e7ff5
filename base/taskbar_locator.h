// Finds the taskbar's windows. The clock window is the shell's own "TrayClockWClass" inside
// "TrayNotifyWnd" where the shell has one; otherwise the taskbar host's top-level window of that class,
// since a window that our process paints into must be top-level.
#pragma once
#include <windows.h>

namespace vt {

inline constexpr wchar_t kTaskbarClass[] = L"Shell_TrayWnd";
inline constexpr wchar_t kTrayNotifyClass[] = L"TrayNotifyWnd";
inline constexpr wchar_t kTrayClockClass[] = L"TrayClockWClass";

HWND FindTaskbarWindow();
HWND FindTrayNotifyWindow();
HWND FindTaskbarClockWindow();

}  // namespace vt
