#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "alarm_fakes.h"
#include "alarms/alarm_list.h"
#include "ini_text.h"

using namespace vt;
using namespace vt::test;

namespace {

TAlRecord Make(const wchar_t* type, TDateTime when) {
    TAlRecord a;
    a.Type = type;
    a.DateTime = when;
    a.Enabled = true;
    a.MessageEn = true;
    a.Message = L"m";
    a.Weeks = L"1111111";
    a.AfterTime = kDefaultAfterTime;
    a.BeforeTime = kDefaultBeforeTime;
    return a;
}

class AlarmList : public testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File(L"alarms.ini");
    FakeNow now{At(2024, 3, 4, 6, 0)};   // a Monday
    FakeList list;
    FakeSwitches switches;
    FakeWakeTimer::Log wake;
    FakeEuropeZone zone;
    std::vector<TAlRecord> fired;
    FakeErrors reported;
    std::vector<std::wstring>& errors = reported.texts;
    std::function<void(const TAlRecord&)> extra;
    std::unique_ptr<TAlarms> alarms;

    void SetUp() override { Open(); }
    void Open() {
        TAlarmsSeams seams;
        seams.list = &list;
        seams.switches = &switches;
        seams.wakeTimer = std::make_unique<FakeWakeTimer>(wake);
        seams.localToUtc = &zone;
        alarms.reset();
        alarms = std::make_unique<TAlarms>(
            path, now,
            [this](const TAlRecord& a) {
                fired.push_back(a);
                if (extra) extra(a);
            },
            reported, std::move(seams));
    }
    int Add(const TAlRecord& a) { return alarms->AddAlarm(a); }
    TAlRecord Stored(int id) { return alarms->ReadAlarm(id); }
};

TEST_F(AlarmList, MissedBoundaryIsTenThousandthOfADay) {
    struct { int ms; bool missed; } cases[] = {{5000, false}, {8600, false}, {8700, true}, {9000, true}};
    for (auto c : cases) {
        now.Set(At(2024, 3, 4, 7, 0));
        int id = Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
        now.Set(At(2024, 3, 4, 8, 0) + c.ms / kMSecsPerDay);
        fired.clear();
        alarms->Tick();
        ASSERT_EQ(fired.size(), 1u) << c.ms;
        EXPECT_EQ(fired[0].Missed, c.missed) << c.ms;
        EXPECT_FALSE(fired[0].Reminder);
        alarms->DeleteAlarm(id);
        alarms->Refresh();
    }
}

TEST_F(AlarmList, DueMeansStrictlyAfterItsTime) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    // The stored text keeps 15 digits: about ten microseconds at today's dates.
    now.Set(At(2024, 3, 4, 7, 59, 59, 999));
    alarms->Tick();
    EXPECT_TRUE(fired.empty());
    now.AdvanceMs(2);
    alarms->Tick();
    EXPECT_EQ(fired.size(), 1u);
    EXPECT_FALSE(Stored(1).Enabled) << "a fired Once alarm is switched off";
    alarms->Tick();
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(AlarmList, StoresTheNextOccurrenceBeforeTheHandlerRuns) {
    Add(Make(L"Daily", At(2024, 3, 4, 7, 0)));
    TDateTime seenInTable = 0, seenInFile = 0;
    extra = [&](const TAlRecord&) {
        seenInTable = alarms->AlarmSchedule()[0].DateTime;
        seenInFile = Stored(1).DateTime;
    };
    now.Set(At(2024, 3, 4, 7, 0, 1));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(Ms(fired[0].DateTime), Ms(At(2024, 3, 4, 7, 0)));
    EXPECT_EQ(Ms(seenInTable), Ms(At(2024, 3, 5, 7, 0)));
    EXPECT_EQ(Ms(seenInFile), Ms(At(2024, 3, 5, 7, 0)));
}

