// A file of alarms of every kind, all due within the day after `start`, written by the program itself.
#pragma once
#include <string>
#include <vector>

#include "alarms/alarm_list.h"
#include "alarms/alarms_file.h"
#include "base/datetime.h"

namespace vt::test {

inline std::vector<TAlRecord> SampleAlarms(TDateTime start) {
    std::vector<TAlRecord> all;
    for (int kind = 0; kind < static_cast<int>(AlarmTypeNames.size()); ++kind) {
        TAlRecord a;
        a.Type = std::wstring(AlarmTypeNames[static_cast<size_t>(kind)]);
        a.DateTime = start + (kind + 1) / 24.0 + 7.0 / 1440.0;   // on the hour + 7 minutes, one kind an hour
        a.Weeks = L"1111111";
        a.Week = 1 + kind % 7;
        a.DayOfMonth = 1 + kind;
        a.Day = 1 + kind;
        a.Month = 1 + kind;
        a.Min = kind == static_cast<int>(TAlarmKind::akRegular) ? 90 : 7;
        a.Message = L"Alarm of kind " + a.Type + L"\r\nsecond line \u00E9\u4E2D";
        a.SoundFile = L"C:\\Sounds\\bell.wav";
        a.ShutDown = L"shutdown";
        a.Icon = kind;
        a.AlLabel = kind % 3;
        a.Enabled = true;
        a.MessageEn = true;
        a.SoundTimes = 1;
        a.SoundVolume = 100;
        all.push_back(a);
    }
    return all;
}

// Writes SampleAlarms into a new file at `path`; their ids are 1 .. n.
inline void WriteSampleAlarms(const std::wstring& path, TDateTime start) {
    AlarmsFile file(path);
    for (const TAlRecord& a : SampleAlarms(start)) file.Add(a);
}

}  // namespace vt::test
