#include <gtest/gtest.h>

#include <windows.h>

#include "alarms/calendar_layout.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

TDateTime At(int y, int m, int d, int h = 0, int mi = 0) { return EncodeDateTime(y, m, d, h, mi, 0); }

AlarmScheduleEntry Entry(int id, TDateTime when, bool enabled = true, int icon = 0) {
    AlarmScheduleEntry e;
    e.Enabled = enabled;
    e.id = id;
    e.DateTime = when;
    e.Icon = icon;
    return e;
}

TCalendarStyle ShippedLikeStyle() {
    TCalendarStyle s;
    s.DayX = 52;
    s.DayY = 78;
    s.DayIncX = 32;
    s.DayIncY = 28;
    s.WeekX = 49;
    s.WeekY = 56;
    s.WeekInc = 32;
    s.WeekNX = 15;
    s.WeekNY = 80;
    s.WeekNInc = 28;
    s.MonthX = 44;
    s.MonthY = 13;
    s.YearX = 44;
    s.YearY = 13;
    return s;
}

CalendarNames Names() {
    CalendarNames n;
    const wchar_t* months[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                               L"July",    L"August",   L"September", L"October", L"November", L"December"};
    const wchar_t* days[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    for (int i = 0; i < 12; ++i) n.months[i] = months[i];
    for (int i = 0; i < 7; ++i) n.shortDays[i] = days[i];
    return n;
}

const FaceText* FindText(const CalendarFace& face, const std::wstring& text, FaceRole role) {
    for (const FaceText& t : face.texts)
        if (t.text == text && t.role == role) return &t;
    return nullptr;
}

}  // namespace

TEST(MonthGrid, MondayFirstMonthStartingOnSundayShowsSixDaysBefore) {
    const MonthGrid g = BuildMonthGrid(2024, 9, true);   // 1 September 2024 is a Sunday
    EXPECT_EQ(g.firstColumn, 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(g.cells[0][c].kind, CellKind::Previous);
        EXPECT_EQ(g.cells[0][c].day, 26 + c) << "August 26..31";
    }
    EXPECT_EQ(g.cells[0][6].day, 1);
    EXPECT_EQ(g.cells[0][6].kind, CellKind::Current);
    EXPECT_EQ(g.cells[5][0].day, 30);
    EXPECT_EQ(g.cells[5][1].kind, CellKind::Next);
    EXPECT_EQ(g.cells[5][1].day, 1);
    EXPECT_EQ(g.cells[5][6].day, 6);
}

TEST(MonthGrid, SundayFirstMonthStartingOnSundayWeekNumberIsThatOfTheSecond) {
    const MonthGrid g = BuildMonthGrid(2024, 9, false);
    EXPECT_EQ(g.firstColumn, 0);
    EXPECT_EQ(g.cells[0][0].day, 1);
    EXPECT_EQ(g.cells[0][0].kind, CellKind::Current);
    EXPECT_EQ(IsoWeekOfYear(At(2024, 9, 1)), 35);
    EXPECT_EQ(g.weekNumber[0], 36) << "the ISO week of 2 September";
    EXPECT_EQ(g.weekNumber[4], 40) << "the row of Sunday 29 September";
}

TEST(MonthGrid, RowHoldingOnlyTheLastDayStillHasItsWeekNumber) {
    const MonthGrid g = BuildMonthGrid(2024, 9, true);   // Monday 30 September opens row 5
    EXPECT_EQ(g.weekNumber[4], 39);
    EXPECT_EQ(g.weekNumber[5], 40);
    const MonthGrid feb = BuildMonthGrid(2021, 2, true);   // 28 days from a Monday: four full rows
    EXPECT_EQ(feb.weekNumber[3], 8);
    EXPECT_EQ(feb.weekNumber[4], 0) << "rows of the next month alone have none";
    EXPECT_EQ(feb.weekNumber[5], 0);
}

TEST(MonthGrid, JanuaryTakesItsLeadingDaysFromDecember) {
    const MonthGrid g = BuildMonthGrid(2025, 1, false);   // Wednesday 1 January 2025
    EXPECT_EQ(g.firstColumn, 3);
    EXPECT_EQ(g.cells[0][0].day, 29);
    EXPECT_EQ(g.cells[0][2].day, 31);
    EXPECT_EQ(g.weekNumber[0], 1);
}

