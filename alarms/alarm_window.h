// TfrmOnAlarm: the window of one fired alarm with its message, the reminder menu, the edit button and
// OK ("Postpone" once a reminder is chosen). Several may be open; each frees itself when closed.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "alarms/alarm_actions.h"
#include "alarms/alarm_editing.h"
#include "base/handles.h"
#include "base/window.h"
#include "controls/hints.h"
#include "controls/tmq_button.h"

namespace vt {

class TfrmOnAlarm;

// The open alarm message windows. It does not own them: a window leaves the list when it closes.
class TAlarmWindows {
public:
    TAlarmWindows() = default;
    TAlarmWindows(const TAlarmWindows&) = delete;
    TAlarmWindows& operator=(const TAlarmWindows&) = delete;
    ~TAlarmWindows() { CloseAll(); }
    // Closes the windows still open (the program ends) as their close box would.
    void CloseAll();
    const std::vector<TfrmOnAlarm*>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // The main loop's dialog manager for the alarm windows (arrows, mnemonics); true when handled. Enter,
    // Esc and Tab their controls answer themselves, in every loop.
    bool PreTranslate(MSG& msg) const;

private:
    friend class TfrmOnAlarm;
    std::vector<TfrmOnAlarm*> items_;
};

struct AlarmWindowDeps {
    TAlarms* alarms = nullptr;                       // required
    ISoundPlayer* sound = nullptr;                   // stopped by OK
    TAlarmVolume* volume = nullptr;                  // restored by OK
    HIMAGELIST icons = nullptr;                      // the alarm icon list; none: no icon
};

// The alarm window's message boxes: the main form's (tests record them).
class IAlarmWindowMessages {
public:
    virtual void AlarmWindowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT icon) = 0;

protected:
    ~IAlarmWindowMessages() = default;
};

// One row of the reminder menu.
struct ReminderInterval {
    std::wstring_view caption;
    int minutes;   // 0: "none", which clears the reminder
};
inline constexpr std::array<ReminderInterval, 24> kReminderIntervals{{
    {L"none", 0},     {L"1 min", 1},     {L"2 min", 2},       {L"3 min", 3},       {L"4 min", 4},
    {L"5 min", 5},    {L"10 min", 10},   {L"15 min", 15},     {L"20 min", 20},     {L"30 min", 30},
    {L"40 min", 40},  {L"50 min", 50},   {L"1 hour", 60},     {L"2 hours", 120},   {L"3 hours", 180},
    {L"4 hours", 240}, {L"5 hours", 300}, {L"6 hours", 360},  {L"7 hours", 420},   {L"8 hours", 480},
    {L"9 hours", 540}, {L"10 hours", 600}, {L"11 hours", 660}, {L"12 hours", 720},
}};
inline constexpr size_t kFirstHourRow = 12;   // "1 hour" starts the menu's second column

class TfrmOnAlarm final : public Dialog {
public:
    // Creates, lists and shows the window (not modal). It frees itself when closed. `editing` is the one
    // alarm editor, which the edit button opens.
    static TfrmOnAlarm* Open(const AlarmWindowDeps& deps, IAlarmEditing& editing, IAlarmWindowMessages& messages,
                             TAlarmWindows& list, const AlarmWindowRequest& request);

    int Tag() const { return tag_; }
    std::wstring RemindCaption() const;
    std::wstring OkCaption() const;
    std::wstring MessageText() const;

    // A row of the reminder menu was chosen.
    void ChooseReminder(size_t row);
    // OK / Postpone / Esc: stops the sound, puts the volume back, removes a finished auto-delete
    // once-alarm, closes and gives the foreground back.
    void bOKClick();
    // The edit button: the editor on this alarm; this window closes when the editor returns.
    void imgEditClick();
    // Every close: leaves the list and frees the window (the close box neither stops the sound nor deletes).
    void Close();

private:
    TfrmOnAlarm(const AlarmWindowDeps& deps, IAlarmEditing& editing, IAlarmWindowMessages& messages,
                TAlarmWindows& list, const AlarmWindowRequest& request);
    ~TfrmOnAlarm();
    void OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;
    void Detached() override;
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l) override;
    void DrawItem(const DRAWITEMSTRUCT& item);

    AlarmWindowDeps deps_;
    IAlarmEditing& editing_;
    IAlarmWindowMessages& messages_;
    TAlarmWindows& list_;
    HWND prevForegroundWnd_ = nullptr;
    int tag_ = 0;
    int icon_ = 0;
    bool aheadOfAlarm_ = false;   // a reminder before the alarm's time: OK deletes nothing
    bool closing_ = false;
    UniqueMenu pmReminder_;
    TTmqButton bRemind_;   // the snooze button with its clock glyph and the reminder menu
    THints hints_;
};

}  // namespace vt
