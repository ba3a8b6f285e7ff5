// A private-profile (INI) file as the options, alarm and calendar files are kept. The file is read
// whole into memory and read again only when it changed on disk; a write changes one line and saves
// the whole file atomically (base/file_save.h). Lines the program does not change are written back
// byte for byte, in the file's own encoding and line ends.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace vt {

class FileSaveSteps;

class IniFile {
public:
    explicit IniFile(std::wstring path);
    IniFile(std::wstring path, FileSaveSteps& steps);
    ~IniFile();
    IniFile(IniFile&&) noexcept;
    IniFile& operator=(IniFile&&) noexcept;
    const std::wstring& path() const { return path_; }

    // Every file is read as the system's profile functions read it (GetPrivateProfileStringW): names
    // compare without regard to ASCII case and lose the blanks around them; the first section of a
    // name and its first line of a key count; a value loses the blanks around it and one pair of
    // quotes enclosing it. A key line without "=" is a key without a value (read as the fallback),
    // and ";" starts no comment of its own: such a line is a key nobody asks for. KeyNames lists
    // neither.
    bool SectionExists(const std::wstring& section) const;
    bool KeyExists(const std::wstring& section, const std::wstring& key) const;
    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) const;
    int ReadInteger(const std::wstring& section, const std::wstring& key, int fallback) const;
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool fallback) const;
    double ReadFloat(const std::wstring& section, const std::wstring& key, double fallback) const;
    std::vector<std::wstring> SectionNames() const;
    std::vector<std::wstring> KeyNames(const std::wstring& section) const;
    // The file exists but could not be read (another program holds it locked, access is refused, or it
    // is too long): every read gives its fallback and every write is refused, so the user's file is
    // never replaced by values it was not read for. A locked file is tried again on each call.
    bool Unreadable() const;

    // Writers return false when the file could not be saved; the file on disk is then as it was and
    // so is what this object reads. A file the program creates is UTF-16LE with a byte-order mark, so
    // text in any language survives; an existing file keeps its encoding, unless a value cannot be
    // written in its code page: the file then becomes UTF-16LE rather than lose the text.
    bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    bool WriteInteger(const std::wstring& section, const std::wstring& key, long long value);
    bool WriteBool(const std::wstring& section, const std::wstring& key, bool value);
    bool WriteFloat(const std::wstring& section, const std::wstring& key, double value);
    bool DeleteKey(const std::wstring& section, const std::wstring& key);
    // Removes every section of the name with its keys.
    bool EraseSection(const std::wstring& section);

    // Writes between BeginUpdate and EndUpdate are saved once, by EndUpdate, which returns whether
    // that save succeeded (true when nothing changed). Nested pairs save at the outermost end.
    void BeginUpdate();
    bool EndUpdate();

    // Files longer than this are not read (they are no settings file) and never written over.
    static constexpr size_t kMaxFileSize = 64u << 20;

private:
    struct Document;
    Document& Fresh() const;
    template <class Change> bool Apply(Change change);
    bool Save();

    std::wstring path_;
    FileSaveSteps* steps_;
    std::unique_ptr<Document> doc_;
};

}  // namespace vt
