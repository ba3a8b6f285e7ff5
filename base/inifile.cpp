#include "base/inifile.h"

#include <windows.h>

#include <unordered_map>
#include <utility>

#include "base/file_save.h"
#include "base/text.h"

namespace vt {

namespace {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };
enum class Kind { Other, Section, Key };

// Names compare as the system's profile functions compare them: case is ignored for ASCII letters only.
std::wstring Fold(std::wstring_view s) { return UpperAscii(s); }

// The system's profile functions take these for blanks around lines, names and values: ASCII white
// space and the old end-of-file mark (^Z).
bool IsProfileBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1A; }

std::wstring ProfileTrim(std::wstring_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsProfileBlank(s[b])) ++b;
    while (e > b && IsProfileBlank(s[e - 1])) --e;
    return std::wstring(s.substr(b, e - b));
}

// Names and values never carry a line end or NUL: one would split the line, the other end the text.
std::wstring OneLineText(std::wstring s) {
    for (wchar_t& c : s)
        if (c == L'\r' || c == L'\n' || c == L'\0') c = L' ';
    return s;
}

std::wstring Decode(Encoding enc, std::string_view bytes) {
    if (bytes.empty()) return {};
    if (enc == Encoding::Utf16Le || enc == Encoding::Utf16Be) {
        std::wstring r(bytes.size() / 2, L'\0');
        for (size_t i = 0; i < r.size(); ++i) {
            const auto lo = static_cast<unsigned char>(bytes[2 * i + (enc == Encoding::Utf16Be)]);
            const auto hi = static_cast<unsigned char>(bytes[2 * i + (enc == Encoding::Utf16Le)]);
            r[i] = static_cast<wchar_t>(lo | (hi << 8));
        }
        return r;
    }
    const UINT cp = enc == Encoding::Utf8 ? CP_UTF8 : CP_ACP;
    const int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring r(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), r.data(), n);
    return r;
}

// The text in the encoding; false when the code page cannot hold it (the text would come back
// different).
bool Encode(Encoding enc, std::wstring_view text, std::string& out) {
    if (enc == Encoding::Utf16Le || enc == Encoding::Utf16Be) {
        for (wchar_t c : text) {
            const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
            out += enc == Encoding::Utf16Le ? lo : hi;
            out += enc == Encoding::Utf16Le ? hi : lo;
        }
        return true;
    }
    if (text.empty()) return true;
    const UINT cp = enc == Encoding::Utf8 ? CP_UTF8 : CP_ACP;
    const int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    std::string bytes(n, '\0');
    WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    if (Decode(enc, bytes) != text) return false;
    out += bytes;
    return true;
}

struct FileStamp {
    bool exists = false;
    unsigned long long size = 0;
    FILETIME written{}, created{};
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && size == o.size && CompareFileTime(&written, &o.written) == 0 &&
               CompareFileTime(&created, &o.created) == 0;
    }
};

FileStamp StampOf(const std::wstring& path) {
    FileStamp s;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return s;
    s.exists = true;
    s.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    s.written = data.ftLastWriteTime;
    s.created = data.ftCreationTime;
    return s;
}

}  // namespace

struct IniFile::Document {
    struct Line {
        std::string raw;    // the bytes read, kept to write an unchanged line back as it was
        bool changed = false;
        std::wstring text;
        std::wstring eol;   // L"\r\n", L"\n", L"\r" or nothing (the last line)
        Kind kind = Kind::Other;
        std::wstring name, folded, value;
        bool hasValue = false;   // a key line without "=" names a key that has no value
    };

    bool loaded = false;
    bool writable = true;   // false for a file that exists but could not be read whole
    FileStamp stamp;
    Encoding encoding = Encoding::Utf16Le;
    std::string bom = "\xFF\xFE";
    std::string tail;             // an odd last byte of a UTF-16 file
    bool reencode = false;        // every line is written from its text (the encoding changed)
    std::wstring newEol = L"\r\n";
    std::vector<Line> lines;
    std::unordered_map<std::wstring, size_t> firstSection;   // folded name -> header line
    int depth = 0;
    bool dirty = false;
    bool batchFailed = false;

