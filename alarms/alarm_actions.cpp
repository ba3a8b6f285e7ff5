#include "alarms/alarm_actions.h"

namespace vt {

void TAlarmActions::ShowAndSound(const TAlRecord& alarm, const std::wstring& message, int tag) {
    const bool window = alarm.MessageEn;
    if (window) {
        const bool ahead = alarm.Reminder && alarm.RDateTime < alarm.DateTime;
        windows_.OpenAlarmWindow(AlarmWindowRequest{tag, alarm.Icon, DecodeLineBreaks(message), ahead});
    }
    if (alarm.SoundEn && deps_.sound) {
        if (alarm.SoundCustVol && deps_.volume) deps_.volume->SetVolumePercent(alarm.SoundVolume);
        // "Until the message is closed" needs a message window; without one the sound plays once.
        bool loop = alarm.SoundLoop && window;
        deps_.sound->PlayAlarmSound(alarm.SoundFile, loop, alarm.SoundPause, alarm.SoundLoop && !window ? 1 : alarm.SoundTimes);
    }
}

void TAlarmActions::AlarmFired(const TAlRecord& alarm) {
    TAlarms& alarms = *deps_.alarms;
    // A reminder ahead of the alarm must not remove the alarm it announces.
    if (alarm.Type == AlarmTypeName(TAlarmKind::akOnce) && alarm.AutoDelete && !alarm.MessageEn && !alarm.Reminder) {
        alarms.DeleteAlarm(alarm.id);
        alarms.Refresh();
    }
    std::wstring message = alarm.Missed ? kMissedAlarmPrefix + alarm.Message : alarm.Message;
    ShowAndSound(alarm, message, alarm.id);
    // Late alarms and reminders only tell: a program or a shut-down at an unexpected moment does harm.
    if (alarm.Missed || alarm.Reminder) return;
    if (alarm.OpenfileEn && deps_.launcher) RunDocument(*deps_.launcher, alarm.OpenFile, alarm.ParamFile, alarm.WindowStyle);
    if (alarm.ShutdownEn && deps_.power) PerformAlarmAction(alarm.ShutDown, *deps_.power);
}

void TAlarmActions::Test(int id) {
    TAlRecord alarm = deps_.alarms->ReadAlarm(id);
    ShowAndSound(alarm, alarm.Message, 0);
    if (alarm.OpenfileEn && deps_.launcher) RunDocument(*deps_.launcher, alarm.OpenFile, alarm.ParamFile, alarm.WindowStyle);
}

}  // namespace vt
