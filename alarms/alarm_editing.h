// The road to the one alarm editor, as windows other than the main form reach it (the month calendar).
#pragma once

namespace vt {

class IAlarmEditing {
public:
    virtual bool AlarmEditorVisible() = 0;              // frmAlarm is open
    virtual void EditAlarm(bool isNew, int id) = 0;     // opens it for a new alarm (id 0) or alarm `id`

protected:
    ~IAlarmEditing() = default;
};

}  // namespace vt
