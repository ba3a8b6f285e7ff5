// IniFile against the system's own profile functions, on seeded random files of the shapes people write
// by hand: every read agrees, and after the same writes through either side, every read of either file
// agrees with every other.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/inifile.h"
#include "base/text.h"
#include "support/test_support.h"

using namespace vt;

namespace {

const std::vector<std::wstring> kSections = {L"Options", L"options", L"Alarm1", L"Zone \u00C4", L"zone \u00E4", L"x]y"};
const std::vector<std::wstring> kKeys = {L"Prefix", L"PREFIX", L"Sound", L"Gr\u00F6\u00DFe", L";note", L"#hash",
                                         L"[Open", L"two words"};
const std::vector<std::wstring> kValues = {L"",           L"1",         L"0",        L"text with  spaces", L"\"quoted\"",
                                           L"'single'",   L"\"unbalanced", L"\"",    L"a=b",               L"Z\u00FCrich",
                                           L"\u03A9 \u03C9", L"\"\"",   L"' in '",   L"; not a comment"};
const std::vector<std::wstring> kBlanks = {L"", L"", L" ", L"\t", L"  \t ", L"\x1A", L"\f"};

enum class Encoding { Ansi, Utf8NoMark, Utf8, Utf16Le, Utf16Be };

struct Generator {
    explicit Generator(unsigned seed) : rng(seed) {}
    std::mt19937 rng;
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
    const std::wstring& From(const std::vector<std::wstring>& list) { return list[Pick(list.size())]; }
    std::wstring Blank() { return From(kBlanks); }

    std::wstring Line() {
        switch (Pick(12)) {
        case 0: return Blank();
        case 1: return L";" + From(kValues);
        case 2: return L"; " + From(kKeys) + L"=" + From(kValues);
        case 3:
        case 4: return Blank() + L"[" + Blank() + From(kSections) + Blank() + L"]" + (Pick(4) ? L"" : L" ; tail");
        case 5: return Blank() + From(kKeys) + Blank();   // a line without "="
        case 6: return L"[" + From(kSections) + (Pick(2) ? L"=7" : L"");   // a header without "]"
        case 7: return Blank() + L"=" + From(kValues);
        default: return Blank() + From(kKeys) + Blank() + L"=" + Blank() + From(kValues) + Blank();
        }
    }

    std::string File(Encoding enc, const std::wstring& eol) {
        std::wstring text;
        const size_t lines = Pick(16);
        for (size_t i = 0; i < lines; ++i) text += Line() + ((i + 1 < lines || Pick(2)) ? eol : L"");
        last = text;
        return Encode(enc, text);
    }
    std::wstring last;   // the text of the last file made

    static std::string Encode(Encoding enc, const std::wstring& text) {
        std::string out;
        if (enc == Encoding::Utf16Le || enc == Encoding::Utf16Be) {
            out = enc == Encoding::Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
            for (wchar_t c : text) {
                const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
                out += enc == Encoding::Utf16Le ? lo : hi;
                out += enc == Encoding::Utf16Le ? hi : lo;
            }
            return out;
        }
        if (enc == Encoding::Utf8) out = "\xEF\xBB\xBF";
        const UINT cp = enc == Encoding::Ansi ? CP_ACP : CP_UTF8;
        const int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(n > 0 ? n : 0, '\0');
        if (n > 0) WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
        return out + bytes;
    }
};

// Whether the ANSI code page holds the text. IniFile turns a file into UTF-16 rather than write text
// its code page cannot hold, where the system writes a look-alike: those writes are not compared.
bool AnsiHolds(const std::wstring& text) {
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                        &lossy);
    return !lossy;
}

std::wstring Shown(const std::wstring& s) {
    std::wstring r;
    for (wchar_t c : s) {
        if (c == L'\r') r += L"\\r";
        else if (c == L'\n') r += L"\\n";
        else if (c == 0) r += L"|";
        else if (c < 32) r += L"^" + std::wstring(1, static_cast<wchar_t>(L'@' + c));
        else r += c;
    }
    return r;
}

std::wstring List(const std::vector<std::wstring>& items) {
    std::wstring r;
    for (const auto& s : items) r += s + L"|";
    return r;
}

std::vector<std::wstring> Split(const std::vector<wchar_t>& buffer, DWORD length) {
    std::vector<std::wstring> r;
    for (DWORD i = 0; i < length && buffer[i];) {   // as a caller reads it: an empty name ends the list
        std::wstring item(&buffer[i]);
        i += static_cast<DWORD>(item.size()) + 1;
        r.push_back(item);
    }
    return r;
}

// Every read the program can make of a file, one line each, through the system or through IniFile.
std::wstring Reads(const std::wstring& path, bool system) {
    std::wstring out;
    std::vector<wchar_t> buffer(1 << 16);
    const DWORD size = static_cast<DWORD>(buffer.size());
    if (system) {
        out += L"sections: " + List(Split(buffer, GetPrivateProfileSectionNamesW(buffer.data(), size, path.c_str())));
    } else {
        out += L"sections: " + List(IniFile(path).SectionNames());
    }
    out += L"\n";
    for (const std::wstring& sectionName : kSections)
        for (const std::wstring& section : {sectionName, L" " + sectionName + L"\t"}) {
            if (system) {
                DWORD n = GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer.data(), size, path.c_str());
                out += L"[" + section + L"] keys: " + List(Split(buffer, n)) + L"\n";
            } else {
                out += L"[" + section + L"] keys: " + List(IniFile(path).KeyNames(section)) + L"\n";
            }
            for (const std::wstring& keyName : kKeys)
                for (const std::wstring& key : {keyName, L"\t" + keyName + L" "}) {
                    std::wstring value;
                    if (system) {
                        DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<none>", buffer.data(), size,
                                                           path.c_str());
                        value.assign(buffer.data(), n);
                    } else {
                        value = IniFile(path).ReadString(section, key, L"<none>");
                    }
                    out += L"[" + section + L"] " + key + L" = " + value + L"\n";
                }
        }
    return out;
}

