#include <gtest/gtest.h>

#include <cmath>

#include "weather/forecast_resample.h"

using namespace vt;

namespace {

// Every pixel different, premultiplied (colour never above alpha).
PixelBuffer Pattern(int w, int h) {
    PixelBuffer p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto a = static_cast<std::uint8_t>(100 + (x * 7 + y * 13) % 156);
            p.at(x, y) = Bgra{static_cast<std::uint8_t>(x * 3 % a), static_cast<std::uint8_t>(y * 5 % a),
                              static_cast<std::uint8_t>((x + y) % a), a};
        }
    return p;
}

}  // namespace

TEST(Lanczos, WindowIsOneAtZeroAndZeroAtOtherIntegers) {
    EXPECT_DOUBLE_EQ(LanczosWeight(0), 1.0);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(LanczosWeight(i), 0.0, 1e-12) << i;
        EXPECT_NEAR(LanczosWeight(-i), 0.0, 1e-12) << i;
    }
    EXPECT_GT(LanczosWeight(0.5), 0.5);
    EXPECT_LT(LanczosWeight(1.5), 0.0);   // the negative lobe
    EXPECT_EQ(LanczosWeight(3.2), 0.0);
}

TEST(Rotate, ZeroDegreesKeepsEveryPixel) {
    PixelBuffer p = Pattern(9, 7);
    PixelBuffer r = Rotate(p.View(), 0, 4.5, 3.5);
    EXPECT_EQ(r.pixels, p.pixels);
}

TEST(Rotate, QuarterTurnClockwiseMovesPixelsExactly) {
    PixelBuffer p = Pattern(8, 8);
    PixelBuffer r = Rotate(p.View(), 90, 4, 4);
    // Clockwise on the screen: the pixel right of the centre goes below it.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(r.at(7 - y, x), p.at(x, y)) << x << "," << y;
}

TEST(Rotate, HalfAndThreeQuarterTurnsAboutAHalfPixelCentre) {
    PixelBuffer p = Pattern(7, 7);   // centre 3.5: the middle of pixel 3
    PixelBuffer half = Rotate(p.View(), 180, 3.5, 3.5);
    PixelBuffer three = Rotate(p.View(), 270, 3.5, 3.5);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(half.at(6 - x, 6 - y), p.at(x, y));
            EXPECT_EQ(three.at(y, 6 - x), p.at(x, y));
        }
}

TEST(Rotate, CornersTurnedOutOfTheFrameBecomeTransparent) {
    PixelBuffer flat(20, 20);
    for (auto& px : flat.pixels) px = Bgra{10, 20, 30, 255};
    PixelBuffer r = Rotate(flat.View(), 45, 10, 10);
    EXPECT_EQ(r.at(0, 0).a, 0);
    EXPECT_EQ(r.at(10, 10), (Bgra{10, 20, 30, 255}));   // the middle stays the flat colour
}

TEST(Rotate, ResultStaysValidPremultiplied) {
    PixelBuffer p = Pattern(16, 16);
    for (double degrees : {22.5, 33.0, 247.5}) {
        PixelBuffer r = Rotate(p.View(), degrees, 8, 8);
        for (const Bgra& px : r.pixels) {
            ASSERT_LE(px.r, px.a);
            ASSERT_LE(px.g, px.a);
            ASSERT_LE(px.b, px.a);
        }
    }
}

TEST(Resample, FlatColourStaysFlatAtEverySize) {
    PixelBuffer flat(64, 64);
    for (auto& px : flat.pixels) px = Bgra{40, 80, 120, 200};
    for (auto [w, h] : {std::pair{48, 48}, {32, 32}, {100, 30}, {1, 1}, {64, 64}}) {
        PixelBuffer r = Resample(flat.View(), w, h);
        ASSERT_EQ(r.width, w);
        ASSERT_EQ(r.height, h);
        for (const Bgra& px : r.pixels) ASSERT_EQ(px, (Bgra{40, 80, 120, 200})) << w << "x" << h;
    }
}

TEST(Resample, SameSizeIsACopyAndHalvingAveragesPairs) {
    PixelBuffer p = Pattern(10, 6);
    EXPECT_EQ(Resample(p.View(), 10, 6).pixels, p.pixels);
    // Left half black, right half white: the halved picture keeps the split, with the edge softened.
    PixelBuffer split(16, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) split.at(x, y) = x < 8 ? Bgra{0, 0, 0, 255} : Bgra{255, 255, 255, 255};
    PixelBuffer half = Resample(split.View(), 8, 2);
    EXPECT_EQ(half.at(0, 0), (Bgra{0, 0, 0, 255}));
    EXPECT_EQ(half.at(7, 1), (Bgra{255, 255, 255, 255}));
    EXPECT_GT(half.at(4, 0).r, half.at(3, 0).r);
}

TEST(ClearFrame, OnlyTheOutermostPixelsBecomeTransparent) {
    PixelBuffer p = Pattern(5, 4);
    PixelBuffer before = p;
    ClearFrame(p.View());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool edge = x == 0 || y == 0 || x == 4 || y == 3;
            EXPECT_EQ(p.at(x, y), edge ? Bgra{} : before.at(x, y)) << x << "," << y;
        }
}

TEST(BlendAt, SourceOverWithConstantAlphaAndClipping) {
    PixelBuffer dest(4, 4);
    for (auto& px : dest.pixels) px = Bgra{0, 0, 200, 255};
    PixelBuffer src(2, 2);
    for (auto& px : src.pixels) px = Bgra{0, 100, 0, 128};   // half-covering green, premultiplied
    BlendAt(dest.View(), src.View(), 3, 3);                    // only one pixel lands inside
    EXPECT_EQ(dest.at(3, 3), (Bgra{0, 100, 100, 255}));
    EXPECT_EQ(dest.at(2, 2), (Bgra{0, 0, 200, 255}));
    BlendAt(dest.View(), src.View(), -1, -1, 0);   // constant alpha 0 leaves everything
    EXPECT_EQ(dest.at(0, 0), (Bgra{0, 0, 200, 255}));
    PixelBuffer clear(4, 4);
    BlendAt(clear.View(), src.View(), 0, 0, 175);
    EXPECT_NEAR(clear.at(1, 1).g, 100 * 175 / 255.0, 1);
    EXPECT_NEAR(clear.at(1, 1).a, 128 * 175 / 255.0, 1);
}
