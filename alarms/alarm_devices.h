// The devices a fired alarm uses, bundled for the main form: the program passes the machine's own,
// tests pass fakes or none.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "alarms/alarm_sound.h"
#include "alarms/power_actions.h"
#include "alarms/program_launch.h"

namespace vt {

struct AlarmDevices {
    std::unique_ptr<ISoundPlayer> sound;
    std::unique_ptr<IVolume> volume;
    std::unique_ptr<IProgramLauncher> launcher;
    std::unique_ptr<IPowerActions> power;
};

// The machine's sound player (programDir ends with "\"), wave-out volume, shell launch owned by
// `owner`, and power actions. Only the program calls this.
AlarmDevices CreateSystemAlarmDevices(const std::wstring& programDir, HWND owner);

}  // namespace vt
