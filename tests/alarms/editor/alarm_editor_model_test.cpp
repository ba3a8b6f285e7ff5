#include <gtest/gtest.h>

#include "alarms/alarm_editor_model.h"
#include "support/test_support.h"
#include "alarms/alarm_fakes.h"

using namespace vt;
using vt::test::At;
using vt::test::Ms;

namespace {
// Wednesday 10 June 2026, 10:20:30.
const TDateTime kNow = At(2026, 6, 10, 10, 20, 30);

AlarmEditorFields Fields() { return DefaultEditorFields(kNow, L"C:\\prog\\Sounds\\", {L"a.wav", L"b.mp3"}); }

TAlRecord Saved(const AlarmEditorFields& f, TDateTime now = kNow) {
    EditorResult r = RecordFromFields(f, now);
    EXPECT_FALSE(r.error) << (r.error ? std::string(r.error->text.begin(), r.error->text.end()) : "");
    return r.record.value_or(TAlRecord{});
}

EditorError Refused(const AlarmEditorFields& f, TDateTime now = kNow) {
    EditorResult r = RecordFromFields(f, now);
    EXPECT_FALSE(r.record);
    return r.error.value_or(EditorError{});
}

// Fields -> record -> fields again, as the editor reopens a stored alarm.
AlarmEditorFields RoundTrip(const AlarmEditorFields& f) {
    TAlRecord r = Saved(f);
    r.Message = DecodeLineBreaks(r.Message);   // what ReadAlarm hands back
    AlarmEditorFields back = Fields();
    FieldsFromRecord(r, true, back);
    return back;
}
}  // namespace

TEST(AlarmEditorDefaults, ProposeTheNextMinuteButNeverTheNextHour) {
    EXPECT_EQ(Ms(ProposedAlarmTime(kNow)), Ms(EncodeTime(10, 21, 0)));
    EXPECT_EQ(Ms(ProposedAlarmTime(At(2026, 6, 10, 10, 59, 40))), Ms(EncodeTime(10, 59, 0)));
    EXPECT_EQ(Ms(ProposedAlarmTime(At(2026, 6, 10, 23, 59, 59))), Ms(EncodeTime(23, 59, 0)));
}

TEST(AlarmEditorDefaults, NewAlarmFields) {
    AlarmEditorFields f = Fields();
    EXPECT_EQ(f.kind, EditorKind::Once);
    EXPECT_EQ(f.message, L"Don't forget about ");
    EXPECT_EQ(f.icon, 5);
    EXPECT_EQ(f.sound, L"a.wav");
    EXPECT_EQ(f.soundFolder, L"C:\\prog\\Sounds\\");
    EXPECT_EQ(f.regularMinutes, 30);
    EXPECT_EQ(f.reminderIndex, 3);
    EXPECT_FALSE(f.reminder);
    EXPECT_EQ(f.onceDate, kNow);
    EXPECT_EQ(DefaultEditorFields(kNow, L"x\\", {}).sound, L"");
}

TEST(AlarmEditorSave, OnceAtTheChosenDateAndTime) {
    AlarmEditorFields f = Fields();
    f.onceDate = At(2026, 7, 1, 3, 4, 5);
    f.time = EncodeTime(8, 15, 0);
    f.autoDelete = true;
    f.message = L"a\r\nb";
    TAlRecord r = Saved(f);
    EXPECT_EQ(r.Type, L"Once");
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 7, 1, 8, 15)));
    EXPECT_TRUE(r.Enabled);
    EXPECT_TRUE(r.AutoDelete);
    EXPECT_EQ(r.Message, L"a#13b");
    EXPECT_EQ(r.SoundFile, L"C:\\prog\\Sounds\\a.wav");
    EXPECT_EQ(r.RDateTime, 0);
    EXPECT_EQ(r.id, 0);
}

