#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "base/text.h"

using namespace vt;

TEST(Numbers, FloatsUseTheStoredFormWhateverTheLocale) {
    EXPECT_EQ(FloatToStr(1.0 / 86400), L"1.15740740740741E-5");
    EXPECT_EQ(FloatToStr(0.0001), L"0.0001");
    EXPECT_EQ(FloatToStr(46000.5), L"46000.5");
    EXPECT_EQ(FloatToStr(-2.25), L"-2.25");
    EXPECT_EQ(FloatToStr(1e20), L"1E20");
    EXPECT_EQ(FloatToStr(0), L"0");
    EXPECT_EQ(FloatToStr(100), L"100");
}

TEST(Numbers, ParseReadsExponentsAndEitherSeparator) {
    EXPECT_DOUBLE_EQ(*ParseFloat(L"1.15740740740741E-5"), 1.15740740740741e-5);
    EXPECT_DOUBLE_EQ(*ParseFloat(L" 0,5 "), 0.5);
    EXPECT_DOUBLE_EQ(*ParseFloat(L"-12"), -12);
    EXPECT_FALSE(ParseFloat(L"abc"));
    EXPECT_FALSE(ParseFloat(L"1.2.3"));
    EXPECT_FALSE(ParseFloat(L""));
    EXPECT_FALSE(ParseFloat(L"E5"));
    EXPECT_EQ(StrToFloatDef(L"x", 7.5), 7.5);
}

TEST(Numbers, ParseIgnoresTheRunTimeLocale) {
    std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "German_Germany.1252") && !std::setlocale(LC_NUMERIC, "German"))
        GTEST_SKIP() << "no locale with a decimal comma";
    auto dot = ParseFloat(L"-12.25"), exp = ParseFloat(L"+1.5e+2");
    std::setlocale(LC_NUMERIC, before.c_str());
    ASSERT_TRUE(dot);
    EXPECT_DOUBLE_EQ(*dot, -12.25);
    ASSERT_TRUE(exp);
    EXPECT_DOUBLE_EQ(*exp, 150);
}

TEST(Numbers, RoundTripOfStoredDates) {
    for (double v : {46364.3333333333, 1.0 / 1440, 45351.999988426, 0.5})
        EXPECT_NEAR(*ParseFloat(FloatToStr(v)), v, 1e-14 * (1 + v));
}

TEST(Numbers, IntegersAreWholeDecimalText) {
    EXPECT_EQ(StrToIntDef(L" 42 ", 0), 42);
    EXPECT_EQ(StrToIntDef(L"-7", 0), -7);
    EXPECT_EQ(StrToIntDef(L"4x", 9), 9);
    EXPECT_EQ(StrToIntDef(L"", 9), 9);
    EXPECT_EQ(StrToIntDef(L"99999999999", 9), 9);
}

TEST(Text, UpperCasingIsAsciiOnly) {
    EXPECT_EQ(UpperAscii(L"bold ı é"), L"BOLD ı é");
    EXPECT_TRUE(EqualsNoCaseAscii(L"Options", L"OPTIONS"));
}

TEST(Text, StripControlsRemovesLineBreaks) {
    EXPECT_EQ(StripControls(L"a\r\nb=1\tc\x7f"), L"ab=1c");
    EXPECT_EQ(Narrow(Widen("Zürich °C")), "Zürich °C");
}
