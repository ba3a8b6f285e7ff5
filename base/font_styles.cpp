#include "base/font_styles.h"

#include <string>

#include "base/text.h"

namespace vt {

FontStyles FontStyleFromName(std::wstring_view keyword) {
    struct Entry {
        const wchar_t* name;
        FontStyles styles;
    };
    static const Entry kKeywords[] = {
        {L"BOLD", kFontBold},
        {L"ITALIC", kFontItalic},
        {L"STRIKEOUT", kFontStrikeOut},
        {L"UNDERLINE", kFontUnderline},
        {L"BOLDITALIC", kFontBold | kFontItalic},
        {L"BOLDSTRIKE", kFontBold | kFontStrikeOut},
        {L"BOLDUNDERLINE", kFontBold | kFontUnderline},
        {L"BOLDITALICUNDERLINE", kFontBold | kFontItalic | kFontUnderline},
        {L"BOLDITALICSTRIKE", kFontBold | kFontItalic | kFontStrikeOut},
        {L"BOLDSTRIKEUNDERLINE", kFontBold | kFontStrikeOut | kFontUnderline},
        {L"ITALICSTRIKE", kFontItalic | kFontStrikeOut},
        {L"ITALICUNDERLINE", kFontItalic | kFontUnderline},
        {L"UNDERLINESTRIKE", kFontUnderline | kFontStrikeOut},
        {L"ITALICUNDERLINESTRIKE", kFontItalic | kFontUnderline | kFontStrikeOut},
    };
    const std::wstring upper = UpperAscii(keyword);
    for (const Entry& e : kKeywords)
        if (upper == e.name) return e.styles;
    return 0;
}

}  // namespace vt