TEST(MonthGrid, CellsAndDaysMapBothWays) {
    for (bool monFirst : {false, true}) {
        const MonthGrid g = BuildMonthGrid(2024, 2, monFirst);
        for (int d = 1; d <= 29; ++d) {
            const CellPos at = CellOfDay(g, d);
            ASSERT_EQ(DayAtCell(g, at), d) << d;
            EXPECT_EQ(g.cells[at.row][at.column].day, d);
        }
        EXPECT_FALSE(DayAtCell(g, {0, 5}).has_value() && g.cells[5][0].kind != CellKind::Current);
        EXPECT_FALSE(DayAtCell(g, {7, 0}));
        EXPECT_FALSE(DayAtCell(g, {0, 6}));
    }
}

TEST(CalendarView, StepsAcrossTheYear) {
    CalendarView v;
    v.year = 2024;
    v.month = 1;
    StepMonth(v, -1);
    EXPECT_EQ(v.year, 2023);
    EXPECT_EQ(v.month, 12);
    StepMonth(v, +1);
    StepMonth(v, +11);
    EXPECT_EQ(v.year, 2024);
    EXPECT_EQ(v.month, 12);
    StepMonth(v, +1);
    EXPECT_EQ(v.year, 2025);
    EXPECT_EQ(v.month, 1);
}

TEST(CalendarMarks, SundayAlarmsInDecemberAndJanuaryLandOnTheirCells) {
    const std::vector<AlarmScheduleEntry> table{Entry(1, At(2024, 12, 29, 7, 0)), Entry(2, At(2025, 1, 5, 23, 59))};
    const auto dec = MarkedAlarms(table, BuildMonthGrid(2024, 12, false));
    ASSERT_EQ(dec.size(), 1u);
    EXPECT_EQ(dec[0].id, 1);
    EXPECT_EQ(dec[0].cell, (CellPos{0, 4}));
    const auto jan = MarkedAlarms(table, BuildMonthGrid(2025, 1, false));
    ASSERT_EQ(jan.size(), 1u);
    EXPECT_EQ(jan[0].id, 2);
    EXPECT_EQ(jan[0].cell, (CellPos{0, 1}));
    const auto janMon = MarkedAlarms(table, BuildMonthGrid(2025, 1, true));
    EXPECT_EQ(janMon[0].cell, (CellPos{6, 0})) << "Monday-first: Sunday is the last column";
}

TEST(CalendarMarks, OnlyEnabledAlarmsOfTheMonthAreMarked) {
    const std::vector<AlarmScheduleEntry> table{
        Entry(1, At(2024, 4, 30, 23, 59)),               // the month before
        Entry(2, At(2024, 5, 1, 0, 0)),                  // the first instant of the month
        Entry(3, At(2024, 5, 10, 8, 0), false),          // disabled
        AlarmScheduleEntry{},                            // hidden by the label filter: all zero
        Entry(0, At(2024, 5, 11, 8, 0)),                 // no id: cannot be opened
        Entry(4, At(2024, 5, 31, 23, 59), true, 7),      // the last minute
        Entry(5, At(2024, 6, 1, 0, 0)),                  // the month after
    };
    const auto marks = MarkedAlarms(table, BuildMonthGrid(2024, 5, false));
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].id, 2);
    EXPECT_EQ(marks[1].id, 4) << "an entry without id does not end the scan";
    EXPECT_EQ(marks[1].icon, 7);
    EXPECT_EQ(AlarmsOfDay(table, 2024, 5, 31), std::vector<int>{4});
    EXPECT_TRUE(AlarmsOfDay(table, 2024, 5, 10).empty());
    EXPECT_TRUE(AlarmsOfDay(table, 2024, 2, 30).empty());
}

