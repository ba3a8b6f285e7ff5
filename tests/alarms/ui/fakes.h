// Fakes for the alarm actions: nothing here makes a sound, starts a program or touches power.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "alarms/alarm_actions.h"
#include "alarms/alarm_editing.h"
#include "alarms/alarm_sound.h"
#include "alarms/power_actions.h"
#include "alarms/program_launch.h"
#include "alarms/alarm_window.h"
#include "alarms/alarm_fakes.h"
#include "support/test_support.h"

namespace vt::test {

// The alarm window's editor and message boxes: records what it asks.
struct FakeWindowHost final : IAlarmEditing, IAlarmWindowMessages {
    bool AlarmEditorVisible() override { return editorVisible; }
    void EditAlarm(bool isNew, int id) override { edits.push_back({isNew, id}); }
    void AlarmWindowMessage(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        boxes.push_back(text);
    }
    bool editorVisible = false;
    std::vector<std::pair<bool, int>> edits;
    std::vector<std::wstring> boxes;
};

struct FakeSound final : ISoundPlayer {
    struct Play {
        std::wstring file;
        bool loop;
        int pause;
        int times;
    };
    std::vector<Play> plays;
    int stops = 0;
    std::vector<std::string>* log = nullptr;
    void PlayAlarmSound(const std::wstring& f, bool loop, int pause, int times) override {
        plays.push_back({f, loop, pause, times});
        if (log) log->push_back("sound");
    }
    void StopAlarmSound() override { ++stops; }
};

struct FakeVolume final : IVolume {
    bool control = true;
    std::uint32_t value = 0x40004000;
    std::vector<std::uint32_t> writes;
    bool HasVolumeControl() override { return control; }
    std::uint32_t Read() override { return value; }
    void Write(std::uint32_t v) override {
        writes.push_back(v);
        value = v;
    }
};

struct FakeLauncher final : IProgramLauncher {
    struct Call {
        std::wstring file, params, folder;
        int show;
    };
    std::vector<Call> calls;
    void Open(const std::wstring& f, const std::wstring& p, const std::wstring& d, int show) override {
        calls.push_back({f, p, d, show});
    }
};

struct FakePower final : IPowerActions {
    std::vector<unsigned> exits;
    struct State {
        bool suspend, force;
    };
    std::vector<State> states;
    int monitorOffs = 0;
    bool RequestExitWindows(unsigned flags) override {
        exits.push_back(flags);
        return true;
    }
    bool SetPowerState(bool suspend, bool force) override {
        states.push_back({suspend, force});
        return true;
    }
    void MonitorOff() override { ++monitorOffs; }
    int Total() const { return static_cast<int>(exits.size() + states.size()) + monitorOffs; }
};

// An alarms file of its own in a fresh folder, on a clock that stands at Monday 4 March 2024, 6:00.
struct StoredAlarms {
    TempDir dir;
    FakeNow now{At(2024, 3, 4, 6, 0)};
    FakeErrors errors;
    TAlarms alarms{dir.File(L"alarms.ini"), now, [](const TAlRecord&) {}, errors};
};

// The same with a sound that plays nothing and a volume that sets nothing.
struct StoredAlarmsAndSound : StoredAlarms {
    FakeSound sound;
    FakeVolume device;
    TAlarmVolume volume{device};
};

}  // namespace vt::test
