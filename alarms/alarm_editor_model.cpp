#include "alarms/alarm_editor_model.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "alarms/next_occurrence.h"
#include "base/handles.h"

namespace vt {

namespace {
constexpr std::array<EditorKind, kEditorKindCount> kKinds{EditorKind::Once,    EditorKind::Daily,   EditorKind::Weekly,
                                                          EditorKind::Monthly, EditorKind::Annualy, EditorKind::Regular,
                                                          EditorKind::Hourly};
constexpr std::array<std::wstring_view, kEditorKindCount> kKindTypes{L"Once",    L"Daily",   L"Weekly", L"Monthly",
                                                                     L"Annualy", L"Regular", L"Hourly"};
// Minutes before the alarm of the reminder entries 0..5; entry 6 ("0 minutes") stores no reminder.
constexpr std::array<int, 6> kReminderMinutes{120, 60, 30, 15, 10, 5};

std::vector<std::wstring> ListMatching(std::wstring folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    if (folder.empty()) return names;
    if (folder.back() != L'\\') folder += L'\\';
    WIN32_FIND_DATAW fd{};
    UniqueFindFile find(FindFirstFileW((folder + pattern).c_str(), &fd));
    if (!find || find.get() == INVALID_HANDLE_VALUE) return names;
    constexpr DWORD kTaken = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /*volume*/ |
                             FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        // Entries with none of the classic attribute bits (a plain "normal" file on some file systems)
        // are left out, as the sound and icon lists always did.
        if ((fd.dwFileAttributes & kTaken) == 0) continue;
        names.push_back(std::move(name));
    } while (FindNextFileW(find.get(), &fd));
    return names;
}
}  // namespace

std::wstring_view EditorKindTypeName(EditorKind kind) {
    return kKindTypes[static_cast<size_t>(static_cast<int>(kind) - 1)];
}

std::optional<EditorKind> EditorKindOfType(std::wstring_view type) {
    for (size_t i = 0; i < kKindTypes.size(); ++i)
        if (kKindTypes[i] == type) return kKinds[i];
    return std::nullopt;
}

TDateTime ProposedAlarmTime(TDateTime now) {
    const CivilTime t = DecodeDateTime(now);
    return EncodeTime(t.hour, std::min(t.minute + 1, 59), 0, 0);
}

AlarmEditorFields DefaultEditorFields(TDateTime now, const std::wstring& programSounds,
                                      const std::vector<std::wstring>& sounds) {
    AlarmEditorFields f;
    f.time = ProposedAlarmTime(now);
    f.regularStart = now;
    f.onceDate = now;
    f.soundFolder = programSounds;
    if (!sounds.empty()) f.sound = sounds.front();
    return f;
}

