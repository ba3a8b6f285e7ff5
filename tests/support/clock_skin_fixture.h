// Synthetic clock skins for the tests: every cell of Numbers.bmp and Text.bmp has a colour of its own,
// so a pixel of a painted clock tells which glyph landed there. The top-left pixel of every cell and the
// whole never-drawn cell of Text.bmp (column 30, row 2) hold the key colour.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/handles.h"

namespace vt::test {

inline constexpr COLORREF kSkinKey = RGB(255, 0, 255);

inline COLORREF DigitCellColor(int cell) { return RGB(20 + 20 * cell, 120, 200); }
inline COLORREF TextCellColor(int column, int row) { return RGB(4 + 8 * column, 30 + 70 * row, 240); }

struct SkinShape {
    int digitWidth = 10;
    int digitHeight = 20;
    int textCellWidth = 6;
    int textCellHeight = 8;
    int numbersExtraWidth = 0;   // pixels beyond 11 cells (cells stay digitWidth wide)
};

// Writes <folder>\Numbers.bmp and Text.bmp (24-bit); creates the folder.
void WriteSyntheticSkin(const std::wstring& folder, const SkinShape& shape = {});
void WriteBitmapFile(const std::wstring& path, int width, int height, const std::vector<COLORREF>& pixels);

// Which cell a colour belongs to.
std::optional<int> DigitOfColor(COLORREF c);
struct TextCellOfColor { int column; int row; };
std::optional<TextCellOfColor> TextCellOf(COLORREF c);
std::optional<wchar_t> TextCharOfColor(COLORREF c);   // the character whose glyph has this colour

// A 32-bit top-down DIB section selected into a memory DC: the pixels of a paint can be read directly.
class DibCanvas {
public:
    DibCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0));
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF Pixel(int x, int y) const;   // CLR_INVALID outside
    void Fill(COLORREF c);

private:
    int width_, height_;
    std::uint32_t* bits_ = nullptr;
    UniqueMemDC dc_;
    UniqueBitmap bitmap_;
    std::optional<SelectGuard> select_;
};

}  // namespace vt::test
