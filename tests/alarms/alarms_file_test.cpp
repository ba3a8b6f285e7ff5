#include <gtest/gtest.h>

#include "alarm_fakes.h"
#include "alarms/alarm_list.h"
#include "ini_text.h"

using namespace vt;
using namespace vt::test;

namespace {

class AlarmsIni : public testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File(L"alarms.ini");
    FakeNow now{At(2024, 3, 1, 6, 59)};
    std::vector<TAlRecord> fired;
    FakeErrors reported;
    std::unique_ptr<TAlarms> alarms;

    void Open() {
        alarms = std::make_unique<TAlarms>(path, now, [this](const TAlRecord& a) { fired.push_back(a); }, reported);
    }
    // The file must equal the golden file; sections other than `touched` must be as they were before.
    void ExpectGolden(const std::wstring& name, const std::string& before, const std::string& touched) {
        std::string actual = ReadIniText(path);
        if (UpdatingGolden()) WriteFileBytes(GoldenDir() + name, actual);
        EXPECT_EQ(actual, Golden(name)) << Narrow(name);
        auto was = SplitSections(before), is = SplitSections(actual);
        for (const auto& [section, text] : was)
            if (section != touched && is.count(section)) {
                EXPECT_EQ(is[section], text) << section << " changed";
            }
        for (const auto& [section, text] : is)
            if (section != touched) {
                EXPECT_TRUE(was.count(section)) << section << " appeared";
            }
    }
};

TEST_F(AlarmsIni, AddFireSnoozeDeleteChangeOnlyTheTouchedSection) {
    WriteIniText(path, Golden(L"seed.ini"));
    Open();
    std::string seed = ReadIniText(path);
    EXPECT_EQ(seed, Golden(L"seed.ini")) << "opening writes nothing";

    TAlRecord weekly;
    weekly.Type = L"Weekly";
    weekly.Week = 2;
    weekly.DateTime = At(2024, 3, 4, 8, 0);
    weekly.Message = L"Line 1\r\nLine 2";
    weekly.Enabled = true;
    weekly.Weeks = L"1111111";
    weekly.ShutDown = L"restart";
    weekly.Icon = 7;
    weekly.SoundTimes = 3;
    weekly.AfterTime = kDefaultAfterTime;
    weekly.BeforeTime = kDefaultBeforeTime;
    EXPECT_EQ(alarms->AddAlarm(weekly), 2);
    ExpectGolden(L"add.ini", seed, "[Alarm2]");
    std::string added = ReadIniText(path);

    now.Set(At(2024, 3, 1, 7, 0, 2));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].id, 1);
    EXPECT_EQ(fired[0].Message, L"Wake up\r\nTake the pills");
    EXPECT_EQ(Ms(fired[0].DateTime), Ms(At(2024, 3, 1, 7, 0))) << "the alarm as it was due";
    EXPECT_FALSE(fired[0].Missed);
    ExpectGolden(L"fire.ini", added, "[Alarm1]");
    std::string afterFire = ReadIniText(path);

    alarms->Snooze(1, 5, false);
    ExpectGolden(L"snooze.ini", afterFire, "[Alarm1]");
    std::string snoozed = ReadIniText(path);

    EXPECT_TRUE(alarms->DeleteAlarm(3));
    alarms->Refresh();
    ExpectGolden(L"delete.ini", snoozed, "[Alarm3]");
    EXPECT_EQ(alarms->AlarmCount(), 2);
}

TEST_F(AlarmsIni, MultiLineMessageSurvivesManyFiringsAndClockChanges) {
    Open();
    TAlRecord a;
    a.Type = L"Hourly";
    a.Min = 0;
    a.Enabled = true;
    a.DateTime = At(2024, 3, 1, 7, 0);
    a.Message = L"one\r\ntwo\rthree\nfour";
    a.SoundFile = L"\"quoted.wav\"";
    a.ParamFile = L" -x ";
    ASSERT_EQ(alarms->AddAlarm(a), 1);
    std::string stored = ReadIniText(path);
    for (int i = 0; i < 6; ++i) {
        now.Set(At(2024, 3, 1, 7 + i, 0, 1));
        alarms->Tick();
        alarms->RecalcAll();
        alarms->Refresh();
    }
    EXPECT_EQ(fired.size(), 6u);
    TAlRecord r = alarms->ReadAlarm(1);
    EXPECT_EQ(r.Message, L"one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(r.SoundFile, L"\"quoted.wav\"");
    EXPECT_EQ(r.ParamFile, L" -x ");
    auto line = [](const std::string& text, const std::string& key) {
        size_t p = text.find("\n" + key + "=");
        return text.substr(p + 1, text.find('\n', p + 1) - p - 1);
    };
    std::string now = ReadIniText(path);
    EXPECT_EQ(line(now, "Message"), "Message=one#13two#13three#13four");
    EXPECT_EQ(line(now, "Message"), line(stored, "Message"));
    EXPECT_EQ(line(now, "SoundFile"), line(stored, "SoundFile"));
}

