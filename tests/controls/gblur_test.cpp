#include <gtest/gtest.h>

#include <vector>

#include "base/handles.h"
#include "controls/gblur.h"

using namespace vt;

namespace {

BlurKernel StandardKernel() {
    BlurKernel k;
    MakeBlurKernel(k, kBlurRadius, kBlurMaxLevel, kBlurLevelStep);
    return k;
}

Bgra Grey(std::uint8_t v) { return {v, v, v, v}; }

struct Image {
    int width, height;
    std::vector<Bgra> pixels;
    Image(int w, int h, Bgra fill = {}) : width(w), height(h), pixels(w * h, fill) {}
    PixelView view() { return {pixels.data(), width, height}; }
    Bgra& at(int x, int y) { return pixels[y * width + x]; }
};

}  // namespace

TEST(MakeBlurKernel, StandardArgumentsGiveFiveKnownTaps) {
    BlurKernel k = StandardKernel();
    ASSERT_EQ(k.Size, 2);
    const float expected[] = {0.054489f, 0.244201f, 0.402620f, 0.244201f, 0.054489f};
    double sum = 0;
    for (int j = -2; j <= 2; ++j) {
        EXPECT_NEAR(k.W(j), expected[j + 2], 1e-6) << "tap " << j;
        sum += k.W(j);
    }
    EXPECT_NEAR(sum, 1.0, 1e-6);
}

TEST(MakeBlurKernel, WiderRadiusKeepsMoreTapsThatStillSumToOne) {
    BlurKernel k;
    MakeBlurKernel(k, 3.0, 255.0, 1.0);
    EXPECT_GT(k.Size, 2);
    EXPECT_LT(k.Size, 100);
    double sum = 0;
    for (int j = -k.Size; j <= k.Size; ++j) sum += k.W(j);
    EXPECT_NEAR(sum, 1.0, 1e-6);
    EXPECT_FLOAT_EQ(k.W(1), k.W(-1));
}

TEST(MakeBlurKernel, ZeroOrNegativeRadiusGivesAnIdentityKernelInsteadOfNaN) {
    for (double radius : {0.0, -1.0}) {
        BlurKernel k;
        MakeBlurKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, 1);
        EXPECT_EQ(k.W(0), 1.0f);
        EXPECT_EQ(k.W(1), 0.0f);
        EXPECT_EQ(k.W(-1), 0.0f);
    }
}

TEST(BlurLine, SinglePixelSpreadsToKnownValues) {
    BlurKernel k = StandardKernel();
    std::vector<Bgra> row(9), work(9);
    row[4] = Grey(255);
    BlurLine(row.data(), 8, k, work.data());
    const std::uint8_t expected[] = {0, 0, 14, 62, 103, 62, 14, 0, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(row[i], Grey(expected[i])) << "position " << i;
}

TEST(BlurLine, TapsOutsideTheRowTakeTheEdgePixel) {
    BlurKernel k = StandardKernel();
    std::vector<Bgra> row(6), work(6);
    row[0] = Grey(200);
    BlurLine(row.data(), 5, k, work.data());
    // Position 0 sees pixel 0 at taps -2, -1 and 0: 200 * (0.054489 + 0.244201 + 0.402620) = 140.26.
    EXPECT_EQ(row[0].b, 140);
    EXPECT_EQ(row[1].b, 60);   // 200 * (0.054489 + 0.244201) = 59.74
    EXPECT_EQ(row[2].b, 11);                                                   // 10.90 -> 11
    EXPECT_EQ(row[3].b, 0);
}

TEST(BlurLine, RowShorterThanTheKernelClampsBothSides) {
    BlurKernel k = StandardKernel();
    std::vector<Bgra> row = {Grey(0), Grey(100)}, work(2);
    BlurLine(row.data(), 1, k, work.data());
    // Position 0: taps -2..0 on pixel 0, taps 1..2 on pixel 1: 100 * 0.29869 = 29.87.
    EXPECT_EQ(row[0], Grey(30));
    EXPECT_EQ(row[1], Grey(70));   // 100 * 0.70131
    std::vector<Bgra> one = {Grey(77)}, w1(1);
    BlurLine(one.data(), 0, k, w1.data());
    EXPECT_EQ(one[0], Grey(77));
}

TEST(BlurLine, BytesAreBlurredIndependently) {
    BlurKernel k = StandardKernel();
    std::vector<Bgra> row(5), work(5);
    row[2] = Bgra{255, 0, 100, 50};
    BlurLine(row.data(), 4, k, work.data());
    EXPECT_EQ(row[2], (Bgra{103, 0, 40, 20}));   // 100 * 0.40262 = 40.26, 50 * 0.40262 = 20.13
    EXPECT_EQ(row[0], (Bgra{14, 0, 5, 3}));      // 5.45, 2.72
}

TEST(BlurLine, HalfwaySumsRoundToEven) {
    // A kernel of two equal halves makes x.5 sums: 1 * 0.5 + 2 * 0.5 = 1.5 -> 2, 2 * 0.5 + 3 * 0.5 = 2.5 -> 2.
    BlurKernel k;
    k.Size = 1;
    k.W(-1) = 0.5f;
    k.W(0) = 0.5f;
    std::vector<Bgra> row = {Grey(1), Grey(2), Grey(3)}, work(3);
    BlurLine(row.data(), 2, k, work.data());
    EXPECT_EQ(row[1].b, 2);
    EXPECT_EQ(row[2].b, 2);
}

TEST(BlurPixels, SinglePixelBecomesAFiveByFiveBlock) {
    Image img(9, 9);
    img.at(4, 4) = Grey(255);
    BlurPixels(img.view(), StandardKernel());
    EXPECT_EQ(img.at(4, 4), Grey(41));
    for (auto [x, y] : {std::pair{2, 2}, {6, 2}, {2, 6}, {6, 6}}) EXPECT_EQ(img.at(x, y), Grey(1)) << x << "," << y;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(img.at(i, 1), Grey(0));
        EXPECT_EQ(img.at(i, 7), Grey(0));
        EXPECT_EQ(img.at(1, i), Grey(0));
        EXPECT_EQ(img.at(7, i), Grey(0));
    }
}

