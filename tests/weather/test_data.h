// The recorded replies of tests/weather/data/.
#pragma once
#include <windows.h>

#include <string>

#include "support/test_support.h"

namespace vt::test {

inline std::string WeatherData(const std::wstring& name) {
    wchar_t buf[MAX_PATH * 4];
    DWORD n = GetEnvironmentVariableW(L"VT_SOURCE", buf, static_cast<DWORD>(std::size(buf)));
    std::wstring dir;
    if (n && n < std::size(buf)) {
        dir.assign(buf, n);
        for (auto& c : dir) if (c == L'/') c = L'\\';
        dir = L"Z:" + dir + L"\\tests\\weather\\data\\";
    } else {
        dir = TestProgramDir() + L"..\\..\\..\\tests\\weather\\data\\";
    }
    return ReadFileBytes(dir + name);
}

// The text with the first `from` replaced by `to`.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace vt::test
