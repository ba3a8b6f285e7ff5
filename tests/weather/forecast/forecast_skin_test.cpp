#include <gtest/gtest.h>

#include <algorithm>

#include "weather/forecast/forecast_fixture.h"
#include "weather/forecast_skin.h"

using namespace vt;
using namespace vt::test;

namespace {

ForecastSkin Parse(const std::string& xml) {
    auto result = ParseForecastSkin(xml);
    EXPECT_TRUE(result.skin) << Narrow(result.error);
    return result.skin.value_or(ForecastSkin{});
}

SkinFontElement Element(std::initializer_list<std::pair<std::wstring, std::wstring>> attributes) {
    return SkinFontElement{{attributes.begin(), attributes.end()}};
}

}  // namespace

TEST(ForecastSkinColour, ReadsThreeHexPairsAfterAnyFirstCharacter) {
    EXPECT_EQ(HtmlColorToColor(L"#FF8000"), RGB(255, 128, 0));
    EXPECT_EQ(HtmlColorToColor(L"xFF8000"), RGB(255, 128, 0));
    EXPECT_EQ(HtmlColorToColor(L"#ff8000"), RGB(255, 128, 0));
    EXPECT_EQ(HtmlColorToColor(L"#FF8000AA"), RGB(255, 128, 0));   // characters after the seventh ignored
    EXPECT_EQ(HtmlColorToColor(L"#FF80F"), RGB(255, 128, 15));      // a pair cut to one digit
}

TEST(ForecastSkinColour, UnreadableValuesGiveNoColour) {
    EXPECT_FALSE(HtmlColorToColor(L"#FF80"));
    EXPECT_FALSE(HtmlColorToColor(L"#GG0000"));
    EXPECT_FALSE(HtmlColorToColor(L""));
    EXPECT_FALSE(HtmlColorToColor(L"#12 456"));
}

TEST(ForecastSkinStyle, KeywordsAfterCommasWithoutBlanks) {
    ForecastFont font;
    ApplySkinFontStyle(L"Italic,Bold", font);
    EXPECT_EQ(font.style, kFontBold | kFontItalic);
    ApplySkinFontStyle(L"Bold, Italic", font);   // the blank hides Italic
    EXPECT_EQ(font.style, kFontBold);
    ApplySkinFontStyle(L"Underline,Strikeout", font);
    EXPECT_EQ(font.style, kFontUnderline | kFontStrikeOut);
    ApplySkinFontStyle(L"", font);
    EXPECT_EQ(font.style, kFontUnderline | kFontStrikeOut);
    ApplySkinFontStyle(L"bold", font);   // case matters: no style at all
    EXPECT_EQ(font.style, 0);
}

TEST(ForecastSkinFont, AppliesOnlyTheFourAttributesByExactName) {
    ForecastFont font;
    ApplySkinFont(nullptr, font);
    EXPECT_EQ(font, ForecastFont{});
    auto element = Element({{L"id", L"font.default"}, {L"Color", L"#000000"}, {L"facename", L"Tahoma"},
                            {L"size", L"12"}, {L"style", L"Italic"}});
    ApplySkinFont(&element, font);
    EXPECT_EQ(font.faceName, L"Tahoma");
    EXPECT_EQ(font.color, RGB(255, 255, 255));   // "Color" is not "color"
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(font.style, kFontItalic);
}

TEST(ForecastSkinFont, UnreadableValuesLeaveTheirProperty) {
    ForecastFont font;
    auto element = Element({{L"size", L"12pt"}, {L"color", L"#XYZ"}});
    ApplySkinFont(&element, font);
    EXPECT_EQ(font, ForecastFont{});
    for (const wchar_t* size : {L"0", L"-12", L"100000", L" 12", L""}) {
        auto e = Element({{L"size", size}});
        ApplySkinFont(&e, font);
        EXPECT_EQ(font.size, 8) << Narrow(size);
    }
}

TEST(ForecastSkinDocument, FirstElementOfEachIdCounts) {
    auto skin = Parse(
        "<skin><font id=\"font.default\" size=\"9\"/><font id=\"font.default\" size=\"20\"/>"
        "<other/><font id=\"font.daytitle\" facename=\"Arial\"/></skin>");
    ForecastFont font;
    ApplySkinFont(skin.Font(SkinFontId::Default), font);
    EXPECT_EQ(font.size, 9);
    EXPECT_EQ(skin.Font(SkinFontId::Temperature), nullptr);
    EXPECT_EQ(skin.Font(SkinFontId::ConditionsTitle), nullptr);
    ASSERT_NE(skin.Font(SkinFontId::DayTitle), nullptr);
    ApplySkinFont(skin.Font(SkinFontId::DayTitle), font);
    EXPECT_EQ(font.faceName, L"Arial");
}

