// What a fired alarm does: remove a once-alarm, open its message window, set the volume and play the
// sound, launch its program and perform its power action. Plain code over the devices; the main form
// connects AlarmFired to TAlarms as the alarm-fired handler.
#pragma once
#include <string>

#include "alarms/alarm_list.h"
#include "alarms/alarm_sound.h"
#include "alarms/power_actions.h"
#include "alarms/program_launch.h"

namespace vt {

// One alarm message window to open: Tag is the alarm's id (0 for a test), Message its decoded text.
struct AlarmWindowRequest {
    int Tag = 0;
    int Icon = 0;
    std::wstring Message;
    // A reminder ahead of the alarm's own time: OK leaves an auto-delete alarm to ring at that time.
    bool AheadOfAlarm = false;
};

inline constexpr wchar_t kMissedAlarmPrefix[] = L"The missed alarm!\r\n";

// Opens an alarm message window: the main form, with what the windows need.
class IAlarmWindowOpener {
public:
    virtual void OpenAlarmWindow(const AlarmWindowRequest& request) = 0;

protected:
    ~IAlarmWindowOpener() = default;
};

struct AlarmActionsDeps {
    TAlarms* alarms = nullptr;                 // required
    ISoundPlayer* sound = nullptr;             // none: silent
    TAlarmVolume* volume = nullptr;            // none: the volume is left alone
    IProgramLauncher* launcher = nullptr;      // none: nothing is launched
    IPowerActions* power = nullptr;            // none: no power action
};

class TAlarmActions {
public:
    TAlarmActions(AlarmActionsDeps deps, IAlarmWindowOpener& windows) : deps_(std::move(deps)), windows_(windows) {}
    // The alarm-fired handler: `alarm` is the alarm as it was due, with Missed and Reminder.
    void AlarmFired(const TAlRecord& alarm);
    // The page's "Test": window (tag 0, no prefix), volume, sound and program; nothing is removed and
    // no power action runs.
    void Test(int id);

private:
    void ShowAndSound(const TAlRecord& alarm, const std::wstring& message, int tag);
    AlarmActionsDeps deps_;
    IAlarmWindowOpener& windows_;
};

}  // namespace vt
