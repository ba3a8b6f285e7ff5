#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "controls/gradient_panel.h"
#include "render.h"

using namespace vt;
using vt::test::Canvas;

namespace {

constexpr COLORREF kTitleBegin = 10329505;   // red 161, green 157, blue 157

int BandOfColumn(int x, int width) {
    int band = 0;
    while (band < kGradientBands && BandLeft(band + 1, width) <= x) ++band;
    return band;
}

UniqueFont TitleFont() {
    return UniqueFont(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                                  L"Tahoma"));
}

}  // namespace

TEST(MulDivRound, HalvesGoAwayFromZero) {
    EXPECT_EQ(MulDivRound(1, 1, 2), 1);
    EXPECT_EQ(MulDivRound(1, -1, 2), -1);
    EXPECT_EQ(MulDivRound(3, 1, 4), 1);
    EXPECT_EQ(MulDivRound(1, 1, 4), 0);
    EXPECT_EQ(MulDivRound(127, 255, 254), 128);   // 127.5
    EXPECT_EQ(MulDivRound(5, 7, 0), 0);
}

TEST(BuildBandColours, RunsFromBeginAtEntryZeroToEndAtEntry254) {
    const BandColours t = BuildBandColours(RGB(0, 255, 100), RGB(255, 0, 100));
    EXPECT_EQ(t[0], RGB(0, 255, 100));
    EXPECT_EQ(t[254], RGB(255, 0, 100));
    EXPECT_EQ(t[127], RGB(128, 127, 100));   // 127.5 rounds up, 255 - 127.5 rounds down
    // The unseen 256th entry overshoots and wraps modulo 256.
    EXPECT_EQ(t[255], RGB(0, 255, 100));
}

TEST(BuildBandColours, EqualColoursAreFlat) {
    const BandColours t = BuildBandColours(RGB(12, 34, 56), RGB(12, 34, 56));
    for (COLORREF c : t) EXPECT_EQ(c, RGB(12, 34, 56));
}

TEST(BandLeft, VisibleBandsCoverThePanelExactly) {
    for (int width : {17, 100, 255, 377, 600}) {
        EXPECT_EQ(BandLeft(0, width), 0);
        EXPECT_EQ(BandLeft(kGradientBands, width), width);
        for (int i = 0; i < kGradientBands; ++i) EXPECT_LE(BandLeft(i, width), BandLeft(i + 1, width));
    }
}

class GradientPanelTest : public testing::Test {
protected:
    vt::test::HostWindow host;
    TgradientPanel panel;
};

TEST_F(GradientPanelTest, NewPanelHasTheDefaultSizeAndColours) {
    ASSERT_TRUE(panel.Create(host.get(), 0, 0));
    RECT rc{};
    GetClientRect(panel.hwnd(), &rc);
    EXPECT_EQ(rc.right, 377);
    EXPECT_EQ(rc.bottom, 121);
    EXPECT_EQ(panel.BeginColor, clBtnShadow);
    EXPECT_EQ(panel.EndColor, 0xC0C0C0u);
    EXPECT_TRUE(panel.Font.parentFont);
    wchar_t cls[64]{};
    GetClassNameW(panel.hwnd(), cls, 64);
    EXPECT_STREQ(cls, L"TgradientPanel");
}

TEST_F(GradientPanelTest, FirstAndLastColumnsCarryTheEndColours) {
    ASSERT_TRUE(panel.Create(host.get(), 0, 0, 300, 17));
    panel.BeginColor = kTitleBegin;
    panel.EndColor = clBtnFace;
    Canvas canvas(300, 17);
    canvas.Print(panel.hwnd());
    EXPECT_EQ(canvas.At(0, 0), kTitleBegin);
    EXPECT_EQ(canvas.At(0, 16), kTitleBegin);
    EXPECT_EQ(canvas.At(299, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(299, 16), GetSysColor(COLOR_BTNFACE));
}

TEST_F(GradientPanelTest, EveryColumnHasTheColourOfItsBand) {
    for (int width : {100, 300, 600}) {
        TgradientPanel p;
        ASSERT_TRUE(p.Create(host.get(), 0, 0, width, 10));
        p.BeginColor = RGB(0, 0, 0);
        p.EndColor = RGB(255, 100, 30);
        Canvas canvas(width, 10);
        canvas.Print(p.hwnd());
        const BandColours bands = BuildBandColours(RGB(0, 0, 0), RGB(255, 100, 30));
        std::set<COLORREF> distinct;
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(canvas.At(x, 5), bands[BandOfColumn(x, width)]) << "width " << width << " column " << x;
            distinct.insert(canvas.At(x, 5));
        }
        // A narrow panel shows fewer steps; a wide one all 255.
        EXPECT_EQ(distinct.size(), static_cast<size_t>(width < 255 ? width : 255)) << width;
    }
}