TEST_F(AlarmList, EnableSwitchHoldsEverythingBack) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    Add(Make(L"Daily", At(2024, 3, 5, 8, 0)));
    alarms->Snooze(2, 1, false);
    switches.enabled = false;
    now.Set(At(2024, 3, 4, 8, 0, 5));
    alarms->Tick();
    EXPECT_TRUE(fired.empty()) << "neither alarms nor reminders";
    switches.enabled = true;
    alarms->Tick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_FALSE(fired[0].Missed);
    EXPECT_TRUE(fired[1].Reminder);
    EXPECT_TRUE(fired[1].Missed) << "the reminder was due at 06:01";
}

TEST_F(AlarmList, LateAfterTheSwitchComesBackCountsAsMissed) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    switches.enabled = false;
    now.Set(At(2024, 3, 4, 8, 30));
    alarms->Tick();
    switches.enabled = true;
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_TRUE(fired[0].Missed);
}

TEST_F(AlarmList, AlarmDueBeforeMidnightFoundAfterItStillRings) {
    auto a = Make(L"Daily", At(2024, 3, 4, 23, 59, 59));
    a.Weeks = L"0100000";   // Mondays only
    Add(a);
    now.Set(At(2024, 3, 5, 0, 0, 1));   // Tuesday, two seconds late: not missed
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_FALSE(fired[0].Missed);
    EXPECT_EQ(Ms(Stored(1).DateTime), Ms(At(2024, 3, 11, 23, 59, 59)));
}

TEST_F(AlarmList, RaiseTestUsesTheDueDay) {
    auto weekly = Make(L"Weekly", At(2024, 3, 4, 23, 59, 59));
    weekly.Week = 2;
    EXPECT_TRUE(RaisesEvent(weekly));
    auto monthly = Make(L"Monthly", At(2024, 3, 31, 23, 59, 59));
    monthly.DayOfMonth = 31;
    EXPECT_TRUE(RaisesEvent(monthly));
    monthly.DayOfMonth = 1;
    EXPECT_FALSE(RaisesEvent(monthly));
    monthly.Missed = true;
    EXPECT_TRUE(RaisesEvent(monthly));
    auto annual = Make(L"Annualy", At(2024, 12, 31, 23, 59, 59));
    annual.Day = 31;
    annual.Month = 12;
    EXPECT_TRUE(RaisesEvent(annual));
    EXPECT_FALSE(RaisesEvent(Make(L"NOTFOUND", At(2024, 3, 4))));
}

TEST_F(AlarmList, MissedHourlyIsMovedOnSilently) {
    auto a = Make(L"Hourly", At(2024, 3, 4, 8, 15));
    a.Min = 15;
    Add(a);
    now.Set(At(2024, 3, 4, 9, 0));
    alarms->Tick();
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(Ms(Stored(1).DateTime), Ms(At(2024, 3, 4, 9, 15)));
}

TEST_F(AlarmList, ActiveWindowBoundsAreInclusive) {
    auto a = Make(L"Hourly", At(2024, 3, 4, 10, 0));
    a.ActiveTime = true;
    a.AfterTime = EncodeTime(9, 0, 0);
    a.BeforeTime = EncodeTime(17, 0, 0);
    for (int h : {8, 9, 10, 16, 17, 18}) {
        a.DateTime = At(2024, 3, 4, h, 0);
        EXPECT_EQ(RaisesEvent(a), h >= 9 && h <= 17) << h;
    }
    a.AfterTime = EncodeTime(18, 0, 0);
    a.DateTime = At(2024, 3, 4, 12, 0);
    EXPECT_FALSE(RaisesEvent(a)) << "a window that ends before it starts never rings";
    a.AfterTime = kDefaultAfterTime;
    a.BeforeTime = kDefaultBeforeTime;
    a.DateTime = At(2024, 3, 4, 9, 0);
    EXPECT_FALSE(RaisesEvent(a));
    a.DateTime = At(2024, 3, 4, 22, 0);
    EXPECT_TRUE(RaisesEvent(a));
    a.ActiveTime = false;
    a.DateTime = At(2024, 3, 4, 3, 0);
    EXPECT_TRUE(RaisesEvent(a));
}

