// Text and number helpers that do not depend on the user's locale.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vt {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

std::wstring Trim(std::wstring_view s);
std::wstring UpperAscii(std::wstring_view s);   // only a-z change
std::wstring LowerAscii(std::wstring_view s);
bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b);

// Whole decimal number (optional sign, surrounding blanks allowed); nothing for anything else.
std::optional<long long> ParseInt(std::wstring_view s);
int StrToIntDef(std::wstring_view s, int fallback);

// Decimal number with '.' or ',' as separator and an optional exponent ("1.15740740740741E-5").
std::optional<double> ParseFloat(std::wstring_view s);
double StrToFloatDef(std::wstring_view s, double fallback);

// The stored form of a double: 15 significant digits, '.' separator, no trailing zeros; scientific
// ("1.15740740740741E-5", "1E20") for very small or very large values.
std::wstring FloatToStr(double value);

// Removes control characters (below 32, and 127), so a value can never start a new line in a file.
std::wstring StripControls(std::wstring_view s);

// The system's text for an error code (GetLastError), without the trailing line break.
std::wstring SystemErrorText(unsigned long code);

}  // namespace vt