TEST(AlarmEditorSave, OnceInThePastIsRefusedAndNowIsAccepted) {
    AlarmEditorFields f = Fields();
    f.onceDate = kNow;
    f.time = EncodeTime(10, 19, 0);
    EXPECT_EQ(Refused(f), (EditorError{kPastTimeError, L"Incorrect time"}));
    f.time = EncodeTime(10, 20, 30);
    EXPECT_EQ(Ms(Saved(f).DateTime), Ms(kNow));
}

TEST(AlarmEditorSave, HourlyFromTheNextMatchingMinute) {
    AlarmEditorFields f = Fields();
    f.kind = EditorKind::Hourly;
    f.hourlyMinute = 15;
    TAlRecord r = Saved(f);
    EXPECT_EQ(r.Type, L"Hourly");
    EXPECT_EQ(r.Min, 15);
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 6, 10, 11, 15)));
}

TEST(AlarmEditorSave, ActivityWindowCheckedOnlyWhenOn) {
    for (EditorKind kind : {EditorKind::Hourly, EditorKind::Regular}) {
        AlarmEditorFields f = Fields();
        f.kind = kind;
        f.activeTime = true;
        f.after = f.before = EncodeTime(9, 0, 0);
        EXPECT_EQ(Refused(f), (EditorError{kActivityWindowError, L"Incorrect time"}));
        f.activeTime = false;
        TAlRecord r = Saved(f);
        EXPECT_EQ(Ms(r.AfterTime), Ms(EncodeTime(9, 0, 0)));
        EXPECT_FALSE(r.ActiveTime);
    }
}

TEST(AlarmEditorSave, DailyWeekdaysAndRefusalWithoutOne) {
    AlarmEditorFields f = Fields();
    f.kind = EditorKind::Daily;
    f.time = EncodeTime(7, 0, 0);
    f.weekdays = {false, true, true, true, true, true, false};
    TAlRecord r = Saved(f);
    EXPECT_EQ(r.Type, L"Daily");
    EXPECT_EQ(r.Weeks, L"0111110");
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 6, 11, 7, 0)));   // today's 07:00 has passed
    f.weekdays = {};
    EXPECT_EQ(Refused(f), (EditorError{L"Please, select day of week", L"Vantoric"}));
}

TEST(AlarmEditorSave, WeeklyMonthlyAnnualy) {
    AlarmEditorFields f = Fields();
    f.time = EncodeTime(12, 0, 0);
    f.kind = EditorKind::Weekly;
    f.weeklyIndex = 3;   // Wednesday: today, still ahead
    TAlRecord r = Saved(f);
    EXPECT_EQ(r.Week, 4);
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 6, 10, 12, 0)));

    f.kind = EditorKind::Monthly;
    f.monthlyDay = 31;
    r = Saved(f);
    EXPECT_EQ(r.Type, L"Monthly");
    EXPECT_EQ(r.DayOfMonth, 31);
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 7, 31, 12, 0)));

    f.kind = EditorKind::Annualy;
    f.annualDay = 29;
    f.annualMonthIndex = 1;
    r = Saved(f);
    EXPECT_EQ(r.Type, L"Annualy");
    EXPECT_EQ(r.Day, 29);
    EXPECT_EQ(r.Month, 2);
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2028, 2, 29, 12, 0)));
}

TEST(AlarmEditorSave, DayNoCalendarHasIsRefused) {
    AlarmEditorFields f = Fields();
    f.kind = EditorKind::Annualy;
    f.annualDay = 30;
    f.annualMonthIndex = 1;
    EXPECT_EQ(Refused(f), (EditorError{kNoSuchDayError, L"Incorrect time"}));
    f.annualDay = 31;
    f.annualMonthIndex = 3;   // 31 April
    EXPECT_EQ(Refused(f).text, kNoSuchDayError);
}

