#include "alarms/power_actions.h"

#include "alarms/alarm_record.h"

namespace vt {

unsigned ExitWindowsFlags(TShutdownMode mode, bool powerOff, bool force) {
    static constexpr unsigned kShutdownFlags[3] = {kEwxLogoff, kEwxReboot, kEwxShutdown};
    unsigned flags = kShutdownFlags[static_cast<int>(mode)];
    if (powerOff) flags |= kEwxPowerOff;
    if (force) flags |= kEwxForce;
    return flags;
}

bool TShutdown::DoShutdown() {
    switch (ShutdownMode) {
    case TShutdownMode::LogOff:
    case TShutdownMode::Restart:
    case TShutdownMode::ShutDown:
        return actions_.RequestExitWindows(ExitWindowsFlags(ShutdownMode, ShutdownPowerOff, ShutdownForce));
    case TShutdownMode::Standby:
        return actions_.SetPowerState(true, ShutdownForce);
    case TShutdownMode::Hibernate:
        break;
    }
    return actions_.SetPowerState(false, ShutdownForce);
}

bool PerformAlarmAction(std::wstring_view action, IPowerActions& actions) {
    auto which = AlarmSystemActionOf(action);
    if (!which) return false;
    TShutdown s(actions);
    // Cleared before each action, so a shut-down's power-off never carries over to a later restart.
    s.ShutdownPowerOff = false;
    s.ShutdownForce = false;
    switch (*which) {
    case TAlarmSystemAction::asShutdown:
        s.ShutdownPowerOff = true;
        s.ShutdownMode = TShutdownMode::ShutDown;
        break;
    case TAlarmSystemAction::asRestart: s.ShutdownMode = TShutdownMode::Restart; break;
    case TAlarmSystemAction::asStandby: s.ShutdownMode = TShutdownMode::Standby; break;
    case TAlarmSystemAction::asHibernate: s.ShutdownMode = TShutdownMode::Hibernate; break;
    case TAlarmSystemAction::asLogOff: s.ShutdownMode = TShutdownMode::LogOff; break;
    case TAlarmSystemAction::asMonitorOff:
        s.MonitorOff();
        return true;
    }
    s.DoShutdown();
    return true;
}

}  // namespace vt
