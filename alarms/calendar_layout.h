// The month calendar's rules without a window: the skin's config.ini, which cell holds which day, the
// week numbers, where every text goes, which alarms mark which day, hit tests and the window's corner.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alarms/alarm_list.h"
#include "base/datetime.h"
#include "base/font_styles.h"

namespace vt {

// The skin every new calendar uses, and the one that stands in for a missing or empty skin name.
inline constexpr wchar_t kDefaultCalendarSkin[] = L"Dark Blue Glass";
inline constexpr wchar_t kCalendarBackgroundFile[] = L"calendar.png";
inline constexpr wchar_t kCalendarConfigFile[] = L"config.ini";
inline constexpr wchar_t kCalendarCircleFile[] = L"circle.png";
// The window's size before a skin gives it one.
inline constexpr int kCalendarDesignWidth = 285;
inline constexpr int kCalendarDesignHeight = 275;

struct AreaRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool Contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
    bool operator==(const AreaRect&) const = default;
};

// Section "calendar" of a skin's config.ini. Colours are the platform's colour values; -1 in either
// Cur colour switches the today circle off.
struct TCalendarStyle {
    std::wstring FontDay = L"Arial", FontMonth = L"Arial", FontWeek = L"Arial", FontNWeek = L"Arial",
                 FontYear = L"Arial";
    std::wstring MonthAlign = L"r", YearAlign = L"r";
    int SizeDay = 0, SizeMonth = 0, SizeYear = 0, SizeWeek = 0, SizeNWeek = 0;
    FontStyles StyleDay = 0, StyleMonth = 0, StyleYear = 0, StyleWeek = 0, StyleNWeek = 0;
    int ColorDay = 0, ColorDay2 = 0, ColorDisDay = 0, ColorDisDay2 = 0, ColorMonth = 0, ColorMonth2 = 0;
    int ColorYear = 0, ColorYear2 = 0, ColorToday = 0, ColorToday2 = 0, ColorWeek = 0, ColorWeek2 = 0;
    int ColorNWeek = 0, ColorNWeek2 = 0;
    int CurBorderColor = 0, CurColor = 0;
    int CurWidth = 0, CurHeight = 0, CurHorOff = 0, CurVerOff = 0;   // kept; nothing draws with them
    int MonthX = 0, MonthY = 0, YearX = 0, YearY = 0, WeekX = 0, WeekY = 0, WeekNX = 0, WeekNY = 0;
    int DayX = 0, DayY = 0;
    AreaRect ButBack, ButForw, ButCenter, ButClose;   // left, top, width, height
    int DayIncX = 0, DayIncY = 0, WeekInc = 0, WeekNInc = 0;
    bool operator==(const TCalendarStyle&) const = default;
};

// Reads a config.ini; a missing file or key leaves the default.
TCalendarStyle ReadCalendarStyle(const std::wstring& configPath);
// CalendarDir + skin + "\config.ini".
bool LoadCalendarSkinConfig(const std::wstring& calendarDir, const std::wstring& skin, TCalendarStyle& style);

// The skin to draw: the asked one when its calendar.png exists; nothing when it does not (the user's
// choice is not replaced by another skin: the window keeps its picture and the choice stays stored).
// An empty name asks for the shipped default; a name with a path in it is never drawn.
std::optional<std::wstring> ResolveCalendarSkin(const std::wstring& calendarDir, const std::wstring& skin);
// Every subfolder of the calendar folder, in directory order.
std::vector<std::wstring> ListCalendarSkins(const std::wstring& calendarDir);

struct CalendarDate {
    int year = 0, month = 0, day = 0;
    bool operator==(const CalendarDate&) const = default;
};
CalendarDate DateParts(TDateTime value);

// The month shown and the menu switches that change the drawing.
struct CalendarView {
    int year = 2000, month = 1;
    bool isMonFirst = false;
    bool weekNumbers = true;
    bool onlyCurrentMonth = true;
};
void StepMonth(CalendarView& view, int months);   // -1 previous, +1 next

enum class CellKind : std::uint8_t { Previous, Current, Next };
struct GridCell {
    int day = 0;
    CellKind kind = CellKind::Current;
};

