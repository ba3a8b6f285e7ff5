#include "weather/weather_picture.h"
#include "base/files.h"

#include <wincodec.h>

#include <cstring>

namespace vt {

namespace {
}  // namespace

std::wstring WeatherPicturePath(const std::wstring& programDir, const wchar_t* folder, const std::wstring& code) {
    const std::wstring dir = programDir + folder + L"\\";
    std::wstring path = dir + code + L".png";
    if (FileExists(path)) return path;
    path = dir + L"na.png";
    return FileExists(path) ? path : std::wstring();
}

UniqueBitmap LoadPicture(const std::wstring& path) {
    if (path.empty()) return {};
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void())))
        return {};
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())))
        return {};
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return {};
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return {};
    UINT width = 0, height = 0;
    converter->GetSize(&width, &height);
    if (width == 0 || height == 0 || width > 4096 || height > 4096) return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = static_cast<LONG>(width);
    bi.bmiHeader.biHeight = -static_cast<LONG>(height);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return {};
    if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)))) return {};
    return bitmap;
}

void DrawPicture(HDC dc, HBITMAP picture, const RECT& box) {
    if (!picture) return;
    BITMAP bm{};
    GetObjectW(picture, sizeof bm, &bm);
    UniqueMemDC mem(CreateCompatibleDC(dc));
    SelectGuard keep(mem.get(), picture);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    SetStretchBltMode(dc, HALFTONE);
    AlphaBlend(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, mem.get(), 0, 0, bm.bmWidth,
               bm.bmHeight, blend);
}

}  // namespace vt
