#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/tmq_button.h"
#include "render.h"

using namespace vt;
using vt::test::Canvas;

namespace {

COLORREF Face() { return GetSysColor(COLOR_BTNFACE); }
COLORREF Highlight() { return GetSysColor(COLOR_BTNHIGHLIGHT); }
COLORREF Shadow() { return GetSysColor(COLOR_BTNSHADOW); }

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A strip of `cells` square cells of `size` pixels on the key colour, each with an 8 x 8 block at (5, 5)
// in its own colour.
Picture Strip(int size, std::vector<COLORREF> blocks) {
    Picture p;
    p.width = size * static_cast<int>(blocks.size());
    p.height = size;
    const Bgra key{GetBValue(kKey), GetGValue(kKey), GetRValue(kKey), 0};
    p.pixels.assign(static_cast<size_t>(p.width) * p.height, key);
    for (size_t c = 0; c < blocks.size(); ++c)
        for (int y = 5; y < 13; ++y)
            for (int x = 5; x < 13; ++x)
                p.pixels[y * p.width + static_cast<int>(c) * size + x] =
                    Bgra{GetBValue(blocks[c]), GetGValue(blocks[c]), GetRValue(blocks[c]), 0};
    return p;
}

class FakeMenus : public IPopupMenus {
public:
    std::vector<POINT> opened;
    std::vector<bool> rightAligned;
    UINT answer = 0;
    std::function<void()> whileOpen;
    UINT Popup(HMENU, HWND, POINT pt, bool right) override {
        opened.push_back(pt);
        rightAligned.push_back(right);
        if (whileOpen) whileOpen();
        return answer;
    }
};

class FakeSound : public IButtonSound {
public:
    std::vector<std::wstring> played;
    void PlayResource(const wchar_t* name, const wchar_t* type) override {
        played.push_back(std::wstring(name) + L"/" + type);
    }
};

class TmqButtonTest : public testing::Test {
protected:
    void SetUp() override {
        font.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                               L"Tahoma"));
    }
    TTmqButton& Make(int width = 75, int height = 25, int x = 10, int y = 10) {
        buttons.push_back(std::make_unique<TTmqButton>());
        TTmqButton& b = *buttons.back();
        EXPECT_TRUE(b.Create(host.get(), x, y, width, height, 100 + static_cast<int>(buttons.size())));
        SendMessageW(b.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        b.Menus = &menus;
        b.Sound = &sound;
        b.OnClick = [this] { events.push_back("click"); };
        b.OnDblClick = [this] { events.push_back("dblclick"); };
        b.OnMouseOver = [this] { events.push_back("over"); };
        b.OnMouseOut = [this] { events.push_back("out"); };
        b.OnMouseDown = [this](const ButtonMouse&) { events.push_back("down"); };
        b.OnMouseUp = [this](const ButtonMouse&) { events.push_back("up"); };
        return b;
    }
    static void Send(const TTmqButton& b, UINT m, int x, int y, WPARAM keys = 0) {
        SendMessageW(b.hwnd(), m, keys, MAKELPARAM(x, y));
    }
    static std::unique_ptr<Canvas> Print(const TTmqButton& b) {
        RECT rc{};
        GetClientRect(b.hwnd(), &rc);
        auto c = std::make_unique<Canvas>(rc.right, rc.bottom);
        c->Print(b.hwnd());
        return c;
    }
    // Bounding box of the pixels in `colour` inside the canvas; right/bottom exclusive, empty if none.
    static RECT Ink(const Canvas& c, COLORREF colour) {
        RECT r{c.width(), c.height(), 0, 0};
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                if (c.At(x, y) == colour) {
                    r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    void Show() { ShowWindow(host.get(), SW_SHOWNOACTIVATE); }

    vt::test::HostWindow host;
    UniqueFont font;
    FakeMenus menus;
    FakeSound sound;
    std::vector<std::string> events;
    std::vector<std::unique_ptr<TTmqButton>> buttons;
};

}  // namespace

// ---- Rules ----

TEST(TmqButtonRules, StyleTable) {
    struct Row { TStyle style; int normal, hot; bool dotted, framed; TColor lt, rb; };
    const Row rows[] = {
        {stFlat, 0, 1, false, false, clBtnHighlight, clBtnShadow},
        {stDefault, 1, 1, false, true, clBtnHighlight, clBlack},
        {stRaised, 2, 2, false, false, clBtnHighlight, clBtnShadow},
        {stFlatDot, 0, 1, true, false, clBtnHighlight, clBtnShadow},
        {stRaisedDot, 2, 2, true, false, clBtnHighlight, clBtnShadow},
        {stFrameLowered, 1, 1, false, true, clBtnShadow, clBtnHighlight},
        {stFrameRaised, 1, 1, false, true, clBtnHighlight, clBtnShadow},
    };
    for (const Row& r : rows) {
        const StyleInfo s = StyleOf(r.style);
        EXPECT_EQ(s.normalWidth, r.normal) << r.style;
        EXPECT_EQ(s.hotWidth, r.hot) << r.style;
        EXPECT_EQ(s.dotted, r.dotted) << r.style;
        EXPECT_EQ(s.leftTop, r.lt) << r.style;
        EXPECT_EQ(s.rightBottom, r.rb) << r.style;
        EXPECT_EQ(IsFramedStyle(r.style), r.framed) << r.style;
    }
    EXPECT_EQ(StyleOf(stNone).normalWidth, 0);
    EXPECT_EQ(StyleOf(stNone).hotWidth, 0);
    EXPECT_FALSE(StyleOf(stNone).setsColours);
}

TEST(TmqButtonRules, GlyphCountIsGuessedFromSquareCells) {
    struct Row { int w, h, current, expected; };
    const Row rows[] = {
        {36, 18, 1, 2}, {90, 18, 3, 1}, {40, 18, 3, 3}, {72, 18, 1, 4},
        {18, 18, 2, 1}, {10, 18, 2, 1}, {30, 18, 3, 1}, {0, 18, 3, 3},
    };
    for (const Row& r : rows) EXPECT_EQ(GuessGlyphCount(r.w, r.h, r.current), r.expected) << r.w << "x" << r.h;
}

TEST(TmqButtonRules, GlyphAndCaptionPlacesForEachLayout) {
    // Inner 2..73 x 2..23 (71 x 21), glyph 16 x 16, text 30 x 13, spacing 4, spacing layout 3.
    struct Row { TLayout layout; int pressed; POINT glyph; POINT caption; };
    const Row rows[] = {
        {blGlyphLeft, 0, {11, 4}, {31, 5}},       // x = 2 + (71 - 46) / 2 - 3; caption at G.right + 4
        {blGlyphLeft, 1, {12, 5}, {32, 6}},
        {blGlyphRight, 0, {47, 4}, {13, 5}},      // x = 2 + (71 - 16 + 30) / 2 + 3; caption at G.left - 30 - 4
        {blGlyphBottom, 0, {29, 13}, {22, -5}},   // y = 2 + 2 + 6 + 3; caption top = 13 - 8 - 4 - 6
        {blGlyphTop, 0, {29, -5}, {22, 15}},      // y = 4 - 6 - 3; caption top = G.bottom + 4
    };
    for (const Row& r : rows) {
        ButtonLayoutInput in;
        in.inner = {2, 2, 73, 23};
        in.glyphWidth = in.glyphHeight = 16;
        in.textWidth = 30;
        in.textHeight = 13;
        in.layout = r.layout;
        in.captionEmpty = false;
        in.pressed = r.pressed;
        const POINT g = GlyphPosition(in);
        EXPECT_EQ(g.x, r.glyph.x) << r.layout;
        EXPECT_EQ(g.y, r.glyph.y) << r.layout;
        const RECT drawn{g.x, g.y, g.x + 16, g.y + 16};
        const RECT c = CaptionRect(in, &drawn);
        EXPECT_EQ(c.left, r.caption.x) << r.layout;
        EXPECT_EQ(c.top, r.caption.y) << r.layout;
        EXPECT_EQ(c.right - c.left, 30);
        EXPECT_EQ(c.bottom - c.top, 13);
    }
}

TEST(TmqButtonRules, LonelyGlyphAndLonelyCaptionAreCentred) {
    ButtonLayoutInput in;
    in.inner = {0, 0, 75, 25};
    in.glyphWidth = in.glyphHeight = 18;
    EXPECT_EQ(GlyphPosition(in).x, 28);
    EXPECT_EQ(GlyphPosition(in).y, 3);
    in.popupMark = true;
    EXPECT_EQ(GlyphPosition(in).x, 23);
    in.textWidth = 31;
    in.textHeight = 13;
    in.pressed = 1;
    const RECT c = CaptionRect(in, nullptr);
    EXPECT_EQ(c.left, 23);   // (75 - 31) / 2 + 1
    EXPECT_EQ(c.top, 7);     // (25 - 13) / 2 + 1
}

TEST(TmqButtonRules, PopupOpensBesideTheButton) {
    const RECT at{100, 200, 245, 225};
    EXPECT_EQ(PlacePopup(puRight, at).pt.x, 246);
    EXPECT_EQ(PlacePopup(puRight, at).pt.y, 200);
    EXPECT_FALSE(PlacePopup(puRight, at).rightAligned);
    EXPECT_EQ(PlacePopup(puDown, at).pt.x, 99);
    EXPECT_EQ(PlacePopup(puDown, at).pt.y, 225);
    EXPECT_EQ(PlacePopup(puLeft, at).pt.x, 99);
    EXPECT_EQ(PlacePopup(puLeft, at).pt.y, 200);
    EXPECT_TRUE(PlacePopup(puLeft, at).rightAligned);
}

// ---- Properties ----

TEST_F(TmqButtonTest, NewButtonHasItsDefaults) {
    TTmqButton& b = Make();
    RECT rc{};
    GetClientRect(b.hwnd(), &rc);
    EXPECT_EQ(rc.right, 75);
    EXPECT_EQ(rc.bottom, 25);
    EXPECT_EQ(b.ButtonStyle(), stFlat);
    EXPECT_EQ(b.ButtonKind(), skCustom);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.SpacingLayout(), 3);
    EXPECT_EQ(b.PopupMenuMarkGap(), 5);
    EXPECT_EQ(b.HotTrackColor, 0xFF0000u);
    EXPECT_EQ(b.RepeatInterval(), 50);
    EXPECT_EQ(b.RepeatStartInterval(), 50);
    EXPECT_EQ(b.FrameWidth(TLook::Normal), 0);
    EXPECT_EQ(b.FrameWidth(TLook::Hot), 1);
    EXPECT_EQ(b.MouseOutside(), 0);
    EXPECT_FALSE(b.HotCaption());
    EXPECT_EQ(b.Version(), L"");
}

