// TfrmCalendar2: the skinned month calendar beside the taskbar clock. A frameless layered window whose
// whole face is one premultiplied 32-bit bitmap: the skin's background, month and year, weekday titles,
// week numbers, the day grid, a circle on today and the icon of each alarm day.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alarms/alarm_editing.h"
#include "alarms/alarm_list.h"
#include "alarms/calendar_layout.h"
#include "controls/alpha_bitmap.h"
#include "base/handles.h"
#include "base/locale_text.h"
#include "base/now.h"
#include "base/registry.h"
#include "base/window.h"

namespace vt {

// Hint texts of the grid cells, [column 0..6][row 0..5].
using CellHintTable = std::array<std::array<std::wstring, 6>, 7>;

// Everything one drawing needs; the window and the tests fill it alike.
struct CalendarRenderRequest {
    std::wstring calendarDir;   // the skins' folder, with or without a trailing backslash
    std::wstring skin;          // empty or missing: the shipped default
    CalendarView view;
    CalendarDate today;
    CalendarNames names;
    std::uint8_t opacity = 255;
    // The alarms to mark; none while alarms are switched off.
    const std::vector<AlarmScheduleEntry>* schedule = nullptr;
};

// What a drawing asks about the alarms it marks. The calendar answers from the editor's icon list, the
// alarm list and the locale; tests answer from fakes.
class ICalendarAlarmDetails {
public:
    virtual std::wstring IconFile(int icon) = 0;                // the PNG of alarm icon n
    virtual std::optional<TAlRecord> ReadAlarm(int id) = 0;     // nothing: unreadable
    virtual std::wstring DateText(TDateTime when) = 0;          // the locale's short date
    virtual std::wstring TimeText(TDateTime when) = 0;          // the locale's long time

protected:
    ~ICalendarAlarmDetails() = default;
};

struct CalendarPicture {
    AlphaBitmap canvas;          // the window's face, premultiplied
    TCalendarStyle style;
    std::wstring skin;           // the skin drawn
    CellHintTable hints;
    std::vector<CalendarMark> marks;
};

// Draws the whole face, its pictures through the calendar's cache (decoded once for all its drawings).
// Nothing, with the message for the user in `error`, when no skin picture exists. A missing circle.png
// or alarm icon leaves only that picture out.
std::optional<CalendarPicture> RenderCalendar(const CalendarRenderRequest& request, ICalendarAlarmDetails& alarms,
                                              PictureCache& pictures,
                                              std::wstring& error);

// The locale's month and short weekday names.
CalendarNames LocaleCalendarNames();

// Where the calendar keeps its placement and switches: the program key's "Calendar" subkey.
struct CalendarStore {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring path = std::wstring(kProgramRegistryKey) + L"\\Calendar";
};

// What the calendar needs of the rest of the program.
class ICalendarHost {
public:
    virtual TAlarms* AlarmList() = 0;                  // the schedule table and ReadAlarm; null: none yet
    virtual bool AlarmsEnabled() = 0;                  // chbEnAlarms: alarm days are marked only while it is on
    virtual void SaveOptions() = 0;                    // after the menu switches
    virtual std::wstring AlarmIconFile(int icon) = 0;  // the picture of icon n in the alarm editor's icon list
    virtual void CalendarMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT icon) = 0;
    // The clock window the program is attached to: moves over the calendar keep its hover from leaving.
    virtual HWND ClockWindow() = 0;

protected:
    ~ICalendarHost() = default;
};

struct CalendarConfig {
    std::wstring appDir;        // the program folder
    std::wstring calendarDir;   // empty: appDir + "Calendar\"
    CalendarStore store;
    const INow* now = nullptr;  // none: the system clock
};

class TfrmCalendar2 : public Window<TfrmCalendar2>, private ICalendarAlarmDetails {
public:
    // Menu command ids.
    enum : UINT {
        kCmdToday = 2900, kCmdTransparent0 = 2901,   // ... 2905 for "80%"
        kCmdSunday = 2910, kCmdMonday, kCmdWeekNumbers, kCmdOnlyCurrentMonth, kCmdOnTop, kCmdClose,
        kCmdFirstSkin = 2920, kCmdLastSkin = 2959, kCmdFirstAlarm = 2960, kCmdLastAlarm = 2999
    };

