// Font-style keywords of the calendar skins ("BoldItalic", "underline", ...).
#pragma once
#include <cstdint>
#include <string_view>

namespace vt {

using FontStyles = std::uint8_t;
inline constexpr FontStyles kFontBold = 1;
inline constexpr FontStyles kFontItalic = 2;
inline constexpr FontStyles kFontUnderline = 4;
inline constexpr FontStyles kFontStrikeOut = 8;

// Compared in ASCII upper case, so a skin file reads the same under every user locale; an unknown keyword
// gives no style.
FontStyles FontStyleFromName(std::wstring_view keyword);

}  // namespace vt
