#include <gtest/gtest.h>

#include "alarms/alarm_record.h"

using namespace vt;

TEST(LineBreaks, EveryKindOfBreakIsEncodedOnOneLine) {
    EXPECT_EQ(EncodeLineBreaks(L"a\r\nb"), L"a#13b");
    EXPECT_EQ(EncodeLineBreaks(L"a\rb"), L"a#13b");
    EXPECT_EQ(EncodeLineBreaks(L"a\nb"), L"a#13b");
    EXPECT_EQ(EncodeLineBreaks(L"a\n\rb\r\n\r\n"), L"a#13#13b#13#13");
    EXPECT_EQ(EncodeLineBreaks(L"\r"), L"#13");
    EXPECT_EQ(EncodeLineBreaks(L""), L"");
}

TEST(LineBreaks, DecodeGivesCrLf) {
    EXPECT_EQ(DecodeLineBreaks(L"a#13b"), L"a\r\nb");
    EXPECT_EQ(DecodeLineBreaks(L"#13#13"), L"\r\n\r\n");
    EXPECT_EQ(DecodeLineBreaks(L"##133"), L"#\r\n3");
    EXPECT_EQ(DecodeLineBreaks(L"#1 3"), L"#1 3");
}

TEST(LineBreaks, CrLfMessageRoundTripsAnyNumberOfTimes) {
    std::wstring m = L"first\r\nsecond\r\n\r\nthird";
    std::wstring stored = EncodeLineBreaks(m);
    for (int i = 0; i < 5; ++i) stored = EncodeLineBreaks(DecodeLineBreaks(stored));
    EXPECT_EQ(stored, L"first#13second#13#13third");
    EXPECT_EQ(DecodeLineBreaks(stored), m);
}

TEST(LineBreaks, ListColumnShowsBlanks) {
    EXPECT_EQ(LineBreaksToSpaces(L"a#13b"), L"a b");
    EXPECT_EQ(LineBreaksToSpaces(L"a#10b#13#13c"), L"a b  c");
}

TEST(StoredNumbers, ReadUnderAnySeparatorAndExponent) {
    EXPECT_DOUBLE_EQ(StrToFloatAny(L"0.5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatAny(L"0,5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatAny(L"45123.375"), 45123.375);
    EXPECT_DOUBLE_EQ(StrToFloatAny(L"1.15740740740741E-5"), 1.15740740740741E-5);
    EXPECT_DOUBLE_EQ(StrToFloatAny(L"0"), 0.0);
    EXPECT_THROW(StrToFloatAny(L"noon"), AlarmFileError);
    EXPECT_THROW(StrToFloatAny(L""), AlarmFileError);
    try {
        StrToFloatAny(L"x1");
        FAIL();
    } catch (const AlarmFileError& e) {
        EXPECT_EQ(e.text(), L"'x1' is not a valid floating point value");
    }
}

TEST(Kinds, StoredSpellingsAreExact) {
    EXPECT_EQ(AlarmKindOf(L"Annualy"), TAlarmKind::akAnnualy);
    EXPECT_FALSE(AlarmKindOf(L"Annually"));
    EXPECT_FALSE(AlarmKindOf(L"once"));
    EXPECT_FALSE(AlarmKindOf(L"NOTFOUND"));
    EXPECT_EQ(static_cast<int>(*AlarmKindOf(L"Regular")), 6);
    EXPECT_EQ(AlarmTypeName(TAlarmKind::akHourly), L"Hourly");
    EXPECT_EQ(AlarmSystemActionOf(L"logon"), TAlarmSystemAction::asLogOff);
    EXPECT_EQ(AlarmSystemActionOf(L"monitor"), TAlarmSystemAction::asMonitorOff);
    EXPECT_FALSE(AlarmSystemActionOf(L"Shutdown"));
}

TEST(SectionNames, OnlyAlarmAndANumberIsAnAlarm) {
    EXPECT_EQ(AlarmSectionName(17), L"Alarm17");
    EXPECT_EQ(AlarmIdOfSection(L"Alarm17"), 17);
    EXPECT_EQ(AlarmIdOfSection(L"ALARM3"), 3);   // the file compares names without case
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm"));
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm0"));
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm01"));
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm-1"));
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm 1"));
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm1x"));
    EXPECT_FALSE(AlarmIdOfSection(L"Alarm99999999999"));
    EXPECT_FALSE(AlarmIdOfSection(L"Options"));
}

TEST(DateRoutines, DayAndTimeOfDay) {
    TDateTime t = EncodeDateTime(2024, 2, 29, 22, 0, 0, 560);
    EXPECT_EQ(DayOfMonthOf(t), 29);
    EXPECT_EQ(DateTimeToMSecs(FracOf(t)), DateTimeToMSecs(EncodeTime(22, 0, 0, 560)));
}
