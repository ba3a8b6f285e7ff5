#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/alpha_bitmap.h"
#include "controls/gblur.h"
#include "render.h"
#include "support/png_writer.h"
#include "support/test_support.h"

using namespace vt;

namespace {

struct Pixels {
    int width, height;
    std::vector<Bgra> data;
    Pixels(int w, int h, Bgra fill = {}) : width(w), height(h), data(w * h, fill) {}
    PixelView view() { return {data.data(), width, height}; }
    Bgra& at(int x, int y) { return data[y * width + x]; }
};

// Each colour type tried exactly.
using test::EncodePng;

class ScopedFont {
public:
    ScopedFont(int height, int weight)
        : font_(CreateFontW(-height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                            L"Tahoma")) {}
    HFONT get() const { return font_.get(); }
private:
    UniqueFont font_;
};

int OpaqueCount(const PixelView& v) {
    int n = 0;
    for (int i = 0; i < v.width * v.height; ++i) n += v.pixels[i].a != 0;
    return n;
}

}  // namespace

TEST(AlphaFromDifference, CoverageFromTheTwoBackgrounds) {
    struct Case { Bgra onBlack, onWhite; std::uint8_t alpha; };
    const Case cases[] = {
        {{40, 50, 60, 9}, {40, 50, 60, 9}, 255},        // fully inked: same on both backgrounds
        {{0, 0, 0, 0}, {255, 255, 255, 0}, 0},          // untouched
        {{20, 25, 30, 0}, {148, 152, 157, 0}, 128},     // half-covered: differences 128 + 127 + 127 = 382
        {{0, 0, 0, 0}, {255, 0, 0, 0}, 170},            // one channel only: 255 - 85
        {{12, 12, 12, 0}, {10, 12, 12, 0}, 255},        // on white slightly darker: full, not a wrap-around
    };
    for (const Case& c : cases) {
        Pixels black(1, 1, c.onBlack), white(1, 1, c.onWhite);
        AlphaFromDifference(black.view(), white.view());
        EXPECT_EQ(black.at(0, 0).a, c.alpha) << int(c.onWhite.b) << " over " << int(c.onBlack.b);
        EXPECT_EQ(black.at(0, 0).b, c.onBlack.b);   // colour bytes untouched
        EXPECT_EQ(black.at(0, 0).r, c.onBlack.r);
    }
}

TEST(CopyAlphaAndPremultiply, ScalesColoursByTheSourceAlphaRoundingDown) {
    Pixels target(3, 1), source(3, 1);
    target.at(0, 0) = {255, 100, 254, 7};
    target.at(1, 0) = {254, 254, 254, 0};
    target.at(2, 0) = {9, 8, 7, 0};
    source.at(0, 0).a = 128;
    source.at(1, 0).a = 1;
    source.at(2, 0).a = 255;
    CopyAlphaAndPremultiply(target.view(), source.view());
    EXPECT_EQ(target.at(0, 0), (Bgra{128, 50, 127, 128}));
    EXPECT_EQ(target.at(1, 0), (Bgra{0, 0, 0, 1}));
    EXPECT_EQ(target.at(2, 0), (Bgra{9, 8, 7, 255}));
}

TEST(CopyAlphaFromPNG, PlacesThePictureAtTheOffsetAndClipsAtTheBitmapEdge) {
    Pixels bitmap(3, 3, Bgra{200, 200, 200, 0});
    Pixels png(2, 2, Bgra{0, 0, 0, 51});
    CopyAlphaFromPNG(bitmap.view(), png.view(), 2, 1);   // only column 0 of the picture fits
    EXPECT_EQ(bitmap.at(2, 1), (Bgra{40, 40, 40, 51}));
    EXPECT_EQ(bitmap.at(2, 2), (Bgra{40, 40, 40, 51}));
    EXPECT_EQ(bitmap.at(1, 1), (Bgra{200, 200, 200, 0}));
    EXPECT_EQ(bitmap.at(2, 0), (Bgra{200, 200, 200, 0}));
    CopyAlphaFromPNG(bitmap.view(), png.view(), -1, -1);
    EXPECT_EQ(bitmap.at(0, 0), (Bgra{40, 40, 40, 51}));
    EXPECT_EQ(bitmap.at(1, 0), (Bgra{200, 200, 200, 0}));
}

TEST(BlendOver, SourceOverWithConstantAlpha) {
    Pixels dest(3, 1, Bgra{100, 100, 100, 100}), src(3, 1);
    src.at(0, 0) = {200, 0, 50, 255};
    src.at(1, 0) = {40, 40, 40, 80};
    src.at(2, 0) = {};
    BlendOver(dest.view(), src.view(), 255);
    EXPECT_EQ(dest.at(0, 0), (Bgra{200, 0, 50, 255}));
    EXPECT_EQ(dest.at(1, 0), (Bgra{109, 109, 109, 149}));   // 40 + 100 * 175 / 255 = 108.6; 80 + 68.6
    EXPECT_EQ(dest.at(2, 0), (Bgra{100, 100, 100, 100}));
    Pixels black(1, 1), shadow(1, 1, Bgra{200, 200, 200, 200});
    BlendOver(black.view(), shadow.view(), 175);
    EXPECT_EQ(black.at(0, 0), (Bgra{137, 137, 137, 137}));   // 200 * 175 / 255 = 137.25
}

