#include "alarms/alarms_file.h"

#include <algorithm>
#include <functional>
#include <set>

#include "base/text.h"

namespace vt {

namespace {

// The profile reader drops blanks around a value and one pair of quotes enclosing it; such a value is
// stored inside quotes of its own so it reads back as it was written.
std::wstring Protected(const std::wstring& value) {
    if (value.empty()) return value;
    auto fragile = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'"' || c == L'\''; };
    if (fragile(value.front()) || fragile(value.back())) return L"\"" + value + L"\"";
    return value;
}

std::wstring FloatText(double v) { return v == 0 ? std::wstring(L"0") : FloatToStr(v); }

struct KeyWriter {
    const wchar_t* key;
    std::function<std::wstring(const TAlRecord&)> value;
    bool text;   // free text: protected against the reader's trimming
};

std::wstring Int(int v) { return std::to_wstring(v); }
std::wstring Bool(bool v) { return v ? L"1" : L"0"; }

// Keys in the order of a new section.
const std::vector<KeyWriter>& Keys() {
    static const std::vector<KeyWriter> keys = {
        {L"DateTime", [](const TAlRecord& a) { return FloatText(a.DateTime); }, false},
        {L"RDateTime", [](const TAlRecord& a) { return FloatText(a.RDateTime); }, false},
        {L"AfterTime", [](const TAlRecord& a) { return FloatText(a.AfterTime); }, false},
        {L"BeforeTime", [](const TAlRecord& a) { return FloatText(a.BeforeTime); }, false},
        {L"Type", [](const TAlRecord& a) { return StripControls(a.Type); }, true},
        {L"Weeks", [](const TAlRecord& a) { return StripControls(a.Weeks); }, true},
        {L"Message", [](const TAlRecord& a) { return EncodeLineBreaks(a.Message); }, true},
        {L"AlLabel", [](const TAlRecord& a) { return Int(a.AlLabel); }, false},
        {L"SoundFile", [](const TAlRecord& a) { return StripControls(a.SoundFile); }, true},
        {L"OpenFile", [](const TAlRecord& a) { return StripControls(a.OpenFile); }, true},
        {L"ParamFile", [](const TAlRecord& a) { return StripControls(a.ParamFile); }, true},
        {L"ShutDown", [](const TAlRecord& a) { return StripControls(a.ShutDown); }, true},
        {L"id", [](const TAlRecord& a) { return Int(a.id); }, false},
        {L"Week", [](const TAlRecord& a) { return Int(a.Week); }, false},
        {L"DayOfMonth", [](const TAlRecord& a) { return Int(a.DayOfMonth); }, false},
        {L"Day", [](const TAlRecord& a) { return Int(a.Day); }, false},
        {L"Month", [](const TAlRecord& a) { return Int(a.Month); }, false},
        {L"Min", [](const TAlRecord& a) { return Int(a.Min); }, false},
        {L"Icon", [](const TAlRecord& a) { return Int(a.Icon); }, false},
        {L"WindowStyle", [](const TAlRecord& a) { return Int(a.WindowStyle); }, false},
        {L"SoundPause", [](const TAlRecord& a) { return Int(a.SoundPause); }, false},
        {L"SoundTimes", [](const TAlRecord& a) { return Int(a.SoundTimes); }, false},
        {L"SoundVolume", [](const TAlRecord& a) { return Int(a.SoundVolume); }, false},
        {L"Enabled", [](const TAlRecord& a) { return Bool(a.Enabled); }, false},
        {L"MessageEn", [](const TAlRecord& a) { return Bool(a.MessageEn); }, false},
        {L"SoundEn", [](const TAlRecord& a) { return Bool(a.SoundEn); }, false},
        {L"SoundLoop", [](const TAlRecord& a) { return Bool(a.SoundLoop); }, false},
        {L"SoundCustVol", [](const TAlRecord& a) { return Bool(a.SoundCustVol); }, false},
        {L"OpenfileEn", [](const TAlRecord& a) { return Bool(a.OpenfileEn); }, false},
        {L"ShutdownEn", [](const TAlRecord& a) { return Bool(a.ShutdownEn); }, false},
        {L"ForceClose", [](const TAlRecord& a) { return Bool(a.ForceClose); }, false},
        {L"AutoDelete", [](const TAlRecord& a) { return Bool(a.AutoDelete); }, false},
        {L"ActiveTime", [](const TAlRecord& a) { return Bool(a.ActiveTime); }, false},
        {L"Wakeup", [](const TAlRecord& a) { return Bool(a.Wakeup); }, false},
    };
    return keys;
}

// Keys missing from an existing section are appended in this order, as files written by earlier
// versions expect: the first 23 as for a new section, then the flags.
const std::vector<const KeyWriter*>& UpdateOrder() {
    static const std::vector<const KeyWriter*> order = [] {
        std::vector<const KeyWriter*> r;
        const auto& k = Keys();
        for (size_t i = 0; i < 23; ++i) r.push_back(&k[i]);
        for (const wchar_t* name : {L"Enabled", L"MessageEn", L"SoundLoop", L"SoundCustVol", L"SoundEn", L"OpenfileEn",
                                    L"ShutdownEn", L"ForceClose", L"AutoDelete", L"ActiveTime", L"Wakeup"})
            for (const auto& w : k)
                if (std::wstring_view(w.key) == name) r.push_back(&w);
        return r;
    }();
    return order;
}

}  // namespace