TEST(BlurPixels, UniformImageStaysUnchanged) {
    Image img(7, 4, Bgra{10, 128, 255, 255});
    BlurPixels(img.view(), StandardKernel());
    for (const Bgra& p : img.pixels) EXPECT_EQ(p, (Bgra{10, 128, 255, 255}));
}

TEST(BlurPixels, TinyImageIsBlurredWithinItsOwnPixels) {
    // Two pixels wide, three high inside a larger buffer: the guard pixels around it must not change.
    std::vector<Bgra> buffer(2 * 3 + 2, Grey(9));
    buffer[1] = Grey(255);
    PixelView view{buffer.data() + 1, 2, 3};
    for (int i = 2; i < 7; ++i) buffer[i] = Grey(0);
    BlurPixels(view, StandardKernel());
    EXPECT_EQ(buffer.front(), Grey(9));
    EXPECT_EQ(buffer.back(), Grey(9));
    // Column 0 after the horizontal pass holds 0.70131 * 255 = 178.8 -> 179 at the top.
    EXPECT_GT(view.at(0, 0).b, view.at(0, 2).b);
    EXPECT_GT(view.at(0, 0).b, 0);
}

TEST(BlurBitmap, BlursADibSectionWithTheSharedKernel) {
    MakeStandardBlurKernel();
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 9, -9, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bmp);
    auto* px = static_cast<Bgra*>(bits);
    for (int i = 0; i < 81; ++i) px[i] = Bgra{};
    px[4 * 9 + 4] = Grey(255);
    ASSERT_TRUE(BlurBitmap(bmp.get()));
    EXPECT_EQ(px[4 * 9 + 4], Grey(41));
    EXPECT_EQ(px[2 * 9 + 2], Grey(1));
}

TEST(BlurBitmap, RefusesBitmapsWithoutDirectPixels) {
    UniqueBitmap ddb(CreateBitmap(4, 4, 1, 1, nullptr));
    EXPECT_FALSE(BlurBitmap(ddb.get()));
    EXPECT_FALSE(BlurBitmap(nullptr));
}

TEST(BlurBitmap, UnbuiltKernelIsBuiltInsteadOfErasingThePicture) {
    CurrentBlurKernel = BlurKernel{};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bmp);
    auto* px = static_cast<Bgra*>(bits);
    for (int i = 0; i < 5; ++i) px[i] = Grey(200);
    ASSERT_TRUE(BlurBitmap(bmp.get()));
    EXPECT_EQ(CurrentBlurKernel.Size, 2);
    EXPECT_EQ(px[2], Grey(200));
}