std::optional<int> ReminderIndexOfMinutes(int m) {
    if (m >= 110 && m <= 130) return 0;
    if (m >= 55 && m <= 65) return 1;
    if (m >= 29 && m <= 31) return 2;
    if (m >= 14 && m <= 16) return 3;
    if (m >= 9 && m <= 11) return 4;
    if (m >= 4 && m <= 6) return 5;
    if (m >= 0 && m <= 1) return 6;
    return std::nullopt;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void FieldsFromRecord(const TAlRecord& a, bool soundExists, AlarmEditorFields& f) {
    f.time = FracOf(a.DateTime);
    f.reminder = a.RDateTime < a.DateTime && a.RDateTime != 0;
    if (a.RDateTime == 0) {
        f.reminderIndex = -1;
    } else {
        // Whole minutes, measured on whole milliseconds so 30 minutes stored as a double is not 29.
        const auto ms = std::llabs(DateTimeToMSecs(a.DateTime) - DateTimeToMSecs(a.RDateTime));
        const long long minutes = ms / 60000;
        if (minutes <= 200)
            if (auto index = ReminderIndexOfMinutes(static_cast<int>(minutes))) f.reminderIndex = *index;
    }
    f.after = a.AfterTime;
    f.before = a.BeforeTime;
    f.alarmOn = true;   // saving enables the alarm again
    f.wakeup = a.Wakeup;
    f.messageOn = a.MessageEn;
    f.soundOn = a.SoundEn;
    f.message = a.Message;
    if (a.AlLabel >= 0 && a.AlLabel < static_cast<int>(AlarmLabelNames.size())) f.category = a.AlLabel;
    f.autoDelete = a.AutoDelete;
    f.activeTime = a.ActiveTime;
    f.volume = std::clamp(a.SoundVolume, 0, 100);
    f.customVolume = a.SoundCustVol;
    f.actionsOn = a.OpenfileEn || a.ShutdownEn;
    f.fileName = a.OpenFile;
    f.params = a.ParamFile;
    if (a.WindowStyle >= 0 && a.WindowStyle < static_cast<int>(WindowStyleNames.size())) f.windowStyle = a.WindowStyle;
    if (auto action = AlarmSystemActionOf(a.ShutDown)) f.action = static_cast<int>(*action);
    f.forceClose = a.ForceClose;
    if (a.OpenfileEn) f.openDoc = true;
    if (a.ShutdownEn) f.openDoc = false;
    f.repeatUntilClosed = a.SoundLoop;
    f.repeatTimes = std::clamp(a.SoundTimes, 1, kMaxRepeat);
    f.repeatPause = std::clamp(a.SoundPause, 0, kMaxRepeatPause);
    if (soundExists) {
        f.soundFolder = FolderOf(a.SoundFile);
        f.sound = FileNameOf(a.SoundFile);
    }
    f.icon = a.Icon;
    const auto kind = EditorKindOfType(a.Type);
    if (!kind) return;
    f.kind = *kind;
    switch (*kind) {
        case EditorKind::Once: f.onceDate = DateOf(a.DateTime); break;
        case EditorKind::Hourly:
            if (a.Min >= 0 && a.Min <= 59) f.hourlyMinute = a.Min;
            break;
        case EditorKind::Daily:
            for (size_t i = 0; i < 7; ++i)
                if (i < a.Weeks.size() && a.Weeks[i] == L'0') f.weekdays[i] = false;
            break;
        case EditorKind::Weekly:
            if (a.Week >= 1 && a.Week <= 7) f.weeklyIndex = a.Week - 1;
            break;
        case EditorKind::Monthly:
            if (a.DayOfMonth >= 1 && a.DayOfMonth <= 31) f.monthlyDay = a.DayOfMonth;
            break;
        case EditorKind::Annualy:
            if (a.Day >= 1 && a.Day <= 31) f.annualDay = a.Day;
            if (a.Month >= 1 && a.Month <= 12) f.annualMonthIndex = a.Month - 1;
            break;
        case EditorKind::Regular:
            if (a.Min >= 1) {
                f.regularMinutes = std::min(a.Min, kMaxRegularMinutes);
                f.regularStart = a.DateTime - a.Min * kOneMinute;
            } else {
                f.regularStart = a.DateTime;
            }
            break;
    }
}

EditorResult RecordFromFields(const AlarmEditorFields& f, TDateTime now) {
    TAlRecord r;
    r.Message = EncodeLineBreaks(f.message);
    r.AlLabel = f.category;
    r.MessageEn = f.messageOn;
    r.Enabled = f.alarmOn;
    r.Wakeup = f.wakeup;
    r.SoundEn = f.soundOn;
    r.ActiveTime = f.activeTime;
    r.AfterTime = FracOf(f.after);
    r.BeforeTime = FracOf(f.before);
    r.Icon = f.icon;
    if (!f.sound.empty()) r.SoundFile = f.soundFolder + f.sound;
    r.SoundLoop = f.repeatUntilClosed;
    r.SoundTimes = f.repeatTimes;
    r.SoundPause = f.repeatPause;
    r.SoundVolume = f.volume;
    r.SoundCustVol = f.customVolume;
    r.OpenfileEn = f.actionsOn && f.openDoc;
    r.ShutdownEn = f.actionsOn && !f.openDoc;
    r.OpenFile = f.fileName;
    r.ParamFile = f.params;
    r.WindowStyle = f.windowStyle;
    if (f.action >= 0 && f.action < static_cast<int>(AlarmSystemActionNames.size()))
        r.ShutDown = AlarmSystemActionNames[static_cast<size_t>(f.action)];
    r.ForceClose = f.forceClose;
    r.AutoDelete = f.autoDelete;

    const TDateTime todayAtTime = DateOf(now) + FracOf(f.time);
    auto refuse = [](const wchar_t* text, const wchar_t* caption) {
        return EditorResult{std::nullopt, EditorError{text, caption}};
    };
    auto windowWrong = [&] { return r.ActiveTime && r.AfterTime >= r.BeforeTime; };
    r.Type = EditorKindTypeName(f.kind);
    switch (f.kind) {
        case EditorKind::Once:
            r.DateTime = DateOf(f.onceDate) + FracOf(f.time);
            if (now > r.DateTime) return refuse(kPastTimeError, kIncorrectTimeCaption);
            break;
        case EditorKind::Hourly:
            if (windowWrong()) return refuse(kActivityWindowError, kIncorrectTimeCaption);
            r.Min = f.hourlyMinute;
            r.DateTime = now - 1;
            break;
        case EditorKind::Daily:
            r.Weeks.clear();
            for (bool on : f.weekdays) r.Weeks += on ? L'1' : L'0';
            if (r.Weeks.find(L'1') == std::wstring::npos) return refuse(kNoWeekdayError, kProgramCaption);
            r.DateTime = todayAtTime;
            break;
        case EditorKind::Weekly:
            r.DateTime = todayAtTime;
            r.Week = f.weeklyIndex + 1;
            break;
        case EditorKind::Monthly:
            r.DateTime = todayAtTime;
            r.DayOfMonth = f.monthlyDay;
            break;
        case EditorKind::Annualy:
            r.DateTime = todayAtTime;
            r.Day = f.annualDay;
            r.Month = f.annualMonthIndex + 1;
            break;
        case EditorKind::Regular:
            if (windowWrong()) return refuse(kActivityWindowError, kIncorrectTimeCaption);
            r.DateTime = f.regularStart + f.regularMinutes * kOneMinute;
            r.Min = f.regularMinutes;
            break;
    }
    if (f.kind != EditorKind::Once) {
        // A day and month no calendar day has (30 February) have no next time: storing the record
        // unchanged would leave an alarm that never rings, so it is refused instead.
        auto next = NextOccurrence(r, now);
        if (!next) return refuse(kNoSuchDayError, kIncorrectTimeCaption);
        r = std::move(*next);
    }
    if (f.reminder && f.reminderIndex >= 0 && f.reminderIndex < static_cast<int>(kReminderMinutes.size()))
        r.RDateTime = r.DateTime - kReminderMinutes[static_cast<size_t>(f.reminderIndex)] * kOneMinute;
    else
        r.RDateTime = 0;
    return EditorResult{std::move(r), std::nullopt};
}

EditorEnabling EnablingOf(const AlarmEditorFields& f) {
    EditorEnabling e;
    e.panelShown[static_cast<size_t>(f.kind)] = true;
    e.hourly2Shown = f.kind == EditorKind::Regular || f.kind == EditorKind::Hourly;
    e.autoDeleteShown = f.kind == EditorKind::Once;
    e.alarmGroup = f.alarmOn;
    e.activeWindow = f.alarmOn && f.activeTime;
    e.messageGroup = f.messageOn;
    e.reminderList = f.reminder;
    e.soundGroup = f.soundOn;
    e.volumeControls = f.soundOn && f.customVolume;
    e.actionsGroup = f.actionsOn;
    e.openAppInFront = f.openDoc;
    e.appDocCaption = f.openDoc ? L"Open application or document" : L"Shut down computer";
    return e;
}

std::wstring VolumeCaption(int percent) { return L"Volume: " + std::to_wstring(percent) + L"% "; }

std::wstring DeleteQuestion(const std::wstring& message) { return L"Delete Alarm \"" + message + L"\" ?"; }

std::vector<std::wstring> ListSounds(std::wstring folder) {
    std::vector<std::wstring> names = ListMatching(folder, L"*.wav");
    for (auto& n : ListMatching(folder, L"*.mp3")) names.push_back(std::move(n));
    return names;
}

std::vector<std::wstring> ListIconFiles(std::wstring folder) { return ListMatching(std::move(folder), L"*.png"); }

}  // namespace vt
