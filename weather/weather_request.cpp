#include "weather/weather_request.h"

#include <windows.h>
#include <winhttp.h>

#include <cstdlib>
#include <mutex>

#include "base/handles.h"
#include "base/text.h"

namespace vt {

namespace {

std::mutex g_hostLock;
std::wstring g_hostOverride;

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::wstring WeatherServiceHost() {
    {
        std::lock_guard<std::mutex> l(g_hostLock);
        if (!g_hostOverride.empty()) return g_hostOverride;
    }
    wchar_t buf[256];
    DWORD n = GetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", buf, static_cast<DWORD>(std::size(buf)));
    if (n > 0 && n < std::size(buf)) return std::wstring(buf, n);
    return kDefaultWeatherHost;
}

void SetWeatherServiceHost(std::wstring host) {
    std::lock_guard<std::mutex> l(g_hostLock);
    g_hostOverride = std::move(host);
}

std::wstring EncodePlace(std::wstring_view place) {
    static const char kHex[] = "0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : Narrow(place)) {
        if (c == ' ') {
            out += L'+';
        } else if (Unreserved(c)) {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += static_cast<wchar_t>(kHex[c >> 4]);
            out += static_cast<wchar_t>(kHex[c & 15]);
        }
    }
    return out;
}

std::wstring WeatherRequestPath(std::wstring_view place, std::wstring_view user, std::wstring_view unitCode) {
    return L"/weather.php?city=" + EncodePlace(place) + L"&user=" + std::wstring(user) + L"&unit=" +
           std::wstring(unitCode);
}


}  // namespace vt
