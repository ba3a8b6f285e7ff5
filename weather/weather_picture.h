// Weather and moon pictures: Weather\<code>.png and Moon\<code>.png in the program folder.
#pragma once
#include <windows.h>

#include <string>

#include "base/picture.h"

namespace vt {

// The picture for a code in one of the picture folders ("Weather" or "Moon"): <code>.png when it
// exists, else na.png, else empty (no picture). `programDir` ends with a backslash.
std::wstring WeatherPicturePath(const std::wstring& programDir, const wchar_t* folder, const std::wstring& code);

}  // namespace vt