TEST_F(AlarmList, LabelFilterHidesListsFiringAndWaking) {
    auto business = Make(L"Once", At(2024, 3, 4, 8, 0));
    business.AlLabel = 3;
    business.Wakeup = true;
    Add(business);
    auto birthday = Make(L"Once", At(2024, 3, 4, 9, 0));
    birthday.AlLabel = 1;
    Add(birthday);
    ASSERT_TRUE(wake.armedNow);

    switches.label = 1;
    alarms->Refresh();
    ASSERT_EQ(alarms->AlarmCount(), 2);
    EXPECT_EQ(alarms->AlarmSchedule()[0], AlarmScheduleEntry{}) << "hidden entries stay empty";
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].id, 2);
    EXPECT_FALSE(wake.armedNow) << "a hidden alarm does not wake the machine";

    now.Set(At(2024, 3, 4, 8, 30));
    alarms->Tick();
    EXPECT_TRUE(fired.empty());

    switches.label = 0;
    alarms->Refresh();
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].id, 1);
    EXPECT_TRUE(fired[0].Missed);
}

TEST_F(AlarmList, ListRowsShowTheStoredValues) {
    auto a = Make(L"Weekly", At(2024, 3, 11, 9, 0));
    a.Message = L"one\r\ntwo";
    a.Icon = 12;
    a.Enabled = false;
    Add(a);
    WriteIniText(dir.File(L"x"), "");
    ASSERT_EQ(list.items.size(), 1u);
    const auto& row = list.items[0];
    EXPECT_EQ(row.id, 1);
    EXPECT_FALSE(row.Checked);
    EXPECT_EQ(row.Message, L"one two");
    EXPECT_EQ(row.Type, L"Weekly");
    EXPECT_EQ(row.Icon, 12);
    ASSERT_TRUE(row.DateTime);
    EXPECT_EQ(Ms(*row.DateTime), Ms(At(2024, 3, 11, 9, 0)));
}