std::vector<int> AlarmsFile::AlarmIds() const {
    std::vector<int> ids;
    std::set<int> seen;
    for (const auto& name : ini_.SectionNames())
        if (auto id = AlarmIdOfSection(name); id && seen.insert(*id).second) ids.push_back(*id);
    return ids;
}

bool AlarmsFile::Exists(int id) const { return id > 0 && ini_.SectionExists(AlarmSectionName(id)); }

std::wstring AlarmsFile::NewSectionName() const {
    std::vector<int> ids = AlarmIds();
    std::sort(ids.begin(), ids.end());
    // The smallest number not taken; at most one more than the number of alarms.
    int n = 1;
    for (int id : ids) {
        if (id == n) ++n;
        else if (id > n) break;
    }
    return AlarmSectionName(n);
}

bool AlarmsFile::WriteText(const std::wstring& section, const wchar_t* key, const std::wstring& value) {
    return ini_.WriteString(section, key, value);
}

bool AlarmsFile::WriteAll(const std::wstring& section, const TAlRecord& alarm, bool updateOrder) {
    bool ok = true;
    ini_.BeginUpdate();   // one save for the whole section
    auto write = [&](const KeyWriter& w) {
        std::wstring v = w.value(alarm);
        ok = WriteText(section, w.key, w.text ? Protected(v) : v) && ok;
    };
    if (updateOrder)
        for (const KeyWriter* w : UpdateOrder()) write(*w);
    else
        for (const KeyWriter& w : Keys()) write(w);
    return ini_.EndUpdate() && ok;
}

int AlarmsFile::Add(const TAlRecord& alarm) {
    std::wstring section = NewSectionName();
    TAlRecord copy = alarm;
    copy.id = *AlarmIdOfSection(section);
    return WriteAll(section, copy, false) ? copy.id : 0;
}

bool AlarmsFile::Update(const TAlRecord& alarm) {
    if (!Exists(alarm.id)) return false;
    return WriteAll(AlarmSectionName(alarm.id), alarm, true);
}

double AlarmsFile::ReadNumber(const std::wstring& section, const wchar_t* key, const wchar_t* fallback) const {
    std::wstring text = ini_.ReadString(section, key, fallback);
    try {
        return StrToFloatAny(text);
    } catch (const AlarmFileError& e) {
        throw AlarmFileError(section + L", " + key + L": " + e.text());
    }
}

