// The layout check finds what a person would see: a cut caption, controls over each other, a control
// reaching out of its window.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/handles.h"
#include "support/layout_check.h"

using namespace vt;

namespace {

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

}  // namespace

TEST(LayoutCheck, FindsCutCaptionsOverlapsAndControlsOutside) {
    HWND form = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(form);
    Child(form, L"BUTTON", L"Fits", BS_AUTOCHECKBOX, 10, 10, 120, 16, 1);
    EXPECT_TRUE(test::LayoutProblems(form).empty());

    Child(form, L"BUTTON", L"A caption far too long for its box", BS_AUTOCHECKBOX, 10, 40, 60, 16, 2);
    Child(form, L"BUTTON", L"OK", BS_PUSHBUTTON, 100, 5, 60, 24, 3);      // over the first check box
    Child(form, L"STATIC", L"Out", SS_LEFT, 280, 180, 60, 14, 4);       // past the form's corner
    const auto problems = test::LayoutProblems(form);
    std::string all;
    for (const auto& p : problems) all += p + "\n";
    EXPECT_NE(all.find("control 2 \"A caption far too long for its box\""), std::string::npos) << all;
    EXPECT_NE(all.find("overlaps"), std::string::npos) << all;
    EXPECT_NE(all.find("control 4 \"Out\" (Static) reaches outside its parent"), std::string::npos) << all;
    DestroyWindow(form);
}

// A check box on its title panel is meant; a panel reaching partly over the next column is not.
TEST(LayoutCheck, ControlsMayLieWhollyOnAPanelButNotPartlyOverIt) {
    HWND form = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(form);
    Child(form, L"BUTTON", L"", BS_AUTOCHECKBOX, 6, 4, 13, 13, 1);               // on the left panel
    Child(form, L"STATIC", L"", SS_WHITERECT, 4, 2, 140, 18, 2);                  // the left panel
    Child(form, L"BUTTON", L"Once", BS_AUTORADIOBUTTON, 150, 30, 60, 16, 3);
    Child(form, L"STATIC", L"", SS_GRAYRECT, 148, 2, 140, 18, 4);                 // the right panel
    EXPECT_TRUE(test::LayoutProblems(form).empty());

    SetWindowPos(GetDlgItem(form, 2), nullptr, 0, 0, 151, 32, SWP_NOMOVE | SWP_NOZORDER);   // 7 px too far
    std::string all;
    for (const auto& p : test::LayoutProblems(form)) all += p + "\n";
    EXPECT_NE(all.find("control 2 \"\" (Static) partly overlaps control 3 \"Once\""), std::string::npos) << all;
    EXPECT_NE(all.find("control 2 \"\" (Static) partly overlaps control 4"), std::string::npos) << all;
    DestroyWindow(form);
}
