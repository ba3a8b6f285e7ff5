// Reading and writing alarms.ini as text in tests: UTF-16LE with a byte-order mark on disk, UTF-8 with
// LF line ends in the test sources and golden files.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "support/test_support.h"

namespace vt::test {

inline void WriteIniText(const std::wstring& path, const std::string& utf8) {
    std::wstring w;
    for (wchar_t c : Widen(utf8)) {
        if (c == L'\n') w += L'\r';
        w += c;
    }
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : w) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteFileBytes(path, bytes);
}

inline std::string ReadIniText(const std::wstring& path) {
    std::string bytes = ReadFileBytes(path);
    std::wstring w;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            w += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    } else {
        w = Widen(bytes);
    }
    std::wstring out;
    for (wchar_t c : w)
        if (c != L'\r') out += c;
    return Narrow(out);
}

// The text of each section (its header line included), by name, plus the order of the names.
inline std::map<std::string, std::string> SplitSections(const std::string& text, std::vector<std::string>* order = nullptr) {
    std::map<std::string, std::string> r;
    std::string current;
    size_t b = 0;
    while (b < text.size()) {
        size_t e = text.find('\n', b);
        if (e == std::string::npos) e = text.size();
        std::string line = text.substr(b, e - b);
        if (!line.empty() && line[0] == '[') {
            current = line;
            if (order) order->push_back(current);
        }
        r[current] += line + "\n";
        b = e + 1;
    }
    return r;
}

inline std::wstring GoldenDir() {
    wchar_t buf[MAX_PATH * 4];
    DWORD n = GetEnvironmentVariableW(L"VT_SOURCE", buf, static_cast<DWORD>(std::size(buf)));
    if (n && n < std::size(buf)) {
        std::wstring unix(buf, n);
        for (auto& c : unix)
            if (c == L'/') c = L'\\';
        return L"Z:" + unix + L"\\tests\\alarms\\golden\\";
    }
    return TestProgramDir() + L"..\\..\\..\\tests\\alarms\\golden\\";
}

inline std::string Golden(const std::wstring& name) {
    std::string s = ReadFileBytes(GoldenDir() + name);
    std::string out;
    for (char c : s)
        if (c != '\r') out += c;
    return out;
}

// With VT_UPDATE_GOLDEN set, the expected files are rewritten from what the code produced.
inline bool UpdatingGolden() { return GetEnvironmentVariableW(L"VT_UPDATE_GOLDEN", nullptr, 0) > 0; }

}  // namespace vt::test