TEST_F(AlarmList, SnoozeShowsTheAlarmAgainWithoutAdvancingIt) {
    auto a = Make(L"Daily", At(2024, 3, 4, 7, 0));
    a.OpenfileEn = true;
    Add(a);
    now.Set(At(2024, 3, 4, 7, 0, 1));
    alarms->Tick();
    alarms->Snooze(1, 5, false);
    EXPECT_EQ(Ms(alarms->AlarmSchedule()[0].RDateTime), Ms(At(2024, 3, 4, 7, 5, 1)));
    now.Set(At(2024, 3, 4, 7, 5, 2));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_TRUE(fired[1].Reminder);
    EXPECT_FALSE(fired[1].Missed);
    EXPECT_EQ(Stored(1).RDateTime, 0.0) << "cleared before the handler ran";
    EXPECT_EQ(Ms(Stored(1).DateTime), Ms(At(2024, 3, 5, 7, 0))) << "the next day's alarm is kept";
    alarms->Tick();
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(AlarmList, ReminderOfAFiredOnceAlarmWorksAcrossMidnight) {
    Add(Make(L"Once", At(2024, 3, 4, 23, 58)));
    now.Set(At(2024, 3, 4, 23, 58, 1));
    alarms->Tick();
    ASSERT_FALSE(Stored(1).Enabled);
    alarms->Snooze(1, 5, false);
    now.Set(At(2024, 3, 5, 0, 3, 2));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_TRUE(fired[1].Reminder);
    EXPECT_FALSE(fired[1].Missed);
}

TEST_F(AlarmList, LateReminderIsJudgedByItsOwnTime) {
    auto a = Make(L"Daily", At(2024, 3, 5, 7, 0));
    a.RDateTime = At(2024, 3, 4, 6, 30);   // "before" reminder of a far alarm, long due
    Add(a);
    now.Set(At(2024, 3, 4, 6, 30, 5));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_FALSE(fired[0].Missed);
    alarms->Snooze(1, 1, false);
    now.Set(At(2024, 3, 4, 7, 0));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_TRUE(fired[1].Missed);
}

TEST_F(AlarmList, BeforeReminderRingsThenTheAlarm) {
    auto a = Make(L"Once", At(2024, 3, 4, 9, 0));
    a.RDateTime = At(2024, 3, 4, 8, 45);
    Add(a);
    now.Set(At(2024, 3, 4, 8, 45, 1));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_TRUE(fired[0].Reminder);
    EXPECT_TRUE(Stored(1).Enabled);
    now.Set(At(2024, 3, 4, 9, 0, 1));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_FALSE(fired[1].Reminder);
}

TEST_F(AlarmList, DisablingClearsTheReminder) {
    Add(Make(L"Daily", At(2024, 3, 5, 7, 0)));
    alarms->Snooze(1, 5, false);
    alarms->SetAlarmEnabled(1, false);
    EXPECT_EQ(Stored(1).RDateTime, 0.0);
    now.Set(At(2024, 3, 4, 7, 0));
    alarms->Tick();
    EXPECT_TRUE(fired.empty());
}

TEST_F(AlarmList, EnablingAStaleRepeatingAlarmDoesNotRingAtOnce) {
    auto a = Make(L"Daily", At(2024, 2, 1, 7, 0));
    a.Enabled = false;
    Add(a);
    now.Set(At(2024, 3, 4, 10, 0));
    alarms->SetAlarmEnabled(1, true);
    alarms->Tick();
    EXPECT_TRUE(fired.empty());
    EXPECT_TRUE(Stored(1).Enabled);
    EXPECT_EQ(Ms(Stored(1).DateTime), Ms(At(2024, 3, 5, 7, 0)));
}

TEST_F(AlarmList, AlarmWithoutNextTimeIsSwitchedOffByItsEnabledKeyAlone) {
    auto a = Make(L"Annualy", At(2024, 3, 4, 7, 0));
    a.Day = 30;
    a.Month = 2;
    Add(a);
    auto b = Make(L"Regular", At(2024, 3, 4, 7, 0));
    b.Min = 0;
    Add(b);
    std::string before = ReadIniText(path);
    now.Set(At(2024, 3, 4, 7, 0, 1));
    alarms->Tick();
    std::string after = ReadIniText(path);
    EXPECT_FALSE(Stored(1).Enabled);
    EXPECT_FALSE(Stored(2).Enabled);
    std::string expected = before;
    for (int i = 0; i < 2; ++i) expected.replace(expected.find("Enabled=1"), 9, "Enabled=0");
    EXPECT_EQ(after, expected);
    alarms->Tick();
    EXPECT_EQ(fired.size(), 1u) << "the Regular one rang once; 30 February never matches its day";
}

TEST_F(AlarmList, HandlerMayDeleteAndAddAlarmsDuringTheScan) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    extra = [&](const TAlRecord& a) {
        if (a.id == 1) {
            alarms->DeleteAlarm(2);
            alarms->AddAlarm(Make(L"Once", At(2024, 3, 4, 7, 0)));   // takes number 2 again
            alarms->Refresh();
        }
    };
    now.Set(At(2024, 3, 4, 8, 0, 1));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0].id, 1);
    EXPECT_EQ(fired[1].id, 2);
    EXPECT_EQ(Ms(fired[1].DateTime), Ms(At(2024, 3, 4, 7, 0))) << "the new alarm, not the deleted one";
    EXPECT_EQ(fired[2].id, 3);
    alarms->Tick();
    EXPECT_EQ(fired.size(), 3u);
}

TEST_F(AlarmList, ModalLoopInsideTheHandlerDoesNotFireTwice) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    int inner = 0;
    extra = [&](const TAlRecord&) {
        ++inner;
        alarms->Tick();   // a message box's loop delivers the timer
    };
    now.Set(At(2024, 3, 4, 8, 0, 1));
    alarms->Tick();
    EXPECT_EQ(fired.size(), 2u);
    EXPECT_EQ(inner, 2);
}

TEST_F(AlarmList, NothingFiresBeforeAHandlerIsConnected) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    TAlarms bare(path, now, nullptr, reported);
    now.Set(At(2024, 3, 4, 8, 0, 1));
    bare.Tick();
    EXPECT_TRUE(Stored(1).Enabled) << "the alarm waits instead of being spent on nobody";
}

