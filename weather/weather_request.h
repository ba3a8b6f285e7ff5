// The weather service's address: its host and the request path for a place. The exchange itself is
// base/http's, run by an HttpWorker; everything it needs is gathered on the main thread.
#pragma once
#include <string>
#include <string_view>

#include "base/http.h"

namespace vt {

// The service's host ("name" or "name:port"). One constant default; the environment variable
// VANTORIC_WEATHER_HOST or SetWeatherServiceHost replace it (the tests point it at a loopback server).
inline constexpr wchar_t kDefaultWeatherHost[] = L"weather.dorminax.com";
inline constexpr wchar_t kWeatherUser[] = L"vantoric";
std::wstring WeatherServiceHost();
void SetWeatherServiceHost(std::wstring host);   // empty: back to the environment or the default

// The place as the service expects it: space -> '+', A-Z a-z 0-9 unchanged, every other UTF-8 byte
// as %XX with upper-case hex digits ("Paris, France" -> "Paris%2C+France").
std::wstring EncodePlace(std::wstring_view place);
// "/weather.php?city=...&user=...&unit=s|m"
std::wstring WeatherRequestPath(std::wstring_view place, std::wstring_view user, std::wstring_view unitCode);

}  // namespace vt