// The first line where two readings part.
std::wstring FirstDifference(const std::wstring& a, const std::wstring& b) {
    size_t start = 0;
    while (true) {
        size_t ea = a.find(L'\n', start), eb = b.find(L'\n', start);
        std::wstring la = a.substr(start, ea - start), lb = b.substr(start, eb - start);
        if (la != lb) return L"system: " + Shown(la) + L"\n  ours: " + Shown(lb);
        if (ea == std::wstring::npos || eb == std::wstring::npos) return L"";
        start = ea + 1;
    }
}

struct Write {
    int kind;   // 0 value, 1 delete key, 2 erase section
    std::wstring section, key, value;
};

const Encoding kEncodings[] = {Encoding::Ansi, Encoding::Utf8NoMark, Encoding::Utf8, Encoding::Utf16Le,
                               Encoding::Utf16Be};
const wchar_t* const kEols[] = {L"\r\n", L"\n", L"\r"};
constexpr unsigned kCases = 250;

}  // namespace

TEST(IniFileAgainstTheSystem, HandWrittenFilesReadAlike) {
    test::TempDir dir;
    for (unsigned seed = 1; seed <= kCases; ++seed) {
        Generator g(seed);
        const Encoding enc = kEncodings[seed % 5];
        const std::string bytes = g.File(enc, kEols[(seed / 5) % 3]);
        // A name of its own for every file: the system keeps the last files it read in memory.
        const std::wstring path = dir.File(L"read" + std::to_wstring(seed) + L".ini");
        test::WriteFileBytes(path, bytes);
        const std::wstring system = Reads(path, true), ours = Reads(path, false);
        ASSERT_TRUE(system == ours) << "seed " << seed << ", file " << Narrow(Shown(g.last)) << "\n"
                                << Narrow(FirstDifference(system, ours));
    }
}

TEST(IniFileAgainstTheSystem, WritesEitherWayReadAlikeEitherWay) {
    test::TempDir dir;
    for (unsigned seed = 1; seed <= kCases; ++seed) {
        Generator g(seed * 7919u);
        const Encoding enc = kEncodings[seed % 5];
        const std::string bytes = g.File(enc, kEols[(seed / 5) % 3]);
        std::vector<Write> writes;
        for (size_t i = 0, n = 1 + g.Pick(5); i < n; ++i) {
            Write w{g.Pick(8) == 0 ? 2 : g.Pick(5) == 0 ? 1 : 0, g.From(kSections), g.From(kKeys),
                    g.Blank() + g.From(kValues) + g.Blank()};
            const bool ansi = enc == Encoding::Ansi || enc == Encoding::Utf8NoMark;
            if (ansi && !AnsiHolds(w.value)) w.value = L"plain";
            writes.push_back(w);
        }
        const std::wstring ours = dir.File(L"ours" + std::to_wstring(seed) + L".ini"),
                           system = dir.File(L"system" + std::to_wstring(seed) + L".ini");
        test::WriteFileBytes(ours, bytes);
        test::WriteFileBytes(system, bytes);
        std::wstring done;
        for (const Write& w : writes) {
            IniFile ini(ours);
            if (w.kind == 0) {
                ASSERT_TRUE(ini.WriteString(w.section, w.key, w.value));
                ASSERT_TRUE(WritePrivateProfileStringW(w.section.c_str(), w.key.c_str(), w.value.c_str(), system.c_str()));
                done += L"write [" + w.section + L"] " + w.key + L"=" + w.value + L"; ";
            } else if (w.kind == 1) {
                ini.DeleteKey(w.section, w.key);
                WritePrivateProfileStringW(w.section.c_str(), w.key.c_str(), nullptr, system.c_str());
                done += L"delete [" + w.section + L"] " + w.key + L"; ";
            } else {
                ini.EraseSection(w.section);
                // The system removes one section of the name a call; EraseSection removes them all.
                for (int i = 0; i < 16; ++i) WritePrivateProfileStringW(w.section.c_str(), nullptr, nullptr, system.c_str());
                done += L"erase [" + w.section + L"]; ";
            }
        }
        const std::wstring reference = Reads(system, true);
        const auto context = [&] {
            return "seed " + std::to_string(seed) + ", file " + Narrow(Shown(g.last)) + "\n" +
                   Narrow(Shown(done)) + "\nours now " + Narrow(Shown(Widen(test::ReadFileBytes(ours)))) + "\n";
        };
        const std::wstring oursBySystem = Reads(ours, true), oursByUs = Reads(ours, false),
                           systemByUs = Reads(system, false);
        ASSERT_TRUE(reference == oursBySystem) << "written by us, read by the system\n" << context() << Narrow(FirstDifference(reference, oursBySystem));
        ASSERT_TRUE(reference == oursByUs) << "written by us, read by us\n" << context() << Narrow(FirstDifference(reference, oursByUs));
        ASSERT_TRUE(reference == systemByUs) << "written by the system, read by us\n" << context() << Narrow(FirstDifference(reference, systemByUs));
    }
}
