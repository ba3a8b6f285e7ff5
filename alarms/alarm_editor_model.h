// The alarm editor's logic without its window: the editor's fields, their defaults, the record they are
// filled from, validation and the record they make, and which controls each state enables or shows.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "alarms/alarm_record.h"
#include "base/datetime.h"

namespace vt {

// The editor's own numbering of the schedule panels (ShowSchedulePanel); converted to the stored kind
// only through the kind's name.
enum class EditorKind : int { Once = 1, Daily, Weekly, Monthly, Annualy, Regular, Hourly };
inline constexpr int kEditorKindCount = 7;
std::wstring_view EditorKindTypeName(EditorKind kind);
std::optional<EditorKind> EditorKindOfType(std::wstring_view type);

// Entries of the reminder list, in list order.
inline constexpr std::array<std::wstring_view, 7> ReminderNames{
    L"2 hours before",    L"1 hour before",    L"30 minutes before", L"15 minutes before",
    L"10 minutes before", L"5 minutes before", L"0 minutes"};
inline constexpr int kDefaultReminderIndex = 3;
inline constexpr std::array<std::wstring_view, 3> WindowStyleNames{L"Normal", L"Maximized", L"Minimized"};
inline constexpr wchar_t kDefaultAlarmMessage[] = L"Don't forget about ";
inline constexpr int kNewAlarmIcon = 5;

// Ranges of the spin editors.
inline constexpr int kMaxRegularMinutes = 999999999;
inline constexpr int kMaxRepeat = 10000000;
inline constexpr int kMaxRepeatPause = 10000000;

// Everything the editor's controls hold. Times and dates are the program's day counts.
struct AlarmEditorFields {
    // "Alarm" tab
    bool alarmOn = true;            // chbAlarm
    bool messageOn = true;          // chbMessage
    int category = 0;               // cbAlarmsCategory
    int icon = kNewAlarmIcon;       // SelectedAlarmIcon
    std::wstring message = kDefaultAlarmMessage;   // mmMessage, real CR LF line breaks
    bool reminder = false;          // chbReminder
    int reminderIndex = kDefaultReminderIndex;     // cbReminder, -1 = nothing selected
    EditorKind kind = EditorKind::Once;
    TDateTime time = 0;             // dtTime: time of day
    TDateTime onceDate = 0;         // dtOnceDate: its date counts
    std::array<bool, 7> weekdays{true, true, true, true, true, true, true};   // chbSun ... chbSat
    int weeklyIndex = 0;            // cbWeekly, 0 = Sunday
    int monthlyDay = 1;             // sedMonthly
    int annualDay = 1;              // sedAnnualy
    int annualMonthIndex = 0;       // cbAnnualy, 0 = January
    int regularMinutes = 30;        // sedRegular
    TDateTime regularStart = 0;     // dtRegular: date and time
    int hourlyMinute = 0;           // sedHourly
    bool activeTime = false;        // chbActiveTime
    TDateTime after = kDefaultAfterTime;    // dtAfter
    TDateTime before = kDefaultBeforeTime;  // dtBefore
    bool autoDelete = false;        // chbAutoDelete
    bool wakeup = false;            // cbWakeup
    // "Sound" tab
    bool soundOn = false;           // chbSound
    std::wstring soundFolder;       // edPathSound, ends with "\"
    std::wstring sound;             // caption of the selected lvSound item; empty = none selected
    bool repeatUntilClosed = false; // rbRepeatClose (else rbRepeatSpec)
    int repeatTimes = 1;            // sedRepeat
    int repeatPause = 1;            // sedRepeatPause
    bool customVolume = false;      // chbCustVol
    int volume = 100;               // trbVolume
    // "Actions" tab
    bool actionsOn = false;         // chbActions
    bool openDoc = true;            // rbOpenDoc (else rbShutdown)
    std::wstring fileName;          // edFileName
    std::wstring params;            // edParam
    int windowStyle = 0;            // cbWinStyle
    int action = 0;                 // rbAcShutdown ... rbAcMonitor as AlarmSystemActionNames index, -1 none
    bool forceClose = false;        // chbForceClose