    // As the system's profile functions read a line: a "[" with a "]" after it makes a section header
    // (the name ends at the last "]"); every other line that is not blank is a key, also a ";" comment
    // (a key nobody asks for) and a line without "=" (a key without a value, which hides a later
    // line of the same key).
    static void Classify(Line& line) {
        line.kind = Kind::Other;
        line.name.clear();
        line.folded.clear();
        line.value.clear();
        line.hasValue = false;
        const std::wstring t = ProfileTrim(line.text);
        if (t.empty()) return;
        const size_t close = t[0] == L'[' ? t.rfind(L']') : std::wstring::npos;
        if (close != std::wstring::npos && close > 0) {
            line.kind = Kind::Section;
            line.name = ProfileTrim(std::wstring_view(t).substr(1, close - 1));
        } else {
            line.kind = Kind::Key;
            const size_t eq = t.find(L'=');
            line.hasValue = eq != std::wstring::npos;
            line.name = line.hasValue ? ProfileTrim(std::wstring_view(t).substr(0, eq)) : t;
            if (line.hasValue) line.value = ProfileTrim(std::wstring_view(t).substr(eq + 1));
        }
        line.folded = Fold(line.name);
    }

    void Load(const std::wstring& path) {
        lines.clear();
        firstSection.clear();
        tail.clear();
        reencode = false;
        dirty = false;
        newEol = L"\r\n";
        loaded = true;
        stamp = StampOf(path);
        writable = true;
        encoding = Encoding::Utf16Le;
        bom = "\xFF\xFE";
        if (!stamp.exists) return;
        std::optional<std::string> bytes = ReadWholeFile(path, kMaxFileSize);
        if (!bytes) {
            // Locked or too long: nothing is read and nothing written over it; a locked file is
            // tried again on the next call.
            writable = false;
            loaded = stamp.size > kMaxFileSize;
            return;
        }
        Parse(*bytes);
    }

    void Parse(std::string_view bytes) {
        auto starts = [&](std::string_view p) { return bytes.substr(0, p.size()) == p; };
        if (starts("\xFF\xFE")) encoding = Encoding::Utf16Le, bom = "\xFF\xFE";
        else if (starts("\xFE\xFF")) encoding = Encoding::Utf16Be, bom = "\xFE\xFF";
        else if (starts("\xEF\xBB\xBF")) encoding = Encoding::Utf8, bom = "\xEF\xBB\xBF";
        else encoding = Encoding::Ansi, bom.clear();
        bytes.remove_prefix(bom.size());
        const size_t unit = encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be ? 2 : 1;
        if (unit == 2 && bytes.size() % 2) {
            tail = std::string(bytes.substr(bytes.size() - 1));
            bytes.remove_suffix(1);
        }
        auto unitAt = [&](size_t i) -> unsigned {
            if (unit == 1) return static_cast<unsigned char>(bytes[i]);
            const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            return encoding == Encoding::Utf16Le ? (a | (b << 8)) : (b | (a << 8));
        };
        bool eolSeen = false;
        size_t begin = 0;
        for (size_t i = 0; i < bytes.size(); i += unit) {
            const unsigned u = unitAt(i);
            if (u != '\r' && u != '\n') continue;
            Line line;
            line.raw = std::string(bytes.substr(begin, i - begin));
            line.eol = u == '\n' ? L"\n" : L"\r";
            if (u == '\r' && i + unit < bytes.size() && unitAt(i + unit) == '\n') {
                line.eol = L"\r\n";
                i += unit;
            }
            if (!eolSeen) newEol = line.eol, eolSeen = true;
            begin = i + unit;
            AddRead(std::move(line));
        }
        if (begin < bytes.size()) {
            Line line;
            line.raw = std::string(bytes.substr(begin));
            AddRead(std::move(line));
        }
        Reindex();
    }

