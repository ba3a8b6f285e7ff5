// The alarm list model: the schedule table built from alarms.ini, the 900 ms due check, firing,
// reminders, recomputation after a clock change and the wake-from-standby timer.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "alarms/alarm_record.h"
#include "alarms/alarms_file.h"
#include "alarms/next_occurrence.h"
#include "alarms/wake_timer.h"
#include "base/now.h"

namespace vt {

// One alarm of the schedule table. An entry hidden by the label filter stays all zero.
struct AlarmScheduleEntry {
    bool Enabled = false;
    int id = 0;
    TDateTime DateTime = 0;
    TDateTime RDateTime = 0;
    int Kind = 0;           // index into AlarmTypeNames, 0 when the stored kind is none of them
    bool Wakeup = false;
    int Icon = 0;
    bool operator==(const AlarmScheduleEntry&) const = default;
};

// One row of the main form's alarm list.
struct AlarmListItem {
    int id = 0;                           // the row's data
    bool Checked = false;                 // "Enabled"
    std::wstring Message;                 // one line: encoded breaks shown as blanks
    std::optional<TDateTime> DateTime;    // nothing when the key is empty or unreadable
    std::wstring Type;                    // as stored, "none" when absent
    int Icon = 0;                         // image index in the alarm icon list
};

// The main form's alarm list view.
class IAlarmListSink {
public:
    virtual ~IAlarmListSink() = default;
    virtual void Clear() = 0;
    virtual void Add(const AlarmListItem& item) = 0;
};

// The main form's switches: "enable alarms" and the label filter (0 = all labels).
class IAlarmSwitches {
public:
    virtual ~IAlarmSwitches() = default;
    virtual bool AlarmsEnabled() const = 0;
    virtual int LabelFilter() const = 0;
};

// Receives its own copy of the alarm as it was due, on the thread that calls Tick, after the next
// occurrence has been stored and the table rebuilt. Missed: found more than kMissedAfter late.
// Reminder: a snooze or "before" reminder, which shows the window and plays the sound only; like a
// missed alarm it must not launch the program nor perform the power action. The handler may delete,
// add or change alarms and refresh.
using TAlarmEvent = std::function<void(const TAlRecord& alarm)>;

// What the list tells the user: unreadable alarms and wake timer failures. The main form shows them in a
// message box; tests record them.
class IAlarmErrors {
public:
    virtual void AlarmError(const std::wstring& text) = 0;

protected:
    ~IAlarmErrors() = default;
};

struct TAlarmsSeams {
    IAlarmListSink* list = nullptr;               // none: no list is filled
    const IAlarmSwitches* switches = nullptr;     // none: alarms enabled, no label filter
    std::unique_ptr<IWakeTimer> wakeTimer;        // none: the machine is never woken
    const ILocalToUtc* localToUtc = nullptr;      // required with a wake timer
    FileSaveSteps* saves = nullptr;               // none: the file system's own
};

// Whether a fired alarm reaches the handler, judged by the day of its due time (an alarm due at
// 23:59:59 and found after midnight still rings). A reminder always does.
bool RaisesEvent(const TAlRecord& due);

class TAlarms {
public:
    // The handler is connected here, before the program starts the 900 ms timer that calls Tick.
    TAlarms(std::wstring alarmsIniPath, const INow& now, TAlarmEvent onAlarm, IAlarmErrors& errors,
            TAlarmsSeams seams = {});
    TAlarms(const TAlarms&) = delete;
    TAlarms& operator=(const TAlarms&) = delete;
    ~TAlarms();

    // Points the model at another alarms.ini (after the settings folder moved) and refreshes.
    void Reopen(std::wstring alarmsIniPath);
    const std::wstring& Path() const { return file_.path(); }

    // Rebuilds the schedule table, the list and the wake timer from the file.
    void Refresh();
    // The 900 ms check: fires due alarms and reminders. Ignored while a tick is running (a handler's
    // modal loop delivers timer messages too).
    void Tick();
    // Stores the alarm's next occurrence, refreshes, then raises the alarm as due when RaisesEvent.
    void FireAlarm(const TAlRecord& alarm);
    // After the clock was changed: alarms already due are left to the check; future occurrences of
    // enabled alarms are recomputed; a Regular alarm more than one interval ahead comes to now + interval.
    // Does not refresh (the caller does).
    void RecalcAll();

    static std::optional<TAlRecord> NextOccurrence(const TAlRecord& alarm, TDateTime now) {
        return vt::NextOccurrence(alarm, now);
    }
    static TDateTime TimeOfDay(TDateTime value) { return FracOf(value); }

    // File operations. Writes for an alarm whose section is gone write nothing.
    std::wstring NewSectionName() const { return file_.NewSectionName(); }
    int AddAlarm(const TAlRecord& alarm);        // refreshes; returns the new id (0 on failure)
    bool UpdateAlarm(const TAlRecord& alarm) { return file_.Update(alarm); }   // no refresh
    TAlRecord ReadAlarm(int id) const { return file_.Read(id); }               // throws AlarmFileError
    bool DeleteAlarm(int id) { return file_.Delete(id); }                      // no refresh
    bool AlarmExists(int id) const { return file_.Exists(id); }
    // Writes "Enabled" and refreshes. Disabling clears a pending reminder; enabling a repeating alarm
    // whose time passed while it was off moves it to its next occurrence instead of ringing at once.
    void SetAlarmEnabled(int id, bool enabled);
    // Sets a reminder `minutes` from now, or clears it; refreshes. Id 0 (the test window) does nothing.
    void Snooze(int id, int minutes, bool clear);

    const std::vector<AlarmScheduleEntry>& AlarmSchedule() const { return schedule_; }
    int AlarmCount() const { return static_cast<int>(schedule_.size()); }

private:
    FileSaveSteps& Saves() const { return seams_.saves ? *seams_.saves : RealFileSaveSteps(); }
    const AlarmScheduleEntry* Find(int id) const;
    // The alarm of section `id` as the file holds it now; a damaged section is reported.
    std::optional<TAlRecord> ReadSection(int id);
    void FireDue(int id, TDateTime now);
    void FireReminder(int id, TDateTime now);
    void ArmWakeTimer(std::optional<TDateTime> earliest, TDateTime now);
    void Report(const std::wstring& text);               // once per text for the model's life
    void ReportSectionError(const std::wstring& text);   // once while the section stays broken

    AlarmsFile file_;
    const INow& now_;
    TAlarmEvent onAlarm_;
    IAlarmErrors& errors_;
    TAlarmsSeams seams_;
    std::vector<AlarmScheduleEntry> schedule_;
    bool ticking_ = false;
    std::vector<int> tickIds_;   // the ids one tick walks through; only a tick uses it, never two at once
    // Errors already shown, so a broken section is reported once, not on every tick.
    std::set<std::wstring> reported_;
    std::set<std::wstring> sectionErrors_;
    // Firings whose new time could not be written: not fired again for the same time.
    std::set<std::tuple<int, bool, std::int64_t>> unsaved_;
    enum class WakeState { Unknown, Cancelled, Armed } wakeState_ = WakeState::Unknown;
    std::int64_t armedUtcMs_ = 0;
    bool wakeFailureShown_ = false;
    bool unreadable_ = false;   // alarms.ini could not be read at the last refresh: the tick tries again
};

}  // namespace vt