TEST(ForecastSkinDocument, OtherRootGivesNoFonts) {
    auto skin = Parse("<theme><font id=\"font.default\" size=\"9\"/></theme>");
    for (int i = 0; i < kSkinFontCount; ++i) EXPECT_FALSE(skin.fonts[static_cast<size_t>(i)]) << i;
}

TEST(ForecastSkinDocument, BrokenDocumentsAndDocumentTypesAreRefused) {
    EXPECT_FALSE(ParseForecastSkin("<skin><font").skin);
    EXPECT_FALSE(ParseForecastSkin("").skin);
    auto withDtd = ParseForecastSkin(
        "<!DOCTYPE skin [<!ENTITY big \"x\">]><skin><font id=\"font.default\" facename=\"&big;\"/></skin>");
    EXPECT_FALSE(withDtd.skin);
    EXPECT_FALSE(withDtd.error.empty());
}

TEST(ForecastSkinDocument, MissingOrBrokenSkinFallsBackToTheDefaultSkin) {
    ForecastFolder folder;
    CreateDirectoryW((folder.Forecast() + L"Dark").c_str(), nullptr);
    WriteFileBytes(folder.Forecast() + L"Dark\\skin.xml", "<skin><font id=\"font.default\" size=");
    for (const wchar_t* name : {L"Dark", L"Missing", L"..\\..", L"C:\\Windows"}) {
        ForecastFont font;
        ApplySkinFont(LoadForecastSkin(folder.Forecast(), name).Font(SkinFontId::Default), font);
        EXPECT_EQ(font.faceName, L"Tahoma") << Narrow(name);
        EXPECT_EQ(font.size, 9) << Narrow(name);
    }
    DeleteFileW((folder.Skin() + L"skin.xml").c_str());
    EXPECT_EQ(LoadForecastSkin(folder.Forecast(), L"Dark").Font(SkinFontId::Default), nullptr);
}

TEST(ForecastSkinDocument, UnreadableColourRefusesTheSkinAndSaysWhy) {
    auto bad = ParseForecastSkin("<skin><font id=\"font.temperature\" color=\"#1234\"/></skin>");
    EXPECT_FALSE(bad.skin);
    EXPECT_NE(bad.error.find(L"#1234\""), std::wstring::npos) << Narrow(bad.error);
    // Only the four elements that are read count; "Color" is not "color".
    EXPECT_TRUE(ParseForecastSkin("<skin><font id=\"other\" color=\"x\"/><font id=\"font.default\" Color=\"x\"/></skin>").skin);

    ForecastFolder folder;
    CreateDirectoryW((folder.Forecast() + L"Dark").c_str(), nullptr);
    WriteFileBytes(folder.Forecast() + L"Dark\\skin.xml", "<skin><font id=\"font.default\" color=\"#GG0000\"/></skin>");
    std::wstring error;
    ForecastFont font;
    ApplySkinFont(LoadForecastSkin(folder.Forecast(), L"Dark", &error).Font(SkinFontId::Default), font);
    EXPECT_EQ(font.faceName, L"Tahoma");   // the default skin's
    EXPECT_NE(error.find(L"#GG0000"), std::wstring::npos) << Narrow(error);
    error.clear();
    LoadForecastSkin(folder.Forecast(), L"Missing", &error);
    EXPECT_NE(error.find(L"Missing\\skin.xml: "), std::wstring::npos) << Narrow(error);
    error.clear();
    LoadForecastSkin(folder.Forecast(), L"KonfabulatorPLUS", &error);
    EXPECT_TRUE(error.empty());
}

TEST(ForecastSkinList, EverySubFolderIsASkin) {
    ForecastFolder folder;
    CreateDirectoryW((folder.Forecast() + L"Dark").c_str(), nullptr);
    auto skins = ListForecastSkins(folder.Forecast());
    std::sort(skins.begin(), skins.end());
    EXPECT_EQ(skins, (std::vector<std::wstring>{L"Dark", L"KonfabulatorPLUS"}));
    EXPECT_TRUE(ListForecastSkins(folder.Forecast() + L"none\\").empty());
}

TEST(ForecastSkinList, SkinNamesStayInsideTheForecastFolder) {
    EXPECT_TRUE(IsSafeSkinName(L"KonfabulatorPLUS"));
    EXPECT_TRUE(IsSafeSkinName(L"Dark Glass"));
    for (const wchar_t* bad : {L"", L".", L"..", L"..\\x", L"a/b", L"C:x", L"a\tb"}) EXPECT_FALSE(IsSafeSkinName(bad));
}