TAlRecord AlarmsFile::Read(int id) const {
    const std::wstring s = AlarmSectionName(id);
    TAlRecord a;
    bool exists = Exists(id);
    a.DateTime = exists ? ReadNumber(s, L"DateTime", L"0") : 0;
    a.RDateTime = exists ? ReadNumber(s, L"RDateTime", L"0") : 0;
    a.AfterTime = exists ? ReadNumber(s, L"AfterTime", L"0.3750065046") : kDefaultAfterTime;
    a.BeforeTime = exists ? ReadNumber(s, L"BeforeTime", L"0.9166731713") : kDefaultBeforeTime;
    a.Type = ini_.ReadString(s, L"Type", L"NOTFOUND");
    a.Weeks = ini_.ReadString(s, L"Weeks", L"NOTFOUND");
    a.Message = DecodeLineBreaks(ini_.ReadString(s, L"Message", L""));
    a.AlLabel = ini_.ReadInteger(s, L"AlLabel", 0);
    a.SoundFile = ini_.ReadString(s, L"SoundFile", L"");
    a.OpenFile = ini_.ReadString(s, L"OpenFile", L"");
    a.ParamFile = ini_.ReadString(s, L"ParamFile", L"");
    a.ShutDown = ini_.ReadString(s, L"ShutDown", L"NOTFOUND");
    a.id = exists ? id : -1;   // the section name, not the "id" key, says which alarm this is
    a.Week = ini_.ReadInteger(s, L"Week", 0);
    a.DayOfMonth = ini_.ReadInteger(s, L"DayOfMonth", -1);
    a.Day = ini_.ReadInteger(s, L"Day", -1);
    a.Month = ini_.ReadInteger(s, L"Month", 0);
    a.Min = ini_.ReadInteger(s, L"Min", 0);
    a.Icon = ini_.ReadInteger(s, L"Icon", 5);
    a.WindowStyle = ini_.ReadInteger(s, L"WindowStyle", 0);
    a.SoundPause = ini_.ReadInteger(s, L"SoundPause", 1);
    a.SoundTimes = ini_.ReadInteger(s, L"SoundTimes", 1);
    a.SoundVolume = ini_.ReadInteger(s, L"SoundVolume", 1);
    a.Enabled = ini_.ReadBool(s, L"Enabled", false);
    a.MessageEn = ini_.ReadBool(s, L"MessageEn", false);
    a.SoundEn = ini_.ReadBool(s, L"SoundEn", false);
    a.SoundLoop = ini_.ReadBool(s, L"SoundLoop", false);
    a.SoundCustVol = ini_.ReadBool(s, L"SoundCustVol", false);
    a.OpenfileEn = ini_.ReadBool(s, L"OpenfileEn", false);
    a.ShutdownEn = ini_.ReadBool(s, L"ShutdownEn", false);
    a.ForceClose = ini_.ReadBool(s, L"ForceClose", false);
    a.AutoDelete = ini_.ReadBool(s, L"AutoDelete", false);
    a.ActiveTime = ini_.ReadBool(s, L"ActiveTime", false);
    a.Wakeup = ini_.ReadBool(s, L"Wakeup", false);
    return a;
}

AlarmSummary AlarmsFile::ReadSummary(int id) const {
    const std::wstring s = AlarmSectionName(id);
    AlarmSummary r;
    r.id = id;
    r.AlLabel = ini_.ReadInteger(s, L"AlLabel", 0);
    r.Enabled = ini_.ReadBool(s, L"Enabled", false);
    r.Wakeup = ini_.ReadBool(s, L"Wakeup", false);
    r.Type = ini_.ReadString(s, L"Type", L"none");
    r.Message = ini_.ReadString(s, L"Message", L"NOT FOUND");
    r.Icon = ini_.ReadInteger(s, L"Icon", 0);
    r.HasDateTime = !ini_.ReadString(s, L"DateTime", L"").empty();
    try {
        r.DateTime = ReadNumber(s, L"DateTime", L"0");
        r.RDateTime = ReadNumber(s, L"RDateTime", L"0");
        // The window bounds are read only when the alarm fires; a bad one must show now, not then.
        ReadNumber(s, L"AfterTime", L"0.3750065046");
        ReadNumber(s, L"BeforeTime", L"0.9166731713");
    } catch (const AlarmFileError& e) {
        r.Error = e.text();
        r.DateTime = r.RDateTime = 0;
        r.HasDateTime = false;
    }
    return r;
}

bool AlarmsFile::Delete(int id) { return Exists(id) && ini_.EraseSection(AlarmSectionName(id)); }

bool AlarmsFile::WriteEnabled(int id, bool enabled) {
    return Exists(id) && ini_.WriteString(AlarmSectionName(id), L"Enabled", Bool(enabled));
}

bool AlarmsFile::WriteReminder(int id, TDateTime when) {
    return Exists(id) && ini_.WriteString(AlarmSectionName(id), L"RDateTime", FloatText(when));
}

bool AlarmsFile::WriteDateTime(int id, TDateTime when) {
    return Exists(id) && ini_.WriteString(AlarmSectionName(id), L"DateTime", FloatText(when));
}

}  // namespace vt
