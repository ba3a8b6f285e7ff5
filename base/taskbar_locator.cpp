#include "base/taskbar_locator.h"

namespace vt {

HWND FindTaskbarWindow() { return FindWindowW(kTaskbarClass, nullptr); }

HWND FindTrayNotifyWindow() {
    HWND taskbar = FindTaskbarWindow();
    return taskbar ? FindWindowExW(taskbar, nullptr, kTrayNotifyClass, nullptr) : nullptr;
}

HWND FindTaskbarClockWindow() {
    if (HWND notify = FindTrayNotifyWindow())
        if (HWND clock = FindWindowExW(notify, nullptr, kTrayClockClass, nullptr)) return clock;
    return FindWindowExW(nullptr, nullptr, kTrayClockClass, nullptr);
}

}  // namespace vt
