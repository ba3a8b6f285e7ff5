// The machine's own power actions. Reached only through CreateSystemPowerActions, which only the
// program calls, so no test program imports ExitWindowsEx or SetSuspendState.
#include <windows.h>
#include <powrprof.h>

#include "alarms/power_actions.h"
#include "base/handles.h"

namespace vt {

namespace {

// Enables or disables the shut-down privilege of this process; true when the token was adjusted.
bool EnableShutdownPrivilege(bool enable) {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return false;
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid)) return false;
    tp.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    TOKEN_PRIVILEGES previous{};
    DWORD size = sizeof previous;
    return AdjustTokenPrivileges(token.get(), FALSE, &tp, sizeof previous, &previous, &size) != FALSE;
}

// Holds the privilege for one request and gives it back however the request ends.
class ShutdownPrivilege {
public:
    ShutdownPrivilege() { EnableShutdownPrivilege(true); }
    ~ShutdownPrivilege() { EnableShutdownPrivilege(false); }
    ShutdownPrivilege(const ShutdownPrivilege&) = delete;
    ShutdownPrivilege& operator=(const ShutdownPrivilege&) = delete;
};

class SystemPowerActions final : public IPowerActions {
public:
    bool RequestExitWindows(unsigned flags) override {
        ShutdownPrivilege hold;
        return ExitWindowsEx(flags, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != FALSE;
    }
    bool SetPowerState(bool suspend, bool force) override {
        ShutdownPrivilege hold;
        // SetSuspendState's first argument asks for hibernation.
        return SetSuspendState(suspend ? FALSE : TRUE, force ? TRUE : FALSE, FALSE) != FALSE;
    }
    void MonitorOff() override { PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2); }
};

}  // namespace

std::unique_ptr<IPowerActions> CreateSystemPowerActions() { return std::make_unique<SystemPowerActions>(); }

}  // namespace vt