TEST(AlarmEditorSave, RegularCountsFromItsStart) {
    AlarmEditorFields f = Fields();
    f.kind = EditorKind::Regular;
    f.regularMinutes = 90;
    f.regularStart = At(2026, 6, 10, 10, 0);
    TAlRecord r = Saved(f);
    EXPECT_EQ(r.Type, L"Regular");
    EXPECT_EQ(r.Min, 90);
    EXPECT_EQ(Ms(r.DateTime), Ms(At(2026, 6, 10, 11, 30)));
    // A start long past: the first firing counts from now.
    f.regularStart = At(2026, 6, 1, 10, 0);
    EXPECT_EQ(Ms(Saved(f).DateTime), Ms(kNow + 90 * kOneMinute));
}

TEST(AlarmEditorSave, ReminderBeforeTheComputedTime) {
    AlarmEditorFields f = Fields();
    f.onceDate = At(2026, 6, 12);
    f.time = EncodeTime(9, 0, 0);
    f.reminder = true;
    const int minutes[] = {120, 60, 30, 15, 10, 5};
    for (int i = 0; i < 6; ++i) {
        f.reminderIndex = i;
        TAlRecord r = Saved(f);
        EXPECT_EQ(Ms(r.DateTime) - Ms(r.RDateTime), minutes[i] * 60000LL) << i;
    }
    f.reminderIndex = 6;   // "0 minutes": a reminder at the alarm's own time would ring it twice
    EXPECT_EQ(Saved(f).RDateTime, 0);
    f.reminderIndex = -1;
    EXPECT_EQ(Saved(f).RDateTime, 0);
    f.reminderIndex = 0;
    f.reminder = false;
    EXPECT_EQ(Saved(f).RDateTime, 0);
}

TEST(AlarmEditorSave, SoundActionsAndFlags) {
    AlarmEditorFields f = Fields();
    f.sound.clear();
    f.soundOn = true;
    f.repeatUntilClosed = true;
    f.repeatTimes = 4;
    f.repeatPause = 0;
    f.customVolume = true;
    f.volume = 40;
    f.actionsOn = true;
    f.openDoc = false;
    f.action = 3;
    f.fileName = L"C:\\x.exe";
    f.params = L"-p";
    f.windowStyle = 2;
    f.forceClose = true;
    f.wakeup = true;
    f.category = 4;
    f.icon = 17;
    f.messageOn = false;
    TAlRecord r = Saved(f);
    EXPECT_EQ(r.SoundFile, L"");
    EXPECT_TRUE(r.SoundEn && r.SoundLoop && r.SoundCustVol && r.ForceClose && r.Wakeup);
    EXPECT_EQ(r.SoundTimes, 4);
    EXPECT_EQ(r.SoundPause, 0);
    EXPECT_EQ(r.SoundVolume, 40);
    EXPECT_FALSE(r.OpenfileEn);
    EXPECT_TRUE(r.ShutdownEn);
    EXPECT_EQ(r.ShutDown, L"hibernate");
    EXPECT_EQ(r.OpenFile, L"C:\\x.exe");
    EXPECT_EQ(r.ParamFile, L"-p");
    EXPECT_EQ(r.WindowStyle, 2);
    EXPECT_EQ(r.AlLabel, 4);
    EXPECT_EQ(r.Icon, 17);
    EXPECT_FALSE(r.MessageEn);
    f.actionsOn = false;
    r = Saved(f);
    EXPECT_FALSE(r.OpenfileEn || r.ShutdownEn);
    EXPECT_EQ(r.ShutDown, L"hibernate");   // the choice is kept for the next time
}

