// The button among other controls: keys come through the dialog manager, focus moves between any
// controls, the hint shows as a tooltip, and a kind chosen before the window exists keeps its caption.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/tmq_button.h"
#include "render.h"

using namespace vt;

namespace {

HWND Edit(HWND parent, int y) {
    return CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 10, y, 100, 20, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A key as the keyboard gives it to the focused control, through the dialog manager of `form`.
void Key(HWND form, UINT vk) {
    HWND target = GetFocus() ? GetFocus() : form;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, vk, scan | 1);
    PostMessageW(target, WM_KEYUP, vk, scan | 1 | (LPARAM{3} << 30));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageW(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

// A Yes button answers Enter again as soon as the focus moves on, also between two edits.
TEST(TmqButtonKeys, FocusMovingBetweenOtherControlsMakesTheDefaultButtonTakeEnter) {
    test::HostWindow host;
    ShowWindow(host.get(), SW_SHOW);
    SetForegroundWindow(host.get());
    HWND first = Edit(host.get(), 10), second = Edit(host.get(), 40);
    TTmqButton yes;
    ASSERT_TRUE(yes.Create(host.get(), 10, 70));
    SetFocus(first);
    ASSERT_EQ(GetFocus(), first);
    yes.SetButtonKind(skYes);
    EXPECT_FALSE(yes.DefaultNow()) << "not before the focus moves";
    Key(host.get(), VK_TAB);
    ASSERT_EQ(GetFocus(), second);
    EXPECT_TRUE(yes.DefaultNow());
    // What the dialog manager asks when it looks for the button Enter presses.
    EXPECT_TRUE(SendMessageW(yes.hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
}

// Space on the focused button clicks it on the release, as on any push button.
TEST(TmqButtonKeys, SpaceClicksTheFocusedButton) {
    test::HostWindow host;
    ShowWindow(host.get(), SW_SHOW);
    SetForegroundWindow(host.get());
    HWND edit = Edit(host.get(), 10);
    TTmqButton b;
    ASSERT_TRUE(b.Create(host.get(), 10, 70));
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    SetFocus(edit);
    Key(host.get(), VK_SPACE);
    EXPECT_EQ(clicks, 0) << "Space in the edit is the edit's";
    Key(host.get(), VK_TAB);
    ASSERT_EQ(GetFocus(), b.hwnd());
    Key(host.get(), VK_SPACE);
    EXPECT_EQ(clicks, 1);
}

TEST(TmqButtonKeys, KindChosenBeforeTheWindowKeepsItsCaption) {
    test::HostWindow host;
    TTmqButton ok, no;
    ok.SetButtonKind(skOK);
    no.SetButtonKind(skNo);
    ASSERT_TRUE(ok.Create(host.get(), 10, 10));
    ASSERT_TRUE(no.Create(host.get(), 10, 40));
    EXPECT_EQ(ok.Caption(), L"OK");
    EXPECT_EQ(no.Caption(), L"&No");
}

// The hint and its second line are the text of the button's tooltip.
TEST(TmqButtonKeys, HintAndSecondLineShowAsTheTooltip) {
    test::HostWindow host;
    TTmqButton b;
    b.SetHint(L"Snooze");   // before the window: shown once it exists
    ASSERT_TRUE(b.Create(host.get(), 10, 10));
    ASSERT_NE(b.HintWindow(), nullptr);
    auto tip = [&] {
        wchar_t text[80] = L"";
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = host.get();
        ti.uId = reinterpret_cast<UINT_PTR>(b.hwnd());
        ti.lpszText = text;
        SendMessageW(b.HintWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
        return std::wstring(text);
    };
    EXPECT_EQ(tip(), L"Snooze");
    b.SetHintSecondLine(L"again in 5 min");
    EXPECT_EQ(b.Hint(), L"Snooze\r" L"again in 5 min");
    EXPECT_EQ(tip(), L"Snooze\n" L"again in 5 min");
    EXPECT_EQ(SendMessageW(b.HintWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
}
