// The small helpers every floor uses: folder paths, file questions, window text, window classes, paint
// messages and image lists.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "base/files.h"
#include "base/picture.h"
#include "base/window.h"
#include "controls/image_list.h"
#include "support/test_support.h"

using namespace vt;

TEST(WithSlash, AddsOneBackslashOnlyWhereNoneEnds) {
    EXPECT_EQ(WithSlash(L"C:\\Uhr"), L"C:\\Uhr\\");
    EXPECT_EQ(WithSlash(L"C:\\Uhr\\"), L"C:\\Uhr\\");
    EXPECT_EQ(WithSlash(L"C:/Uhr/"), L"C:/Uhr/");   // a slash counts as the separator
    EXPECT_EQ(WithSlash(L""), L"");                 // no folder stays no folder
}

TEST(FileQuestions, TellFilesFromFolders) {
    test::TempDir dir;
    const std::wstring file = dir.File(L"Uhr\u00e9.ini");
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.File(L"none.ini")));
    EXPECT_FALSE(FolderExists(dir.File(L"none")));
}

namespace {
int g_paints = 0;
LRESULT CALLBACK Painting(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (PaintMessages(w, m, wp, [](HDC dc) {
            ++g_paints;
            SetPixel(dc, 0, 0, RGB(1, 2, 3));
        }, r))
        return r;
    return DefWindowProcW(w, m, wp, lp);
}
}  // namespace

TEST(WindowHelpers, ClassRegisteredOnceTextReadWholePaintsThroughOneRoad) {
    ASSERT_TRUE(RegisterWindowClass(L"VantoricHelperTest", Painting));
    EXPECT_TRUE(RegisterWindowClass(L"VantoricHelperTest", Painting)) << "a second call finds the class";
    const std::wstring caption(600, L'x');   // longer than any fixed buffer would take
    HWND w = CreateWindowExW(0, L"VantoricHelperTest", caption.c_str(), WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(w);
    EXPECT_EQ(TextOf(w), caption);

    EXPECT_EQ(SendMessageW(w, WM_ERASEBKGND, 0, 0), 1) << "the window paints itself whole, no erasing";
    g_paints = 0;
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    AlphaBitmap canvas = CreateAlphaBitmap(4, 4);
    SelectGuard keep(dc.get(), canvas.bitmap.get());
    SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    GdiFlush();
    EXPECT_EQ(g_paints, 1);
    const Bgra painted = PixelsOf(canvas).at(0, 0);
    EXPECT_EQ(RGB(painted.r, painted.g, painted.b), RGB(1, 2, 3));
    DestroyWindow(w);
}

TEST(MakeImageList, ScalesEachPictureIntoItsCellAndKeepsPlacesOfMissingOnes) {
    std::vector<AlphaBitmap> pictures;
    AlphaBitmap red = CreateAlphaBitmap(8, 8);
    const PixelView px = PixelsOf(red);
    for (int i = 0; i < 64; ++i) px.pixels[i] = Bgra{0, 0, 255, 255};
    pictures.push_back(std::move(red));
    pictures.push_back(AlphaBitmap{});   // an unreadable file
    UniqueImageList list = MakeImageList(16, pictures);
    ASSERT_TRUE(list);
    EXPECT_EQ(ImageList_GetImageCount(list.get()), 2);
    IMAGEINFO info{};
    ASSERT_TRUE(ImageList_GetImageInfo(list.get(), 0, &info));
    const PixelView cell = PixelsOf(info.hbmImage);
    ASSERT_FALSE(cell.empty());
    // The 8 x 8 picture fills the whole 16 x 16 cell: its far corner is red too.
    const Bgra corner = cell.at(15, 15);
    EXPECT_GT(corner.r, 200);
    EXPECT_EQ(corner.a, 255);
}