TEST_F(GradientPanelTest, CaptionStartsAtFourAndIsCentredByTheHeightOfW) {
    ASSERT_TRUE(panel.Create(host.get(), 0, 0, 200, 41));
    panel.BeginColor = RGB(0, 0, 128);
    panel.EndColor = RGB(0, 0, 128);
    UniqueFont font = TitleFont();
    LOGFONTW lf{};
    GetObjectW(font.get(), sizeof lf, &lf);
    panel.Font.Assign(lf);
    panel.Font.colour = clWhite;
    panel.Caption = L"Wk";
    Canvas canvas(200, 41);
    canvas.Print(panel.hwnd());

    SIZE w{};
    {
        UniqueMemDC dc(CreateCompatibleDC(nullptr));
        SelectGuard keep(dc.get(), font.get());
        GetTextExtentPoint32W(dc.get(), L"W", 1, &w);
    }
    const int top = (41 - w.cy) / 2;
    int minX = 200, maxX = -1, minY = 41, maxY = -1;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.At(x, y) != RGB(0, 0, 128)) {
                EXPECT_EQ(canvas.At(x, y), RGB(255, 255, 255));
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << "no caption drawn";
    EXPECT_GE(minX, 4);
    EXPECT_LE(minX, 6);
    EXPECT_GE(minY, top);
    EXPECT_LT(maxY, top + w.cy);
    EXPECT_LT(maxX, 4 + 2 * w.cx);
}

TEST_F(GradientPanelTest, ChangesShowOnlyAtTheNextPaint) {
    ASSERT_TRUE(panel.Create(host.get(), 0, 0, 50, 10));
    ShowWindow(host.get(), SW_SHOWNOACTIVATE);
    UpdateWindow(host.get());
    ValidateRect(panel.hwnd(), nullptr);
    panel.BeginColor = RGB(1, 1, 1);
    panel.EndColor = RGB(2, 2, 2);
    panel.Caption = L"New";
    EXPECT_FALSE(GetUpdateRect(panel.hwnd(), nullptr, FALSE));
    Canvas canvas(50, 10);
    canvas.Print(panel.hwnd());
    EXPECT_EQ(canvas.At(0, 0), RGB(1, 1, 1));
    ShowWindow(host.get(), SW_HIDE);
}

TEST_F(GradientPanelTest, ClickComesBetweenMouseDownAndUpAndOnlyInside) {
    ASSERT_TRUE(panel.Create(host.get(), 0, 0, 100, 17));
    std::vector<std::string> events;
    panel.OnMouseDown = [&](const PanelMouse& m) { events.push_back("down" + std::to_string(m.pt.x)); };
    panel.OnClick = [&] { events.push_back("click"); };
    panel.OnMouseUp = [&](const PanelMouse&) { events.push_back("up"); };
    SendMessageW(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(panel.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(12, 6));
    EXPECT_EQ(events, (std::vector<std::string>{"down10", "click", "up"}));
    events.clear();
    SendMessageW(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(panel.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(150, 6));   // released outside
    EXPECT_EQ(events, (std::vector<std::string>{"down10", "up"}));
    events.clear();
    SendMessageW(panel.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 5));
    SendMessageW(panel.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(3, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"down3", "up"}));
}

TEST_F(GradientPanelTest, ThousandPaintsLeaveNoGdiObjectBehind) {
    ASSERT_TRUE(panel.Create(host.get(), 0, 0, 300, 17));
    panel.Caption = L"Alarms";
    Canvas canvas(300, 17);
    canvas.Print(panel.hwnd());
    ASSERT_TRUE(vt::test::GdiCountIsLive());
    const DWORD before = vt::test::LiveGdiObjects();
    for (int i = 0; i < 1000; ++i) canvas.Print(panel.hwnd());
    EXPECT_EQ(vt::test::LiveGdiObjects(), before);
}