TEST_F(AlarmList, ClockChangeLeavesDueAlarmsToTheCheck) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    Add(Make(L"Daily", At(2024, 3, 4, 8, 0)));
    now.Set(At(2024, 3, 4, 9, 0));   // the clock jumped an hour ahead
    alarms->RecalcAll();
    alarms->Refresh();
    EXPECT_TRUE(Stored(1).Enabled);
    alarms->Tick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_TRUE(fired[0].Missed);
    EXPECT_TRUE(fired[1].Missed);
}

TEST_F(AlarmList, ClockGoingBackRecomputesFutureOccurrences) {
    auto daily = Make(L"Daily", At(2024, 3, 6, 7, 0));
    Add(daily);
    auto regular = Make(L"Regular", At(2024, 3, 6, 10, 30));
    regular.Min = 30;
    Add(regular);
    auto once = Make(L"Once", At(2024, 3, 9, 10, 0));
    Add(once);
    auto weekly = Make(L"Weekly", At(2024, 3, 11, 9, 0));
    weekly.Week = 2;
    Add(weekly);
    auto none = Make(L"Daily", At(2024, 3, 6, 7, 0));
    none.Weeks = L"0000000";
    Add(none);
    std::string before = ReadIniText(path);

    now.Set(At(2024, 3, 4, 8, 0));   // back from Wednesday to Monday
    alarms->RecalcAll();
    EXPECT_EQ(Ms(Stored(1).DateTime), Ms(At(2024, 3, 5, 7, 0)));
    EXPECT_EQ(Ms(Stored(2).DateTime), Ms(At(2024, 3, 4, 8, 30))) << "no more than one interval ahead";
    EXPECT_EQ(Ms(Stored(3).DateTime), Ms(At(2024, 3, 9, 10, 0)));
    EXPECT_EQ(Ms(Stored(4).DateTime), Ms(At(2024, 3, 4, 9, 0)));
    EXPECT_FALSE(Stored(5).Enabled);
    auto sections = SplitSections(ReadIniText(path)), was = SplitSections(before);
    EXPECT_EQ(sections["[Alarm3]"], was["[Alarm3]"]);
    std::string expected5 = was["[Alarm5]"];
    expected5.replace(expected5.find("Enabled=1"), 9, "Enabled=0");
    EXPECT_EQ(sections["[Alarm5]"], expected5);
}

TEST_F(AlarmList, WakeTimerTakesTheEarliestAndIsArmedAMinuteEarly) {
    auto a = Make(L"Once", At(2024, 3, 5, 6, 0));
    a.Wakeup = true;
    Add(a);
    a.DateTime = At(2024, 3, 5, 5, 0);
    Add(a);
    ASSERT_TRUE(wake.armedNow);
    EXPECT_EQ(Ms(wake.due), Ms(At(2024, 3, 5, 3, 59))) << "05:00 local in winter is 04:00 UTC, a minute early";
    alarms->SetAlarmEnabled(1, false);
    alarms->SetAlarmEnabled(2, false);
    EXPECT_FALSE(wake.armedNow) << "cancelled when no alarm needs it";
    size_t arms = wake.armed.size();
    alarms->Refresh();
    alarms->Refresh();
    EXPECT_EQ(wake.armed.size(), arms);
}

TEST_F(AlarmList, WakeTimerUsesTheDaylightRuleOfTheWakeDate) {
    auto a = Make(L"Once", At(2024, 3, 31, 6, 0));
    a.Wakeup = true;
    now.Set(At(2024, 3, 30, 12, 0));   // winter time still
    Add(a);
    EXPECT_EQ(Ms(wake.due), Ms(At(2024, 3, 31, 3, 59)));
    alarms->DeleteAlarm(1);
    now.Set(At(2024, 10, 26, 12, 0));  // summer time still
    a.DateTime = At(2024, 10, 27, 6, 0);
    Add(a);
    EXPECT_EQ(Ms(wake.due), Ms(At(2024, 10, 27, 4, 59)));
}

TEST_F(AlarmList, WakeTimerWithinTheLastMinuteIsArmedForTheAlarmItself) {
    auto a = Make(L"Once", At(2024, 3, 4, 6, 0, 30));
    a.Wakeup = true;
    Add(a);
    EXPECT_EQ(Ms(wake.due), Ms(At(2024, 3, 4, 5, 0, 30)));
}

