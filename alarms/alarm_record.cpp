#include "alarms/alarm_record.h"

#include <cmath>

#include "base/text.h"

namespace vt {

std::optional<TAlarmKind> AlarmKindOf(std::wstring_view type) {
    for (size_t i = 0; i < AlarmTypeNames.size(); ++i)
        if (AlarmTypeNames[i] == type) return static_cast<TAlarmKind>(i);
    return std::nullopt;
}

std::wstring_view AlarmTypeName(TAlarmKind kind) { return AlarmTypeNames[static_cast<size_t>(kind)]; }

std::optional<TAlarmSystemAction> AlarmSystemActionOf(std::wstring_view text) {
    for (size_t i = 0; i < AlarmSystemActionNames.size(); ++i)
        if (AlarmSystemActionNames[i] == text) return static_cast<TAlarmSystemAction>(i);
    return std::nullopt;
}

AlarmFileError::AlarmFileError(std::wstring text) : std::runtime_error(Narrow(text)), text_(std::move(text)) {}

std::wstring EncodeLineBreaks(std::wstring_view text) {
    std::wstring r;
    r.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            // CR LF is one break; a lone CR or LF is one as well.
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            r += L"#13";
        } else {
            r += c;
        }
    }
    return r;
}

std::wstring DecodeLineBreaks(std::wstring_view text) {
    std::wstring r;
    r.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i, 3) == L"#13") {
            r += L"\r\n";
            i += 3;
        } else {
            r += text[i++];
        }
    }
    return r;
}

namespace {
std::wstring ReplaceAll(std::wstring s, std::wstring_view what, std::wstring_view with) {
    for (size_t p = s.find(what); p != std::wstring::npos; p = s.find(what, p + with.size()))
        s.replace(p, what.size(), with);
    return s;
}
}  // namespace

std::wstring LineBreaksToSpaces(std::wstring_view text) {
    return ReplaceAll(ReplaceAll(std::wstring(text), L"#13", L" "), L"#10", L" ");
}

double StrToFloatAny(std::wstring_view text) {
    if (auto v = ParseFloat(text); v && std::isfinite(*v)) return *v;
    throw AlarmFileError(L"'" + std::wstring(text) + L"' is not a valid floating point value");
}

int DayOfMonthOf(TDateTime value) { return DecodeDateTime(value).day; }

TDateTime FracOf(TDateTime value) { return TimeOf(value); }

std::wstring AlarmSectionName(int id) { return L"Alarm" + std::to_wstring(id); }

std::optional<int> AlarmIdOfSection(std::wstring_view name) {
    constexpr std::wstring_view kPrefix = L"alarm";
    if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 9) return std::nullopt;
    if (!EqualsNoCaseAscii(name.substr(0, kPrefix.size()), kPrefix)) return std::nullopt;
    std::wstring_view digits = name.substr(kPrefix.size());
    if (digits.front() == L'0') return std::nullopt;   // "Alarm01" is not the section of alarm 1
    int n = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

}  // namespace vt
