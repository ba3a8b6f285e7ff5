// The notification-area icon `TrayIcon1`: added while active, re-added after the shell restarts.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace vt {

class TrayIcon {
public:
    TrayIcon(UINT id, UINT callbackMessage) : id_(id), callback_(callbackMessage) {}
    ~TrayIcon() { Deactivate(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void Setup(HWND owner, HICON icon, std::wstring hint) {
        owner_ = owner;
        icon_ = icon;
        hint_ = std::move(hint);
    }
    bool Active() const { return active_; }
    void Activate();
    void Deactivate();
    // After "TaskbarCreated" the icon is gone from the new shell: add it again.
    void Readd();

private:
    NOTIFYICONDATAW Data() const;
    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring hint_;
    UINT id_;
    UINT callback_;
    bool active_ = false;
};

}  // namespace vt