TEST(CoverageInk, BrightColoursAreMeasuredWithBlackInk) {
    EXPECT_EQ(CoverageInk(RGB(255, 255, 255)), RGB(0, 0, 0));
    EXPECT_EQ(CoverageInk(RGB(0, 0, 0)), RGB(255, 255, 255));
    EXPECT_EQ(CoverageInk(RGB(0, 0, 255)), RGB(255, 255, 255));    // 255
    EXPECT_EQ(CoverageInk(RGB(0, 154, 254)), RGB(0, 0, 0));        // exactly 1024 counts as bright
    EXPECT_EQ(CoverageInk(RGB(0, 154, 253)), RGB(255, 255, 255));  // 1023
}

TEST(MakeTextBitmap, EmptyTextIsTwoPixelsWideAndTransparent) {
    ScopedFont font(20, FW_BOLD);
    for (bool shadow : {false, true}) {
        AlphaBitmap b = MakeTextBitmap(L"", font.get(), RGB(255, 255, 255), shadow, RGB(0, 0, 0));
        ASSERT_TRUE(b);
        EXPECT_EQ(b.width, 2);
        EXPECT_GT(b.height, 2);
        EXPECT_EQ(OpaqueCount(PixelsOf(b)), 0) << "shadow " << shadow;
    }
}

TEST(MakeTextBitmap, InkedPixelsCarryTheFontColourAndAllArePremultiplied) {
    ScopedFont font(24, FW_BOLD);
    for (COLORREF colour : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(30, 60, 200), RGB(255, 200, 0)}) {
        AlphaBitmap b = MakeTextBitmap(L"HIH", font.get(), colour, false, 0);
        ASSERT_TRUE(b);
        const PixelView v = PixelsOf(b);
        int full = 0;
        for (int i = 0; i < v.width * v.height; ++i) {
            const Bgra p = v.pixels[i];
            ASSERT_LE(p.b, p.a);
            ASSERT_LE(p.g, p.a);
            ASSERT_LE(p.r, p.a);
            if (p.a == 255) {
                ++full;
                EXPECT_EQ(p, (Bgra{GetBValue(colour), GetGValue(colour), GetRValue(colour), 255}));
            }
        }
        EXPECT_GT(full, 20) << std::hex << colour;
    }
}

TEST(MakeTextBitmap, WithoutShadowTheMarginStaysTransparent) {
    ScopedFont font(24, FW_BOLD);
    AlphaBitmap b = MakeTextBitmap(L"HIH", font.get(), RGB(255, 255, 255), false, 0);
    const PixelView v = PixelsOf(b);
    SIZE extent{};
    {
        UniqueMemDC dc(CreateCompatibleDC(nullptr));
        SelectGuard keep(dc.get(), font.get());
        GetTextExtentPoint32W(dc.get(), L"HIH", 3, &extent);
    }
    EXPECT_EQ(v.width, extent.cx + 2);
    EXPECT_EQ(v.height, extent.cy + 2);
    for (int y = 0; y < v.height; ++y)
        for (int x = v.width - 2; x < v.width; ++x) EXPECT_EQ(v.at(x, y), Bgra{}) << x << "," << y;
    for (int x = 0; x < v.width; ++x) EXPECT_EQ(v.at(x, v.height - 1), Bgra{});
}

TEST(MakeTextBitmap, ShadowLiesBelowRightOfTheTextInItsColour) {
    MakeStandardBlurKernel();
    ScopedFont font(24, FW_BOLD);
    AlphaBitmap plain = MakeTextBitmap(L"HIH", font.get(), RGB(255, 255, 255), false, 0);
    AlphaBitmap shadowed = MakeTextBitmap(L"HIH", font.get(), RGB(255, 255, 255), true, RGB(255, 0, 0));
    const PixelView p = PixelsOf(plain), s = PixelsOf(shadowed);
    ASSERT_EQ(p.width, s.width);
    ASSERT_EQ(p.height, s.height);
    EXPECT_GT(OpaqueCount(s), OpaqueCount(p));
    int shadowOnly = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (p.at(x, y).a != 0 || s.at(x, y).a == 0) continue;
            ++shadowOnly;
            // Pure red shadow: no blue or green, and never stronger than 175 of 255.
            EXPECT_EQ(s.at(x, y).b, 0);
            EXPECT_EQ(s.at(x, y).g, 0);
            EXPECT_LE(s.at(x, y).a, 175);
            EXPECT_EQ(s.at(x, y).r, s.at(x, y).a);
        }
    }
    EXPECT_GT(shadowOnly, 10);
    // The fully inked text pixels are unchanged by the shadow under them.
    for (int i = 0; i < p.width * p.height; ++i) {
        if (p.pixels[i].a == 255) {
            EXPECT_EQ(s.pixels[i], p.pixels[i]);
        }
    }
    // The shadow reaches into the 2-pixel margin on the right.
    int margin = 0;
    for (int y = 0; y < s.height; ++y) margin += s.at(s.width - 1, y).a != 0 || s.at(s.width - 2, y).a != 0;
    EXPECT_GT(margin, 0);
}

