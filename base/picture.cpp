#include "base/picture.h"

#include <wincodec.h>

#include "base/dib.h"

namespace vt {

namespace {
constexpr UINT kMaxPictureSide = 4096;   // a hostile file must not make the program allocate gigabytes
}  // namespace

AlphaBitmap CreateAlphaBitmap(int width, int height) {
    AlphaBitmap result;
    if (width <= 0 || height <= 0) return result;
    BITMAPINFO bi = TopDownDib32(width, height);
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return result;
    result.bitmap = std::move(dib);
    result.width = width;
    result.height = height;
    return result;
}

PixelView PixelsOf(HBITMAP bitmap) {
    DIBSECTION dib{};
    if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib) return {};
    if (dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits) return {};
    return {static_cast<Bgra*>(dib.dsBm.bmBits), dib.dsBm.bmWidth, dib.dsBm.bmHeight};
}

AlphaBitmap LoadPicture(const std::wstring& path) {
    AlphaBitmap result;
    if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return result;
    // The calling thread may already have COM in either model; a refused second initialisation still leaves
    // COM usable here.
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void())))
        return result;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())))
        return result;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return result;
    // Straight alpha first, so that the colours are scaled by their alpha exactly once, below. Pictures
    // without an alpha channel come out with alpha 255.
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return result;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxPictureSide ||
        height > kMaxPictureSide)
        return result;
    AlphaBitmap picture = CreateAlphaBitmap(static_cast<int>(width), static_cast<int>(height));
    if (!picture) return result;
    const PixelView pixels = PixelsOf(picture);
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(pixels.pixels))))
        return result;
    const int count = pixels.width * pixels.height;
    for (int i = 0; i < count; ++i) {
        Bgra& p = pixels.pixels[i];
        p.b = static_cast<std::uint8_t>(p.b * p.a / 255);
        p.g = static_cast<std::uint8_t>(p.g * p.a / 255);
        p.r = static_cast<std::uint8_t>(p.r * p.a / 255);
    }
    return picture;
}

void DrawAlphaBitmap(HDC dc, const AlphaBitmap& picture, const RECT& dest) {
    if (!picture || dest.right <= dest.left || dest.bottom <= dest.top) return;
    UniqueMemDC src(CreateCompatibleDC(dc));
    if (!src) return;
    SelectGuard keep(src.get(), picture.bitmap.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src.get(), 0, 0,
               picture.width, picture.height, blend);
}

}  // namespace vt
