#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "base/handles.h"
#include "base/text.h"
#include "base/folder_browse.h"

using namespace vt;

TEST(CenteredDialogOrigin, HalvesSizesWithTruncation) {
    EXPECT_EQ(CenteredDialogOrigin({0, 0, 1280, 760}, {10, 20, 331, 271}).x, 640 - 160);   // width 321
    EXPECT_EQ(CenteredDialogOrigin({0, 0, 1280, 760}, {10, 20, 331, 271}).y, 380 - 125);   // height 251
    EXPECT_EQ(CenteredDialogOrigin({0, 0, 1025, 767}, {0, 0, 300, 200}).x, 512 - 150);
    EXPECT_EQ(CenteredDialogOrigin({0, 0, 1025, 767}, {0, 0, 300, 200}).y, 383 - 100);
}

TEST(CenteredDialogOrigin, WorkAreaOffsetIsNotAdded) {
    POINT p = CenteredDialogOrigin({100, 40, 1380, 840}, {0, 0, 200, 100});
    EXPECT_EQ(p.x, 640 - 100);
    EXPECT_EQ(p.y, 400 - 50);
}

namespace {
// Answers the folder dialog from inside its own modal loop: remembers where it stood, then presses a button.
struct DialogAnswer {
    static inline int button = IDOK;
    static inline RECT seenAt{};
    static inline bool seen = false;

    static BOOL CALLBACK FindDialog(HWND w, LPARAM found) {
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (!IsWindowVisible(w) || std::wstring(cls) != L"#32770") return TRUE;
        *reinterpret_cast<HWND*>(found) = w;
        return FALSE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        KillTimer(nullptr, id);
        seen = GetWindowRect(dialog, &seenAt);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    // Armed for one dialog; disarmed when the scope ends even if no dialog came.
    explicit DialogAnswer(int which) {
        button = which;
        seen = false;
        timer_ = SetTimer(nullptr, 0, 100, Tick);
    }
    ~DialogAnswer() { KillTimer(nullptr, timer_); }
private:
    UINT_PTR timer_;
};
}  // namespace

TEST(BrowseForSettingsFolder, StartsCentredAtTheStartFolderAndReturnsTheChoice) {
    ComApartment com;
    // A folder the dialog's tree shows (the temp folder lies below a hidden one).
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring start = windows;
    BrowseStartFolder = start;
    std::wstring path = L"old";
    DialogAnswer answer(IDOK);
    BrowseForSettingsFolder(nullptr, L"Select a folder", BIF_RETURNONLYFSDIRS, path);
    ASSERT_TRUE(DialogAnswer::seen);
    EXPECT_TRUE(EqualsNoCaseAscii(path, start)) << Narrow(path);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT expected = CenteredDialogOrigin(work, DialogAnswer::seenAt);
    EXPECT_EQ(DialogAnswer::seenAt.left, expected.x);
    EXPECT_EQ(DialogAnswer::seenAt.top, expected.y);
}

TEST(BrowseForSettingsFolder, CancelGivesAnEmptyPath) {
    ComApartment com;
    std::wstring path = L"old";
    DialogAnswer answer(IDCANCEL);
    BrowseForSettingsFolder(nullptr, L"Select a folder", BIF_RETURNONLYFSDIRS, path);
    ASSERT_TRUE(DialogAnswer::seen);
    EXPECT_EQ(path, L"");
}

TEST(BrowseFolder, CancelLeavesThePathAsItWas) {
    ComApartment com;
    std::wstring path = L"C:\\kept";
    DialogAnswer answer(IDCANCEL);
    EXPECT_FALSE(BrowseFolder(nullptr, L"Sound folder", path));
    ASSERT_TRUE(DialogAnswer::seen);
    EXPECT_EQ(path, L"C:\\kept");
}
