#include "alarms/alarm_list.h"

#include <stdexcept>

namespace vt {

namespace {

// Clears a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// Sections found broken in one reading, in one text: the first few named, the rest counted.
std::wstring JoinedSectionErrors(const std::vector<std::wstring>& texts) {
    constexpr size_t kNamed = 3;
    std::wstring joined;
    for (size_t i = 0; i < texts.size() && i < kNamed; ++i) joined += (i ? L"\r\n" : L"") + texts[i];
    if (texts.size() > kNamed) joined += L"\r\n... and " + std::to_wstring(texts.size() - kNamed) + L" more";
    return joined;
}

bool InActiveWindow(const TAlRecord& due) {
    if (!due.ActiveTime) return true;
    TDateTime t = FracOf(due.DateTime);
    return FracOf(due.AfterTime) <= t && t <= FracOf(due.BeforeTime);
}

}  // namespace

bool RaisesEvent(const TAlRecord& due) {
    if (due.Reminder) return true;
    auto kind = AlarmKindOf(due.Type);
    if (!kind) return false;
    CivilTime day = DecodeDateTime(due.DateTime);
    int weekday = DayOfWeek(due.DateTime);
    switch (*kind) {
    case TAlarmKind::akOnce:
        return true;
    case TAlarmKind::akDaily:
        return due.Missed || (static_cast<size_t>(weekday - 1) < due.Weeks.size() && due.Weeks[weekday - 1] == L'1');
    case TAlarmKind::akWeekly:
        return due.Missed || weekday == due.Week;
    case TAlarmKind::akMonthly:
        return due.Missed || day.day == due.DayOfMonth;
    case TAlarmKind::akAnnualy:
        return due.Missed || (day.day == due.Day && day.month == due.Month);
    case TAlarmKind::akHourly:
    case TAlarmKind::akRegular:
        // A late repeating alarm is only moved on: the next one comes soon enough.
        return !due.Missed && InActiveWindow(due);
    }
    return false;
}

TAlarms::TAlarms(std::wstring alarmsIniPath, const INow& now, TAlarmEvent onAlarm, IAlarmErrors& errors,
                 TAlarmsSeams seams)
    : file_(std::move(alarmsIniPath), seams.saves ? *seams.saves : RealFileSaveSteps()),
      now_(now),
      onAlarm_(std::move(onAlarm)),
      errors_(errors),
      seams_(std::move(seams)) {
    if (seams_.wakeTimer && !seams_.localToUtc)
        throw std::invalid_argument("A wake timer needs a local-to-UTC conversion");
    Refresh();
}

TAlarms::~TAlarms() = default;

void TAlarms::Reopen(std::wstring alarmsIniPath) {
    file_ = AlarmsFile(std::move(alarmsIniPath), Saves());
    unsaved_.clear();
    Refresh();
}

void TAlarms::Report(const std::wstring& text) {
    if (reported_.insert(text).second) errors_.AlarmError(text);
}

void TAlarms::ReportSectionError(const std::wstring& text) {
    if (sectionErrors_.insert(text).second) errors_.AlarmError(text);
}

const AlarmScheduleEntry* TAlarms::Find(int id) const {
    for (const auto& e : schedule_)
        if (e.id == id) return &e;
    return nullptr;
}

void TAlarms::Refresh() {
    const TDateTime now = now_.Now();
    const int filter = seams_.switches ? seams_.switches->LabelFilter() : 0;
    std::vector<AlarmScheduleEntry> table;
    std::set<std::wstring> errors;
    std::vector<std::wstring> newErrors;   // in file order
    std::optional<TDateTime> earliestWake;
    if (seams_.list) seams_.list->Clear();
    // A locked file shows no alarms and is reported once; the check reads it again until it can.
    const bool unreadable = file_.Unreadable(), newlyUnreadable = unreadable && !unreadable_;
    unreadable_ = unreadable;

    for (int id : file_.AlarmIds()) {
        AlarmSummary s = file_.ReadSummary(id);
        AlarmScheduleEntry e;
        // Alarms of other labels are hidden whole: no entry data, so they neither fire nor wake.
        if (filter > 0 && s.AlLabel != filter) {
            table.push_back(e);
            continue;
        }
        e.id = id;
        e.Icon = s.Icon;
        if (s.Error.empty()) {
            e.Enabled = s.Enabled;
            e.DateTime = s.DateTime;
            e.RDateTime = s.RDateTime;
            e.Kind = static_cast<int>(AlarmKindOf(s.Type).value_or(TAlarmKind::akOnce));
            e.Wakeup = s.Wakeup;
        } else {
            // The alarm stays listed so the user can mend or delete it.
            if (errors.insert(s.Error).second && !sectionErrors_.count(s.Error)) newErrors.push_back(s.Error);
        }
        if (e.Wakeup && e.Enabled && now < e.DateTime && (!earliestWake || e.DateTime < *earliestWake))
            earliestWake = e.DateTime;
        table.push_back(e);

        if (seams_.list) {
            AlarmListItem item;
            item.id = id;
            item.Checked = s.Enabled;
            item.Message = LineBreaksToSpaces(s.Message);
            if (s.HasDateTime) item.DateTime = s.DateTime;
            item.Type = s.Type;
            item.Icon = s.Icon;
            seams_.list->Add(item);
        }
    }
    schedule_ = std::move(table);

    // A broken section is reported when it first appears, and again only after it was mended; all that
    // this reading found go in one report, not one box each.
    sectionErrors_ = std::move(errors);
    if (!newErrors.empty()) errors_.AlarmError(JoinedSectionErrors(newErrors));
    ArmWakeTimer(earliestWake, now);
    if (newlyUnreadable)
        errors_.AlarmError(L"Cannot read " + file_.path() + L": the alarms show again when it can be read.");
}

void TAlarms::ArmWakeTimer(std::optional<TDateTime> earliest, TDateTime now) {
    IWakeTimer* timer = seams_.wakeTimer.get();
    if (!timer) return;
    if (!earliest) {
        if (wakeState_ != WakeState::Cancelled) {
            timer->Cancel();
            wakeState_ = WakeState::Cancelled;
        }
        return;
    }
    // A minute early, so the machine is up and the alarm rings on time rather than as missed.
    TDateTime local = *earliest - kOneMinute;
    if (local <= now) local = *earliest;
    std::int64_t utcMs = DateTimeToMSecs(seams_.localToUtc->LocalToUtc(local));
    if (wakeState_ == WakeState::Armed && utcMs == armedUtcMs_) return;
    if (timer->Arm(MSecsToDateTime(utcMs))) {
        wakeState_ = WakeState::Armed;
        armedUtcMs_ = utcMs;
        wakeFailureShown_ = false;
    } else {
        wakeState_ = WakeState::Unknown;
        if (!wakeFailureShown_) errors_.AlarmError(L"SetWaitableTimer: " + timer->LastErrorText());
        wakeFailureShown_ = true;
    }
}

void TAlarms::Tick() {
    if (ticking_ || !onAlarm_) return;
    if (unreadable_) Refresh();
    if (seams_.switches && !seams_.switches->AlarmsEnabled()) return;
    FlagScope busy(ticking_);

    // An error box shown from here runs a loop that may carry the quit: the list's owner then destroys it
    // only once this tick has returned (base/unwind.h).
    // The handler may add, delete or change alarms: every step looks its alarm up again by id. The ids
    // go into a list kept between ticks, so a steady second allocates nothing.
    std::vector<int>& ids = tickIds_;
    ids.clear();
    for (const auto& e : schedule_)
        if (e.id > 0) ids.push_back(e.id);
    for (int id : ids) {
        const AlarmScheduleEntry* e = Find(id);
        TDateTime now = now_.Now();
        if (e && e->Enabled && now > e->DateTime && !unsaved_.count({id, false, DateTimeToMSecs(e->DateTime)}))
            FireDue(id, now);
        e = Find(id);
        now = now_.Now();
        if (e && e->RDateTime != 0 && now > e->RDateTime && !unsaved_.count({id, true, DateTimeToMSecs(e->RDateTime)}))
            FireReminder(id, now);
    }
}

std::optional<TAlRecord> TAlarms::ReadSection(int id) {
    try {
        TAlRecord alarm = file_.Read(id);
        if (alarm.id == id) return alarm;   // else the section went away since the last refresh
    } catch (const AlarmFileError& e) {
        ReportSectionError(e.text());
    }
    return std::nullopt;
}

void TAlarms::FireDue(int id, TDateTime now) {
    std::optional<TAlRecord> read = ReadSection(id);
    if (!read) return;
    TAlRecord& alarm = *read;
    alarm.Missed = (now - alarm.DateTime) > kMissedAfter;
    FireAlarm(alarm);
}

void TAlarms::FireAlarm(const TAlRecord& alarm) {
    const TAlRecord due = alarm;
    auto next = NextOccurrence(alarm, now_.Now());
    // Without a next time the alarm is switched off, touching nothing else of its section.
    bool saved = next ? file_.Update(*next) : file_.WriteEnabled(alarm.id, false);
    if (!saved && file_.Exists(alarm.id)) {
        unsaved_.insert({alarm.id, false, DateTimeToMSecs(alarm.DateTime)});
        Report(L"Cannot write " + file_.path());
    }
    Refresh();
    if (onAlarm_ && RaisesEvent(due)) onAlarm_(due);
}

void TAlarms::FireReminder(int id, TDateTime now) {
    std::optional<TAlRecord> read = ReadSection(id);
    if (!read || read->RDateTime == 0) return;
    TAlRecord& alarm = *read;
    // Cleared first, so a handler that never returns quickly cannot make it ring twice.
    if (!file_.WriteReminder(id, 0)) {
        unsaved_.insert({id, true, DateTimeToMSecs(alarm.RDateTime)});
        Report(L"Cannot write " + file_.path());
    }
    Refresh();
    alarm.Reminder = true;
    alarm.Missed = (now - alarm.RDateTime) > kMissedAfter;
    if (onAlarm_) onAlarm_(alarm);
}

void TAlarms::RecalcAll() {
    for (int id : file_.AlarmIds()) {
        std::optional<TAlRecord> read = ReadSection(id);
        if (!read || !read->Enabled) continue;
        const TAlRecord& alarm = *read;
        const TDateTime now = now_.Now();
        // Already due: the check fires it, as missed when it is late.
        if (alarm.DateTime <= now) continue;
        auto next = NextOccurrence(alarm, now);
        if (!next) {
            file_.WriteEnabled(id, false);
            continue;
        }
        if (next->Type == AlarmTypeName(TAlarmKind::akRegular) && next->DateTime > now + next->Min * kOneMinute)
            next->DateTime = now + next->Min * kOneMinute;
        if (DateTimeToMSecs(next->DateTime) != DateTimeToMSecs(alarm.DateTime) || next->Enabled != alarm.Enabled)
            file_.Update(*next);
    }
}

int TAlarms::AddAlarm(const TAlRecord& alarm) {
    int id = file_.Add(alarm);
    Refresh();
    return id;
}

void TAlarms::SetAlarmEnabled(int id, bool enabled) {
    if (id <= 0 || !file_.Exists(id)) return;
    file_.WriteEnabled(id, enabled);
    if (!enabled) {
        file_.WriteReminder(id, 0);
    } else {
        try {
            TAlRecord alarm = file_.Read(id);
            const TDateTime now = now_.Now();
            if (alarm.Type != AlarmTypeName(TAlarmKind::akOnce) && now > alarm.DateTime) {
                if (auto next = NextOccurrence(alarm, now))
                    file_.WriteDateTime(id, next->DateTime);
                else
                    file_.WriteEnabled(id, false);   // it could never ring
            }
        } catch (const AlarmFileError& e) {
            ReportSectionError(e.text());
        }
    }
    Refresh();
}

void TAlarms::Snooze(int id, int minutes, bool clear) {
    if (id <= 0 || !file_.Exists(id)) return;
    file_.WriteReminder(id, clear ? 0 : now_.Now() + minutes * kOneMinute);
    Refresh();
}

}  // namespace vt