TEST_F(TmqButtonTest, MarginColoursSwitchToCustomOnlyWhenTheyDifferFromTheStyle) {
    TTmqButton& b = Make();
    b.SetButtonStyle(stFrameLowered);
    b.SetColorMarginLeftTop(clBtnShadow);
    EXPECT_EQ(b.ColorMarginStyle(), cmDefault);
    b.SetColorMarginLeftTop(clRed);
    EXPECT_EQ(b.ColorMarginStyle(), cmCustom);
    EXPECT_EQ(b.EffectiveLeftTop(), clRed);
    // Another style keeps the custom colours; going back to default takes the style's pair.
    b.SetButtonStyle(stRaised);
    EXPECT_EQ(b.EffectiveLeftTop(), clRed);
    b.SetColorMarginStyle(cmDefault);
    EXPECT_EQ(b.EffectiveLeftTop(), clBtnHighlight);
    EXPECT_EQ(b.ColorMarginLeftTop(), clBtnHighlight);
    EXPECT_EQ(b.EffectiveRightBottom(), clBtnShadow);
    // stNone never switches and its style leaves the colours alone.
    b.SetButtonStyle(stNone);
    b.SetColorMarginRightBottom(clRed);
    EXPECT_EQ(b.ColorMarginStyle(), cmDefault);
    EXPECT_EQ(b.EffectiveRightBottom(), clRed);
}