TEST(CalendarHints, TwoAlarmsOnOneDayShareOneDateLine) {
    std::wstring hint;
    AppendAlarmHint(hint, L"5/20/2024", L"7:00:00 AM", L"Dentist");
    AppendAlarmHint(hint, L"5/20/2024", L"6:30:00 PM", L"Call mother\r\nabout the weekend trip to the sea");
    EXPECT_EQ(hint, L"5/20/2024\r\n7:00:00 AM - Dentist...\r\n6:30:00 PM - Call mother about the weekend ...\r\n");
}

TEST(CalendarHints, MenuCaptionsKeepTheirAmpersands) {
    EXPECT_EQ(MenuText(AlarmCaption(L"Tom & Jerry")), L"Tom && Jerry...");
    EXPECT_EQ(AlarmCaption(L""), L"...");
}

TEST(CalendarHitTest, CellsFollowTheGridAndStopBelowTheSixthRow) {
    const TCalendarStyle s = ShippedLikeStyle();
    EXPECT_EQ(HitTestCell(s, true, 52, 78), (CellPos{0, 0}));
    EXPECT_EQ(HitTestCell(s, true, 52 + 6 * 32 + 31, 78 + 5 * 28 + 27), (CellPos{6, 5}));
    EXPECT_FALSE(HitTestCell(s, true, 60, 78 + 6 * 28)) << "below the sixth row";
    EXPECT_FALSE(HitTestCell(s, true, 51, 80)) << "left of the grid";
    EXPECT_FALSE(HitTestCell(s, true, 52 + 7 * 32, 80));
    EXPECT_FALSE(HitTestCell(s, true, 60, 70));
}

TEST(CalendarHitTest, HiddenWeekNumbersMoveTheHitAreaWithTheGrid) {
    const TCalendarStyle s = ShippedLikeStyle();   // WeekNX 15: the grid moves 5 pixels left
    EXPECT_EQ(HitTestCell(s, false, 47, 78), (CellPos{0, 0}));
    EXPECT_EQ(HitTestCell(s, false, 52 + 32 - 5, 78), (CellPos{1, 0}));
    EXPECT_FALSE(HitTestCell(s, false, 46, 78));
}

TEST(CalendarHitTest, SkinWithoutGridPitchHasNoCells) {
    TCalendarStyle s;
    EXPECT_FALSE(HitTestCell(s, true, 10, 10));
}

TEST(CalendarFace, TitlesAlignByTheSkin) {
    TCalendarStyle s = ShippedLikeStyle();
    FaceText t{L"May", FaceRole::Month, 44, 13, AlignOf(L"r")};
    EXPECT_EQ(TextLeft(t, 40, 285), 285 - 44 - 40);
    t.align = AlignOf(L"l");
    EXPECT_EQ(TextLeft(t, 40, 285), 44);
    t.align = AlignOf(L"c");
    EXPECT_EQ(TextLeft(t, 41, 285), 44 - 20);
    FaceText day{L"7", FaceRole::Day, 100, 0, TextAlign::DayNumber};
    EXPECT_EQ(TextLeft(day, 9, 285), 104) << "one digit: half its width to the right";
    day.text = L"17";
    EXPECT_EQ(TextLeft(day, 18, 285), 100);
}

TEST(CalendarFace, PlacesEveryTextOfTheMonth) {
    const TCalendarStyle s = ShippedLikeStyle();
    CalendarView v;
    v.year = 2024;
    v.month = 5;   // Wednesday 1 May 2024
    v.isMonFirst = true;
    v.weekNumbers = true;
    v.onlyCurrentMonth = true;
    const CalendarFace face = BuildCalendarFace(s, v, {2024, 5, 15}, Names(), true);
    const FaceText* month = FindText(face, L"May", FaceRole::Month);
    ASSERT_TRUE(month);
    EXPECT_EQ(month->align, TextAlign::FromRight);
    ASSERT_TRUE(FindText(face, L"2024", FaceRole::Year));
    const FaceText* mon = FindText(face, L"Mon", FaceRole::Week);
    ASSERT_TRUE(mon);
    EXPECT_EQ(mon->x, 49) << "Monday-first: Monday's title comes first";
    EXPECT_EQ(FindText(face, L"Sun", FaceRole::Week)->x, 49 + 6 * 32);
    const FaceText* first = FindText(face, L"1", FaceRole::Day);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->x, 52 + 2 * 32);
    EXPECT_EQ(first->y, 78);
    const FaceText* today = FindText(face, L"15", FaceRole::Today);
    ASSERT_TRUE(today);
    EXPECT_EQ(today->x, 52 + 2 * 32);
    EXPECT_EQ(today->y, 78 + 2 * 28);
    EXPECT_FALSE(FindText(face, L"15", FaceRole::Day));
    EXPECT_FALSE(FindText(face, L"29", FaceRole::DisDay)) << "other months hidden";
    const FaceText* week18 = FindText(face, L"18", FaceRole::NWeek);
    ASSERT_TRUE(week18);
    EXPECT_EQ(week18->x, 15);
    EXPECT_EQ(week18->y, 80);
    ASSERT_TRUE(face.circle);
    EXPECT_EQ(*face.circle, (AreaRect{52 + 2 * 32 - 3, 78 + 2 * 28 - 2, 29, 28}));
}

