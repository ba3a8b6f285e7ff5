// alarms.ini: one section "Alarm<n>" per alarm. The section name is the alarm's identity; sections with
// other names belong to nobody and are left alone, as are keys the program does not know.
#pragma once
#include <string>
#include <vector>

#include "alarms/alarm_record.h"
#include "base/file_save.h"
#include "base/inifile.h"

namespace vt {

// The few values the schedule table and the alarm list need of one section.
struct AlarmSummary {
    int id = 0;
    int AlLabel = 0;
    bool Enabled = false;
    bool Wakeup = false;
    TDateTime DateTime = 0;
    TDateTime RDateTime = 0;
    bool HasDateTime = false;   // the key "DateTime" holds a value
    std::wstring Type;          // as stored, "none" when absent (no kind: the table takes kind 0)
    std::wstring Message;       // as stored (line breaks encoded), "NOT FOUND" when absent
    int Icon = 0;
    std::wstring Error;         // a number that cannot be read; the section then schedules nothing
};

class AlarmsFile {
public:
    explicit AlarmsFile(std::wstring path, FileSaveSteps& saves = RealFileSaveSteps()) : ini_(std::move(path), saves) {}
    const std::wstring& path() const { return ini_.path(); }
    // The file exists but could not be read (locked, refused): no alarm is read and none written.
    bool Unreadable() const { return ini_.Unreadable(); }

    // Ids of the alarm sections in file order; a name repeated in the file counts once.
    std::vector<int> AlarmIds() const;
    bool Exists(int id) const;
    // "Alarm" + the smallest n >= 1 whose section does not exist.
    std::wstring NewSectionName() const;

    // Writes a new section with every key; returns the new id, 0 when the file refused the write.
    int Add(const TAlRecord& alarm);
    // Writes every key of an existing section; writes nothing (false) when the section is gone.
    bool Update(const TAlRecord& alarm);
    // Reads a section with the reader's defaults; a missing section reads as the defaults with id -1.
    // Throws AlarmFileError for a number that cannot be read.
    TAlRecord Read(int id) const;
    AlarmSummary ReadSummary(int id) const;
    bool Delete(int id);
    // Single-key writes into an existing section; false when it is gone or the write failed.
    bool WriteEnabled(int id, bool enabled);
    bool WriteReminder(int id, TDateTime when);
    bool WriteDateTime(int id, TDateTime when);

private:
    double ReadNumber(const std::wstring& section, const wchar_t* key, const wchar_t* fallback) const;
    bool WriteText(const std::wstring& section, const wchar_t* key, const std::wstring& value);
    bool WriteAll(const std::wstring& section, const TAlRecord& alarm, bool updateOrder);
    IniFile ini_;
};

}  // namespace vt