class LoadPngTest : public testing::Test {
protected:
    test::TempDir dir;
    std::wstring Write(const std::string& bytes) {
        const std::wstring path = dir.File(L"p" + std::to_wstring(n_++) + L".png");
        test::WriteFileBytes(path, bytes);
        return path;
    }
private:
    int n_ = 0;
};

TEST_F(LoadPngTest, ColourWithAlphaIsPremultipliedOnce) {
    // RGBA: white at alpha 128, a colour at full alpha, a transparent colour.
    auto b = LoadPicture(Write(EncodePng(3, 1, 6, {255, 255, 255, 128, 30, 20, 10, 255, 90, 90, 90, 0})));
    ASSERT_TRUE(b);
    ASSERT_EQ(b.width, 3);
    ASSERT_EQ(b.height, 1);
    const PixelView v = PixelsOf(b);
    EXPECT_EQ(v.at(0, 0), (Bgra{128, 128, 128, 128}));
    EXPECT_EQ(v.at(1, 0), (Bgra{10, 20, 30, 255}));
    EXPECT_EQ(v.at(2, 0), (Bgra{0, 0, 0, 0}));
}

TEST_F(LoadPngTest, RowsAreTopDown) {
    auto b = LoadPicture(Write(EncodePng(1, 2, 6, {255, 0, 0, 255, 0, 0, 255, 255})));
    ASSERT_TRUE(b);
    EXPECT_EQ(PixelsOf(b).at(0, 0), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(PixelsOf(b).at(0, 1), (Bgra{255, 0, 0, 255}));
}

TEST_F(LoadPngTest, GreyWithAlphaIsPremultipliedOnce) {
    auto b = LoadPicture(Write(EncodePng(2, 1, 4, {200, 255, 255, 51})));
    ASSERT_TRUE(b);
    EXPECT_EQ(PixelsOf(b).at(0, 0), (Bgra{200, 200, 200, 255}));
    EXPECT_EQ(PixelsOf(b).at(1, 0), (Bgra{51, 51, 51, 51}));
}

TEST_F(LoadPngTest, PicturesWithoutAlphaAreOpaque) {
    auto rgb = LoadPicture(Write(EncodePng(1, 1, 2, {30, 20, 10})));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(PixelsOf(rgb).at(0, 0), (Bgra{10, 20, 30, 255}));
    auto grey = LoadPicture(Write(EncodePng(1, 1, 0, {77})));
    ASSERT_TRUE(grey);
    EXPECT_EQ(PixelsOf(grey).at(0, 0), (Bgra{77, 77, 77, 255}));
}

TEST_F(LoadPngTest, MissingOrBrokenFileGivesNoBitmap) {
    EXPECT_FALSE(LoadPicture(dir.File(L"none.png")));
    EXPECT_FALSE(LoadPicture(Write("\x89PNG\r\n\x1a\n not really")));
    EXPECT_FALSE(LoadPicture(L""));
}

// The program keeps COM on its main thread for the whole run: the decoder is loaded only while decoding.
TEST_F(LoadPngTest, TheDecoderIsGivenBackOnceNothingDecodes) {
    ComApartment program;
    const std::wstring path = Write(EncodePng(1, 1, 2, {30, 20, 10}));
    for (int round = 0; round < 2; ++round) {
        {
            PictureDecoding decoding;
            EXPECT_TRUE(LoadPicture(path));
            EXPECT_TRUE(GetModuleHandleW(L"windowscodecs.dll"));   // kept for the next picture of the batch
            EXPECT_EQ(PixelsOf(LoadPicture(path)).at(0, 0), (Bgra{10, 20, 30, 255}));
        }
        EXPECT_FALSE(GetModuleHandleW(L"windowscodecs.dll")) << "round " << round;
    }
}

TEST(MakeTextBitmap, ThousandTextsLeaveNoGdiObjectBehind) {
    ScopedFont font(16, FW_NORMAL);
    { AlphaBitmap warm = MakeTextBitmap(L"12", font.get(), RGB(255, 255, 255), true, 0); }
    ASSERT_TRUE(test::GdiCountIsLive());
    const DWORD before = test::LiveGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        AlphaBitmap b = MakeTextBitmap(std::to_wstring(i), font.get(), RGB(255, 255, 255), i % 2 == 0, 0);
        ASSERT_TRUE(b);
    }
    EXPECT_EQ(test::LiveGdiObjects(), before);
}