TEST_F(TmqButtonTest, GlyphSetterGuessesCellsAndMakesTheKindCustom) {
    TTmqButton& b = Make();
    b.SetButtonKind(skOK);
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetGlyph(Strip(18, {kBlue, kGreen}));
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.ButtonKind(), skCustom);
    EXPECT_EQ(b.Caption(), L"OK");   // nothing reloaded
    Picture odd;
    odd.width = 40;
    odd.height = 18;
    odd.pixels.resize(40 * 18);
    b.SetGlyph(odd);
    EXPECT_EQ(b.NumGlyphs(), 2);
    b.SetButtonKind(skNo);
    b.SetButtonKind(skCustom);
    EXPECT_TRUE(b.Glyph().empty());   // a kind change replaces the pictures
}

TEST_F(TmqButtonTest, KindsBringCaptionDefaultAndCancel) {
    struct Row { TKind kind; const wchar_t* caption; bool isDefault, isCancel; };
    const Row rows[] = {
        {skOK, L"OK", true, false},         {skCancel, L"Cancel", false, true}, {skHelp, L"&Help", false, false},
        {skYes, L"&Yes", true, false},      {skNo, L"&No", false, true},        {skClose, L"&Close", false, false},
        {skAbort, L"Abort", false, false},  {skRetry, L"&Retry", false, false}, {skIgnore, L"&Ignore", false, false},
        {skAll, L"&All", false, false},     {skSilly, L"&Silly", false, false},
    };
    TTmqButton& b = Make();
    for (const Row& r : rows) {
        b.SetButtonKind(r.kind);
        EXPECT_EQ(b.Caption(), r.caption);
        EXPECT_EQ(b.Default, r.isDefault) << r.kind;
        EXPECT_EQ(b.Cancel, r.isCancel) << r.kind;
        EXPECT_EQ(b.NumGlyphs(), 1);
    }
}

TEST_F(TmqButtonTest, KindActionsReachTheForm) {
    TTmqButton& b = Make();
    std::vector<int> results;
    std::vector<HWND> closed;
    std::vector<DWORD> help;
    b.OnModalResult = [&](HWND form, int r) {
        EXPECT_EQ(form, host.get());
        results.push_back(r);
    };
    b.OnCloseForm = [&](HWND form) { closed.push_back(form); };
    b.OnHelp = [&](DWORD id) { help.push_back(id); };
    for (TKind k : {skOK, skCancel, skYes, skNo, skAbort, skRetry, skIgnore, skAll, skSilly}) {
        b.SetButtonKind(k);
        b.Click();
    }
    EXPECT_EQ(results, (std::vector<int>{1, 2, 6, 7, 3, 4, 5, 8}));
    b.SetButtonKind(skClose);
    b.Click();
    EXPECT_EQ(closed, std::vector<HWND>{host.get()});
    b.SetButtonKind(skHelp);
    b.Click();
    EXPECT_TRUE(help.empty());   // no help context anywhere up the chain
    SetWindowContextHelpId(host.get(), 77);
    b.Click();
    EXPECT_EQ(help, std::vector<DWORD>{77});
    EXPECT_EQ(events.size(), 12u);   // OnClick came first every time
}