    bool operator==(const AlarmEditorFields&) const = default;
};

// The proposed time of a new alarm: this hour, the next minute (never past minute 59), 0 seconds.
TDateTime ProposedAlarmTime(TDateTime now);

// Every field at the editor's default; the sound folder is the program's "Sounds\" folder and its first
// sound (from `sounds`, as listed) is selected.
AlarmEditorFields DefaultEditorFields(TDateTime now, const std::wstring& programSounds,
                                      const std::vector<std::wstring>& sounds);

// Reminder band of the whole minutes between an alarm and its reminder; nothing outside every band.
std::optional<int> ReminderIndexOfMinutes(int minutes);

// Shows a stored alarm over `fields` (already at their defaults). The sound: when `soundExists` the
// folder becomes the file's folder and the file the selection; else `fields` keep the defaults' sound.
// Values that no control can show (a weekday, day or month out of range) leave the control's default.
void FieldsFromRecord(const TAlRecord& alarm, bool soundExists, AlarmEditorFields& fields);

// The folder of a path with its trailing "\", and its file name.
std::wstring FolderOf(const std::wstring& path);
std::wstring FileNameOf(const std::wstring& path);

struct EditorError {
    std::wstring text;
    std::wstring caption;
    bool operator==(const EditorError&) const = default;
};

inline constexpr wchar_t kPastTimeError[] =
    L"The time you've set up for this alarm is in the past. Please check your settings.";
inline constexpr wchar_t kActivityWindowError[] =
    L"The end of activity period is earlier than start. Please verify your settings.";
inline constexpr wchar_t kNoWeekdayError[] = L"Please, select day of week";
inline constexpr wchar_t kNoSuchDayError[] =
    L"No calendar day matches the day and month you've set up for this alarm. Please check your settings.";
inline constexpr wchar_t kIncorrectTimeCaption[] = L"Incorrect time";
inline constexpr wchar_t kProgramCaption[] = L"Vantoric";

struct EditorResult {
    std::optional<TAlRecord> record;   // id 0: the caller sets it for an existing alarm
    std::optional<EditorError> error;
};

// The record the fields make, with its first firing time, or the error that refuses it.
EditorResult RecordFromFields(const AlarmEditorFields& fields, TDateTime now);

// What each state of the fields enables and shows.
struct EditorEnabling {
    std::array<bool, kEditorKindCount + 1> panelShown{};   // by EditorKind, see SchedulePanels
    bool hourly2Shown = false;     // pnHourly2 (active window)
    bool autoDeleteShown = false;  // chbAutoDelete
    bool alarmGroup = true;        // kind buttons, time, date, weekday, month, interval editors, chbAutoDelete
    bool activeWindow = false;     // dtAfter, dtBefore and their labels
    bool messageGroup = true;      // imgIcon, imgDropDown, mmMessage
    bool reminderList = false;     // cbReminder
    bool soundGroup = false;       // path, list, play, stop, repeat and pause editors, chbCustVol
    bool volumeControls = false;   // lbVolume, trbVolume
    bool actionsGroup = false;     // both action kinds and every control of their panels
    bool openAppInFront = true;    // pnOpenApp (else pnShutdown)
    std::wstring appDocCaption;    // grpnAppDoc
};
EditorEnabling EnablingOf(const AlarmEditorFields& fields);

// "Volume: 100% ".
std::wstring VolumeCaption(int percent);
// The delete question: Delete Alarm "<message>" ?
std::wstring DeleteQuestion(const std::wstring& message);

// The *.wav entries of a folder, then its *.mp3 entries, in directory order; empty for a missing folder.
std::vector<std::wstring> ListSounds(std::wstring folder);
// The *.png entries of a folder in directory order.
std::vector<std::wstring> ListIconFiles(std::wstring folder);

}  // namespace vt
