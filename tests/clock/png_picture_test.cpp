#include "base/picture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/clock_skin_fixture.h"
#include "support/png_writer.h"
#include "support/test_support.h"

namespace vt {
namespace {

TEST(LoadPNGAsAlphaBitmap, DecodesToPremultipliedBgra) {
    test::TempDir dir;
    // Left column opaque red, right column half-transparent green, bottom row fully transparent.
    std::vector<test::Rgba> px = {{255, 0, 0, 255}, {0, 200, 0, 128}, {10, 20, 30, 0}, {10, 20, 30, 0}};
    test::WritePngFile(dir.File(L"icon.png"), 2, 2, px);
    AlphaBitmap pic = LoadPicture(dir.File(L"icon.png"));
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic.width, 2);
    EXPECT_EQ(pic.height, 2);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(pic.bitmap.get(), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    const auto* bits = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
    ASSERT_NE(bits, nullptr);
    // Top-down rows of B, G, R, A.
    EXPECT_EQ(bits[0], 0);
    EXPECT_EQ(bits[2], 255);
    EXPECT_EQ(bits[3], 255);
    EXPECT_NEAR(bits[4 + 1], 100, 1);   // 200 premultiplied by 128/255
    EXPECT_EQ(bits[4 + 3], 128);
    EXPECT_EQ(bits[8 + 0], 0);
    EXPECT_EQ(bits[8 + 2], 0);
    EXPECT_EQ(bits[8 + 3], 0);
}

TEST(LoadPNGAsAlphaBitmap, MissingOrBrokenFileGivesNothing) {
    test::TempDir dir;
    EXPECT_FALSE(LoadPicture(dir.File(L"none.png")));
    EXPECT_FALSE(LoadPicture(L""));
    test::WriteFileBytes(dir.File(L"broken.png"), "\x89PNG\r\n\x1a\nnot really");
    EXPECT_FALSE(LoadPicture(dir.File(L"broken.png")));
}

TEST(DrawAlphaBitmap, BlendsScaledOverTheBackground) {
    test::TempDir dir;
    std::vector<test::Rgba> px(4 * 4, test::Rgba{0, 0, 255, 255});
    for (int x = 0; x < 4; ++x) px[static_cast<size_t>(3 * 4 + x)] = {0, 0, 0, 0};   // transparent bottom row
    test::WritePngFile(dir.File(L"blue.png"), 4, 4, px);
    AlphaBitmap pic = LoadPicture(dir.File(L"blue.png"));
    ASSERT_TRUE(pic);
    test::DibCanvas canvas(40, 40, RGB(200, 100, 0));
    DrawAlphaBitmap(canvas.dc(), pic, RECT{4, 4, 36, 36});
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(30, 12), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(20, 34), RGB(200, 100, 0)) << "transparent part shows the background";
    EXPECT_EQ(canvas.Pixel(2, 2), RGB(200, 100, 0)) << "outside the square";
}

// The first red pixel's red byte: which of the test's pictures a cached one is.
int RedOf(const AlphaBitmap& picture) {
    const PixelView v = PixelsOf(picture);
    return v.pixels ? v.pixels[0].r : -1;
}

TEST(PictureCache, DecodesOnceAndReadsAFileAgainOnceItIsWrittenOrGone) {
    test::TempDir dir;
    const std::wstring path = dir.File(L"icon.png");
    test::WritePngFile(path, 2, 2, std::vector<test::Rgba>(4, test::Rgba{100, 0, 0, 255}));
    PictureCache cache;
    // Each load a drawing of its own, as the widgets draw.
    std::vector<std::unique_ptr<PictureCache::Drawing>> drawings;
    auto load = [&](const std::wstring& file) -> const AlphaBitmap& {
        drawings.push_back(std::make_unique<PictureCache::Drawing>(cache));
        return drawings.back()->Load(file);
    };
    const HBITMAP decoded = load(path).bitmap.get();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(load(path).bitmap.get(), decoded) << "the same file is not decoded again";

    // Another picture of another size.
    test::WritePngFile(path, 3, 3, std::vector<test::Rgba>(9, test::Rgba{200, 0, 0, 255}));
    EXPECT_EQ(load(path).width, 3);
    EXPECT_EQ(RedOf(load(path)), 200);

    // The same size written later: the time of the write tells.
    test::WritePngFile(path, 3, 3, std::vector<test::Rgba>(9, test::Rgba{50, 0, 0, 255}));
    {
        UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
        FILETIME later;
        GetSystemTimeAsFileTime(&later);
        ULARGE_INTEGER t{{later.dwLowDateTime, later.dwHighDateTime}};
        t.QuadPart += 10'000'000ull * 60;   // a minute on
        later = FILETIME{t.LowPart, t.HighPart};
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &later));
    }
    EXPECT_EQ(RedOf(load(path)), 50);

    DeleteFileW(path.c_str());
    EXPECT_FALSE(load(path)) << "a file that is gone";
    EXPECT_FALSE(load(dir.File(L"never.png")));
}

TEST(PictureCache, ADrawingKeepsEveryPictureItLoadedBeyondTheLimitAndAcrossARewrite) {
    test::TempDir dir;
    PictureCache cache;
    PictureCache::Drawing drawing(cache);
    const std::wstring first = dir.File(L"first.png");
    test::WritePngFile(first, 2, 2, std::vector<test::Rgba>(4, test::Rgba{100, 0, 0, 255}));
    const AlphaBitmap& held = drawing.Load(first);
    ASSERT_EQ(RedOf(held), 100);
    const HBITMAP decoded = held.bitmap.get();

    // More distinct pictures than the cache keeps: it starts afresh on the way.
    for (size_t i = 0; i <= PictureCache::kMostPictures; ++i) {
        const std::wstring other = dir.File(L"other" + std::to_wstring(i) + L".png");
        test::WritePngFile(other, 1, 1, {test::Rgba{static_cast<std::uint8_t>(i), 0, 0, 255}});
        EXPECT_EQ(RedOf(drawing.Load(other)), static_cast<int>(i));
    }
    EXPECT_EQ(held.bitmap.get(), decoded);
    EXPECT_EQ(held.width, 2);
    EXPECT_EQ(RedOf(held), 100) << "a picture the drawing holds was freed when the cache started afresh";

    // The file rewritten in the middle of the drawing: a new load reads it, the held one stays.
    test::WritePngFile(first, 3, 3, std::vector<test::Rgba>(9, test::Rgba{200, 0, 0, 255}));
    EXPECT_EQ(RedOf(drawing.Load(first)), 200);
    EXPECT_EQ(RedOf(held), 100);
    EXPECT_EQ(held.width, 2);
}

}  // namespace
}  // namespace vt
