#include "app/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

namespace vt {

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof d;
    d.hWnd = owner_;
    d.uID = id_;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = callback_;
    d.hIcon = icon_;
    wcsncpy(d.szTip, hint_.c_str(), std::size(d.szTip) - 1);
    return d;
}

void TrayIcon::Activate() {
    if (active_ || !owner_) return;
    NOTIFYICONDATAW d = Data();
    // The shell may not run yet; the icon then comes with "TaskbarCreated".
    Shell_NotifyIconW(NIM_ADD, &d);
    active_ = true;
}

void TrayIcon::Deactivate() {
    if (!active_) return;
    NOTIFYICONDATAW d = Data();
    Shell_NotifyIconW(NIM_DELETE, &d);
    active_ = false;
}

void TrayIcon::Readd() {
    if (!active_) return;
    Deactivate();
    Activate();
}

}  // namespace vt
