// The "Date / Time" column of the alarm list in the user's own formats.
#pragma once
#include "base/locale_text.h"
#include <string>

#include "base/datetime.h"

namespace vt {

// The locale's short date followed by its long time; the time is left out at exactly midnight.
inline std::wstring FormatAlarmListDateTime(TDateTime value) { return DateTimeToText(value); }

}  // namespace vt
