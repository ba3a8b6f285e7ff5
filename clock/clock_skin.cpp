#include "clock/clock_skin.h"
#include "base/dib.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vt {

namespace {

// Row 1 of Text.bmp: digits in columns 0-9, then signs at fixed columns.
constexpr std::array<std::pair<wchar_t, int>, 17> kSignColumns{{
    {L':', 12}, {L'(', 13}, {L')', 14}, {L'\'', 16}, {L'!', 17}, {L'_', 18}, {L'+', 19}, {L'\\', 20},
    {L'/', 21}, {L'[', 22}, {L']', 23}, {L'^', 24}, {L'&', 25}, {L'%', 26}, {L'.', 27}, {L'=', 28},
    {L'$', 29},
}};

HDC CompatibleDC(HDC target) {
    HDC dc = CreateCompatibleDC(target);
    if (dc && target) SetMapMode(dc, GetMapMode(target));
    return dc;
}

// The pixels of a bitmap as top-down 32-bit 0x00RRGGBB values.
std::vector<std::uint32_t> ReadPixels(HBITMAP bitmap, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO bi = TopDownDib32(width, height);
    WindowDC screen(nullptr);
    if (pixels.empty() || GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi,
                                    DIB_RGB_COLORS) != height)
        return {};
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

// An opaque copy in which every pixel of the key colour (0x00RRGGBB) is fully transparent.
AlphaBitmap KeyedCopy(const std::vector<std::uint32_t>& pixels, int width, int height, std::uint32_t key) {
    AlphaBitmap r;
    if (pixels.empty()) return r;
    BITMAPINFO bi = TopDownDib32(width, height);
    void* bits = nullptr;
    r.bitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!r.bitmap || !bits) return AlphaBitmap{};
    auto* out = static_cast<std::uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) out[i] = pixels[i] == key ? 0 : (pixels[i] | 0xFF000000u);
    r.width = width;
    r.height = height;
    return r;
}

COLORREF ToColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

std::optional<TextCell> TextGlyphCell(wchar_t ch) {
    if (ch >= L'a' && ch <= L'z') return TextCell{ch - L'a', 0};
    if (ch >= L'A' && ch <= L'Z') return TextCell{ch - L'A', 0};
    if (ch == L'"') return TextCell{26, 0};
    if (ch == L'@') return TextCell{27, 0};
    if (ch >= L'0' && ch <= L'9') return TextCell{ch - L'0', 1};
    for (const auto& [sign, column] : kSignColumns)
        if (sign == ch) return TextCell{column, 1};
    return std::nullopt;
}

void ClockSkin::SetSkinsBase(const std::wstring& skinsPath) {
    skinsBase_ = skinsPath;
    while (!skinsBase_.empty() && (skinsBase_.back() == L'\\' || skinsBase_.back() == L'/')) skinsBase_.pop_back();
}

bool ClockSkin::LoadSkin(const std::wstring& name) {
    const std::wstring folder = skinsBase_ + L"\\" + name + L"\\";
    BmpPicture numbers = LoadBmpFile(folder + kNumbersFileName, kMaxSkinBitmapSide);
    BmpPicture text = LoadBmpFile(folder + kTextFileName, kMaxSkinBitmapSide);
    // Half a skin is no skin: keep the one in use (bitmaps, metrics and name) and report the failure.
    if (!numbers.bitmap || !text.bitmap) return false;

    metrics_.NumbersWidth = numbers.width;
    metrics_.NumbersHeight = numbers.height;
    metrics_.DigitWidth = numbers.width / kNumbersCells;
    metrics_.DigitHeight = numbers.height;
    metrics_.TextWidth = text.width;
    metrics_.TextHeight = text.height;
    metrics_.TextCellWidth = text.width / kTextColumns;
    metrics_.TextCellHeight = text.height / kTextRows;
    const auto numbersPixels = ReadPixels(numbers.bitmap.get(), numbers.width, numbers.height);
    const auto textPixels = ReadPixels(text.bitmap.get(), text.width, text.height);
    const std::uint32_t key = textPixels.empty() ? 0 : textPixels.back();
    key_ = textPixels.empty() ? CLR_INVALID : ToColorRef(key);
    numbersKeyed_ = KeyedCopy(numbersPixels, numbers.width, numbers.height, key);
    textKeyed_ = KeyedCopy(textPixels, text.width, text.height, key);
    numbersPixels_ = numbersPixels;
    textPixels_ = textPixels;
    numbers_ = std::move(numbers.bitmap);
    text_ = std::move(text.bitmap);
    skinName_ = name;
    skinLoaded_ = true;
    return true;
}

void ClockSkin::FreeSkinBitmaps() {
    numbers_.reset();
    text_.reset();
    numbersKeyed_ = AlphaBitmap{};
    textKeyed_ = AlphaBitmap{};
    numbersPixels_.clear();
    textPixels_.clear();
    skinLoaded_ = false;
}

SelectedSkin::SelectedSkin(HDC target, const ClockSkin& skin, bool keyed)
    : numbersDC_(CompatibleDC(target)),
      textDC_(CompatibleDC(target)),
      numbersKeyedDC_(keyed && skin.NumbersKeyed() && skin.TextKeyed() ? CompatibleDC(target) : nullptr),
      textKeyedDC_(numbersKeyedDC_ ? CompatibleDC(target) : nullptr),
      numbersSel_(numbersDC_.get(), numbersDC_ ? skin.NumbersBitmap() : nullptr),
      textSel_(textDC_.get(), textDC_ ? skin.TextBitmap() : nullptr),
      numbersKeyedSel_(numbersKeyedDC_.get(), numbersKeyedDC_ ? skin.NumbersKeyed().bitmap.get() : nullptr),
      textKeyedSel_(textKeyedDC_.get(), textKeyedDC_ ? skin.TextKeyed().bitmap.get() : nullptr) {}

