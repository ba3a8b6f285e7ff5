// The header of a 32-bit top-down DIB: rows from the top, bytes blue, green, red, alpha.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace vt {

inline BITMAPINFO TopDownDib32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The screen's pixels in `area` as a 32-bit top-down picture (blue, green, red, unused), copied in one
// blit; empty when the area is empty or the copy fails.
std::vector<std::uint32_t> CaptureScreen(const RECT& area);

}  // namespace vt