    void AddRead(Line&& line) {
        line.text = Decode(encoding, line.raw);
        Classify(line);
        lines.push_back(std::move(line));
    }

    void Reindex() {
        firstSection.clear();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].kind == Kind::Section) firstSection.emplace(lines[i].folded, i);
    }

    // Names asked for lose their blanks, as the system's functions trim them, except when the keys of a
    // section are listed.
    size_t SectionAt(const std::wstring& folded, bool trim = true) const {
        auto it = firstSection.find(trim ? ProfileTrim(folded) : folded);
        return it == firstSection.end() ? std::wstring::npos : it->second;
    }

    size_t SectionEnd(size_t header) const {
        size_t i = header + 1;
        while (i < lines.size() && lines[i].kind != Kind::Section) ++i;
        return i;
    }

    // The first line of the key in the first section of the name; null when there is none.
    const Line* FindKey(const std::wstring& section, const std::wstring& key) const {
        const size_t header = SectionAt(Fold(section));
        if (header == std::wstring::npos) return nullptr;
        const std::wstring k = Fold(ProfileTrim(key));
        for (size_t i = header + 1, e = SectionEnd(header); i < e; ++i)
            if (lines[i].kind == Kind::Key && lines[i].folded == k) return &lines[i];
        return nullptr;
    }

    void Insert(size_t at, std::wstring text) {
        // The line before gets a line end if it was the file's unended last line.
        if (at > 0 && lines[at - 1].eol.empty()) lines[at - 1].eol = newEol;
        Line line;
        line.text = std::move(text);
        line.changed = true;
        line.eol = newEol;
        Classify(line);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    }

    bool Write(const std::wstring& sectionIn, const std::wstring& keyIn, const std::wstring& valueIn) {
        const std::wstring section = ProfileTrim(OneLineText(sectionIn)), key = ProfileTrim(OneLineText(keyIn)),
                           value = ProfileTrim(OneLineText(valueIn));
        size_t header = SectionAt(Fold(section));
        if (header == std::wstring::npos) {
            Insert(lines.size(), L"[" + section + L"]");
            Insert(lines.size(), key + L"=" + value);
            Reindex();
            return true;
        }
        const std::wstring k = Fold(key);
        const size_t end = SectionEnd(header);
        size_t lastKey = header;
        for (size_t i = header + 1; i < end; ++i) {
            Line& line = lines[i];
            if (line.kind != Kind::Key) continue;
            lastKey = i;
            if (line.folded != k) continue;
            if (line.hasValue && line.value == value) return false;   // already so: the line stays as it was
            line.text = line.name + L"=" + value;
            line.changed = true;
            Classify(line);
            return true;
        }
        Insert(lastKey + 1, key + L"=" + value);
        Reindex();
        return true;
    }

    // The first line of the key goes, looked for in each section of the name in turn; a repeated key
    // then reads as its next line, as the system has it.
    bool EraseKey(const std::wstring& section, const std::wstring& key) {
        const std::wstring s = Fold(ProfileTrim(section)), k = Fold(ProfileTrim(key));
        for (size_t header = 0; header < lines.size(); ++header) {
            if (lines[header].kind != Kind::Section || lines[header].folded != s) continue;
            for (size_t i = header + 1, e = SectionEnd(header); i < e; ++i)
                if (lines[i].kind == Kind::Key && lines[i].folded == k) {
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                    Reindex();
                    return true;
                }
        }
        return false;
    }

    bool EraseSections(const std::wstring& section) {
        const std::wstring s = Fold(ProfileTrim(section));
        bool erased = false;
        for (size_t header; (header = SectionAt(s)) != std::wstring::npos;) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                        lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
            Reindex();
            erased = true;
        }
        return erased;
    }

    std::string Serialize() {
        // A code page that cannot hold a changed line: the whole file moves to UTF-16LE.
        if (encoding == Encoding::Ansi) {
            std::string probe;
            for (const Line& line : lines)
                if (line.changed && !Encode(encoding, line.text, probe)) {
                    encoding = Encoding::Utf16Le;
                    bom = "\xFF\xFE";
                    reencode = true;
                    break;
                }
        }
        std::string out = bom;
        for (Line& line : lines) {
            if (line.changed || reencode) {
                line.raw.clear();
                Encode(encoding, line.text, line.raw);
            }
            out += line.raw;
            Encode(encoding, line.eol, out);
        }
        out += tail;
        return out;
    }
};