GlyphDrawer::GlyphDrawer(HDC dc, const SelectedSkin& skin, const SkinMetrics& metrics, bool transparent)
    : dc_(dc),
      numbersDC_(skin.NumbersDC()),
      textDC_(skin.TextDC()),
      numbersKeyedDC_(skin.TextKeyedDC() ? skin.NumbersKeyedDC() : nullptr),
      textKeyedDC_(skin.NumbersKeyedDC() ? skin.TextKeyedDC() : nullptr),
      m_(metrics),
      transparent_(transparent) {
    if (textDC_ && m_.TextWidth > 0 && m_.TextHeight > 0)
        key_ = GetPixel(textDC_, m_.TextWidth - 1, m_.TextHeight - 1);
}

GlyphDrawer::GlyphDrawer(PixelTarget target, const ClockSkin& skin, bool transparent)
    : pixels_(target),
      numbersPixels_(&skin.NumbersPixels()),
      textPixels_(&skin.TextPixels()),
      m_(skin.Metrics()),
      transparent_(transparent),
      key_(skin.KeyColor()) {}

void GlyphDrawer::Copy(bool text, int sx, int sy, int w, int h, int x, int y) const {
    if (w <= 0 || h <= 0) return;
    if (pixels_.bits) {
        CopyPixels(text ? *textPixels_ : *numbersPixels_, text ? m_.TextWidth : m_.NumbersWidth, sx, sy, w, h, x, y);
        return;
    }
    HDC src = text ? textDC_ : numbersDC_;
    HDC keyedSrc = text ? textKeyedDC_ : numbersKeyedDC_;
    if (!src) return;
    Record(RECT{x, y, x + w, y + h});
    if (!transparent_ || key_ == CLR_INVALID) {
        BitBlt(dc_, x, y, w, h, src, sx, sy, SRCCOPY);
    } else if (keyedSrc) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc_, x, y, w, h, keyedSrc, sx, sy, w, h, blend);
    } else {
        TransparentBlt(dc_, x, y, w, h, src, sx, sy, w, h, key_);
    }
}

// What BitBlt, or the keyed blend, does: the part inside both pictures is copied, key pixels left out.
void GlyphDrawer::CopyPixels(const std::vector<std::uint32_t>& source, int sourceWidth, int sx, int sy, int w, int h,
                             int x, int y) const {
    if (sourceWidth <= 0 || source.empty()) return;
    Record(RECT{x, y, x + w, y + h});
    const int sourceHeight = static_cast<int>(source.size() / static_cast<size_t>(sourceWidth));
    const bool keyed = transparent_ && key_ != CLR_INVALID;
    const std::uint32_t key = (GetRValue(key_) << 16) | (GetGValue(key_) << 8) | GetBValue(key_);
    // Clip to the target, then to the source.
    const int left = std::max({0, -x, -sx}), top = std::max({0, -y, -sy});
    const int right = std::min({w, pixels_.width - x, sourceWidth - sx});
    const int bottom = std::min({h, pixels_.height - y, sourceHeight - sy});
    for (int row = top; row < bottom; ++row) {
        const std::uint32_t* from = source.data() + static_cast<size_t>(sy + row) * sourceWidth + sx;
        std::uint32_t* to = pixels_.bits + static_cast<size_t>(y + row) * pixels_.width + x;
        for (int col = left; col < right; ++col)
            if (!keyed || from[col] != key) to[col] = from[col] | (keyed ? 0xFF000000u : 0);
    }
}

void GlyphDrawer::DrawDigitGlyph(int digit, int x, int y) const {
    if (digit < 0 || digit > 9) return;
    Copy(false, digit * m_.DigitWidth, 0, m_.DigitWidth, m_.DigitHeight, x, y);
}

void GlyphDrawer::DrawTextGlyph(wchar_t ch, int x, int y) const {
    auto cell = TextGlyphCell(ch);
    if (!cell) return;
    Copy(true, cell->column * m_.TextCellWidth, cell->row * m_.TextCellHeight, m_.TextCellWidth, m_.TextCellHeight, x,
         y);
}

void GlyphDrawer::SignSquare(int x, int y) const {
    const int side = m_.DigitWidth / 4;
    Copy(false, m_.DigitWidth / 3, 0, side, side, x, y);
}

void GlyphDrawer::DrawColon(int x, int y) const {
    SignSquare(x + m_.DigitWidth / 2, y + m_.DigitHeight / 3);
    SignSquare(x + m_.DigitWidth / 2, y + 2 * m_.DigitHeight / 3);
}

void GlyphDrawer::DrawDot(int x, int y) const {
    SignSquare(x + m_.DigitWidth / 2, y + static_cast<int>(2 * m_.DigitHeight / 2.5));
}

void GlyphDrawer::DrawMinus(int x, int y) const {
    // Two squares 2 pixels apart make one bar.
    SignSquare(x + m_.DigitWidth / 2, y + m_.DigitHeight / 2);
    SignSquare(x + m_.DigitWidth / 2 + 2, y + m_.DigitHeight / 2);
}

std::wstring MonthAbbrev(TDateTime date) {
    static const wchar_t* const kMonths[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                             L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    int month = DecodeDateTime(date).month;
    return month >= 1 && month <= 12 ? kMonths[month - 1] : L"";
}

std::wstring DayAbbrev(TDateTime date) {
    static const wchar_t* const kDays[] = {L"sun", L"mon", L"tue", L"wed", L"thu", L"fri", L"sat"};
    return kDays[DayOfWeek(date) - 1];
}

}  // namespace vt