    TfrmCalendar2(CalendarConfig config, ICalendarHost& host, IAlarmEditing& editing);
    ~TfrmCalendar2() override;

    // Creates the window on first use (or again after it was closed, at today's month and "0%"),
    // restores the stored placement and switches, draws it when hidden and shows it.
    void ShowCalendar();
    // "Close": hides the window, saves the placement and switches, and destroys the window.
    void Close();
    // Redraws when shown (the alarm editor calls it after saving).
    void btReloadClick();
    bool IsOpen() const { return hwnd_ != nullptr; }
    bool IsShown() const { return hwnd_ && IsWindowVisible(hwnd_); }

    // The menu and the click areas.
    void Navigate(int months);
    void GotoToday();
    void SetMonFirst(bool monFirst);
    void SetWeekNumbers(bool on);
    void SetOnlyCurrentMonth(bool on);
    void SetTransparency(int index);   // 0 "0%" ... 4 "80%"
    void ChooseSkin(const std::wstring& name);
    void SetOnTop(bool on);
    // A click released at a client point: the month buttons, today and close.
    void ClickAt(int x, int y);
    // The mouse moved to a client point: the cell under it and its hint.
    void MouseMove(int x, int y);
    // The alarms of the last hovered day, as the right-click menu lists them: id and caption.
    std::vector<std::pair<int, std::wstring>> DayMenuAlarms() const;
    // A day-menu alarm chosen: the editor, unless it is already open.
    void EditAlarm1Click(int id);
    // The right-click menu as it opens now, and what its items do.
    UniqueMenu BuildPopupMenu();
    void OnCommand(UINT id);

    const CalendarView& View() const { return view_; }
    const std::wstring& CalendarSkin() const { return calendarSkin_; }
    const CellHintTable& CellHints() const { return hints_; }
    const std::wstring& Hint() const { return hint_; }
    // What the hint window would show now.
    std::wstring TipText() const;
    std::optional<CellPos> HoverCell() const { return hover_; }
    bool OnTop() const { return onTop_; }
    int Transparency() const { return transparency_; }
    const std::vector<std::wstring>& Skins() const { return skins_; }
    // The face last handed to the window.
    const CalendarPicture* Picture() const { return picture_ ? &*picture_ : nullptr; }

    static void RegisterClass();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    void FormCreate();
    void RestorePlacement();
    void SavePlacement() const;
    void RenderCalendar();
    // A drawing's questions: the host's icon list, its alarm list and the locale.
    std::wstring IconFile(int icon) override { return host_.AlarmIconFile(icon); }
    std::optional<TAlRecord> ReadAlarm(int id) override;
    std::wstring DateText(TDateTime when) override { return LocaleShortDate(when); }
    std::wstring TimeText(TDateTime when) override { return LocaleLongTime(when); }
    void UpdateWindow();
    void ApplyOnTop();
    void CancelLeave() const;
    void UpdateTip();
    void ShowPopup(POINT screen);
    void MessageBoxText(const std::wstring& text, const std::wstring& caption, UINT icon) const;
    std::wstring CalendarDir() const;
    void SwitchChanged();

    CalendarConfig config_;
    ICalendarHost& host_;
    IAlarmEditing& editing_;
    CalendarView view_;
    std::wstring calendarSkin_ = kDefaultCalendarSkin;
    int transparency_ = 0;
    bool onTop_ = true;
    std::vector<std::wstring> skins_;
    std::optional<CalendarPicture> picture_;
    PictureCache pictures_;   // the skin's pictures and the alarm icons, decoded once
    CellHintTable hints_;
    std::wstring hint_;
    std::optional<CellPos> hover_;
    std::vector<int> menuAlarms_;
    std::optional<int> pressedArea_;
    HWND tooltip_ = nullptr;
};

}  // namespace vt
