#include "base/dib.h"

#include "base/handles.h"

namespace vt {

std::vector<std::uint32_t> CaptureScreen(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    WindowDC screen(nullptr);
    if (!screen) return {};
    BITMAPINFO info = TopDownDib32(width, height);
    void* bits = nullptr;
    UniqueBitmap section(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemDC memory(CreateCompatibleDC(screen.get()));
    if (!section || !memory || !bits) return {};
    {
        SelectGuard keep(memory.get(), section.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) return {};
    }
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    return std::vector<std::uint32_t>(pixels, pixels + static_cast<size_t>(width) * height);
}

}  // namespace vt
