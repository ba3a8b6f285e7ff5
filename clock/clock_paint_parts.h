// What the painter's two files share: the DCs and texts of one paint, and the kept composition of the
// clock that the cached paint redraws cell by cell. Not for use outside the painter.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "base/dib.h"
#include "clock/clock_paint.h"

namespace vt::paint_parts {

// A 32-bit top-down DIB section for a kept picture, its pixels at `bits`.
inline HBITMAP MakeDibSection(HDC target, int width, int height, std::uint32_t*& bits) {
    BITMAPINFO bi = TopDownDib32(width, height);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(target, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = bitmap ? static_cast<std::uint32_t*>(pixels) : nullptr;
    return bitmap;
}

struct PaintBusyGuard {
    explicit PaintBusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~PaintBusyGuard() { flag_ = false; }
    bool& flag_;
};

}  // namespace vt::paint_parts

namespace vt {

class ClockPainter::Frame {
public:
    Frame(HDC dc, GlyphDrawer& draw, const SkinMetrics& m) : dc(dc), draw(draw) {
        DW = m.DigitWidth;
        DH = m.DigitHeight;
        TW = m.TextCellWidth;
        TH = m.TextCellHeight;
        textOffset = std::max(0, (DH - 13) / 2);
    }
    // The small text rows beside the digits of a block whose digits stand at height y.
    int TopRow(int y) const { return y + textOffset; }
    int BottomRow(int y) const { return y + TH + 1 + textOffset; }
    int MonthRow(int y) const { return y + TH + 2 + textOffset; }
    void Text(const std::wstring& s, int x, int row) const {
        for (size_t i = 0; i < s.size(); ++i) draw.DrawTextGlyph(s[i], x + static_cast<int>(i) * TW, row);
    }

    HDC dc;
    GlyphDrawer& draw;
    int DW = 0, DH = 0, TW = 0, TH = 0, textOffset = 0;
    ClockLayout layout;
    std::wstring monthNumber, monthAbbrev, zoneMonthAbbrev, dayAbbrev, day, zoneDay;
    int isoWeek = 0;
    std::array<Cell, 12>* cells = nullptr;   // where the changing glyphs go, when a picture is kept
    int* cellCount = nullptr;
};

// The composed clock and the same without its glyphs, 32-bit pictures the size of the client area whose
// pixels are at hand, and what the composition was made from.
class ClockPainter::Picture {
public:
    Picture(HDC target, int width, int height)
        : width(width),
          height(height),
          plateDC(CreateCompatibleDC(target)),
          pictureDC(CreateCompatibleDC(target)),
          plate(paint_parts::MakeDibSection(target, width, height, plateBits)),
          picture(paint_parts::MakeDibSection(target, width, height, pictureBits)),
          keepPlate(plateDC.get(), plateDC ? plate.get() : nullptr),
          keepPicture(pictureDC.get(), pictureDC ? picture.get() : nullptr) {}
    bool Made() const { return plateDC && pictureDC && plateBits && pictureBits; }
    PixelTarget Pixels() const { return PixelTarget{pictureBits, width, height}; }

    // The plate under one cell back into the picture.
    void Restore(RECT r) {
        RECT all{0, 0, width, height};
        if (!IntersectRect(&r, &r, &all)) return;
        for (int y = r.top; y < r.bottom; ++y) {
            const size_t at = static_cast<size_t>(y) * width + r.left;
            std::copy_n(plateBits + at, r.right - r.left, pictureBits + at);
        }
    }

    int width, height;
    std::uint32_t* plateBits = nullptr;
    std::uint32_t* pictureBits = nullptr;
    UniqueMemDC plateDC, pictureDC;
    UniqueBitmap plate, picture;
    SelectGuard keepPlate, keepPicture;

    // What the composition shows besides its cells.
    TClockOptions options;
    double temperValue = 0;
    std::wstring line1, line2;
    HBITMAP icon = nullptr;
    RECT client{};
    std::uint64_t background = 0;
    int day = 0, zoneDay = 0;
    bool isAM = false, zoneIsAM = false, leadingZeroHidden = false;
    std::int64_t upDays = 0;
    std::array<Cell, 12> cells{};
    int cellCount = 0;
};

}  // namespace vt
