#include "weather/weather_picture.h"
#include "base/files.h"

namespace vt {

std::wstring WeatherPicturePath(const std::wstring& programDir, const wchar_t* folder, const std::wstring& code) {
    const std::wstring dir = programDir + folder + L"\\";
    std::wstring path = dir + code + L".png";
    if (FileExists(path)) return path;
    path = dir + L"na.png";
    return FileExists(path) ? path : std::wstring();
}

}  // namespace vt
