#include <gtest/gtest.h>

#include "alarms/alarm_actions.h"
#include "alarms/alarm_fakes.h"
#include "fakes.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

class Fired : public testing::Test, protected StoredAlarmsAndSound {
protected:
    FakeLauncher launcher;
    FakePower power;
    std::vector<AlarmWindowRequest> windows;
    std::vector<std::string> order;
    struct Opener final : IAlarmWindowOpener {
        Fired& test;
        explicit Opener(Fired& t) : test(t) {}
        void OpenAlarmWindow(const AlarmWindowRequest& r) override {
            test.windows.push_back(r);
            test.order.push_back("window");
        }
    } opener{*this};
    TAlarmActions actions{AlarmActionsDeps{&alarms, &sound, &volume, &launcher, &power}, opener};

    TAlRecord Full(const wchar_t* type = L"Daily") {
        TAlRecord a;
        a.Type = type;
        a.Weeks = L"1111111";
        a.DateTime = At(2024, 3, 5, 7, 0);
        a.Enabled = true;
        a.MessageEn = true;
        a.Message = L"Wake up\r\nnow";
        a.SoundEn = true;
        a.SoundFile = L"ring.wav";
        a.SoundTimes = 3;
        a.SoundPause = 2;
        a.SoundCustVol = true;
        a.SoundVolume = 50;
        a.OpenfileEn = true;
        a.OpenFile = L"C:\\Tools\\app.exe";
        a.ShutdownEn = true;
        a.ShutDown = L"shutdown";
        a.Icon = 7;
        return a;
    }
    TAlRecord Stored(TAlRecord a) {
        a.id = alarms.AddAlarm(a);
        return a;
    }
};

// Which actions each kind of firing takes.
TEST_F(Fired, DecisionTable) {
    struct Row {
        const char* name;
        bool missed, reminder;
        bool prefix, program, powerAction;
    };
    const Row rows[] = {
        {"normal", false, false, false, true, true},
        {"missed", true, false, true, false, false},
        {"reminder", false, true, false, false, false},
        {"missed reminder", true, true, true, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        windows.clear();
        sound.plays.clear();
        launcher.calls.clear();
        power = FakePower{};
        TAlRecord a = Stored(Full());
        a.Missed = r.missed;
        a.Reminder = r.reminder;
        actions.AlarmFired(a);
        ASSERT_EQ(windows.size(), 1u);
        EXPECT_EQ(windows[0].Tag, a.id);
        EXPECT_EQ(windows[0].Icon, 7);
        EXPECT_EQ(windows[0].Message, r.prefix ? L"The missed alarm!\r\nWake up\r\nnow" : L"Wake up\r\nnow");
        ASSERT_EQ(sound.plays.size(), 1u);
        EXPECT_EQ(sound.plays[0].file, L"ring.wav");
        EXPECT_EQ(sound.plays[0].times, 3);
        EXPECT_EQ(sound.plays[0].pause, 2);
        EXPECT_EQ(launcher.calls.size(), r.program ? 1u : 0u);
        EXPECT_EQ(power.exits, r.powerAction ? std::vector<unsigned>{9u} : std::vector<unsigned>{});
        EXPECT_EQ(device.value, 32767u * 65537u);
        volume.RestoreVolume();
    }
}

TEST_F(Fired, PowerActionNeverForcesApplicationsClosed) {
    TAlRecord a = Stored(Full());
    a.ForceClose = true;
    a.ShutDown = L"restart";
    actions.AlarmFired(a);
    EXPECT_EQ(power.exits, std::vector<unsigned>{2u});
}

TEST_F(Fired, OnceAutoDeleteWithoutMessageIsDeletedBeforeTheSound) {
    TAlRecord a = Full(L"Once");
    a.AutoDelete = true;
    a.MessageEn = false;
    a = Stored(a);
    sound.log = &order;
    bool goneAtSound = false;
    struct Probe : ISoundPlayer {
        TAlarms* alarms;
        int id;
        bool* gone;
        void PlayAlarmSound(const std::wstring&, bool, int, int) override {
            *gone = alarms->AlarmSchedule().empty() && alarms->ReadAlarm(id).id != id;
        }
        void StopAlarmSound() override {}
    } probe;
    probe.alarms = &alarms;
    probe.id = a.id;
    probe.gone = &goneAtSound;
    TAlarmActions withProbe{AlarmActionsDeps{&alarms, &probe, &volume, &launcher, &power}, opener};
    withProbe.AlarmFired(a);
    EXPECT_TRUE(goneAtSound);
}

TEST_F(Fired, OnceAutoDeleteWithMessageStays) {
    TAlRecord a = Full(L"Once");
    a.AutoDelete = true;
    a = Stored(a);
    actions.AlarmFired(a);
    EXPECT_EQ(alarms.AlarmCount(), 1);
}

TEST_F(Fired, ReminderAheadOfAnAutoDeleteAlarmKeepsTheAlarm) {
    TAlRecord a = Full(L"Once");
    a.AutoDelete = true;
    a.MessageEn = false;
    a = Stored(a);
    a.Reminder = true;
    actions.AlarmFired(a);
    EXPECT_EQ(alarms.AlarmCount(), 1);
}

TEST_F(Fired, NoSoundNoMessageOnlyActions) {
    TAlRecord a = Full();
    a.MessageEn = false;
    a.SoundEn = false;
    a.ShutDown = L"monitor";
    a = Stored(a);
    actions.AlarmFired(a);
    EXPECT_TRUE(windows.empty());
    EXPECT_TRUE(sound.plays.empty());
    EXPECT_TRUE(device.writes.empty());
    EXPECT_EQ(power.monitorOffs, 1);
    EXPECT_TRUE(power.exits.empty());
}

TEST_F(Fired, DefaultVolumeIsLeftAlone) {
    TAlRecord a = Full();
    a.SoundCustVol = false;
    actions.AlarmFired(Stored(a));
    EXPECT_TRUE(device.writes.empty());
}

TEST_F(Fired, LoopWithoutAWindowToCloseItPlaysOnce) {
    TAlRecord a = Full();
    a.MessageEn = false;
    a.SoundLoop = true;
    actions.AlarmFired(Stored(a));
    ASSERT_EQ(sound.plays.size(), 1u);
    EXPECT_FALSE(sound.plays[0].loop);
    EXPECT_EQ(sound.plays[0].times, 1);
}

TEST_F(Fired, TestShowsPlaysAndLaunchesButNeverPowersOffOrDeletes) {
    TAlRecord a = Full(L"Once");
    a.AutoDelete = true;
    a.MessageEn = true;
    a = Stored(a);
    actions.Test(a.id);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].Tag, 0);
    EXPECT_EQ(windows[0].Message, L"Wake up\r\nnow");
    EXPECT_EQ(sound.plays.size(), 1u);
    EXPECT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(power.Total(), 0);
    EXPECT_EQ(alarms.AlarmCount(), 1);
}

}  // namespace
