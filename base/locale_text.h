// Dates, times and names in the user's locale, as the program shows and stores them.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "base/datetime.h"

namespace vt {

// GetLocaleInfo's text for `type` (a month or day name, ...); empty when the locale has none.
std::wstring LocaleText(LCTYPE type);
// The short date and the time of day in the user's formats; empty when the system refuses the value.
std::wstring LocaleShortDate(TDateTime value);
std::wstring LocaleLongTime(TDateTime value);
// Short date and time, as the settings file stores moments; exactly midnight is the date alone.
std::wstring DateTimeToText(TDateTime value);
// Reads DateTimeToText's text back in the user's locale; nothing for blank or unreadable text.
std::optional<TDateTime> TextToDateTime(const std::wstring& text);

}  // namespace vt
