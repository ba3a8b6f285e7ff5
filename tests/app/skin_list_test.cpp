#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>

#include "base/handles.h"
#include "clock/colors.h"
#include "clock/options_file.h"
#include "clock/skin_list.h"
#include "support/test_support.h"

using namespace vt;

namespace {

void MakeFolder(const std::wstring& path) { CreateFolderTree(path); }

// A 24-bit bitmap of one colour whose bottom-right pixel is `key`.
void WriteBitmap(const std::wstring& path, int w, int h, COLORREF fill, COLORREF key) {
    int stride = (w * 3 + 3) & ~3;
    std::string data(static_cast<size_t>(stride * h), '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Rows are stored bottom-up: row 0 of the file is the bottom row.
            COLORREF c = (y == 0 && x == w - 1) ? key : fill;
            size_t o = static_cast<size_t>(y * stride + x * 3);
            data[o] = static_cast<char>(GetBValue(c));
            data[o + 1] = static_cast<char>(GetGValue(c));
            data[o + 2] = static_cast<char>(GetRValue(c));
        }
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(data.size());
    std::string bytes(reinterpret_cast<char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<char*>(&ih), sizeof ih);
    bytes += data;
    test::WriteFileBytes(path, bytes);
}

int Lightness(COLORREF c) { return RgbToHls({GetRValue(c), GetGValue(c), GetBValue(c)}).l; }

}  // namespace

TEST(SkinList, EveryFolderAndNestedFolderIsOfferedButNoFile) {
    test::TempDir dir;
    MakeFolder(dir.File(L"B"));
    MakeFolder(dir.File(L"A"));
    MakeFolder(dir.File(L"Gold\\Extra"));
    test::WriteFileBytes(dir.File(L"readme.txt"), "x");
    auto names = ScanSkinFolders(dir.path());
    std::multiset<std::wstring> got(names.begin(), names.end());
    EXPECT_EQ(got, (std::multiset<std::wstring>{L"A", L"B", L"Extra", L"Gold"}));
    EXPECT_TRUE(ScanSkinFolders(dir.File(L"missing")).empty());
}

TEST(SkinList, RefreshEmptiesFirstAndTheViewSortsByName) {
    test::TempDir dir;
    MakeFolder(dir.File(L"B"));
    MakeFolder(dir.File(L"A"));
    HWND lv = CreateWindowExW(0, WC_LISTVIEWW, L"", LVS_LIST | LVS_SORTASCENDING, 0, 0, 200, 200, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(lv, nullptr);
    EXPECT_EQ(RefreshSkinList(lv, dir.path()), 2);
    EXPECT_EQ(RefreshSkinList(lv, dir.path()), 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0), 2);
    wchar_t first[32] = L"";
    LVITEMW item{};
    item.pszText = first;
    item.cchTextMax = 32;
    SendMessageW(lv, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(first, L"A");
    DestroyWindow(lv);
}

TEST(SkinList, LightKeyColourComesFirstAfterTheSwap) {
    // Lightness 180: kept at 180 in the second colour, and the two swap.
    COLORREF key = RGB(191, 191, 191);
    ASSERT_EQ(Lightness(key), 180);
    auto [first, second] = SkinGradientColours(key);
    EXPECT_EQ(Lightness(first), 180);
    EXPECT_EQ(second, key);
}

TEST(SkinList, DarkKeyColourGetsALighterPartner) {
    COLORREF key = RGB(40, 20, 10);
    auto [first, second] = SkinGradientColours(key);
    EXPECT_EQ(second, key);
    EXPECT_NEAR(Lightness(first), 180, 1);  // back through RGB, one step of rounding
}

TEST(SkinList, MiddleKeyColourGetsADarkerPartner) {
    COLORREF key = RGB(200, 119, 119);
    int l = Lightness(key);
    ASSERT_TRUE(l > 120 && l < 180);
    auto [first, second] = SkinGradientColours(key);
    EXPECT_EQ(first, key);
    EXPECT_NEAR(Lightness(second), l - 60, 1);
}

TEST(SkinList, RandomChoiceNeverTakesTheLastSkin) {
    EXPECT_EQ(RandomSkinIndex(1, 12345), 0);
    EXPECT_EQ(RandomSkinIndex(0, 12345), 0);
    std::set<int> seen;
    for (unsigned seed = 0; seed < 500; ++seed) seen.insert(RandomSkinIndex(4, seed));
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
}

TEST(SkinList, KeyColourIsTheBottomRightPixelOfText) {
    test::TempDir dir;
    MakeFolder(dir.File(L"Blue"));
    WriteBitmap(dir.File(L"Blue\\Text.bmp"), 8, 4, RGB(0, 0, 0), RGB(10, 20, 250));
    COLORREF key = 0;
    ASSERT_TRUE(ReadSkinKeyColour(dir.path(), L"Blue", key));
    EXPECT_EQ(key, RGB(10, 20, 250));
    EXPECT_FALSE(ReadSkinKeyColour(dir.path(), L"Missing", key));
}