TEST(AlarmEditorRecord, EveryKindComesBackAsEntered) {
    AlarmEditorFields f = Fields();
    f.time = EncodeTime(18, 45, 0);
    f.message = L"line 1\r\nline 2";
    f.category = 9;
    f.icon = 12;
    f.onceDate = At(2026, 8, 2);
    f.weekdays = {true, false, true, false, true, false, false};
    f.weeklyIndex = 5;
    f.monthlyDay = 17;
    f.annualDay = 24;
    f.annualMonthIndex = 11;
    f.regularMinutes = 45;
    f.regularStart = At(2026, 6, 10, 11, 0);
    f.hourlyMinute = 42;
    f.activeTime = true;
    f.after = EncodeTime(8, 0, 0);
    f.before = EncodeTime(17, 0, 0);
    f.soundFolder = L"D:\\tunes\\";
    f.sound = L"ring.mp3";
    f.soundOn = true;
    f.actionsOn = true;
    f.openDoc = true;
    f.fileName = L"notes.txt";
    f.action = 5;
    for (int k = 1; k <= kEditorKindCount; ++k) {
        f.kind = static_cast<EditorKind>(k);
        AlarmEditorFields back = RoundTrip(f);
        EXPECT_EQ(back.kind, f.kind);
        EXPECT_EQ(back.message, f.message);
        EXPECT_EQ(back.category, 9);
        EXPECT_EQ(back.icon, 12);
        EXPECT_EQ(back.soundFolder, L"D:\\tunes\\");
        EXPECT_EQ(back.sound, L"ring.mp3");
        EXPECT_TRUE(back.activeTime);
        EXPECT_EQ(Ms(back.after), Ms(f.after));
        EXPECT_EQ(back.action, 5);
        EXPECT_TRUE(back.actionsOn && back.openDoc);
        switch (f.kind) {
            case EditorKind::Once:
                EXPECT_EQ(back.onceDate, At(2026, 8, 2));
                EXPECT_EQ(Ms(back.time), Ms(f.time));
                break;
            case EditorKind::Daily: EXPECT_EQ(back.weekdays, f.weekdays); break;
            case EditorKind::Weekly: EXPECT_EQ(back.weeklyIndex, 5); break;
            case EditorKind::Monthly: EXPECT_EQ(back.monthlyDay, 17); break;
            case EditorKind::Annualy:
                EXPECT_EQ(back.annualDay, 24);
                EXPECT_EQ(back.annualMonthIndex, 11);
                break;
            case EditorKind::Regular:
                EXPECT_EQ(back.regularMinutes, 45);
                EXPECT_EQ(Ms(back.regularStart), Ms(f.regularStart));
                break;
            case EditorKind::Hourly: EXPECT_EQ(back.hourlyMinute, 42); break;
        }
    }
}

TEST(AlarmEditorRecord, DisabledAlarmOpensEnabledAndShutdownPanelWins) {
    TAlRecord a;
    a.Type = L"Once";
    a.DateTime = At(2026, 7, 1, 6, 30);
    a.Enabled = false;
    a.OpenfileEn = true;
    a.ShutdownEn = true;
    a.ShutDown = L"nonsense";
    a.SoundFile = L"C:\\gone\\x.wav";
    AlarmEditorFields f = Fields();
    FieldsFromRecord(a, /*soundExists*/ false, f);
    EXPECT_TRUE(f.alarmOn);
    EXPECT_FALSE(f.openDoc);
    EXPECT_EQ(f.action, 0);                       // unknown word leaves the default
    EXPECT_EQ(f.soundFolder, L"C:\\prog\\Sounds\\");   // missing file: the program's sounds stay
    EXPECT_EQ(f.sound, L"a.wav");
}

TEST(AlarmEditorRecord, ReminderBands) {
    TAlRecord a;
    a.Type = L"Once";
    a.DateTime = At(2026, 7, 1, 6, 30);
    struct Case { int minutes; bool checked; int index; } cases[] = {
        {120, true, 0}, {110, true, 0}, {130, true, 0}, {60, true, 1}, {30, true, 2}, {15, true, 3},
        {10, true, 4}, {5, true, 5}, {1, true, 6}, {17, true, -2}, {200, true, -2}, {-30, false, 2}};
    for (const Case& c : cases) {
        a.RDateTime = a.DateTime - c.minutes * kOneMinute;
        AlarmEditorFields f = Fields();
        f.reminderIndex = -2;   // marks "left as it was"
        FieldsFromRecord(a, false, f);
        EXPECT_EQ(f.reminder, c.checked) << c.minutes;
        EXPECT_EQ(f.reminderIndex, c.index) << c.minutes;
    }
    a.RDateTime = 0;
    AlarmEditorFields f = Fields();
    FieldsFromRecord(a, false, f);
    EXPECT_FALSE(f.reminder);
    EXPECT_EQ(f.reminderIndex, -1);   // the list's text is cleared
}

