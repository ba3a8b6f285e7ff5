// Resampling of premultiplied 32-bit pixels for the forecast widget: the wind needle turned about its
// centre, icons scaled down, and source-over blending at a position. Plain pixel buffers, no GDI.
#pragma once
#include <cstdint>
#include <vector>

#include "base/pixels.h"

namespace vt {

// Pixels owned in memory, laid out as a PixelView.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<Bgra> pixels;
    PixelBuffer() = default;
    PixelBuffer(int w, int h) : width(w > 0 ? w : 0), height(h > 0 ? h : 0), pixels(static_cast<size_t>(width) * height) {}
    PixelView View() { return {pixels.data(), width, height}; }
    Bgra& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Bgra& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

PixelBuffer CopyPixels(const PixelView& source);

// The Lanczos window with three lobes: 1 at 0, 0 at every other integer, 0 beyond 3.
double LanczosWeight(double x);

// Clears the outermost row and column on every side, so a turned picture has no hard edge.
void ClearFrame(const PixelView& image);

// The picture turned clockwise on the screen by `degrees` about the point (cx, cy), where pixel (x, y)
// covers [x, x + 1) x [y, y + 1); the result has the source's size and clips the turned corners. Sampled
// with the Lanczos window; pixels outside the source count as transparent. Quarter turns about a whole
// or half-pixel point move pixels exactly.
PixelBuffer Rotate(const PixelView& source, double degrees, double cx, double cy);

// The picture scaled to width x height with the Lanczos window (widened when shrinking, so nothing aliases).
PixelBuffer Resample(const PixelView& source, int width, int height);

// Source-over of premultiplied `source` onto `dest` with its top-left at (x, y), as AlphaBlend with
// AC_SRC_ALPHA and `constantAlpha` does it; the parts outside `dest` are left out.
void BlendAt(const PixelView& dest, const PixelView& source, int x, int y, std::uint8_t constantAlpha = 255);

}  // namespace vt