TEST_F(TmqButtonTest, HintSecondLineReplacesInsteadOfPilingUp) {
    TTmqButton& b = Make();
    b.SetHintSecondLine(L"ignored without a first line");
    EXPECT_EQ(b.Hint(), L"");
    b.SetHint(L"Snooze");
    b.SetHintSecondLine(L"5 minutes");
    b.SetHintSecondLine(L"10 minutes");
    EXPECT_EQ(b.Hint(), L"Snooze\r10 minutes");
}

// ---- Keyboard ----

TEST_F(TmqButtonTest, NoAnswersEscapeAtOnce) {
    Show();
    TTmqButton& b = Make();
    EXPECT_FALSE(b.DialogKey(VK_ESCAPE));
    b.SetButtonKind(skNo);
    EXPECT_TRUE(b.DialogKey(VK_ESCAPE));
    EXPECT_EQ(events, std::vector<std::string>{"click"});
    EXPECT_FALSE(b.DialogKey(VK_RETURN));
}

TEST_F(TmqButtonTest, YesAnswersEnterFromTheNextFocusChangeWhileNoOtherButtonHasFocus) {
    Show();
    TTmqButton& yes = Make();
    TTmqButton& other = Make(75, 25, 100, 10);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 50, 50, 20, host.get(), nullptr, nullptr,
                                nullptr);
    yes.SetButtonKind(skYes);
    EXPECT_FALSE(yes.DialogKey(VK_RETURN));   // not before a focus change
    yes.FocusChanged(edit);
    EXPECT_TRUE(yes.DefaultNow());
    EXPECT_TRUE(yes.DialogKey(VK_RETURN));
    EXPECT_EQ(GetWindowLongPtrW(yes.hwnd(), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(SendMessageW(yes.hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    // Focus on another button of the form takes Enter away; on this one it keeps it.
    SendMessageW(other.hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(yes.DefaultNow());
    EXPECT_TRUE(other.DefaultNow());
    EXPECT_EQ(GetWindowLongPtrW(yes.hwnd(), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
    EXPECT_FALSE(yes.DialogKey(VK_RETURN));
    SendMessageW(yes.hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(yes.DefaultNow());
    DestroyWindow(edit);
}

TEST_F(TmqButtonTest, AcceleratorOfTheCaptionClicks) {
    Show();
    TTmqButton& b = Make();
    b.SetCaption(L"Sn&ooze");
    EXPECT_FALSE(b.DialogChar(L's'));
    EXPECT_TRUE(b.DialogChar(L'O'));
    b.SetCaption(L"A && B");
    EXPECT_FALSE(b.DialogChar(L' '));
    EXPECT_EQ(events, std::vector<std::string>{"click"});
}

// ---- Mouse and events ----

TEST_F(TmqButtonTest, ClickEventsComeInOrder) {
    TTmqButton& b = Make();
    Send(b, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(b.CurrentLook(), TLook::Hot);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(b.CurrentLook(), TLook::Pressed);
    EXPECT_EQ(b.Pressed(), 1);
    Send(b, WM_LBUTTONUP, 6, 5);
    EXPECT_EQ(b.CurrentLook(), TLook::Hot);
    SendMessageW(b.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(b.CurrentLook(), TLook::Normal);
    EXPECT_EQ(b.MouseOutside(), 1);
    // No OnMouseDown without a drop-down menu.
    EXPECT_EQ(events, (std::vector<std::string>{"over", "click", "up", "out"}));
}

TEST_F(TmqButtonTest, ReleaseAfterLeavingIsNoClick) {
    TTmqButton& b = Make();
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(b, WM_MOUSEMOVE, 200, 5, MK_LBUTTON);   // captured: this is the leave
    Send(b, WM_LBUTTONUP, 200, 5);
    EXPECT_EQ(events, (std::vector<std::string>{"over", "out"}));
    EXPECT_EQ(b.Pressed(), 0);
}

TEST_F(TmqButtonTest, DoubleClickIsOneDblClickAndTwoClicks) {
    TTmqButton& b = Make();
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(b, WM_LBUTTONUP, 5, 5);
    Send(b, WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
    Send(b, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(events, (std::vector<std::string>{"over", "click", "up", "dblclick", "click", "up"}));
}

TEST_F(TmqButtonTest, OtherMouseButtonsDoNothing) {
    TTmqButton& b = Make();
    Send(b, WM_RBUTTONDOWN, 5, 5, MK_RBUTTON);
    Send(b, WM_RBUTTONUP, 5, 5);
    Send(b, WM_MBUTTONDOWN, 5, 5, MK_MBUTTON);
    Send(b, WM_MBUTTONUP, 5, 5);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(b.Pressed(), 0);
}

TEST_F(TmqButtonTest, DisabledButtonIgnoresTheMouse) {
    TTmqButton& b = Make();
    EnableWindow(b.hwnd(), FALSE);
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(b, WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(b.CurrentLook(), TLook::Normal);
}

TEST_F(TmqButtonTest, HoverSoundPlaysOnlyWithPlayMusic) {
    TTmqButton& b = Make();
    Send(b, WM_MOUSEMOVE, 5, 5);
    SendMessageW(b.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(sound.played.empty());
    b.PlayMusic = true;
    Send(b, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(sound.played, std::vector<std::wstring>{L"PREKO/WAV"});
}

TEST_F(TmqButtonTest, HandCursorOnlyWhileTheMouseIsOver) {
    TTmqButton& b = Make();
    const LPARAM client = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_FALSE(SendMessageW(b.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b.hwnd()), client));
    Send(b, WM_MOUSEMOVE, 5, 5);
    EXPECT_TRUE(SendMessageW(b.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b.hwnd()), client));
    EXPECT_EQ(GetCursor(), LoadCursorW(GetModuleHandleW(nullptr), L"HANDtmqb"));
    b.CursorHandCustom = false;
    EXPECT_FALSE(SendMessageW(b.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b.hwnd()), client));
    b.CursorHandCustom = true;
    SendMessageW(b.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(SendMessageW(b.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b.hwnd()), client));
}

TEST_F(TmqButtonTest, PressWithMenuOpensItBelowThenReportsMouseDown) {
    TTmqButton& b = Make(145, 25, 30, 40);
    HMENU menu = CreatePopupMenu();
    b.SetPopupMenu(menu);
    int pressedWhileOpen = -1;
    menus.whileOpen = [&] { pressedWhileOpen = b.Pressed(); };
    menus.answer = 4242;
    std::vector<UINT> commands;
    b.OnMenuCommand = [&](UINT c) { commands.push_back(c); };
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    RECT screen{};
    GetWindowRect(b.hwnd(), &screen);
    ASSERT_EQ(menus.opened.size(), 1u);
    EXPECT_EQ(menus.opened[0].x, screen.left - 1);
    EXPECT_EQ(menus.opened[0].y, screen.bottom);
    EXPECT_EQ(pressedWhileOpen, 1);
    EXPECT_EQ(b.Pressed(), 0);
    EXPECT_FALSE(b.HotCaption());
    EXPECT_EQ(commands, std::vector<UINT>{4242});
    // The menu took the press: a release reaching the button afterwards is no click and opens nothing more.
    Send(b, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(menus.opened.size(), 1u);
    EXPECT_EQ(events, (std::vector<std::string>{"over", "down", "up"}));
    DestroyMenu(menu);
}

TEST_F(TmqButtonTest, ClickWithMenuOpensItAfterOnClick) {
    TTmqButton& b = Make(145, 25, 30, 40);
    HMENU menu = CreatePopupMenu();
    b.SetPopupMenu(menu);
    b.PositionPopup = puRight;
    menus.whileOpen = [&] { events.push_back("menu"); };
    SendMessageW(b.hwnd(), BM_CLICK, 0, 0);
    RECT screen{};
    GetWindowRect(b.hwnd(), &screen);
    ASSERT_EQ(menus.opened.size(), 1u);
    EXPECT_EQ(menus.opened[0].x, screen.right + 1);
    EXPECT_EQ(menus.opened[0].y, screen.top);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "menu"}));
    EnableWindow(b.hwnd(), FALSE);
    b.Click();
    EXPECT_EQ(menus.opened.size(), 1u);   // a disabled button opens no menu
    DestroyMenu(menu);
}

TEST_F(TmqButtonTest, AutoRepeatFiresOnClickAfterTheStartDelayUntilRelease) {
    TTmqButton& b = Make();
    b.RepeatAction = true;
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    SendMessageW(b.hwnd(), WM_TIMER, 2, 0);   // start delay over: the repeat timer takes over
    SendMessageW(b.hwnd(), WM_TIMER, 1, 0);
    SendMessageW(b.hwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"over", "click", "click"}));
    Send(b, WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(KillTimer(b.hwnd(), 1));   // release stopped both timers
    EXPECT_FALSE(KillTimer(b.hwnd(), 2));
}

TEST_F(TmqButtonTest, StartDelayTimerHandsOverToTheRepeatTimer) {
    TTmqButton& b = Make();
    b.RepeatAction = true;
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    SendMessageW(b.hwnd(), WM_TIMER, 2, 0);
    EXPECT_FALSE(KillTimer(b.hwnd(), 2));
    EXPECT_TRUE(KillTimer(b.hwnd(), 1));
}

TEST_F(TmqButtonTest, DisablingAHeldRepeatButtonStopsItsClicks) {
    TTmqButton& b = Make();
    b.RepeatAction = true;
    b.OnClick = [&] {
        events.push_back("click");
        EnableWindow(b.hwnd(), FALSE);   // e.g. a counter reached its limit
    };
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    SendMessageW(b.hwnd(), WM_TIMER, 2, 0);
    SendMessageW(b.hwnd(), WM_TIMER, 1, 0);
    EXPECT_FALSE(KillTimer(b.hwnd(), 1));
    EXPECT_FALSE(KillTimer(b.hwnd(), 2));
    EXPECT_EQ(b.Pressed(), 0);
    EXPECT_FALSE(b.HotCaption());
    EXPECT_NE(GetCapture(), b.hwnd());
}

TEST_F(TmqButtonTest, LeavingStopsTheRepeat) {
    TTmqButton& b = Make();
    b.RepeatAction = true;
    Send(b, WM_MOUSEMOVE, 5, 5);
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(b, WM_MOUSEMOVE, 300, 5, MK_LBUTTON);
    EXPECT_FALSE(KillTimer(b.hwnd(), 2));
    EXPECT_FALSE(KillTimer(b.hwnd(), 1));
}

// ---- Pixels ----

TEST_F(TmqButtonTest, FrameOfEachStyleAndLook) {
    // Corner pixels: top-left belongs to the left-top colour, bottom-right to the right-bottom one.
    const COLORREF body = RGB(10, 120, 10);
    struct Row { TStyle style; TLook look; COLORREF outerTL, outerBR, innerTL, innerBR; };
    const COLORREF face = Face(), hi = Highlight(), sh = Shadow(), black = RGB(0, 0, 0);
    const Row rows[] = {
        {stFlat, TLook::Normal, body, body, body, body},
        {stFlat, TLook::Hot, hi, sh, body, body},
        {stFlat, TLook::Pressed, sh, hi, body, body},
        {stRaised, TLook::Normal, hi, sh, hi, sh},
        {stRaised, TLook::Pressed, sh, hi, sh, hi},
        {stNone, TLook::Hot, body, body, body, body},
        {stDefault, TLook::Normal, hi, black, hi, sh},       // then the raised bevel inside
        {stDefault, TLook::Pressed, black, hi, sh, hi},      // sunken bevel
        {stFrameLowered, TLook::Normal, sh, hi, hi, sh},
        {stFrameRaised, TLook::Normal, hi, sh, face, face},  // one more pixel of face before the bevel
    };
    for (const Row& r : rows) {
        TTmqButton& b = Make();
        b.SetColor(body);
        b.SetButtonStyle(r.style);
        Canvas c(75, 25);
        b.DrawLook(c.dc(), r.look);
        EXPECT_EQ(c.At(0, 0), r.outerTL) << "style " << r.style << " look " << int(r.look);
        EXPECT_EQ(c.At(74, 24), r.outerBR) << "style " << r.style << " look " << int(r.look);
        EXPECT_EQ(c.At(1, 1), r.innerTL) << "style " << r.style << " look " << int(r.look);
        EXPECT_EQ(c.At(73, 23), r.innerBR) << "style " << r.style << " look " << int(r.look);
        EXPECT_EQ(c.At(37, 12), IsFramedStyle(r.style) ? face : body) << "style " << r.style;
    }
}

TEST_F(TmqButtonTest, FlatButtonShowsItsFrameOnlyUnderTheMouse) {
    TTmqButton& b = Make();
    const COLORREF face = Face();
    EXPECT_EQ(Print(b)->At(0, 0), face);
    Send(b, WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(Print(b)->At(0, 0), Highlight());
    EXPECT_EQ(Print(b)->At(74, 24), Shadow());
    Send(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(Print(b)->At(0, 0), Shadow());
    EXPECT_EQ(Print(b)->At(74, 24), Highlight());
    SendMessageW(b.hwnd(), WM_MOUSELEAVE, 0, 0);
    Send(b, WM_LBUTTONUP, 5, 5);
    SendMessageW(b.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Print(b)->At(0, 0), face);
}

TEST_F(TmqButtonTest, DottedFrameLeavesGaps) {
    TTmqButton& b = Make();
    b.SetButtonStyle(stRaisedDot);
    Canvas c(75, 25);
    b.DrawLook(c.dc(), TLook::Normal);
    int hi = 0, face = 0;
    for (int x = 0; x < 74; ++x) (c.At(x, 0) == Highlight() ? hi : face) += 1;
    EXPECT_GT(hi, 30);
    EXPECT_GT(face, 30);
}

TEST_F(TmqButtonTest, GlyphCellIsDrawnCentredWithoutItsKeyColour) {
    TTmqButton& b = Make();
    b.SetGlyph(Strip(18, {kBlue, kGreen}));
    auto c = Print(b);
    // Cell at ((75 - 18) / 2, (25 - 18) / 2) = (28, 3); its block at +5.
    const RECT blue = Ink(*c, kBlue);
    EXPECT_EQ(blue.left, 33);
    EXPECT_EQ(blue.top, 8);
    EXPECT_EQ(blue.right, 41);
    EXPECT_EQ(blue.bottom, 16);
    EXPECT_EQ(Ink(*c, kKey).right, 0);     // key colour never drawn
    EXPECT_EQ(Ink(*c, kGreen).right, 0);   // second cell not shown
    // Pressed: one pixel down and right.
    Send(b, WM_MOUSEMOVE, 1, 1);
    Send(b, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    EXPECT_EQ(Ink(*Print(b), kBlue).left, 34);
    EXPECT_EQ(Ink(*Print(b), kBlue).top, 9);
}

TEST_F(TmqButtonTest, DisabledShowsTheSecondCellOrTheFirstEmbossed) {
    TTmqButton& b = Make();
    b.SetGlyph(Strip(18, {kBlue, kGreen}));
    EnableWindow(b.hwnd(), FALSE);
    auto two = Print(b);
    EXPECT_EQ(Ink(*two, kGreen).left, 33);
    EXPECT_EQ(Ink(*two, kBlue).right, 0);

    b.SetGlyph(Strip(18, {kBlue}));
    ASSERT_EQ(b.NumGlyphs(), 1);
    auto one = Print(b);
    EXPECT_EQ(Ink(*one, kBlue).right, 0);
    EXPECT_EQ(one->At(33, 8), Shadow());     // the shape in shadow in place
    EXPECT_EQ(one->At(40, 15), Shadow());
    EXPECT_EQ(one->At(41, 16), Highlight());  // and in highlight one pixel down-right
    EXPECT_EQ(one->At(41, 9), Highlight());
    EXPECT_EQ(one->At(32, 8), Face());
}

TEST_F(TmqButtonTest, HotGlyphRules) {
    TTmqButton& b = Make();
    b.SetGlyph(Strip(18, {kBlue}));
    b.SetGlyphHot(Strip(18, {kGreen}));
    Canvas normal(75, 25), hot(75, 25);
    b.DrawLook(normal.dc(), TLook::Normal);
    b.DrawLook(hot.dc(), TLook::Hot);
    EXPECT_NE(Ink(normal, kBlue).right, 0);
    EXPECT_NE(Ink(hot, kGreen).right, 0);
    EXPECT_EQ(Ink(hot, kBlue).right, 0);

    TTmqButton& onlyHot = Make();
    onlyHot.SetGlyphHot(Strip(18, {kGreen}));
    Canvas n2(75, 25), h2(75, 25);
    onlyHot.DrawLook(n2.dc(), TLook::Normal);
    onlyHot.DrawLook(h2.dc(), TLook::Hot);
    EXPECT_EQ(Ink(n2, kGreen).right, 0);
    EXPECT_EQ(Ink(h2, kGreen).right, 0);
}

TEST_F(TmqButtonTest, CaptionTurnsToTheHotTrackColourUnderTheMouse) {
    TTmqButton& b = Make();
    b.SetCaption(L"Snooze");
    const COLORREF hotColour = ColorToRGB(b.HotTrackColor);
    RECT ink = Ink(*Print(b), RGB(0, 0, 0));
    ASSERT_NE(ink.right, 0);
    EXPECT_EQ(Ink(*Print(b), hotColour).right, 0);
    Send(b, WM_MOUSEMOVE, 5, 5);
    auto hot = Print(b);
    EXPECT_EQ(Ink(*hot, RGB(0, 0, 0)).right, 0);
    EXPECT_EQ(Ink(*hot, hotColour).left, ink.left);
    b.HotTrack = false;
    EXPECT_NE(Ink(*Print(b), RGB(0, 0, 0)).right, 0);
}

TEST_F(TmqButtonTest, DisabledCaptionIsEmbossed) {
    TTmqButton& b = Make();
    b.SetCaption(L"Snooze");
    EnableWindow(b.hwnd(), FALSE);
    auto c = Print(b);
    EXPECT_EQ(Ink(*c, RGB(0, 0, 0)).right, 0);
    const RECT sh = Ink(*c, Shadow()), hi = Ink(*c, Highlight());
    ASSERT_NE(sh.right, 0);
    EXPECT_EQ(hi.left, sh.left + 1);
    EXPECT_EQ(hi.bottom, sh.bottom + 1);
}

TEST_F(TmqButtonTest, SnoozeButtonShowsItsCaptionLeftOfTheGlyph) {
    TTmqButton& b = Make(145, 25);
    b.SetLayout(blGlyphRight);
    b.SetGlyph(Strip(18, {kBlue}));
    b.SetCaption(L"Snooze");
    auto c = Print(b);
    const RECT text = Ink(*c, RGB(0, 0, 0)), glyph = Ink(*c, kBlue);
    ASSERT_NE(text.right, 0);
    ASSERT_NE(glyph.right, 0);
    EXPECT_LT(text.right, glyph.left - 5);   // the block sits 5 pixels inside its cell
    EXPECT_GT(text.bottom, glyph.top);
    EXPECT_LT(text.top, glyph.bottom);
}

TEST_F(TmqButtonTest, DropDownMarkSitsRightOfALonelyGlyph) {
    TTmqButton& b = Make();
    b.SetGlyph(Strip(18, {kBlue}));
    b.SetPopupMenuMark(true);
    auto c = Print(b);
    // The glyph moved 5 left: cell at 23, so the mark starts at 23 + 18 + 5 = 46.
    EXPECT_EQ(Ink(*c, kBlue).left, 28);
    const RECT mark = Ink(*c, RGB(0, 0, 0));
    ASSERT_NE(mark.right, 0);
    EXPECT_EQ(mark.left, 46);
    EXPECT_GT(mark.top, 3);
    EXPECT_LT(mark.bottom, 21);
    // Beside a caption on the left or right there is no mark.
    b.Font().colour = RGB(200, 0, 0);
    b.SetCaption(L"x");
    b.SetLayout(blGlyphLeft);
    EXPECT_LT(Ink(*Print(b), RGB(0, 0, 0)).right, 46);
}

TEST_F(TmqButtonTest, FocusRectangleOnlyOnFramedStylesWithFocus) {
    TTmqButton& b = Make();
    b.SetButtonStyle(stFrameRaised);
    const COLORREF before = Print(b)->At(10, 5);   // inner 2..72 x 2..22, focus 3 inside: top line at y = 5
    SendMessageW(b.hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(b.Focused());
    EXPECT_TRUE(Print(b)->At(10, 5) != before || Print(b)->At(11, 5) != before);
    b.ShowFocused = false;
    EXPECT_EQ(Print(b)->At(10, 5), before);
    EXPECT_EQ(Print(b)->At(11, 5), before);
    SendMessageW(b.hwnd(), WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(b.Focused());
}

TEST_F(TmqButtonTest, ThousandPaintsLeaveNoGdiObjectBehind) {
    TTmqButton& b = Make();
    b.SetGlyph(Strip(18, {kBlue}));
    b.SetCaption(L"Snooze");
    b.SetPopupMenuMark(true);
    b.SetLayout(blGlyphTop);
    b.SetButtonStyle(stFrameRaised);
    SendMessageW(b.hwnd(), WM_SETFOCUS, 0, 0);
    Canvas c(75, 25);
    c.Print(b.hwnd());
    ASSERT_TRUE(vt::test::GdiCountIsLive());
    const DWORD before = vt::test::LiveGdiObjects();
    for (int i = 0; i < 250; ++i) {
        for (TLook look : {TLook::Normal, TLook::Hot, TLook::Pressed}) b.DrawLook(c.dc(), look);
        EnableWindow(b.hwnd(), FALSE);
        c.Print(b.hwnd());
        EnableWindow(b.hwnd(), TRUE);
    }
    EXPECT_EQ(vt::test::LiveGdiObjects(), before);
}

// ---- Resources the program carries ----

TEST(TmqButtonResources, PicturesCursorAndSoundAreInTheProgram) {
    const Picture mark = PictureFromResource(L"Strela");
    EXPECT_EQ(mark.width, 7);
    EXPECT_EQ(mark.height, 4);
    EXPECT_NE(LoadCursorW(GetModuleHandleW(nullptr), L"HANDtmqb"), nullptr);
    HRSRC wav = FindResourceW(GetModuleHandleW(nullptr), L"PREKO", L"WAV");
    ASSERT_NE(wav, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(GetModuleHandleW(nullptr), wav)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, 4), "RIFF");
    EXPECT_EQ(std::string(bytes + 8, 4), "WAVE");
}

TEST_F(TmqButtonTest, EveryStockKindBringsBothGlyphs) {
    TTmqButton& b = Make();
    for (TKind k : {skOK, skCancel, skHelp, skYes, skNo, skClose, skAbort, skRetry, skIgnore, skAll, skSilly}) {
        b.SetButtonKind(k);
        EXPECT_EQ(b.Glyph().width, 16) << k;
        EXPECT_EQ(b.GlyphHot().width, 16) << k;
    }
    b.SetButtonKind(skOK);
    auto normal = Print(b);
    Send(b, WM_MOUSEMOVE, 3, 3);
    auto hot = Print(b);
    // The hot glyph is in colour, the normal one grey.
    EXPECT_NE(Ink(*hot, RGB(0, 150, 0)).right, 0);
    EXPECT_EQ(Ink(*normal, RGB(0, 150, 0)).right, 0);
    EXPECT_NE(Ink(*normal, RGB(128, 128, 128)).right, 0);
}
