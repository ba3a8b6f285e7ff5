// A private-profile (INI) file, opened for one use as the options and alarm files are.
#pragma once
#include <string>
#include <vector>

namespace vt {

class IniFile {
public:
    explicit IniFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }

    bool SectionExists(const std::wstring& section) const;
    bool KeyExists(const std::wstring& section, const std::wstring& key) const;
    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) const;
    int ReadInteger(const std::wstring& section, const std::wstring& key, int fallback) const;
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool fallback) const;
    double ReadFloat(const std::wstring& section, const std::wstring& key, double fallback) const;
    std::vector<std::wstring> SectionNames() const;
    std::vector<std::wstring> KeyNames(const std::wstring& section) const;

    // Writers return false when the system refused the write. A file the program creates is UTF-16LE
    // with a byte-order mark, so text in any language survives; an existing file keeps its encoding.
    bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    bool WriteInteger(const std::wstring& section, const std::wstring& key, long long value);
    bool WriteBool(const std::wstring& section, const std::wstring& key, bool value);
    bool WriteFloat(const std::wstring& section, const std::wstring& key, double value);
    bool DeleteKey(const std::wstring& section, const std::wstring& key);
    bool EraseSection(const std::wstring& section);

private:
    bool EnsureFile();
    std::wstring path_;
    bool ensured_ = false;
};

// Creates an empty UTF-16LE file with a byte-order mark when none exists.
bool CreateUnicodeFileIfMissing(const std::wstring& path);

}  // namespace vt
