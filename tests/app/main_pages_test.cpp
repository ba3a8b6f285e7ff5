// The small pages of the main dialog as a user meets them: title panels that work their check boxes,
// greyed labels, hints and links.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/main_form_fixture.h"
#include "support/clock_skin_fixture.h"
#include "support/layout_check.h"
#include "resources/resource.h"

using namespace vt;
using vt::test::MainFormTest;

namespace {

// The text colour a page gives a static control of its own.
COLORREF LabelColour(HWND page, int id) {
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    SetTextColor(dc.get(), RGB(1, 2, 3));
    SendMessageW(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    return GetTextColor(dc.get());
}

BOOL CALLBACK CollectTips(HWND w, LPARAM l) {
    wchar_t cls[64];
    if (GetClassNameW(w, cls, 64) && wcscmp(cls, TOOLTIPS_CLASSW) == 0) reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
    return TRUE;
}

// The hint of a control: the text one of this thread's tip windows (their owner is the top-level
// window) holds for it.
std::wstring HintOf(HWND page, int id) {
    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), CollectTips, reinterpret_cast<LPARAM>(&tips));
    for (HWND tip : tips) {
        wchar_t text[512] = L"";
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = page;
        ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page, id));
        ti.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&ti));
        if (text[0]) return text;
    }
    return L"<no hint>";
}

void Click(HWND w) {
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
}

}  // namespace

TEST_F(MainFormTest, TheTimeZoneTitleWorksItsCheckBoxAndSaves) {
    TfrmClock& f = Start();
    HWND page = f.Page(4);
    HWND title = GetDlgItem(page, IDC_GRADIENTPANEL5);
    wchar_t cls[64] = L"";
    GetClassNameW(title, cls, 64);
    ASSERT_STREQ(cls, L"TgradientPanel");
    const bool before = f.Options().showZone;
    Click(title);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_CHBSHOWTIMEZONE) == BST_CHECKED, !before);
    EXPECT_EQ(f.Options().showZone, !before);
    EXPECT_EQ(Stored(L"ShowZone"), before ? L"0" : L"1");

    // The title's face: the grey header colour at its left, fading to the right.
    RECT r{};
    GetClientRect(title, &r);
    test::DibCanvas canvas(r.right, r.bottom);
    SendMessageW(title, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    const COLORREF left = canvas.Pixel(1, r.bottom - 1);
    EXPECT_NEAR(GetRValue(left), 161, 3);
    EXPECT_NEAR(GetBValue(left), 157, 3);
    EXPECT_EQ(HintOf(page, IDC_EDPREFIX), L"Please, enter prefix (example: LONDON, MOSCOW, NEW YORK or PARIS)");
}

TEST_F(MainFormTest, ProxyLabelsAreGreyUntilTheProxyIsEnabled) {
    TfrmClock& f = Start();
    HWND page = f.Page(7);
    ASSERT_NE(IsDlgButtonChecked(page, IDC_CBENABLEPROXY), BST_CHECKED);
    EXPECT_EQ(LabelColour(page, IDC_LPROXYADDRESS), GetSysColor(COLOR_INACTIVECAPTIONTEXT));
    Click(GetDlgItem(page, IDC_PNENABLEPROXY));   // the title clicks its check box
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_CBENABLEPROXY), BST_CHECKED);
    EXPECT_TRUE(f.Options().proxy.enabled);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_EDADDRESS)));
    EXPECT_EQ(LabelColour(page, IDC_LPROXYADDRESS), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(HintOf(page, IDC_CBBASICAUTH).rfind(L"Basic Authentication indicates", 0), 0u);
}

TEST_F(MainFormTest, LinksAreBlueAndTheProgramNameBold) {
    TfrmClock& f = Start();
    EXPECT_EQ(LabelColour(f.Page(2), IDC_LBMORESKINS), RGB(0, 0, 255));
    HIMAGELIST skins = ListView_GetImageList(GetDlgItem(f.Page(2), IDC_LVSKINS), LVSIL_SMALL);
    ASSERT_NE(skins, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(skins), 1);   // the picture every skin shows
    EXPECT_EQ(LabelColour(f.Page(6), IDC_LABEL13), RGB(0, 0, 255));
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(f.Page(6), IDC_LBABOUTPROGNAME, WM_GETFONT, 0, 0)), sizeof lf,
               &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(HintOf(f.Page(5), IDC_BTREMOVETIMESERVER), L"Remove Server");
    EXPECT_EQ(LabelColour(f.Page(5), IDC_LBDIFF), RGB(255, 255, 255));   // white on its coloured shape
}

TEST_F(MainFormTest, AboutShowsTheProgramPictureAndTheNotice) {
    TfrmClock& f = Start();
    HWND picture = GetDlgItem(f.Page(6), IDC_ABOUTPICTURE);
    RECT r{};
    GetClientRect(picture, &r);
    ASSERT_EQ(r.right, 128);
    ASSERT_EQ(r.bottom, 128);
    test::DibCanvas canvas(128, 128, RGB(255, 0, 255));
    SendMessageW(picture, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    // The clock face: a blue rim around a light dial, and the page's own colour in the corner.
    const COLORREF rim = canvas.Pixel(64, 6), dial = canvas.Pixel(40, 64);
    EXPECT_GT(GetBValue(rim), GetRValue(rim) + 60);
    EXPECT_GT(GetRValue(dial), 200);
    EXPECT_GT(GetBValue(dial), 200);
    EXPECT_NE(canvas.Pixel(1, 1), rim);
    wchar_t notice[128] = L"";
    GetDlgItemTextW(f.Page(6), IDC_ABOUTNOTICE, notice, 128);
    EXPECT_EQ(std::wstring(notice), L"Copyright \u00A9 2026 Dorminax. All rights reserved.");
}

TEST_F(MainFormTest, EveryPageLaysItsControlsOutWhole) {
    TfrmClock& f = Start();
    // The six tabs carry their 24 x 24 pictures, decoded when the dialog is first shown.
    HWND tabs = FindWindowExW(f.hwnd(), nullptr, WC_TABCONTROLW, nullptr);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETIMAGELIST, 0, 0), 0) << "decoded while the dialog was never shown";
    f.ShowMain();
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(tabs, TCM_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 6);
    int w = 0, h = 0;
    ImageList_GetIconSize(images, &w, &h);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 24);
    for (int page = 0; page < 8; ++page) {
        f.SelectPage(page);
        std::string problems;
        for (const std::string& p : test::LayoutProblems(f.hwnd())) problems += "\n  " + p;
        EXPECT_TRUE(problems.empty()) << "page " << page << ":" << problems;
    }
}
