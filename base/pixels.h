// 32-bit pixels as the program's bitmaps hold them: bytes blue, green, red, alpha, rows top to bottom.
#pragma once
#include <cstdint>

namespace vt {

struct Bgra {
    std::uint8_t b = 0, g = 0, r = 0, a = 0;
    bool operator==(const Bgra&) const = default;
};
static_assert(sizeof(Bgra) == 4);

// A view of width x height pixels, rows packed one after the other (a 32-bit DIB section's layout).
struct PixelView {
    Bgra* pixels = nullptr;
    int width = 0;
    int height = 0;
    Bgra& at(int x, int y) const { return pixels[static_cast<long long>(y) * width + x]; }
    bool empty() const { return !pixels || width <= 0 || height <= 0; }
};

}  // namespace vt