TEST_F(AlarmsIni, NewAlarmTakesTheSmallestFreeNumber) {
    Open();
    EXPECT_EQ(alarms->NewSectionName(), L"Alarm1");
    WriteIniText(path, "[Alarm1]\nType=Once\n[Alarm3]\nType=Once\n");
    EXPECT_EQ(alarms->NewSectionName(), L"Alarm2");
    TAlRecord a;
    a.Type = L"Once";
    a.id = 99;   // ignored: the file decides the number
    EXPECT_EQ(alarms->AddAlarm(a), 2);
    EXPECT_EQ(alarms->ReadAlarm(2).id, 2);
    EXPECT_EQ(alarms->NewSectionName(), L"Alarm4");
    alarms->DeleteAlarm(1);
    EXPECT_EQ(alarms->NewSectionName(), L"Alarm1") << "freed numbers are reused";
}

TEST_F(AlarmsIni, ReaderDefaultsForAMostlyEmptySection) {
    WriteIniText(path, "[Alarm4]\nMessage=x\n");
    Open();
    TAlRecord r = alarms->ReadAlarm(4);
    EXPECT_EQ(r.id, 4);
    EXPECT_EQ(r.Icon, 5);
    EXPECT_EQ(r.SoundTimes, 1);
    EXPECT_EQ(r.SoundPause, 1);
    EXPECT_EQ(r.SoundVolume, 1);
    EXPECT_EQ(r.Type, L"NOTFOUND");
    EXPECT_FALSE(AlarmKindOf(r.Type));
    EXPECT_EQ(r.ShutDown, L"NOTFOUND");
    EXPECT_EQ(r.DayOfMonth, -1);
    EXPECT_EQ(r.Day, -1);
    EXPECT_DOUBLE_EQ(r.AfterTime, kDefaultAfterTime);
    EXPECT_DOUBLE_EQ(r.BeforeTime, kDefaultBeforeTime);
    EXPECT_FALSE(r.Enabled);
    // The table reads the same section with its own defaults.
    ASSERT_EQ(alarms->AlarmCount(), 1);
    EXPECT_EQ(alarms->AlarmSchedule()[0].Icon, 0);
    EXPECT_EQ(alarms->AlarmSchedule()[0].Kind, 0);
    EXPECT_EQ(alarms->ReadAlarm(5).id, -1) << "a missing section reads as the defaults";
}

TEST_F(AlarmsIni, NumbersWithEitherSeparatorOrExponentRead) {
    WriteIniText(path, "[Alarm1]\nDateTime=0,5\nRDateTime=1.15740740740741E-5\n[Alarm2]\nDateTime=0.5\n");
    Open();
    EXPECT_EQ(Ms(alarms->ReadAlarm(1).DateTime), Ms(EncodeTime(12, 0, 0)));
    EXPECT_EQ(Ms(alarms->ReadAlarm(1).RDateTime), 1000);
    EXPECT_EQ(Ms(alarms->ReadAlarm(2).DateTime), Ms(EncodeTime(12, 0, 0)));
}

TEST_F(AlarmsIni, WritesForAGoneSectionWriteNothing) {
    WriteIniText(path, "[Alarm1]\nType=Once\nEnabled=1\n");
    Open();
    std::string before = ReadIniText(path);
    TAlRecord ghost;
    ghost.id = 7;
    ghost.Type = L"Once";
    EXPECT_FALSE(alarms->UpdateAlarm(ghost));
    alarms->SetAlarmEnabled(7, false);
    alarms->Snooze(7, 5, false);
    alarms->Snooze(7, 0, true);
    EXPECT_FALSE(alarms->DeleteAlarm(7));
    EXPECT_EQ(ReadIniText(path), before);
    EXPECT_EQ(alarms->AlarmCount(), 1);
}

