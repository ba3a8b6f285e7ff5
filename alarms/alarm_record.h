// One alarm as the program keeps it, the schedule kinds and actions with their stored spellings, and
// the small text and number routines of the alarm file.
#pragma once
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/datetime.h"

namespace vt {

// Schedule kinds; the position in AlarmTypeNames is the kind index of the schedule table.
enum class TAlarmKind : int { akOnce = 0, akHourly, akDaily, akWeekly, akMonthly, akAnnualy, akRegular };

// Stored spellings, compared exactly ("Annualy" is how existing files spell it).
inline constexpr std::array<std::wstring_view, 7> AlarmTypeNames{L"Once",    L"Hourly",  L"Daily",  L"Weekly",
                                                                 L"Monthly", L"Annualy", L"Regular"};
std::optional<TAlarmKind> AlarmKindOf(std::wstring_view type);
std::wstring_view AlarmTypeName(TAlarmKind kind);

// System actions stored in TAlRecord::ShutDown ("logon" means log off, "monitor" turns the display off).
enum class TAlarmSystemAction : int { asShutdown = 0, asRestart, asStandby, asHibernate, asLogOff, asMonitorOff };
inline constexpr std::array<std::wstring_view, 6> AlarmSystemActionNames{L"shutdown",  L"restart", L"standby",
                                                                         L"hibernate", L"logon",   L"monitor"};
std::optional<TAlarmSystemAction> AlarmSystemActionOf(std::wstring_view text);

// Category labels; index 0 is the filter's "no label" entry.
inline constexpr std::array<std::wstring_view, 11> AlarmLabelNames{
    L"Select a label", L"Birthday", L"Important",         L"Business",    L"Personal",  L"Vacation",
    L"Must Attend",    L"Travel Required", L"Needs Preparation", L"Anniversary", L"Phone Call"};

// An alarm found more than this many days after its time counts as missed (8.64 seconds).
inline constexpr double kMissedAfter = 0.0001;

// Default active window of the file reader: 09:00:00.56 to 22:00:00.56.
inline constexpr double kDefaultAfterTime = 0.3750065046;
inline constexpr double kDefaultBeforeTime = 0.9166731713;

struct TAlRecord {
    TDateTime DateTime = 0;     // next firing time, local
    TDateTime RDateTime = 0;    // pending reminder, 0 = none
    TDateTime AfterTime = 0;    // active window of Hourly and Regular alarms (time of day)
    TDateTime BeforeTime = 0;
    std::wstring Type;          // one of AlarmTypeNames
    std::wstring Weeks;         // Daily: 7 x '0'/'1', Sunday first
    std::wstring Message;       // real CR LF line breaks in memory
    std::wstring SoundFile;
    std::wstring OpenFile;
    std::wstring ParamFile;
    std::wstring ShutDown;      // one of AlarmSystemActionNames
    int id = 0;                 // n of the section "Alarm<n>"
    int Week = 0;               // Weekly: 1 = Sunday ... 7 = Saturday
    int DayOfMonth = 0;         // Monthly
    int Day = 0;                // Annualy
    int Month = 0;              // Annualy
    int Min = 0;                // Hourly: minute of the hour; Regular: interval in minutes
    int Icon = 0;
    int WindowStyle = 0;        // 0 normal, 1 maximized, 2 minimized
    int AlLabel = 0;
    bool Enabled = false;
    bool Wakeup = false;
    bool MessageEn = false;
    bool SoundEn = false;
    bool OpenfileEn = false;
    bool ShutdownEn = false;
    bool Missed = false;        // run time only: fired late
    bool Reminder = false;      // run time only: this firing is a reminder (snooze or "before")
    bool ActiveTime = false;
    bool ForceClose = false;
    bool AutoDelete = false;
    bool SoundLoop = false;
    bool SoundCustVol = false;
    int SoundPause = 0;
    int SoundTimes = 0;
    int SoundVolume = 0;

    bool operator==(const TAlRecord&) const = default;
};

// A value of the alarm file that cannot be read; the text names the section and the value.
class AlarmFileError : public std::runtime_error {
public:
    explicit AlarmFileError(std::wstring text);
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

// Every line break of the message (CR LF, a lone CR, a lone LF) becomes the three characters "#13",
// so the message stays on one line of the file.
std::wstring EncodeLineBreaks(std::wstring_view text);
// Each "#13" becomes CR LF.
std::wstring DecodeLineBreaks(std::wstring_view text);
// "#13" and then "#10" become one blank each: the one-line column of the alarm list.
std::wstring LineBreaksToSpaces(std::wstring_view text);

// Reads a stored number written with '.' or ',' (any locale) and exponent forms; throws AlarmFileError.
double StrToFloatAny(std::wstring_view text);

int DayOfMonthOf(TDateTime value);
// The time of day of a date-time, rounded to the millisecond.
TDateTime FracOf(TDateTime value);

// "Alarm" + n; identity of an alarm in the file.
std::wstring AlarmSectionName(int id);
// n for a section named "Alarm<n>" (n >= 1, decimal without leading zeros; letters in any case, as the
// file compares them); nothing for every other name.
std::optional<int> AlarmIdOfSection(std::wstring_view name);

}  // namespace vt
