#include <gtest/gtest.h>

#include "clock/colors.h"

using namespace vt;

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(-2.4), -2);
}

TEST(RgbToHls, LuminanceTiesRoundToEven) {
    // (17 * 240 + 255) / 510 = 8.5 and (51 * 240 + 255) / 510 = 24.5: away from zero would give 9 and 25.
    EXPECT_EQ(RgbToHls({17, 0, 0}).l, 8);
    EXPECT_EQ(RgbToHls({51, 0, 0}).l, 24);
    // Pure red: 120.5 -> 120.
    EXPECT_EQ(RgbToHls({255, 0, 0}), (HlsColour{0, 120, 240}));
}

TEST(RgbToHls, SaturationTiesRoundToEven) {
    // (2 * 240 + 2) / 4 = 120.5
    EXPECT_EQ(RgbToHls({3, 1, 1}), (HlsColour{0, 2, 120}));
}

TEST(RgbToHls, HueTiesRoundToEvenInEachSector) {
    EXPECT_EQ(RgbToHls({80, 1, 0}).h, 0);     // 40.5 - 40 = 0.5
    EXPECT_EQ(RgbToHls({0, 80, 1}).h, 80);    // 80 + 40.5 - 40 = 80.5
    EXPECT_EQ(RgbToHls({1, 0, 80}).h, 160);   // 160 + 40.5 - 40 = 160.5
}

TEST(RgbToHls, GreysWhiteAndBlack) {
    EXPECT_EQ(RgbToHls({0, 0, 0}), (HlsColour{160, 0, 0}));
    EXPECT_EQ(RgbToHls({255, 255, 255}), (HlsColour{160, 240, 0}));
    EXPECT_EQ(RgbToHls({128, 128, 128}), (HlsColour{160, 121, 0}));   // 120.97
}

TEST(RgbToHls, KnownColours) {
    EXPECT_EQ(RgbToHls({0, 255, 0}), (HlsColour{80, 120, 240}));
    EXPECT_EQ(RgbToHls({0, 0, 255}), (HlsColour{160, 120, 240}));
    EXPECT_EQ(RgbToHls({255, 255, 0}), (HlsColour{40, 120, 240}));
    EXPECT_EQ(RgbToHls({255, 0, 255}), (HlsColour{200, 120, 240}));
    // Light side: L = 148.7 -> 149, S = (195 * 240 + 97.5) / 195 = 240.5 -> 240.
    EXPECT_EQ(RgbToHls({255, 255, 60}), (HlsColour{40, 149, 240}));
    EXPECT_EQ(RgbToHls({200, 100, 50}), (HlsColour{13, 118, 144}));
}

TEST(HlsToRgb, GreyTiesRoundToEven) {
    // L * 255 / 240: 8.5 -> 8, 25.5 -> 26, 42.5 -> 42.
    EXPECT_EQ(HlsToRgb({160, 8, 0}), (RgbColour{8, 8, 8}));
    EXPECT_EQ(HlsToRgb({160, 24, 0}), (RgbColour{26, 26, 26}));
    EXPECT_EQ(HlsToRgb({160, 40, 0}), (RgbColour{42, 42, 42}));
}

TEST(HlsToRgb, ChannelTiesRoundToEvenAndClamp) {
    // m2 = 240.5, m1 = -0.5: green (0 + 120) / 240 = 0.5 -> 0, red 256.03 clamps to 255, blue below 0 to 0.
    EXPECT_EQ(HlsToRgb({0, 120, 240}), (RgbColour{255, 0, 0}));
    EXPECT_EQ(HlsToRgb({80, 120, 240}), (RgbColour{0, 255, 0}));
    EXPECT_EQ(HlsToRgb({160, 120, 240}), (RgbColour{0, 0, 255}));
    EXPECT_EQ(HlsToRgb({0, 240, 240}), (RgbColour{255, 255, 255}));
}

TEST(HlsToRgb, GreysComeBackAsRoundedLuminance) {
    for (int v : {0, 8, 17, 51, 100, 128, 200, 255}) {
        HlsColour hls = RgbToHls({v, v, v});
        EXPECT_EQ(hls.s, 0);
        EXPECT_EQ(hls.h, 160);
        int back = RoundHalfEven(hls.l * 255.0 / 240);
        EXPECT_EQ(HlsToRgb(hls), (RgbColour{back, back, back})) << v;
    }
}

TEST(ColourVariables, ConvertInPlace) {
    ColourR = 255; ColourG = 0; ColourB = 0;
    RGBToHLS();
    EXPECT_EQ(ColourH, 0);
    EXPECT_EQ(ColourL, 120);
    EXPECT_EQ(ColourS, 240);
    ColourL = 60;
    HLSToRGB();
    EXPECT_EQ(ColourR, 129);   // m2 = 120.5, (120.5 * 255 + 120) / 240 = 128.53
    EXPECT_EQ(ColourG, 0);
    EXPECT_EQ(ColourB, 0);
}
