#include "clock/clock_skin.h"

#include <gtest/gtest.h>

#include "support/clock_skin_fixture.h"
#include "support/test_support.h"

namespace vt {
namespace {

using test::DibCanvas;
using test::DigitCellColor;
using test::kSkinKey;
using test::TextCellColor;

struct SkinFolder {
    test::TempDir dir;
    ClockSkin skin;
    explicit SkinFolder(const test::SkinShape& shape = {}, const std::wstring& name = L"Gold") {
        test::WriteSyntheticSkin(dir.File(name), shape);
        skin.SetSkinsBase(dir.path());
    }
};

TEST(ClockSkin, CellMetricsComeFromBitmapSizes) {
    SkinFolder f;
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    const SkinMetrics& m = f.skin.Metrics();
    EXPECT_EQ(m.NumbersWidth, 110);
    EXPECT_EQ(m.NumbersHeight, 20);
    EXPECT_EQ(m.DigitWidth, 10);
    EXPECT_EQ(m.DigitHeight, 20);
    EXPECT_EQ(m.TextWidth, 186);
    EXPECT_EQ(m.TextHeight, 24);
    EXPECT_EQ(m.TextCellWidth, 6);
    EXPECT_EQ(m.TextCellHeight, 8);
    EXPECT_TRUE(f.skin.SkinLoaded());
    EXPECT_EQ(f.skin.SkinName(), L"Gold");
}

TEST(ClockSkin, OddNumbersWidthTruncatesTheDigitCell) {
    SkinFolder f({.numbersExtraWidth = 5});
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    EXPECT_EQ(f.skin.Metrics().NumbersWidth, 115);
    EXPECT_EQ(f.skin.Metrics().DigitWidth, 10);

    DibCanvas canvas(200, 40);
    SelectedSkin sel(canvas.dc(), f.skin);
    GlyphDrawer draw(canvas.dc(), sel, f.skin.Metrics(), false);
    for (int d = 0; d <= 9; ++d) draw.DrawDigitGlyph(d, d * 12, 5);
    for (int d = 0; d <= 9; ++d) {
        EXPECT_EQ(canvas.Pixel(d * 12 + 1, 6), DigitCellColor(d)) << d;
        EXPECT_EQ(canvas.Pixel(d * 12 + 9, 24), DigitCellColor(d)) << d;
        EXPECT_EQ(canvas.Pixel(d * 12 + 10, 10), RGB(0, 0, 0)) << "cell is 10 wide";
    }
}

TEST(ClockSkin, FailedLoadKeepsThePreviousSkinMetricsAndName) {
    SkinFolder f;
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    HBITMAP numbers = f.skin.NumbersBitmap();
    // A half skin (only Numbers.bmp, of another size) and a missing folder.
    test::WriteSyntheticSkin(f.dir.File(L"Half"), {.digitWidth = 20, .digitHeight = 30});
    DeleteFileW(f.dir.File(L"Half\\Text.bmp").c_str());

    for (const wchar_t* name : {L"Half", L"Missing"}) {
        EXPECT_FALSE(f.skin.LoadSkin(name)) << name;
        EXPECT_TRUE(f.skin.SkinLoaded());
        EXPECT_EQ(f.skin.SkinName(), L"Gold");
        EXPECT_EQ(f.skin.NumbersBitmap(), numbers);
        EXPECT_EQ(f.skin.Metrics().DigitWidth, 10);
        EXPECT_EQ(f.skin.Metrics().DigitHeight, 20);
    }
}

TEST(ClockSkin, FirstLoadFailingLeavesNoSkin) {
    SkinFolder f;
    EXPECT_FALSE(f.skin.LoadSkin(L"Missing"));
    EXPECT_FALSE(f.skin.SkinLoaded());
    EXPECT_EQ(f.skin.Metrics(), SkinMetrics{});
}

TEST(ClockSkin, LaterLoadReplacesTheSkin) {
    SkinFolder f;
    test::WriteSyntheticSkin(f.dir.File(L"Big"), {.digitWidth = 16, .digitHeight = 28, .textCellWidth = 7,
                                                 .textCellHeight = 9});
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    ASSERT_TRUE(f.skin.LoadSkin(L"Big"));
    EXPECT_EQ(f.skin.SkinName(), L"Big");
    EXPECT_EQ(f.skin.Metrics().DigitWidth, 16);
    EXPECT_EQ(f.skin.Metrics().TextCellHeight, 9);
    f.skin.FreeSkinBitmaps();
    EXPECT_FALSE(f.skin.SkinLoaded());
    EXPECT_EQ(f.skin.NumbersBitmap(), nullptr);
    EXPECT_FALSE(f.skin.NumbersKeyed());
}

TEST(TextGlyphCell, CharacterMap) {
    struct Case { wchar_t ch; int column, row; };
    const Case cases[] = {{L'A', 0, 0}, {L'a', 0, 0}, {L'Z', 25, 0}, {L'z', 25, 0}, {L'"', 26, 0}, {L'@', 27, 0},
                          {L'0', 0, 1}, {L'9', 9, 1},  {L':', 12, 1}, {L'(', 13, 1}, {L')', 14, 1}, {L'\'', 16, 1},
                          {L'!', 17, 1}, {L'_', 18, 1}, {L'+', 19, 1}, {L'\\', 20, 1}, {L'/', 21, 1}, {L'[', 22, 1},
                          {L']', 23, 1}, {L'^', 24, 1}, {L'&', 25, 1}, {L'%', 26, 1}, {L'.', 27, 1}, {L'=', 28, 1},
                          {L'$', 29, 1}};
    for (const Case& c : cases) {
        auto cell = TextGlyphCell(c.ch);
        ASSERT_TRUE(cell) << static_cast<int>(c.ch);
        EXPECT_EQ(*cell, (TextCell{c.column, c.row})) << static_cast<int>(c.ch);
    }
    for (wchar_t ch : std::wstring(L" #*,-;<>?`{|}~\t\x00E9\x00B0"))
        EXPECT_FALSE(TextGlyphCell(ch)) << static_cast<int>(ch);
}

TEST(GlyphDrawer, TextGlyphsIgnoreCaseAndSkipCharactersWithoutGlyph) {
    SkinFolder f;
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    DibCanvas canvas(100, 30);
    SelectedSkin sel(canvas.dc(), f.skin);
    GlyphDrawer draw(canvas.dc(), sel, f.skin.Metrics(), false);
    draw.DrawTextGlyph(L'a', 0, 0);
    draw.DrawTextGlyph(L'A', 10, 0);
    draw.DrawTextGlyph(L'-', 20, 0);
    draw.DrawTextGlyph(L',', 30, 0);
    draw.DrawTextGlyph(L'%', 40, 10);
    EXPECT_EQ(canvas.Pixel(2, 2), TextCellColor(0, 0));
    EXPECT_EQ(canvas.Pixel(12, 2), TextCellColor(0, 0));
    EXPECT_EQ(canvas.Pixel(15, 7), TextCellColor(0, 0));
    EXPECT_EQ(canvas.Pixel(16, 7), RGB(0, 0, 0)) << "a text cell is 6 wide";
    for (int x = 20; x < 40; ++x)
        for (int y = 0; y < 8; ++y) ASSERT_EQ(canvas.Pixel(x, y), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(42, 12), TextCellColor(26, 1));
}

TEST(GlyphDrawer, TransparentCopyLeavesOutTheKeyColour) {
    SkinFolder f;
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    EXPECT_EQ(f.skin.KeyColor(), kSkinKey);
    ASSERT_TRUE(f.skin.NumbersKeyed());
    ASSERT_TRUE(f.skin.TextKeyed());
    // With the keyed copies (the painter's way) and with plain keyed blits.
    for (bool keyed : {true, false}) {
        DibCanvas canvas(60, 30, RGB(1, 2, 3));
        SelectedSkin sel(canvas.dc(), f.skin, keyed);
        EXPECT_EQ(sel.NumbersKeyedDC() != nullptr, keyed);
        GlyphDrawer opaque(canvas.dc(), sel, f.skin.Metrics(), false);
        GlyphDrawer transparent(canvas.dc(), sel, f.skin.Metrics(), true);
        EXPECT_EQ(transparent.KeyColor(), kSkinKey);
        opaque.DrawDigitGlyph(4, 0, 0);
        opaque.DrawTextGlyph(L'Q', 20, 0);
        transparent.DrawDigitGlyph(4, 30, 0);
        transparent.DrawTextGlyph(L'Q', 50, 0);
        transparent.DrawColon(30, 0);
        // The cells' top-left pixels are key-coloured.
        EXPECT_EQ(canvas.Pixel(0, 0), kSkinKey) << keyed;
        EXPECT_EQ(canvas.Pixel(20, 0), kSkinKey) << keyed;
        EXPECT_EQ(canvas.Pixel(30, 0), RGB(1, 2, 3)) << keyed;
        EXPECT_EQ(canvas.Pixel(50, 0), RGB(1, 2, 3)) << keyed;
        EXPECT_EQ(canvas.Pixel(31, 0), DigitCellColor(4)) << keyed;
        EXPECT_EQ(canvas.Pixel(39, 19), DigitCellColor(4)) << keyed;
        EXPECT_EQ(canvas.Pixel(51, 1), TextCellColor(16, 0)) << keyed;
        EXPECT_EQ(canvas.Pixel(55, 7), TextCellColor(16, 0)) << keyed;
        EXPECT_EQ(canvas.Pixel(56, 7), RGB(1, 2, 3)) << keyed;
    }
}

TEST(GlyphDrawer, SignsAreSquaresCutFromTheZeroDigit) {
    SkinFolder f({.digitWidth = 12, .digitHeight = 24});   // squares of 3, centre column at +6
    ASSERT_TRUE(f.skin.LoadSkin(L"Gold"));
    DibCanvas canvas(100, 40);
    SelectedSkin sel(canvas.dc(), f.skin);
    GlyphDrawer draw(canvas.dc(), sel, f.skin.Metrics(), false);
    draw.DrawColon(0, 0);
    draw.DrawDot(30, 0);
    draw.DrawMinus(60, 0);
    auto painted = [&](int x0, int y0) {
        std::vector<POINT> r;
        for (int y = y0; y < y0 + 30; ++y)
            for (int x = x0; x < x0 + 30; ++x)
                if (canvas.Pixel(x, y) != RGB(0, 0, 0)) {
                    EXPECT_EQ(canvas.Pixel(x, y), DigitCellColor(0));
                    r.push_back({x, y});
                }
        return r;
    };
    auto colon = painted(0, 0);
    ASSERT_EQ(colon.size(), 18u);   // two 3x3 squares
    EXPECT_EQ(colon.front().x, 6);
    EXPECT_EQ(colon.front().y, 8);   // 24 / 3
    EXPECT_EQ(colon.back().x, 8);
    EXPECT_EQ(colon.back().y, 18);   // 2 * 24 / 3 = 16, + 2
    auto dot = painted(30, 0);
    ASSERT_EQ(dot.size(), 9u);
    EXPECT_EQ(dot.front().x, 36);
    EXPECT_EQ(dot.front().y, 19);    // Trunc(2 * 24 / 2.5)
    auto minus = painted(60, 0);
    ASSERT_EQ(minus.size(), 15u);    // one bar 3 + 2 wide, 3 high
    EXPECT_EQ(minus.front().x, 66);
    EXPECT_EQ(minus.front().y, 12);
    EXPECT_EQ(minus.back().x, 70);
}

TEST(GlyphDrawer, NarrowSkinDrawsNothing) {
    test::TempDir dir;
    CreateDirectoryW(dir.File(L"Tiny").c_str(), nullptr);
    test::WriteBitmapFile(dir.File(L"Tiny\\Numbers.bmp"), 10, 5, std::vector<COLORREF>(50, RGB(9, 9, 9)));
    test::WriteBitmapFile(dir.File(L"Tiny\\Text.bmp"), 30, 2, std::vector<COLORREF>(60, RGB(9, 9, 9)));
    ClockSkin skin;
    skin.SetSkinsBase(dir.path());
    ASSERT_TRUE(skin.LoadSkin(L"Tiny"));
    EXPECT_EQ(skin.Metrics().DigitWidth, 0);
    EXPECT_EQ(skin.Metrics().TextCellWidth, 0);
    DibCanvas canvas(40, 20);
    SelectedSkin sel(canvas.dc(), skin);
    GlyphDrawer draw(canvas.dc(), sel, skin.Metrics(), false);
    draw.DrawDigitGlyph(1, 0, 0);
    draw.DrawTextGlyph(L'B', 0, 0);
    draw.DrawColon(0, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(canvas.Pixel(x, y), RGB(0, 0, 0));
}

TEST(SkinTexts, MonthAndDayAbbreviations) {
    const wchar_t* months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                               L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(MonthAbbrev(EncodeDateTime(2025, m, 15, 23, 59, 59)), months[m - 1]);
    EXPECT_EQ(DayAbbrev(EncodeDate(2024, 3, 3)), L"sun");   // a Sunday
    EXPECT_EQ(DayAbbrev(EncodeDate(2024, 3, 6)), L"wed");
    EXPECT_EQ(DayAbbrev(EncodeDate(2024, 3, 9)), L"sat");
}

}  // namespace
}  // namespace vt

namespace vt {

TEST(ClockSkinFiles, BitmapShorterThanItsHeaderClaimsIsRefusedAndTheSkinInUseStays) {
    test::TempDir dir;
    for (const wchar_t* name : {L"Good", L"Short"}) {
        CreateDirectoryW(dir.File(name).c_str(), nullptr);
        test::WriteBitmapFile(dir.File(std::wstring(name) + L"\\Numbers.bmp"), 110, 20, std::vector<COLORREF>(2200, RGB(1, 2, 3)));
        test::WriteBitmapFile(dir.File(std::wstring(name) + L"\\Text.bmp"), 310, 30, std::vector<COLORREF>(9300, RGB(4, 5, 6)));
    }
    // The system's loader read past the end of such a file; ours checks the rows against its length.
    std::string text = test::ReadFileBytes(dir.File(L"Short\\Text.bmp"));
    text.resize(text.size() - 100);
    test::WriteFileBytes(dir.File(L"Short\\Text.bmp"), text);
    ClockSkin skin;
    skin.SetSkinsBase(dir.path());
    ASSERT_TRUE(skin.LoadSkin(L"Good"));
    EXPECT_FALSE(skin.LoadSkin(L"Short"));
    EXPECT_EQ(skin.SkinName(), L"Good");
    EXPECT_EQ(skin.Metrics().TextWidth, 310);
    EXPECT_EQ(skin.KeyColor(), RGB(4, 5, 6));
}

}  // namespace vt
