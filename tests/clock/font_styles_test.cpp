#include <gtest/gtest.h>

#include "base/font_styles.h"

using namespace vt;

TEST(FontStyleFromName, EveryKeywordInAnyCase) {
    struct Case {
        const wchar_t* keyword;
        FontStyles styles;
    };
    const Case cases[] = {
        {L"bold", kFontBold},
        {L"Italic", kFontItalic},
        {L"STRIKEOUT", kFontStrikeOut},
        {L"underline", kFontUnderline},
        {L"bolditalic", kFontBold | kFontItalic},
        {L"BoldItalic", kFontBold | kFontItalic},
        {L"boldstrike", kFontBold | kFontStrikeOut},
        {L"BoldUnderline", kFontBold | kFontUnderline},
        {L"bolditalicunderline", kFontBold | kFontItalic | kFontUnderline},
        {L"BoldItalicStrike", kFontBold | kFontItalic | kFontStrikeOut},
        {L"boldStrikeUnderline", kFontBold | kFontStrikeOut | kFontUnderline},
        {L"italicstrike", kFontItalic | kFontStrikeOut},
        {L"ItalicUnderline", kFontItalic | kFontUnderline},
        {L"underlinestrike", kFontUnderline | kFontStrikeOut},
        {L"italicUNDERLINEstrike", kFontItalic | kFontUnderline | kFontStrikeOut},
    };
    for (const Case& c : cases) EXPECT_EQ(FontStyleFromName(c.keyword), c.styles) << c.keyword;
}

TEST(FontStyleFromName, UnknownKeywordsGiveNoStyle) {
    EXPECT_EQ(FontStyleFromName(L""), 0);
    EXPECT_EQ(FontStyleFromName(L"normal"), 0);
    EXPECT_EQ(FontStyleFromName(L" bold"), 0);
    EXPECT_EQ(FontStyleFromName(L"strike"), 0);                  // only inside combinations
    EXPECT_EQ(FontStyleFromName(L"BoldItalicUnderlineStrike"), 0);  // no keyword gives all four
}

TEST(FontStyleFromName, UpperCasingIsAsciiOnly) {
    // A dotless i (U+0131) upper-cases to I in some locales; the skin keyword must still not match.
    EXPECT_EQ(FontStyleFromName(L"\u0131talic"), 0);
    EXPECT_EQ(FontStyleFromName(L"bold\u0131tal\u0131c"), 0);
    // The long s (U+017F) upper-cases to S under full Unicode rules.
    EXPECT_EQ(FontStyleFromName(L"italic\u017Ftrike"), 0);
}