TEST_F(AlarmsIni, TheTestWindowsIdZeroWritesNothing) {
    WriteIniText(path, "[Alarm1]\nType=Once\nEnabled=1\n");
    Open();
    std::string before = ReadIniText(path);
    alarms->SetAlarmEnabled(0, false);
    alarms->Snooze(0, 5, false);
    alarms->Snooze(0, 5, true);
    EXPECT_EQ(ReadIniText(path), before);
}

TEST_F(AlarmsIni, ForeignSectionsAreIgnoredAndKept) {
    WriteIniText(path,
                 "[Options]\nEnabled=1\nDateTime=1\n[Alarm01]\nEnabled=1\nDateTime=1\n[Alarm2]\nEnabled=1\nDateTime=1\n"
                 "Type=Once\nid=9\n");
    Open();
    ASSERT_EQ(alarms->AlarmCount(), 1);
    EXPECT_EQ(alarms->AlarmSchedule()[0].id, 2) << "the section name, not the id key, is the identity";
    now.Set(At(2024, 3, 1));
    alarms->Tick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].id, 2);
    std::string text = ReadIniText(path);
    auto sections = SplitSections(text);
    EXPECT_EQ(sections["[Options]"], "[Options]\nEnabled=1\nDateTime=1\n");
    EXPECT_EQ(sections["[Alarm01]"], "[Alarm01]\nEnabled=1\nDateTime=1\n");
}

TEST_F(AlarmsIni, UpdateKeepsUnknownKeysAndAppendsMissingOnes) {
    WriteIniText(path, "[Alarm1]\nColour=red\nType=Once\nEnabled=1\n");
    Open();
    TAlRecord a = alarms->ReadAlarm(1);
    a.Message = L"hi";
    ASSERT_TRUE(alarms->UpdateAlarm(a));
    std::string text = SplitSections(ReadIniText(path))["[Alarm1]"];
    EXPECT_EQ(text.find("[Alarm1]\nColour=red\nType=Once\nEnabled=1\nDateTime=0\n"), 0u) << text;
    // Missing keys come in the order earlier versions wrote them: the flags after the numbers.
    EXPECT_LT(text.find("SoundVolume="), text.find("MessageEn="));
    EXPECT_LT(text.find("SoundLoop="), text.find("SoundEn="));
    EXPECT_LT(text.find("ActiveTime="), text.find("Wakeup="));
}

TEST_F(AlarmsIni, UnreadableSectionIsReportedOnceAndHidesNothingElse) {
    WriteIniText(path,
                 "[Alarm1]\nType=Once\nEnabled=1\nDateTime=soon\n"
                 "[Alarm2]\nType=Once\nEnabled=1\nDateTime=45352.25\n"
                 "[Alarm3]\nType=Once\nEnabled=1\nDateTime=45352.25\nAfterTime=nine\n");
    const std::vector<std::wstring>& errors = reported.texts;
    FakeList list;
    TAlarmsSeams seams;
    seams.list = &list;
    alarms = std::make_unique<TAlarms>(path, now, [this](const TAlRecord& a) { fired.push_back(a); }, reported,
                                       std::move(seams));
    ASSERT_EQ(errors.size(), 1u) << "one reading, one report";
    EXPECT_NE(errors[0].find(L"Alarm1"), std::wstring::npos);
    EXPECT_NE(errors[0].find(L"'soon'"), std::wstring::npos);
    EXPECT_GT(errors[0].find(L"Alarm3"), errors[0].find(L"Alarm1")) << Narrow(errors[0]);
    EXPECT_EQ(list.items.size(), 3u) << "broken alarms stay listed, to be mended or deleted";
    EXPECT_FALSE(list.items[0].DateTime);

    now.Set(At(2024, 3, 1, 6, 0, 1));
    for (int i = 0; i < 20; ++i) {
        alarms->Tick();
        now.AdvanceMs(900);
    }
    alarms->Refresh();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].id, 2);
    EXPECT_EQ(errors.size(), 1u) << "each error is reported once";

    // Mended and broken again: reported again.
    WriteIniText(path, "[Alarm1]\nType=Once\nDateTime=1\n");
    alarms->Refresh();
    WriteIniText(path, "[Alarm1]\nType=Once\nDateTime=soon\n");
    alarms->Refresh();
    EXPECT_EQ(errors.size(), 2u);
}

}  // namespace
