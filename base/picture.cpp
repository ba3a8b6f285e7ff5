#include "base/picture.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "base/dib.h"
#include "base/file_save.h"
#include "base/late_library.h"

namespace vt {

namespace {
constexpr UINT kMaxPictureSide = 4096;   // a hostile file must not make the program allocate gigabytes

// This thread's decodings under way, and the imaging component while any is (loaded by the first decode).
thread_local int decodings = 0;
thread_local std::unique_ptr<BorrowedComClass> imaging;

}  // namespace

PictureDecoding::PictureDecoding() { ++decodings; }

PictureDecoding::~PictureDecoding() {
    if (--decodings == 0) imaging.reset();
}

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
    PictureDecoding decoding;   // outlives every object of the component below
    if (!imaging) imaging.reset(new (std::nothrow) BorrowedComClass(L"windowscodecs.dll", CLSID_WICImagingFactory));
    ComPtr<IWICImagingFactory> factory;
    if (!imaging || FAILED(imaging->Create(IID_IWICImagingFactory, factory.put_void()))) return result;
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

namespace {

std::uint32_t Le(const std::string& b, size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return v;
}

}  // namespace

BmpPicture LoadBmpFile(const std::wstring& path, int maxSide) {
    constexpr size_t kFileHeader = 14;
    const size_t limit = kFileHeader + 124 + 1024 + static_cast<size_t>(maxSide) * static_cast<size_t>(maxSide) * 4;
    const std::optional<std::string> read = ReadWholeFile(path, limit);
    if (!read || read->size() < kFileHeader + sizeof(BITMAPINFOHEADER) || (*read)[0] != 'B' || (*read)[1] != 'M') return {};
    const std::string& b = *read;
    const std::uint32_t headerSize = Le(b, 14, 4);
    const auto width = static_cast<std::int32_t>(Le(b, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
    const std::uint32_t planes = Le(b, 26, 2), bits = Le(b, 28, 2), compression = Le(b, 30, 4), used = Le(b, 46, 4);
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > 124 || width <= 0 || width > maxSide || rows <= 0 ||
        rows > maxSide || planes != 1)
        return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return {};
    const bool fields = compression == BI_BITFIELDS;
    if (compression != BI_RGB && !(fields && (bits == 16 || bits == 32))) return {};
    // Masks follow a 40-byte header and sit inside the larger ones, at the same place either way.
    const size_t masksEnd = kFileHeader + std::max<size_t>(headerSize, fields ? 52 : 0);
    const std::uint32_t colours = bits <= 8 ? (used ? used : 1u << bits) : 0;
    if (colours > (1u << std::min<std::uint32_t>(bits, 8))) return {};
    const size_t paletteEnd = masksEnd + static_cast<size_t>(colours) * 4;
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t pixelsAt = Le(b, 10, 4);
    if (paletteEnd > b.size() || pixelsAt < kFileHeader + headerSize || pixelsAt > b.size() ||
        b.size() - pixelsAt < stride * static_cast<size_t>(rows))
        return {};

    // A plain information header of our own: the colour-space parts of the larger ones are left out.
    std::vector<std::uint32_t> info((sizeof(BITMAPINFOHEADER) + 12 + 256 * 4) / 4, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    std::memcpy(header, b.data() + kFileHeader, sizeof(BITMAPINFOHEADER));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biSizeImage = 0;
    header->biClrUsed = colours;
    header->biClrImportant = 0;
    auto* tail = reinterpret_cast<unsigned char*>(info.data()) + sizeof(BITMAPINFOHEADER);
    if (fields) std::memcpy(tail, b.data() + kFileHeader + sizeof(BITMAPINFOHEADER), 12);
    else if (colours) std::memcpy(tail, b.data() + masksEnd, static_cast<size_t>(colours) * 4);

    BmpPicture r;
    BITMAPINFO top = TopDownDib32(width, static_cast<int>(rows));
    void* pixels = nullptr;
    r.bitmap.reset(CreateDIBSection(nullptr, &top, DIB_RGB_COLORS, &pixels, nullptr, 0));
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!r.bitmap || !pixels || !dc ||
        SetDIBits(dc.get(), r.bitmap.get(), 0, static_cast<UINT>(rows), b.data() + pixelsAt,
                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS) != rows)
        return {};
    GdiFlush();
    r.width = width;
    r.height = static_cast<int>(rows);
    return r;
}

const AlphaBitmap& NoPicture() {
    static const AlphaBitmap none;
    return none;
}

std::shared_ptr<const AlphaBitmap> PictureCache::Find(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        entries_.erase(path);
        return nullptr;
    }
    const std::uint64_t written =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    auto found = entries_.find(path);
    if (found != entries_.end() && found->second.written == written && found->second.size == size)
        return found->second.picture;
    if (found == entries_.end() && entries_.size() >= kMostPictures) entries_.clear();
    Entry& entry = entries_[path];
    entry = Entry{written, size, std::make_shared<const AlphaBitmap>(LoadPicture(path))};
    return entry.picture;
}

const AlphaBitmap& PictureCache::Drawing::Load(const std::wstring& path) {
    std::shared_ptr<const AlphaBitmap> picture = cache_.Find(path);
    if (!picture) return NoPicture();
    held_.push_back(std::move(picture));
    return *held_.back();
}

}  // namespace vt
