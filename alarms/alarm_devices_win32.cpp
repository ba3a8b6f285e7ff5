// In a file of its own, away from the rest of the alarm code: linking this file brings in every call that makes a
// sound, sets the volume, starts a program or ends the session.
#include "alarms/alarm_devices.h"

namespace vt {

AlarmDevices CreateSystemAlarmDevices(const std::wstring& programDir, HWND owner) {
    AlarmDevices d;
    d.sound = CreateSystemSoundPlayer(programDir);
    d.volume = CreateSystemVolume();
    d.launcher = CreateShellProgramLauncher(owner);
    d.power = CreateSystemPowerActions();
    return d;
}

}  // namespace vt
