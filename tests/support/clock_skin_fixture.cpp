#include "support/clock_skin_fixture.h"

#include <algorithm>
#include <string>

#include "clock/clock_skin.h"
#include "support/test_support.h"

namespace vt::test {

void WriteBitmapFile(const std::wstring& path, int width, int height, const std::vector<COLORREF>& pixels) {
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
    std::string bytes(54 + imageSize, '\0');
    auto put16 = [&](size_t at, std::uint16_t v) { bytes[at] = char(v & 0xFF); bytes[at + 1] = char(v >> 8); };
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));   // bottom-up
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        size_t row = 54 + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y) * width + x];
            bytes[row + x * 3] = char(GetBValue(c));
            bytes[row + x * 3 + 1] = char(GetGValue(c));
            bytes[row + x * 3 + 2] = char(GetRValue(c));
        }
    }
    WriteFileBytes(path, bytes);
}

void WriteSyntheticSkin(const std::wstring& folder, const SkinShape& s) {
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring base = folder;
    if (base.back() != L'\\') base += L'\\';

    const int nw = s.digitWidth * kNumbersCells + s.numbersExtraWidth, nh = s.digitHeight;
    std::vector<COLORREF> numbers(static_cast<size_t>(nw) * nh);
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            int cell = std::min(x / s.digitWidth, kNumbersCells - 1);
            bool corner = x % s.digitWidth == 0 && y == 0;
            numbers[static_cast<size_t>(y) * nw + x] = corner ? kSkinKey : DigitCellColor(cell);
        }
    WriteBitmapFile(base + kNumbersFileName, nw, nh, numbers);

    const int tw = s.textCellWidth * kTextColumns, th = s.textCellHeight * kTextRows;
    std::vector<COLORREF> text(static_cast<size_t>(tw) * th);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
            int column = x / s.textCellWidth, row = y / s.textCellHeight;
            bool corner = x % s.textCellWidth == 0 && y % s.textCellHeight == 0;
            bool keyCell = column == kTextColumns - 1 && row == kTextRows - 1;
            text[static_cast<size_t>(y) * tw + x] = corner || keyCell ? kSkinKey : TextCellColor(column, row);
        }
    WriteBitmapFile(base + kTextFileName, tw, th, text);
}

std::optional<int> DigitOfColor(COLORREF c) {
    for (int d = 0; d < kNumbersCells; ++d)
        if (DigitCellColor(d) == c) return d;
    return std::nullopt;
}

std::optional<TextCellOfColor> TextCellOf(COLORREF c) {
    for (int r = 0; r < kTextRows; ++r)
        for (int col = 0; col < kTextColumns; ++col)
            if (TextCellColor(col, r) == c) return TextCellOfColor{col, r};
    return std::nullopt;
}

std::optional<wchar_t> TextCharOfColor(COLORREF c) {
    auto cell = TextCellOf(c);
    if (!cell) return std::nullopt;
    for (wchar_t ch = 33; ch <= 126; ++ch) {
        if (ch >= L'a' && ch <= L'z') continue;   // upper case stands for both
        auto g = TextGlyphCell(ch);
        if (g && g->column == cell->column && g->row == cell->row) return ch;
    }
    return std::nullopt;
}

DibCanvas::DibCanvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_.reset(CreateCompatibleDC(nullptr));
    select_.emplace(dc_.get(), bitmap_.get());
    Fill(fill);
}

void DibCanvas::Fill(COLORREF c) {
    GdiFlush();
    const std::uint32_t v = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = v;
}

COLORREF DibCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    std::uint32_t v = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

}  // namespace vt::test
