#include "clock/png_picture.h"

#include <wincodec.h>


namespace vt {

AlphaBitmap LoadPNGAsAlphaBitmap(const std::wstring& path) {
    AlphaBitmap result;
    if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return result;
    // The caller's thread may have COM in either model already; a refused second initialisation still
    // leaves COM usable here.
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
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)))
        return result;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 || height > 16384)
        return result;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = static_cast<LONG>(width);
    bi.bmiHeader.biHeight = -static_cast<LONG>(height);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return result;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) return result;

    result.bitmap = std::move(dib);
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    return result;
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
