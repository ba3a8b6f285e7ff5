#include "alarms/calendar_layout.h"

#include <windows.h>

#include <algorithm>

#include "base/handles.h"
#include "base/inifile.h"
#include "base/text.h"
#include "base/files.h"

namespace vt {

namespace {

constexpr wchar_t kSection[] = L"calendar";
constexpr size_t kCaptionLength = 30;

void ReadArea(const IniFile& ini, const wchar_t* name, AreaRect& area) {
    const std::wstring n = name;
    area.left = ini.ReadInteger(kSection, n + L".Left", 0);
    area.top = ini.ReadInteger(kSection, n + L".Top", 0);
    // The skins write width and height under the names Right and Bottom.
    area.width = ini.ReadInteger(kSection, n + L".Right", 0);
    area.height = ini.ReadInteger(kSection, n + L".Bottom", 0);
}

int DivTrunc(int a, int b) { return a / b; }   // Pascal's div: towards zero

}  // namespace

TCalendarStyle ReadCalendarStyle(const std::wstring& configPath) {
    TCalendarStyle s;
    if (!FileExists(configPath)) return s;
    const IniFile ini(configPath);
    auto str = [&](const wchar_t* key, std::wstring& field) { field = ini.ReadString(kSection, key, field); };
    auto num = [&](const wchar_t* key, int& field) { field = ini.ReadInteger(kSection, key, field); };
    auto style = [&](const wchar_t* key, FontStyles& field) {
        field = FontStyleFromName(Trim(ini.ReadString(kSection, key, L"")));
    };
    str(L"FontDay", s.FontDay);
    str(L"FontMonth", s.FontMonth);
    str(L"FontWeek", s.FontWeek);
    str(L"FontNWeek", s.FontNWeek);
    str(L"FontYear", s.FontYear);
    str(L"MonthAlign", s.MonthAlign);
    str(L"YearAlign", s.YearAlign);
    num(L"SizeDay", s.SizeDay);
    num(L"SizeMonth", s.SizeMonth);
    num(L"SizeYear", s.SizeYear);
    num(L"SizeWeek", s.SizeWeek);
    num(L"SizeNWeek", s.SizeNWeek);
    style(L"StyleDay", s.StyleDay);
    style(L"StyleMonth", s.StyleMonth);
    style(L"StyleYear", s.StyleYear);
    style(L"StyleWeek", s.StyleWeek);
    style(L"StyleNWeek", s.StyleNWeek);
    num(L"ColorDay", s.ColorDay);
    num(L"ColorDay2", s.ColorDay2);
    num(L"ColorDisDay", s.ColorDisDay);
    num(L"ColorDisDay2", s.ColorDisDay2);
    num(L"ColorMonth", s.ColorMonth);
    num(L"ColorMonth2", s.ColorMonth2);
    num(L"ColorYear", s.ColorYear);
    num(L"ColorYear2", s.ColorYear2);
    num(L"ColorToday", s.ColorToday);
    num(L"ColorToday2", s.ColorToday2);
    num(L"ColorWeek", s.ColorWeek);
    num(L"ColorWeek2", s.ColorWeek2);
    num(L"ColorNWeek", s.ColorNWeek);
    num(L"ColorNWeek2", s.ColorNWeek2);
    num(L"CurBorderColor", s.CurBorderColor);
    num(L"CurColor", s.CurColor);
    num(L"CurWidth", s.CurWidth);
    num(L"CurHeight", s.CurHeight);
    num(L"CurHorOff", s.CurHorOff);
    num(L"CurVerOff", s.CurVerOff);
    num(L"MonthX", s.MonthX);
    num(L"MonthY", s.MonthY);
    num(L"YearX", s.YearX);
    num(L"YearY", s.YearY);
    num(L"WeekX", s.WeekX);
    num(L"WeekY", s.WeekY);
    num(L"WeekNX", s.WeekNX);
    num(L"WeekNY", s.WeekNY);
    num(L"DayX", s.DayX);
    num(L"DayY", s.DayY);
    ReadArea(ini, L"ButBack", s.ButBack);
    ReadArea(ini, L"ButForw", s.ButForw);
    ReadArea(ini, L"ButCenter", s.ButCenter);
    ReadArea(ini, L"ButClose", s.ButClose);
    num(L"DayIncX", s.DayIncX);
    num(L"DayIncY", s.DayIncY);
    num(L"WeekInc", s.WeekInc);
    num(L"WeekNInc", s.WeekNInc);
    return s;
}

bool LoadCalendarSkinConfig(const std::wstring& calendarDir, const std::wstring& skin, TCalendarStyle& style) {
    const std::wstring path = WithSlash(calendarDir) + skin + L"\\" + kCalendarConfigFile;
    style = ReadCalendarStyle(path);
    return FileExists(path);
}

std::optional<std::wstring> ResolveCalendarSkin(const std::wstring& calendarDir, const std::wstring& skin) {
    const std::wstring dir = WithSlash(calendarDir);
    const std::wstring name = Trim(skin);
    // A name with a path in it would reach outside the calendar folder.
    const bool plain = !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." &&
                       name != L"..";
    if (name.empty()) {
        if (FileExists(dir + kDefaultCalendarSkin + L"\\" + kCalendarBackgroundFile)) return std::wstring(kDefaultCalendarSkin);
        return std::nullopt;
    }
    if (plain && FileExists(dir + name + L"\\" + kCalendarBackgroundFile)) return name;
    return std::nullopt;
}

std::vector<std::wstring> ListCalendarSkins(const std::wstring& calendarDir) {
    std::vector<std::wstring> result;
    WIN32_FIND_DATAW fd{};
    UniqueFindFile find(FindFirstFileW((WithSlash(calendarDir) + L"*.*").c_str(), &fd));
    if (!find || find.get() == INVALID_HANDLE_VALUE) return result;
    do {
        const std::wstring name = fd.cFileName;
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") result.push_back(name);
    } while (FindNextFileW(find.get(), &fd));
    return result;
}

CalendarDate DateParts(TDateTime value) {
    const CivilTime t = DecodeDateTime(value);
    return {t.year, t.month, t.day};
}

void StepMonth(CalendarView& view, int months) {
    int index = view.year * 12 + (view.month - 1) + months;
    view.year = index / 12;
    view.month = index % 12 + 1;
}

MonthGrid BuildMonthGrid(int year, int month, bool isMonFirst) {
    MonthGrid g;
    g.year = year;
    g.month = month;
    g.days = DaysInMonth(year, month);
    const TDateTime first = EncodeDate(year, month, 1);
    // Weekday of the 1st, 1-based in the week's own order.
    int offset = DayOfWeek(first);
    if (isMonFirst) offset = offset == 1 ? 7 : offset - 1;
    g.firstColumn = offset - 1;
    const int prevYear = month == 1 ? year - 1 : year;
    const int prevMonth = month == 1 ? 12 : month - 1;
    const int prevDays = DaysInMonth(prevYear, prevMonth);
    int d = 1;
    for (int r = 0; r < 6; ++r) {
        // Every row that shows a day of the month gets its week number, the last day's row too.
        if (d <= g.days) {
            const TDateTime rowDay = EncodeDate(year, month, d);
            // A Sunday-first row belongs to the ISO week of the day after its first day: a Sunday starts
            // the row but ends its ISO week.
            g.weekNumber[r] = IsoWeekOfYear(isMonFirst ? rowDay : rowDay + 1);
        }
        for (int c = 0; c < 7; ++c) {
            --offset;
            GridCell& cell = g.cells[r][c];
            if (offset > 0) {
                cell = {prevDays + 1 - offset, CellKind::Previous};
            } else {
                cell = d <= g.days ? GridCell{d, CellKind::Current} : GridCell{d - g.days, CellKind::Next};
                ++d;
            }
        }
    }
    return g;
}

CellPos CellOfDay(const MonthGrid& grid, int day) {
    const int index = grid.firstColumn + day - 1;
    return {index % 7, index / 7};
}

std::optional<int> DayAtCell(const MonthGrid& grid, CellPos cell) {
    if (cell.column < 0 || cell.column > 6 || cell.row < 0 || cell.row > 5) return std::nullopt;
    const GridCell& g = grid.cells[cell.row][cell.column];
    if (g.kind != CellKind::Current) return std::nullopt;
    return g.day;
}

int GridShift(const TCalendarStyle& style, bool weekNumbers) {
    return weekNumbers ? 0 : DivTrunc(style.WeekNX, 3);
}

std::optional<CellPos> HitTestCell(const TCalendarStyle& style, bool weekNumbers, int x, int y) {
    if (style.DayIncX <= 0 || style.DayIncY <= 0) return std::nullopt;
    // The grid is hit where it is drawn, also while the week numbers are hidden and it moved left.
    const double col = static_cast<double>(x - (style.DayX - GridShift(style, weekNumbers))) / style.DayIncX;
    const double row = static_cast<double>(y - style.DayY) / style.DayIncY;
    if (col < 0 || row < 0) return std::nullopt;
    const int c = static_cast<int>(col), r = static_cast<int>(row);
    if (c >= 7 || r >= 6) return std::nullopt;
    return CellPos{c, r};
}

int TextLeft(const FaceText& text, int textWidth, int canvasWidth) {
    switch (text.align) {
    case TextAlign::FromRight: return canvasWidth - text.x - textWidth;
    case TextAlign::Centre: return text.x - DivTrunc(textWidth, 2);
    case TextAlign::DayNumber: return text.x + (text.text.size() == 1 ? DivTrunc(textWidth, 2) : 0);
    case TextAlign::Left: break;
    }
    return text.x;
}

TextAlign AlignOf(const std::wstring& alignKey) {
    if (alignKey == L"r") return TextAlign::FromRight;
    if (alignKey == L"l") return TextAlign::Left;
    return TextAlign::Centre;
}

CalendarFace BuildCalendarFace(const TCalendarStyle& style, const CalendarView& view, CalendarDate today,
                               const CalendarNames& names, bool drawCircle) {
    CalendarFace face;
    auto add = [&](std::wstring text, FaceRole role, int x, int y, TextAlign align) {
        face.texts.push_back({std::move(text), role, x, y, align});
    };
    if (view.month >= 1 && view.month <= 12)
        add(names.months[static_cast<size_t>(view.month - 1)], FaceRole::Month, style.MonthX, style.MonthY,
            AlignOf(style.MonthAlign));
    add(std::to_wstring(view.year), FaceRole::Year, style.YearX, style.YearY, AlignOf(style.YearAlign));

    const int shift = GridShift(style, view.weekNumbers);
    const int dayX = style.DayX - shift, weekX = style.WeekX - shift;
    for (int k = 0; k < 7; ++k)
        add(names.shortDays[static_cast<size_t>((k + (view.isMonFirst ? 1 : 0)) % 7)], FaceRole::Week,
            k * style.WeekInc + weekX, style.WeekY, TextAlign::Left);

    const MonthGrid grid = BuildMonthGrid(view.year, view.month, view.isMonFirst);
    const bool isTodaysMonth = today.year == view.year && today.month == view.month;
    for (int r = 0; r < 6; ++r) {
        if (view.weekNumbers && grid.weekNumber[r] > 0)
            add(std::to_wstring(grid.weekNumber[r]), FaceRole::NWeek, style.WeekNX, r * style.WeekNInc + style.WeekNY,
                TextAlign::Left);
        for (int c = 0; c < 7; ++c) {
            const GridCell& cell = grid.cells[r][c];
            const int x = c * style.DayIncX + dayX, y = r * style.DayIncY + style.DayY;
            switch (cell.kind) {
            case CellKind::Previous:
                if (!view.onlyCurrentMonth) add(std::to_wstring(cell.day), FaceRole::DisDay, x, y, TextAlign::Left);
                break;
            case CellKind::Current:
                add(std::to_wstring(cell.day), isTodaysMonth && cell.day == today.day ? FaceRole::Today : FaceRole::Day,
                    x, y, TextAlign::DayNumber);
                break;
            case CellKind::Next:
                if (!view.onlyCurrentMonth) add(std::to_wstring(cell.day), FaceRole::DisDay, x, y, TextAlign::DayNumber);
                break;
            }
        }
    }
    if (drawCircle && isTodaysMonth && style.CurColor != -1 && style.CurBorderColor != -1 && today.day >= 1 &&
        today.day <= grid.days) {
        const CellPos at = CellOfDay(grid, today.day);
        face.circle = AreaRect{at.column * style.DayIncX + dayX - 3, at.row * style.DayIncY + style.DayY - 2,
                               style.DayIncX - 3, style.DayIncY};
    }
    return face;
}

std::vector<CalendarMark> MarkedAlarms(const std::vector<AlarmScheduleEntry>& schedule, const MonthGrid& grid) {
    std::vector<CalendarMark> marks;
    if (grid.days == 0) return marks;
    const TDateTime from = EncodeDate(grid.year, grid.month, 1);
    const TDateTime to = from + grid.days;
    for (const AlarmScheduleEntry& e : schedule) {
        // An entry without a readable id cannot be opened; it is passed over, not allowed to hide the rest.
        if (!e.Enabled || e.id <= 0) continue;
        if (e.DateTime < from || e.DateTime >= to) continue;
        const int day = static_cast<int>(e.DateTime - from) + 1;
        marks.push_back({CellOfDay(grid, day), e.id, e.Icon, e.DateTime});
    }
    return marks;
}

std::vector<int> AlarmsOfDay(const std::vector<AlarmScheduleEntry>& schedule, int year, int month, int day) {
    std::vector<int> ids;
    TDateTime from = 0;
    if (!TryEncodeDate(year, month, day, from)) return ids;
    for (const AlarmScheduleEntry& e : schedule)
        if (e.Enabled && e.id > 0 && e.DateTime >= from && e.DateTime < from + 1) ids.push_back(e.id);
    return ids;
}

AreaRect MarkRect(const TCalendarStyle& style, bool weekNumbers, CellPos cell, int iconWidth, int iconHeight) {
    return {cell.column * style.DayIncX + style.DayX - GridShift(style, weekNumbers),
            cell.row * style.DayIncY + style.DayY, DivTrunc(iconWidth, 2), DivTrunc(iconHeight, 2)};
}

std::wstring AlarmCaption(const std::wstring& message) {
    std::wstring line;
    line.reserve(kCaptionLength);
    // Line breaks and other control characters become blanks: hints and menu items are one line each.
    for (size_t i = 0; i < message.size() && line.size() < kCaptionLength; ++i) {
        const wchar_t ch = message[i];
        if (ch == L'\r' && i + 1 < message.size() && message[i + 1] == L'\n') ++i;
        line += ch < 32 ? L' ' : ch;
    }
    return line + L"...";
}

std::wstring MenuText(const std::wstring& text) {
    std::wstring out;
    for (wchar_t ch : text) {
        out += ch;
        if (ch == L'&') out += L'&';
    }
    return out;
}

void AppendAlarmHint(std::wstring& hint, const std::wstring& dateText, const std::wstring& timeText,
                     const std::wstring& message) {
    if (hint.empty()) hint = dateText + L"\r\n";
    hint += timeText + L" - " + AlarmCaption(message) + L"\r\n";
}

std::uint8_t OpacityOfChoice(int index) {
    static constexpr std::uint8_t kOpacity[] = {255, 204, 153, 102, 51};
    return index >= 0 && index < 5 ? kOpacity[index] : 255;
}

ScreenPoint CalendarCorner(const ScreenRect& workArea, int taskbarEdge, int width, int height) {
    switch (taskbarEdge) {
    case 1: return {workArea.right - width, workArea.top};      // ABE_TOP
    case 0: return {workArea.left, workArea.bottom - height};   // ABE_LEFT
    default: return {workArea.right - width, workArea.bottom - height};
    }
}

std::optional<bool> ParseStoredBool(const std::wstring& text) {
    const std::wstring t = UpperAscii(Trim(text));
    if (t == L"-1" || t == L"1" || t == L"TRUE") return true;
    if (t == L"0" || t == L"FALSE") return false;
    return std::nullopt;
}

}  // namespace vt
