// The "Date / Time" column of the alarm list in the user's own formats.
#pragma once
#include <string>

#include "clock/base/datetime.h"

namespace vt {

// The locale's short date followed by its long time; the time is left out at exactly midnight.
std::wstring FormatAlarmListDateTime(TDateTime value);

}  // namespace vt