// The 6 x 7 grid: cells[row][column]. weekNumber[row] is 0 for a row without a day of the month.
struct MonthGrid {
    int year = 0, month = 0, days = 0;
    int firstColumn = 0;   // column of the 1st
    std::array<std::array<GridCell, 7>, 6> cells{};
    std::array<int, 6> weekNumber{};
};
MonthGrid BuildMonthGrid(int year, int month, bool isMonFirst);

struct CellPos {
    int column = 0, row = 0;
    bool operator==(const CellPos&) const = default;
};
CellPos CellOfDay(const MonthGrid& grid, int day);
// The day of the shown month in that cell; nothing for a cell of another month or outside the grid.
std::optional<int> DayAtCell(const MonthGrid& grid, CellPos cell);

// Where the grid starts: DayX and WeekX move left by WeekNX div 3 while week numbers are hidden.
int GridShift(const TCalendarStyle& style, bool weekNumbers);
// The cell under a client point; nothing outside the grid or for a skin without a grid pitch.
std::optional<CellPos> HitTestCell(const TCalendarStyle& style, bool weekNumbers, int x, int y);

enum class FaceRole : std::uint8_t { Month, Year, Week, NWeek, Day, DisDay, Today };
enum class TextAlign : std::uint8_t {
    Left,        // x is the left edge
    FromRight,   // x is measured from the right edge of the window
    Centre,      // x is the centre
    DayNumber,   // one-digit numbers move right by half their width
};
struct FaceText {
    std::wstring text;
    FaceRole role = FaceRole::Day;
    int x = 0, y = 0;
    TextAlign align = TextAlign::Left;
};
// The left edge of a text of the given width.
int TextLeft(const FaceText& text, int textWidth, int canvasWidth);
TextAlign AlignOf(const std::wstring& alignKey);

// The locale's names: months January first, short weekday names Sunday first.
struct CalendarNames {
    std::array<std::wstring, 12> months;
    std::array<std::wstring, 7> shortDays;
};

struct CalendarFace {
    std::vector<FaceText> texts;
    std::optional<AreaRect> circle;   // where circle.png is stretched to
};
CalendarFace BuildCalendarFace(const TCalendarStyle& style, const CalendarView& view, CalendarDate today,
                               const CalendarNames& names, bool drawCircle);

// One alarm marked in the shown month.
struct CalendarMark {
    CellPos cell;
    int id = 0;
    int icon = 0;
    TDateTime dateTime = 0;
    bool operator==(const CalendarMark&) const = default;
};
// The enabled alarms of the schedule table whose next time falls in the grid's month, in table order.
// The table already leaves the alarms of other labels out while a label is chosen (their entries stay
// empty), so they are never marked.
std::vector<CalendarMark> MarkedAlarms(const std::vector<AlarmScheduleEntry>& schedule, const MonthGrid& grid);
// The ids of the enabled alarms whose next time lies on that day, in table order.
std::vector<int> AlarmsOfDay(const std::vector<AlarmScheduleEntry>& schedule, int year, int month, int day);
// Where an alarm's icon goes: the top-left of its cell, at half the icon's size.
AreaRect MarkRect(const TCalendarStyle& style, bool weekNumbers, CellPos cell, int iconWidth, int iconHeight);

// The first 30 characters of the message, on one line, followed by "...".
std::wstring AlarmCaption(const std::wstring& message);
// A menu caption shows '&' as itself.
std::wstring MenuText(const std::wstring& text);
// Adds one alarm to a cell's hint: the date line first when the hint is empty, then the alarm's line.
void AppendAlarmHint(std::wstring& hint, const std::wstring& dateText, const std::wstring& timeText,
                     const std::wstring& message);

// Opacity of the transparency choices "0%", "20%", ... "80%" (index 0..4).
std::uint8_t OpacityOfChoice(int index);

// The taskbar's edge as the shell reports it (ABE_LEFT 0, ABE_TOP 1, ABE_RIGHT 2, ABE_BOTTOM 3).
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};
// The corner of the work area by the taskbar: top -> top-right, left -> bottom-left, else bottom-right.
ScreenPoint CalendarCorner(const ScreenRect& workArea, int taskbarEdge, int width, int height);

// "IsMonFirst" as stored ("-1"/"0", older "true"/"false"); nothing for anything else.
std::optional<bool> ParseStoredBool(const std::wstring& text);

}  // namespace vt
