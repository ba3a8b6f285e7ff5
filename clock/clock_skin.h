// A clock skin: the folder skins\<name> with the large digits of the time (Numbers.bmp, one row of 11
// cells) and a small character set for dates and words (Text.bmp, 31 columns by 3 rows). The painter
// cuts every glyph out of these two bitmaps.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/datetime.h"
#include "base/handles.h"
#include "base/picture.h"

namespace vt {

inline constexpr int kNumbersCells = 11;
inline constexpr int kTextColumns = 31;
inline constexpr int kTextRows = 3;
// Bitmaps wider or taller than this are no skin (the cells of the clock would not fit any taskbar).
inline constexpr int kMaxSkinBitmapSide = 4096;
inline constexpr wchar_t kNumbersFileName[] = L"Numbers.bmp";
inline constexpr wchar_t kTextFileName[] = L"Text.bmp";

// Cell sizes and whole bitmap sizes. Divisions truncate, so a Numbers.bmp 115 wide has 10-pixel cells.
struct SkinMetrics {
    int DigitWidth = 0, DigitHeight = 0;
    int TextCellWidth = 0, TextCellHeight = 0;
    int NumbersWidth = 0, NumbersHeight = 0;
    int TextWidth = 0, TextHeight = 0;
    bool operator==(const SkinMetrics&) const = default;
};

// Where a character sits in Text.bmp; nothing for characters without a glyph. Letters ignore case.
struct TextCell {
    int column = 0;
    int row = 0;
    bool operator==(const TextCell&) const = default;
};
std::optional<TextCell> TextGlyphCell(wchar_t ch);

// The skin in use. A load that fails keeps the previous skin, its metrics and its name, so a broken
// skin folder never blanks a clock that was showing.
class ClockSkin {
public:
    // The skins folder; a trailing backslash is dropped.
    void SetSkinsBase(const std::wstring& skinsPath);
    const std::wstring& SkinsBase() const { return skinsBase_; }

    // Loads skins\Name\Numbers.bmp and Text.bmp; true when both loaded and the skin is now in use.
    bool LoadSkin(const std::wstring& name);
    void FreeSkinBitmaps();

    bool SkinLoaded() const { return skinLoaded_; }
    const std::wstring& SkinName() const { return skinName_; }
    const SkinMetrics& Metrics() const { return metrics_; }
    HBITMAP NumbersBitmap() const { return numbers_.get(); }
    HBITMAP TextBitmap() const { return text_.get(); }
    // The bottom-right pixel of Text.bmp: transparent in every glyph, and the clock's own background.
    COLORREF KeyColor() const { return key_; }
    // Both bitmaps again with the key colour fully transparent and everything else opaque, made once
    // per skin: blending these is the transparent copy, far cheaper than keying each glyph per paint.
    const AlphaBitmap& NumbersKeyed() const { return numbersKeyed_; }
    const AlphaBitmap& TextKeyed() const { return textKeyed_; }
    // The same pixels kept as top-down 0x00RRGGBB values, for drawing glyphs straight into pixels.
    const std::vector<std::uint32_t>& NumbersPixels() const { return numbersPixels_; }
    const std::vector<std::uint32_t>& TextPixels() const { return textPixels_; }

private:
    std::wstring skinsBase_;
    std::wstring skinName_;
    SkinMetrics metrics_;
    UniqueBitmap numbers_;
    UniqueBitmap text_;
    AlphaBitmap numbersKeyed_;
    AlphaBitmap textKeyed_;
    std::vector<std::uint32_t> numbersPixels_;
    std::vector<std::uint32_t> textPixels_;
    COLORREF key_ = CLR_INVALID;
    bool skinLoaded_ = false;
};

// The skin's two bitmaps selected into memory DCs compatible with a target DC, for the length of one
// paint only, so a skin change never finds its bitmaps selected.
class SelectedSkin {
public:
    // `keyed` also selects the keyed copies, for transparent glyphs.
    SelectedSkin(HDC target, const ClockSkin& skin, bool keyed = false);
    SelectedSkin(const SelectedSkin&) = delete;
    SelectedSkin& operator=(const SelectedSkin&) = delete;
    HDC NumbersDC() const { return numbersDC_.get(); }
    HDC TextDC() const { return textDC_.get(); }
    HDC NumbersKeyedDC() const { return numbersKeyedDC_.get(); }   // null unless keyed
    HDC TextKeyedDC() const { return textKeyedDC_.get(); }
    explicit operator bool() const { return numbersDC_ && textDC_; }

private:
    UniqueMemDC numbersDC_;
    UniqueMemDC textDC_;
    UniqueMemDC numbersKeyedDC_;
    UniqueMemDC textKeyedDC_;
    SelectGuard numbersSel_;
    SelectGuard textSel_;
    SelectGuard numbersKeyedSel_;
    SelectGuard textKeyedSel_;
};

// 32-bit top-down pixels (a DIB section's bits) that glyphs can be drawn into without GDI.
struct PixelTarget {
    std::uint32_t* bits = nullptr;
    int width = 0, height = 0;
};

// Draws glyphs of the selected skin into DC, or of the skin straight into pixels, with the same result.
// Transparent copies leave out every pixel of the key colour, the bottom-right pixel of Text.bmp; plain
// copies take the cell as it is.
class GlyphDrawer {
public:
    GlyphDrawer(HDC dc, const SelectedSkin& skin, const SkinMetrics& metrics, bool transparent);
    // Into pixels: no DC and no GDI call, for redrawing a few cells of a kept picture each second.
    GlyphDrawer(PixelTarget target, const ClockSkin& skin, bool transparent);

    COLORREF KeyColor() const { return key_; }
    const SkinMetrics& Metrics() const { return m_; }

    void DrawDigitGlyph(int digit, int x, int y) const;   // cell `digit` of Numbers.bmp at (x, y)
    void DrawTextGlyph(wchar_t ch, int x, int y) const;    // nothing for a character without a glyph
    // The signs stand in a digit-sized slot whose top-left corner is (x, y); they are squares cut from
    // the top edge of the 0 digit, so they take the skin's colours.
    void DrawColon(int x, int y) const;
    void DrawDot(int x, int y) const;
    void DrawMinus(int x, int y) const;

    // Where glyphs land from now on, each copy's rectangle appended; null stops it. Returns the last.
    std::vector<RECT>* RecordDrawsInto(std::vector<RECT>* rects) { return std::exchange(rects_, rects); }
    void Record(const RECT& r) const {
        if (rects_) rects_->push_back(r);
    }

private:
    void Copy(bool text, int sx, int sy, int w, int h, int x, int y) const;
    void CopyPixels(const std::vector<std::uint32_t>& source, int sourceWidth, int sx, int sy, int w, int h, int x,
                    int y) const;
    void SignSquare(int x, int y) const;
    HDC dc_ = nullptr;
    HDC numbersDC_ = nullptr;
    HDC textDC_ = nullptr;
    HDC numbersKeyedDC_ = nullptr;
    HDC textKeyedDC_ = nullptr;
    PixelTarget pixels_;
    const std::vector<std::uint32_t>* numbersPixels_ = nullptr;
    const std::vector<std::uint32_t>* textPixels_ = nullptr;
    SkinMetrics m_;
    bool transparent_;
    COLORREF key_ = CLR_INVALID;
    std::vector<RECT>* rects_ = nullptr;
};

// "Jan" ... "Dec"; "sun" ... "sat" (week starting on Sunday).
std::wstring MonthAbbrev(TDateTime date);
std::wstring DayAbbrev(TDateTime date);

}  // namespace vt
