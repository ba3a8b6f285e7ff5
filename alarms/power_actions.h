// The system actions of an alarm: log off, restart, shut down, standby, hibernate and monitor off.
// The decisions are plain code over IPowerActions; only the program's own factory reaches Windows.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

namespace vt {

// ExitWindowsEx flags, kept here so the decisions need no Windows header.
inline constexpr unsigned kEwxLogoff = 0;
inline constexpr unsigned kEwxShutdown = 1;
inline constexpr unsigned kEwxReboot = 2;
inline constexpr unsigned kEwxForce = 4;
inline constexpr unsigned kEwxPowerOff = 8;

// What Windows is asked to do. Each call returns whether Windows accepted the request.
class IPowerActions {
public:
    virtual ~IPowerActions() = default;
    // Log off, restart or shut down (ExitWindowsEx flags), with the shut-down privilege held for the call.
    virtual bool RequestExitWindows(unsigned flags) = 0;
    // Standby (suspend) or hibernate.
    virtual bool SetPowerState(bool suspend, bool force) = 0;
    // Asks the display to turn off; returns at once.
    virtual void MonitorOff() = 0;
};

// 0 log off, 1 restart, 2 shut down, 3 standby, 4 hibernate.
enum class TShutdownMode : std::uint8_t { LogOff = 0, Restart = 1, ShutDown = 2, Standby = 3, Hibernate = 4 };

// The mode variables and DoShutdown.
class TShutdown {
public:
    explicit TShutdown(IPowerActions& actions) : actions_(actions) {}
    TShutdownMode ShutdownMode = TShutdownMode::Restart;
    bool ShutdownPowerOff = false;
    bool ShutdownForce = false;
    // Carries out ShutdownMode; true when Windows accepted the request.
    bool DoShutdown();
    void MonitorOff() { actions_.MonitorOff(); }

private:
    IPowerActions& actions_;
};

// The flags DoShutdown passes to ExitWindowsEx for a log-off, restart or shut-down mode.
unsigned ExitWindowsFlags(TShutdownMode mode, bool powerOff, bool force);

// Performs the action named by an alarm's ShutDown text ("shutdown", "restart", "standby", "hibernate",
// "logon" = log off, "monitor"). Applications are never forced closed: they may still ask to save.
// Any other text does nothing: a mistyped or empty action must not restart the machine. Returns
// whether something was asked of Windows.
bool PerformAlarmAction(std::wstring_view action, IPowerActions& actions);

// The real actions (token privilege, ExitWindowsEx, SetSuspendState, SC_MONITORPOWER). Only the
// program calls this: test programs never link the calls that can end the session.
std::unique_ptr<IPowerActions> CreateSystemPowerActions();

}  // namespace vt