TEST_F(AlarmList, WakeTimerIgnoresDisabledAndPastAlarms) {
    auto a = Make(L"Once", At(2024, 3, 4, 5, 0));
    a.Wakeup = true;
    Add(a);
    a.DateTime = At(2024, 3, 5, 5, 0);
    a.Enabled = false;
    Add(a);
    EXPECT_FALSE(wake.armedNow);
}

TEST_F(AlarmList, WakeTimerFailureIsReportedOnce) {
    wake.failArm = true;
    auto a = Make(L"Once", At(2024, 3, 5, 6, 0));
    a.Wakeup = true;
    Add(a);
    alarms->Refresh();
    alarms->Tick();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], L"SetWaitableTimer: Access is denied.");
}

TEST_F(AlarmList, UnwritableFileDoesNotRingEveryTick) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    // Another program holds the file open for reading only: reads work, writes are refused.
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    now.Set(At(2024, 3, 4, 8, 0, 1));
    for (int i = 0; i < 5; ++i) {
        alarms->Tick();
        now.AdvanceMs(900);
    }
    CloseHandle(holder);
    EXPECT_EQ(fired.size(), 1u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(L"alarms.ini"), std::wstring::npos);
}

TEST_F(AlarmList, LockedFileAtStartIsReportedKeptAndReadOnceFree) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    const std::string before = ReadFileBytes(path);
    // Another program holds the file with no sharing at all: it cannot even be read.
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Open();
    EXPECT_EQ(alarms->AlarmCount(), 0);
    EXPECT_EQ(Add(Make(L"Once", At(2024, 3, 4, 9, 0))), 0);   // nothing written over the unread file
    alarms->Tick();
    ASSERT_EQ(errors.size(), 1u);   // once, not on every tick
    EXPECT_NE(errors[0].find(L"Cannot read"), std::wstring::npos) << errors[0];
    CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(path), before);
    now.Set(At(2024, 3, 4, 8, 0, 1));
    alarms->Tick();   // the check reads the file again and rings what was due
    EXPECT_EQ(alarms->AlarmCount(), 1);
    EXPECT_EQ(list.items.size(), 1u);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(AlarmList, BrokenSectionsOfOneReadingShareOneReport) {
    std::string five;
    for (char n = '1'; n <= '5'; ++n) five += std::string("[Alarm") + n + "]\nDateTime=x\n";
    WriteIniText(path, five);
    alarms->Refresh();
    WriteIniText(path, five + "[Alarm6]\nDateTime=x\n");
    alarms->Refresh();   // only the newly broken one, on its own
    const std::wstring e = L", DateTime: 'x' is not a valid floating point value";
    EXPECT_EQ(errors, (std::vector<std::wstring>{L"Alarm1" + e + L"\r\nAlarm2" + e + L"\r\nAlarm3" + e +
                                                 L"\r\n... and 2 more", L"Alarm6" + e}));
}

TEST_F(AlarmList, ReopenFollowsTheSettingsFolder) {
    Add(Make(L"Once", At(2024, 3, 4, 8, 0)));
    TempDir other;
    alarms->Reopen(other.File(L"alarms.ini"));
    EXPECT_EQ(alarms->AlarmCount(), 0);
    EXPECT_TRUE(list.items.empty());
    CopyFileW(path.c_str(), other.File(L"alarms.ini").c_str(), FALSE);
    alarms->Refresh();
    EXPECT_EQ(alarms->AlarmCount(), 1);
}