IniFile::IniFile(std::wstring path) : IniFile(std::move(path), RealFileSaveSteps()) {}
IniFile::IniFile(std::wstring path, FileSaveSteps& steps)
    : path_(std::move(path)), steps_(&steps), doc_(std::make_unique<Document>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

IniFile::Document& IniFile::Fresh() const {
    Document& d = *doc_;
    // Changes not yet saved are never dropped for a newer file; the save then writes over it.
    if (!d.dirty && (!d.loaded || !(StampOf(path_) == d.stamp))) d.Load(path_);
    return d;
}

template <class Change>
bool IniFile::Apply(Change change) {
    Document& d = Fresh();
    if (!d.writable) {
        if (d.depth) d.batchFailed = true;
        return false;
    }
    if (change(d)) d.dirty = true;
    if (d.depth) return true;
    return Save();
}

bool IniFile::Save() {
    Document& d = *doc_;
    if (!d.dirty) return true;
    const bool saved = SaveFileAtomically(path_, d.Serialize(), *steps_);
    d.dirty = false;
    if (saved) {
        // Each line now holds the bytes written; only the new file's stamp is left to learn.
        for (auto& line : d.lines) line.changed = false;
        d.reencode = false;
        d.stamp = StampOf(path_);
    } else {
        d.loaded = false;   // what is on disk is what counts
    }
    return saved;
}

void IniFile::BeginUpdate() { ++doc_->depth; }

bool IniFile::EndUpdate() {
    Document& d = *doc_;
    if (d.depth == 0 || --d.depth > 0) return true;
    const bool failed = std::exchange(d.batchFailed, false);
    if (failed) {
        d.dirty = false;
        d.loaded = false;
        return false;
    }
    return Save();
}

bool IniFile::SectionExists(const std::wstring& section) const {
    return Fresh().SectionAt(Fold(section)) != std::wstring::npos;
}

bool IniFile::KeyExists(const std::wstring& section, const std::wstring& key) const {
    const Document::Line* line = Fresh().FindKey(section, key);
    return line && line->hasValue;
}

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& fallback) const {
    const Document::Line* line = Fresh().FindKey(section, key);
    if (!line || !line->hasValue) return fallback;
    const std::wstring& v = line->value;
    if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
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

bool IniFile::Unreadable() const { return !Fresh().writable; }

std::vector<std::wstring> IniFile::SectionNames() const {
    std::vector<std::wstring> r;
    for (const auto& line : Fresh().lines)
        if (line.kind == Kind::Section && !line.name.empty()) r.push_back(line.name);
    return r;
}

std::vector<std::wstring> IniFile::KeyNames(const std::wstring& section) const {
    std::vector<std::wstring> r;
    const Document& d = Fresh();
    const size_t header = d.SectionAt(Fold(section), false);
    if (header == std::wstring::npos) return r;
    // Keys without a value and ";" comments are not listed.
    for (size_t i = header + 1, e = d.SectionEnd(header); i < e; ++i) {
        const auto& line = d.lines[i];
        if (line.kind != Kind::Key || !line.hasValue || (!line.name.empty() && line.name[0] == L';')) continue;
        if (line.name.empty()) break;   // the system's list ends at an empty name
        r.push_back(line.name);
    }
    return r;
}

bool IniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    return Apply([&](Document& d) { return d.Write(section, key, value); });
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
    return Apply([&](Document& d) { return d.EraseKey(section, key); });
}

bool IniFile::EraseSection(const std::wstring& section) {
    return Apply([&](Document& d) { return d.EraseSections(section); });
}

}  // namespace vt
