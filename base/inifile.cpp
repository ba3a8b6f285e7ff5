#include "base/inifile.h"

#include <windows.h>

#include "base/handles.h"
#include "base/text.h"

namespace vt {

namespace {
// Reads a profile string at full length: the buffer grows until the value fits.
std::wstring ReadProfile(const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
                         const std::wstring& path, bool list) {
    std::wstring buf(512, L'\0');
    for (;;) {
        DWORD n = GetPrivateProfileStringW(section, key, fallback, buf.data(), static_cast<DWORD>(buf.size()),
                                           path.c_str());
        // A value that filled the buffer may have been cut; lists end with two NULs.
        DWORD limit = static_cast<DWORD>(buf.size()) - (list ? 2 : 1);
        if (n < limit || buf.size() >= (1u << 24)) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 4);
    }
}

std::vector<std::wstring> SplitNulList(const std::wstring& s) {
    std::vector<std::wstring> r;
    size_t b = 0;
    while (b < s.size()) {
        size_t e = s.find(L'\0', b);
        if (e == std::wstring::npos) e = s.size();
        if (e > b) r.emplace_back(s.substr(b, e - b));
        b = e + 1;
    }
    return r;
}

constexpr wchar_t kMissing[] = L"\x01\x02missing\x03";
}  // namespace

bool CreateUnicodeFileIfMissing(const std::wstring& path) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) {
        f.release();
        return GetLastError() == ERROR_FILE_EXISTS;
    }
    static const unsigned char kBom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    return WriteFile(f.get(), kBom, 2, &written, nullptr) && written == 2;
}

bool IniFile::EnsureFile() {
    if (!ensured_) ensured_ = CreateUnicodeFileIfMissing(path_);
    return ensured_;
}

bool IniFile::SectionExists(const std::wstring& section) const {
    for (const auto& s : SectionNames())
        if (EqualsNoCaseAscii(s, section)) return true;
    return false;
}

bool IniFile::KeyExists(const std::wstring& section, const std::wstring& key) const {
    return ReadProfile(section.c_str(), key.c_str(), kMissing, path_, false) != kMissing;
}

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& fallback) const {
    std::wstring v = ReadProfile(section.c_str(), key.c_str(), kMissing, path_, false);
    return v == kMissing ? fallback : v;
}

int IniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int fallback) const {
    return StrToIntDef(ReadString(section, key, L""), fallback);
}

bool IniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool fallback) const {
    auto v = ParseInt(ReadString(section, key, L""));
    return v ? *v != 0 : fallback;
}

double IniFile::ReadFloat(const std::wstring& section, const std::wstring& key, double fallback) const {
    return StrToFloatDef(ReadString(section, key, L""), fallback);
}

std::vector<std::wstring> IniFile::SectionNames() const {
    return SplitNulList(ReadProfile(nullptr, nullptr, L"", path_, true));
}

std::vector<std::wstring> IniFile::KeyNames(const std::wstring& section) const {
    return SplitNulList(ReadProfile(section.c_str(), nullptr, L"", path_, true));
}

bool IniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    EnsureFile();
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
}

bool IniFile::WriteInteger(const std::wstring& section, const std::wstring& key, long long value) {
    return WriteString(section, key, std::to_wstring(value));
}

bool IniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
    return WriteString(section, key, value ? L"1" : L"0");
}

bool IniFile::WriteFloat(const std::wstring& section, const std::wstring& key, double value) {
    return WriteString(section, key, FloatToStr(value));
}

bool IniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, path_.c_str()) != FALSE;
}

bool IniFile::EraseSection(const std::wstring& section) {
    return WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path_.c_str()) != FALSE;
}

}  // namespace vt