// A week of 900 ms ticks against alarms of every kind: each occurrence rings exactly once, on time.
TEST_F(AlarmList, SimulatedWeekFiresEveryOccurrenceExactlyOnce) {
    const TDateTime start = At(2024, 2, 26);   // Monday; the week holds 29 February and 1 March
    now.Set(start);
    std::map<int, std::vector<TDateTime>> expected;
    auto add = [&](TAlRecord a, std::vector<TDateTime> when) {
        int id = Add(a);
        expected[id] = std::move(when);
        return id;
    };
    std::vector<TDateTime> hours, window, days, workdays;
    for (int d = 0; d < 7; ++d) {
        for (int h = 0; h < 24; ++h) {
            hours.push_back(start + d + h * kOneHour + 15 * kOneMinute);
            if (h >= 9 && h <= 17) window.push_back(start + d + h * kOneHour);
        }
        days.push_back(start + d + EncodeTime(23, 59, 59));
        if (d < 5) workdays.push_back(start + d + 7 * kOneHour);
    }
    auto once = Make(L"Once", At(2024, 2, 27, 10, 0));
    once.AutoDelete = true;
    once.MessageEn = false;
    add(once, {At(2024, 2, 27, 10, 0)});
    auto hourly = Make(L"Hourly", start + 15 * kOneMinute);
    hourly.Min = 15;
    add(hourly, hours);
    auto windowed = Make(L"Hourly", start + kOneHour);
    windowed.ActiveTime = true;
    windowed.AfterTime = EncodeTime(9, 0, 0);
    windowed.BeforeTime = EncodeTime(17, 0, 0);
    int windowedId = add(windowed, window);
    auto daily = Make(L"Daily", start + 7 * kOneHour);
    daily.Weeks = L"0111110";
    add(daily, workdays);
    auto late = Make(L"Daily", start + EncodeTime(23, 59, 59));
    add(late, days);
    auto weekly = Make(L"Weekly", At(2024, 2, 28, 12, 0));
    weekly.Week = 4;
    add(weekly, {At(2024, 2, 28, 12, 0)});
    auto leapDay = Make(L"Monthly", At(2024, 2, 29, 20, 0));
    leapDay.DayOfMonth = 29;
    add(leapDay, {At(2024, 2, 29, 20, 0)});
    auto first = Make(L"Monthly", At(2024, 3, 1, 0, 0));
    first.DayOfMonth = 1;
    add(first, {At(2024, 3, 1)});
    auto annual = Make(L"Annualy", At(2024, 2, 29, 6, 30));
    annual.Day = 29;
    annual.Month = 2;
    add(annual, {At(2024, 2, 29, 6, 30)});
    auto regular = Make(L"Regular", start + 90 * kOneMinute);
    regular.Min = 90;
    int regularId = Add(regular);

    // The main form's handler deletes a spent auto-delete Once alarm without a message.
    extra = [&](const TAlRecord& a) {
        if (a.Type == L"Once" && a.AutoDelete && !a.MessageEn) {
            alarms->DeleteAlarm(a.id);
            alarms->Refresh();
        }
    };
    const std::int64_t ticks = 7LL * 86400 * 1000 / 900;
    for (std::int64_t i = 1; i <= ticks; ++i) {
        now.Set(start + MSecsToDateTime(i * 900));
        alarms->Tick();
    }

    std::map<int, std::vector<TDateTime>> got;
    for (const auto& a : fired) {
        EXPECT_FALSE(a.Missed) << a.id;
        EXPECT_FALSE(a.Reminder);
        got[a.id].push_back(a.DateTime);
    }
    for (const auto& [id, times] : expected) {
        ASSERT_EQ(got[id].size(), times.size()) << "alarm " << id;
        for (size_t k = 0; k < times.size(); ++k) EXPECT_EQ(Ms(got[id][k]), Ms(times[k])) << "alarm " << id << " #" << k;
    }
    EXPECT_EQ(Ms(Stored(windowedId).DateTime), Ms(At(2024, 3, 4, 0, 0))) << "advanced outside its window too";
    // Regular: every 90 minutes from when it was found due, never bunched, never skipped.
    const auto& r = got[regularId];
    ASSERT_GE(r.size(), 111u);
    EXPECT_LE(r.size(), 112u);
    EXPECT_EQ(Ms(r.front()), Ms(start + 90 * kOneMinute));
    for (size_t k = 1; k < r.size(); ++k) {
        double gap = (r[k] - r[k - 1]) * kSecondsPerDay;
        EXPECT_GE(gap, 5400.0 - 0.01);
        EXPECT_LE(gap, 5401.0);
    }
    EXPECT_GT(r.back() + 90 * kOneMinute + kOneSecond, start + 7);
    EXPECT_EQ(alarms->AlarmCount(), 9) << "the auto-delete alarm is gone";
}

}  // namespace
