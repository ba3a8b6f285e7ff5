#include "controls/alpha_bitmap.h"

#include <algorithm>
#include <cmath>

#include "controls/gblur.h"
#include "base/dib.h"

namespace vt {

namespace {

constexpr std::uint8_t kShadowAlpha = 175;
constexpr COLORREF kShadowInk = RGB(0x80, 0x80, 0x80);
constexpr int kShadowOffset = 2;

void Fill(const PixelView& v, Bgra colour) { std::fill(v.pixels, v.pixels + v.width * v.height, colour); }

Bgra Opaque(COLORREF c) { return {GetBValue(c), GetGValue(c), GetRValue(c), 0}; }

std::uint8_t Premultiply(std::uint8_t value, std::uint8_t alpha) {
    return static_cast<std::uint8_t>(value * alpha / 255);
}

// Draws text in ink at (x, y) onto a bitmap first filled with background.
void DrawInk(HDC dc, const AlphaBitmap& target, Bgra background, const std::wstring& text, COLORREF ink, int x,
             int y) {
    GdiFlush();
    Fill(PixelsOf(target), background);
    SelectGuard keep(dc, target.bitmap.get());
    SetTextColor(dc, ink);
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
}

// Coverage of text drawn at (x, y), left as the alpha of mask.
void Coverage(HDC dc, const AlphaBitmap& work, const AlphaBitmap& mask, const std::wstring& text, COLORREF ink,
              int x, int y) {
    DrawInk(dc, work, Bgra{255, 255, 255, 0}, text, ink, x, y);
    DrawInk(dc, mask, Bgra{0, 0, 0, 0}, text, ink, x, y);
    AlphaFromDifference(PixelsOf(mask), PixelsOf(work));
}

}  // namespace

void AlphaFromDifference(const PixelView& onBlack, const PixelView& onWhite) {
    if (onBlack.empty() || onWhite.width != onBlack.width || onWhite.height != onBlack.height) return;
    const int count = onBlack.width * onBlack.height;
    for (int i = 0; i < count; ++i) {
        Bgra& black = onBlack.pixels[i];
        const Bgra& white = onWhite.pixels[i];
        // Font smoothing can leave a byte on white a little below the same byte on black; that is full
        // coverage, not a wrap-around to almost none.
        const int sum = std::max(white.b - black.b, 0) + std::max(white.g - black.g, 0) + std::max(white.r - black.r, 0);
        black.a = static_cast<std::uint8_t>(255 - sum / 3);
    }
}

void CopyAlphaAndPremultiply(const PixelView& target, const PixelView& source) {
    if (target.empty() || source.width != target.width || source.height != target.height) return;
    const int count = target.width * target.height;
    for (int i = 0; i < count; ++i) {
        Bgra& p = target.pixels[i];
        const std::uint8_t a = source.pixels[i].a;
        p = Bgra{Premultiply(p.b, a), Premultiply(p.g, a), Premultiply(p.r, a), a};
    }
}

void CopyAlphaFromPNG(const PixelView& bitmap, const PixelView& png, int x, int y) {
    if (bitmap.empty() || png.empty()) return;
    const int x0 = std::max(0, -x), x1 = std::min(png.width, bitmap.width - x);
    const int y0 = std::max(0, -y), y1 = std::min(png.height, bitmap.height - y);
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const std::uint8_t a = png.at(px, py).a;
            Bgra& p = bitmap.at(px + x, py + y);
            p = Bgra{Premultiply(p.b, a), Premultiply(p.g, a), Premultiply(p.r, a), a};
        }
    }
}

void BlendOver(const PixelView& dest, const PixelView& source, std::uint8_t constantAlpha) {
    if (dest.empty() || source.empty()) return;
    const int w = std::min(dest.width, source.width), h = std::min(dest.height, source.height);
    const double c = constantAlpha / 255.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Bgra& s = source.at(x, y);
            Bgra& d = dest.at(x, y);
            const double keep = 1.0 - s.a * c / 255.0;
            auto mix = [&](std::uint8_t sv, std::uint8_t dv) {
                const double v = std::nearbyint(sv * c + dv * keep);
                return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            };
            d = Bgra{mix(s.b, d.b), mix(s.g, d.g), mix(s.r, d.r), mix(s.a, d.a)};
        }
    }
}

COLORREF CoverageInk(COLORREF fontColor) {
    const int brightness = 2 * GetRValue(fontColor) + 5 * GetGValue(fontColor) + GetBValue(fontColor);
    return brightness >= 1024 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

AlphaBitmap MakeTextBitmap(const std::wstring& text, HFONT font, COLORREF fontColor, bool shadow,
                           COLORREF shadowColor) {
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return {};
    SelectGuard useFont(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cy <= 0) {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc.get(), &tm);
        extent.cy = tm.tmHeight;
    }
    const int w = extent.cx + kShadowOffset, h = extent.cy + kShadowOffset;
    AlphaBitmap work = CreateAlphaBitmap(w, h);
    AlphaBitmap mask = CreateAlphaBitmap(w, h);
    AlphaBitmap result = CreateAlphaBitmap(w, h);
    if (!work || !mask || !result) return {};

    if (shadow) {
        Coverage(dc.get(), work, mask, text, kShadowInk, kShadowOffset, kShadowOffset);
        Fill(PixelsOf(work), Opaque(shadowColor));
        CopyAlphaAndPremultiply(PixelsOf(work), PixelsOf(mask));
        if (CurrentBlurKernel.Size == 0) MakeStandardBlurKernel();
        BlurPixels(PixelsOf(work), CurrentBlurKernel);
        BlendOver(PixelsOf(result), PixelsOf(work), kShadowAlpha);
    }
    Coverage(dc.get(), work, mask, text, CoverageInk(fontColor), 0, 0);
    Fill(PixelsOf(work), Opaque(fontColor));
    CopyAlphaAndPremultiply(PixelsOf(work), PixelsOf(mask));
    BlendOver(PixelsOf(result), PixelsOf(work), 255);
    return result;
}

}  // namespace vt
