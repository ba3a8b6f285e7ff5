#include "base/text.h"

#include <windows.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vt {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring r(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), r.data(), n);
    return r;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), r.data(), n, nullptr, nullptr);
    return r;
}

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
}

std::wstring Trim(std::wstring_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::wstring(s.substr(b, e - b));
}

std::wstring UpperAscii(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    return r;
}

std::wstring LowerAscii(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return r;
}

bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b) { return UpperAscii(a) == UpperAscii(b); }

std::optional<long long> ParseInt(std::wstring_view s) {
    std::wstring t = Trim(s);
    if (t.empty()) return std::nullopt;
    size_t i = 0;
    bool neg = false;
    if (t[0] == L'+' || t[0] == L'-') { neg = t[0] == L'-'; i = 1; }
    if (i == t.size()) return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < L'0' || t[i] > L'9') return std::nullopt;
        if (v > 922337203685477580LL) return std::nullopt;
        v = v * 10 + (t[i] - L'0');
    }
    return neg ? -v : v;
}

int StrToIntDef(std::wstring_view s, int fallback) {
    auto v = ParseInt(s);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) return fallback;
    return static_cast<int>(*v);
}

std::optional<double> ParseFloat(std::wstring_view s) {
    std::wstring t = Trim(s);
    if (t.empty()) return std::nullopt;
    std::string a;
    a.reserve(t.size());
    bool sep = false, digits = false, exp = false;
    for (size_t i = 0; i < t.size(); ++i) {
        wchar_t c = t[i];
        if (c >= L'0' && c <= L'9') { a += static_cast<char>(c); digits = true; }
        else if ((c == L'.' || c == L',') && !sep && !exp) { a += '.'; sep = true; }
        else if ((c == L'e' || c == L'E') && digits && !exp) { a += 'e'; exp = true; digits = false; }
        else if ((c == L'+' || c == L'-') && (i == 0 || t[i - 1] == L'e' || t[i - 1] == L'E')) a += static_cast<char>(c);
        else return std::nullopt;
    }
    if (!digits) return std::nullopt;
    // from_chars ignores the C run-time's locale (strtod would read a comma under a German one).
    const char* first = a.c_str();
    if (*first == '+') ++first;
    double v = 0;
    auto [end, ec] = std::from_chars(first, a.c_str() + a.size(), v);
    if (ec != std::errc() || end != a.c_str() + a.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

double StrToFloatDef(std::wstring_view s, double fallback) { return ParseFloat(s).value_or(fallback); }

std::wstring FloatToStr(double value) {
    if (!std::isfinite(value)) return std::isnan(value) ? L"NAN" : (value > 0 ? L"INF" : L"-INF");
    if (value == 0) return L"0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);  // d.dddddddddddddde±XX: 15 significant digits
    std::string s(buf);
    size_t epos = s.find('e');
    int exponent = std::atoi(s.c_str() + epos + 1);
    std::string mant = s.substr(0, epos);
    bool neg = mant[0] == '-';
    if (neg) mant.erase(0, 1);
    std::string digits = mant.substr(0, 1) + mant.substr(2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out;
    if (neg) out.push_back('-');
    if (exponent >= 15 || exponent < -4) {
        out.push_back(digits[0]);
        if (digits.size() > 1) { out.push_back('.'); out.append(digits, 1, std::string::npos); }
        out.push_back('E');
        out.append(std::to_string(exponent));
    } else if (exponent < 0) {
        out.append("0.");
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out.append(digits);
    } else {
        size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out.append(digits);
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out.push_back('.');
            out.append(digits, whole, std::string::npos);
        }
    }
    return Widen(out);
}

std::wstring StripControls(std::wstring_view s) {
    std::wstring r;
    r.reserve(s.size());
    for (wchar_t c : s)
        if (c >= 32 && c != 127) r += c;
    return r;
}

std::wstring SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"System error " + std::to_wstring(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

}  // namespace vt