TEST(CalendarFace, OtherMonthsAndHiddenWeekNumbers) {
    const TCalendarStyle s = ShippedLikeStyle();
    CalendarView v;
    v.year = 2024;
    v.month = 5;
    v.isMonFirst = false;
    v.weekNumbers = false;
    v.onlyCurrentMonth = false;
    const CalendarFace face = BuildCalendarFace(s, v, {2024, 6, 1}, Names(), true);
    const FaceText* prev = FindText(face, L"28", FaceRole::DisDay);   // Sunday 28 April
    ASSERT_TRUE(prev);
    EXPECT_EQ(prev->x, 52 - 5);
    EXPECT_EQ(prev->y, 78);
    const FaceText* next = FindText(face, L"8", FaceRole::DisDay);    // Saturday 8 June ends row 5
    ASSERT_TRUE(next);
    EXPECT_EQ(next->x, 52 - 5 + 6 * 32);
    EXPECT_EQ(next->y, 78 + 5 * 28);
    EXPECT_EQ(FindText(face, L"Sun", FaceRole::Week)->x, 49 - 5);
    for (const FaceText& t : face.texts) EXPECT_NE(t.role, FaceRole::NWeek);
    EXPECT_FALSE(face.circle) << "today is in another month";
    EXPECT_FALSE(FindText(face, L"1", FaceRole::Today));
}

TEST(CalendarFace, MinusOneInACircleColourSwitchesTheCircleOff) {
    TCalendarStyle s = ShippedLikeStyle();
    CalendarView v;
    v.year = 2024;
    v.month = 5;
    EXPECT_TRUE(BuildCalendarFace(s, v, {2024, 5, 3}, Names(), true).circle);
    EXPECT_FALSE(BuildCalendarFace(s, v, {2024, 5, 3}, Names(), false).circle);
    s.CurColor = -1;
    EXPECT_FALSE(BuildCalendarFace(s, v, {2024, 5, 3}, Names(), true).circle);
    s.CurColor = 0;
    s.CurBorderColor = -1;
    EXPECT_FALSE(BuildCalendarFace(s, v, {2024, 5, 3}, Names(), true).circle);
}

TEST(CalendarSkinConfig, ReadsEveryKindOfKeyAndDefaultsTheRest) {
    TempDir dir;
    CreateDirectoryW(dir.File(L"Mine").c_str(), nullptr);
    WriteFileBytes(dir.File(L"Mine\\config.ini"),
                   "[calendar]\r\nFontDay=Tahoma\r\nMonthAlign=l\r\nSizeDay=11\r\nStyleDay=BoldItalic\r\n"
                   "ColorDay=16777215\r\nCurColor=-1\r\nDayX=40\r\nDayIncX=30\r\nButBack.Left=8\r\n"
                   "ButBack.Top=10\r\nButBack.Right=26\r\nButBack.Bottom=24\r\n");
    TCalendarStyle s;
    EXPECT_TRUE(LoadCalendarSkinConfig(dir.path(), L"Mine", s));
    EXPECT_EQ(s.FontDay, L"Tahoma");
    EXPECT_EQ(s.FontMonth, L"Arial");
    EXPECT_EQ(s.MonthAlign, L"l");
    EXPECT_EQ(s.YearAlign, L"r");
    EXPECT_EQ(s.SizeDay, 11);
    EXPECT_EQ(s.StyleDay, kFontBold | kFontItalic);
    EXPECT_EQ(s.StyleMonth, 0);
    EXPECT_EQ(s.ColorDay, 0xFFFFFF);
    EXPECT_EQ(s.CurColor, -1);
    EXPECT_EQ(s.DayX, 40);
    EXPECT_EQ(s.DayIncY, 0);
    EXPECT_EQ(s.ButBack, (AreaRect{8, 10, 26, 24})) << "Right and Bottom are width and height";
    EXPECT_TRUE(s.ButBack.Contains(33, 33));
    EXPECT_FALSE(s.ButBack.Contains(34, 20));

    EXPECT_FALSE(LoadCalendarSkinConfig(dir.path(), L"Absent", s));
    EXPECT_EQ(s, TCalendarStyle{});
}