TEST(AlarmEditorRecord, ValuesNoControlCanShowKeepTheDefaults) {
    TAlRecord a;
    a.DateTime = At(2026, 7, 1, 6, 30);
    a.Type = L"Weekly";
    a.Week = 0;
    a.SoundVolume = 1000;
    a.SoundTimes = 0;
    AlarmEditorFields f = Fields();
    FieldsFromRecord(a, false, f);
    EXPECT_EQ(f.weeklyIndex, 0);
    EXPECT_EQ(f.volume, 100);
    EXPECT_EQ(f.repeatTimes, 1);
    a.Type = L"Annualy";
    a.Day = -1;
    a.Month = 13;
    f = Fields();
    FieldsFromRecord(a, false, f);
    EXPECT_EQ(f.annualDay, 1);
    EXPECT_EQ(f.annualMonthIndex, 0);
    a.Type = L"NOTFOUND";
    f = Fields();
    FieldsFromRecord(a, false, f);
    EXPECT_EQ(f.kind, EditorKind::Once);
}

TEST(AlarmEditorEnabling, PanelsAndGroupsFollowTheFields) {
    AlarmEditorFields f = Fields();
    for (int k = 1; k <= kEditorKindCount; ++k) {
        f.kind = static_cast<EditorKind>(k);
        EditorEnabling e = EnablingOf(f);
        for (int p = 1; p <= kEditorKindCount; ++p) EXPECT_EQ(e.panelShown[p], p == k);
        EXPECT_EQ(e.hourly2Shown, k == 6 || k == 7);
        EXPECT_EQ(e.autoDeleteShown, k == 1);
    }
    f.soundOn = false;
    f.customVolume = true;
    EXPECT_FALSE(EnablingOf(f).volumeControls);
    f.soundOn = true;
    EXPECT_TRUE(EnablingOf(f).volumeControls);
    f.activeTime = true;
    EXPECT_TRUE(EnablingOf(f).activeWindow);
    f.alarmOn = false;
    EXPECT_FALSE(EnablingOf(f).activeWindow);
    f.openDoc = false;
    EXPECT_EQ(EnablingOf(f).appDocCaption, L"Shut down computer");
    EXPECT_FALSE(EnablingOf(f).openAppInFront);
}

TEST(AlarmEditorTexts, VolumeAndDeleteQuestion) {
    EXPECT_EQ(VolumeCaption(100), L"Volume: 100% ");
    EXPECT_EQ(DeleteQuestion(L"a\r\nb"), L"Delete Alarm \"a\r\nb\" ?");
}

TEST(AlarmEditorFiles, SoundsWavFirstThenMp3AndIcons) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File(L"z.mp3"), "x");
    test::WriteFileBytes(dir.File(L"b.wav"), "x");
    test::WriteFileBytes(dir.File(L"notes.txt"), "x");
    test::WriteFileBytes(dir.File(L"i.png"), "x");
    std::wstring noSlash = dir.path().substr(0, dir.path().size() - 1);
    EXPECT_EQ(ListSounds(noSlash), (std::vector<std::wstring>{L"b.wav", L"z.mp3"}));
    EXPECT_EQ(ListIconFiles(dir.path()), (std::vector<std::wstring>{L"i.png"}));
    EXPECT_TRUE(ListSounds(dir.File(L"missing")).empty());
    EXPECT_TRUE(ListSounds(L"").empty());
}