TEST(CalendarSkinConfig, ShippedSkinsHaveAGrid) {
    for (const wchar_t* skin : {L"Dark Blue Glass", L"Graphite"}) {
        TCalendarStyle s;
        ASSERT_TRUE(LoadCalendarSkinConfig(DistDir() + L"Calendar", skin, s)) << skin;
        EXPECT_GT(s.DayIncX, 0);
        EXPECT_GT(s.DayIncY, 0);
        EXPECT_GT(s.ButClose.width, 0);
        EXPECT_NE(s.CurColor, -1);
    }
    const auto skins = ListCalendarSkins(DistDir() + L"Calendar\\");
    EXPECT_EQ(skins.size(), 2u);
}

TEST(CalendarSkinConfig, OnlyAnEmptyNameFallsBackToTheShippedDefault) {
    TempDir dir;
    CreateDirectoryW(dir.File(L"Dark Blue Glass").c_str(), nullptr);
    CreateDirectoryW(dir.File(L"Empty").c_str(), nullptr);
    WriteFileBytes(dir.File(L"Dark Blue Glass\\calendar.png"), "x");
    EXPECT_EQ(ResolveCalendarSkin(dir.path(), L""), L"Dark Blue Glass");
    // A missing choice is not replaced by another skin.
    EXPECT_FALSE(ResolveCalendarSkin(dir.path(), L"Longhorn"));
    EXPECT_FALSE(ResolveCalendarSkin(dir.path(), L"Empty")) << "a folder without calendar.png";
    EXPECT_FALSE(ResolveCalendarSkin(dir.path(), L"..\\Dark Blue Glass"));
    DeleteFileW(dir.File(L"Dark Blue Glass\\calendar.png").c_str());
    EXPECT_FALSE(ResolveCalendarSkin(dir.path(), L""));
}

TEST(CalendarPlacement, CornerByTheTaskbarEdge) {
    const ScreenRect work{0, 40, 1280, 1024};
    EXPECT_EQ(CalendarCorner(work, 3, 285, 275), (ScreenPoint{995, 749}));   // bottom
    EXPECT_EQ(CalendarCorner(work, 2, 285, 275), (ScreenPoint{995, 749}));   // right
    EXPECT_EQ(CalendarCorner(work, 1, 285, 275), (ScreenPoint{995, 40}));    // top
    EXPECT_EQ(CalendarCorner(work, 0, 285, 275), (ScreenPoint{0, 749}));     // left
    EXPECT_EQ(CalendarCorner(work, 9, 285, 275), (ScreenPoint{995, 749}));
}

TEST(CalendarPlacement, StoredBooleansReadBothSpellings) {
    EXPECT_EQ(ParseStoredBool(L"-1"), true);
    EXPECT_EQ(ParseStoredBool(L"0"), false);
    EXPECT_EQ(ParseStoredBool(L"True"), true);
    EXPECT_EQ(ParseStoredBool(L"false"), false);
    EXPECT_FALSE(ParseStoredBool(L"maybe"));
    EXPECT_EQ(OpacityOfChoice(0), 255);
    EXPECT_EQ(OpacityOfChoice(4), 51);
    EXPECT_EQ(OpacityOfChoice(9), 255);
}
