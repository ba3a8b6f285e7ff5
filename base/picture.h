// Pictures as the program holds them: 32-bit top-down DIB sections, bytes blue, green, red, alpha,
// colours premultiplied, ready for AlphaBlend and layered windows. Every picture file (weather icons,
// calendar and forecast skins, alarm icons) is read by LoadPicture.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/pixels.h"

namespace vt {

struct AlphaBitmap {
    UniqueBitmap bitmap;   // top-down 32-bit DIB section, premultiplied BGRA
    int width = 0;
    int height = 0;
    explicit operator bool() const { return static_cast<bool>(bitmap); }
};

// A zero-filled (fully transparent) alpha bitmap; empty when the size is not positive or GDI refuses.
AlphaBitmap CreateAlphaBitmap(int width, int height);
// The pixels of a 32-bit DIB section (empty view for any other bitmap). Call GdiFlush before reading
// what GDI drew.
PixelView PixelsOf(HBITMAP bitmap);
inline PixelView PixelsOf(const AlphaBitmap& b) { return PixelsOf(b.bitmap.get()); }

// Any picture the system's imaging component reads (PNG first of all), its pixels premultiplied once by
// their alpha (rounding down); a picture without alpha comes out opaque. Empty for a missing,
// unreadable, undecodable or larger than 4096 x 4096 file; never throws.
AlphaBitmap LoadPicture(const std::wstring& path);

// Pictures decoded while one lasts (on its thread) share one load of the system's imaging component,
// which is given back when the outermost ends: the clock, a calendar or a forecast decodes a few pictures
// and then none for hours. LoadPicture holds one itself; whoever decodes many in a row holds one around
// them.
class PictureDecoding {
public:
    PictureDecoding();
    ~PictureDecoding();
    PictureDecoding(const PictureDecoding&) = delete;
    PictureDecoding& operator=(const PictureDecoding&) = delete;
};

// The empty picture, for a reference that has nothing to show.
const AlphaBitmap& NoPicture();

// Pictures by path, each decoded once: a widget redraws from the same few files again and again, and
// decoding a PNG costs milliseconds. A file written or replaced since it was read is read again; a
// missing one gives an empty picture. Holds at most kMostPictures, then starts afresh.
// Pictures are loaded only through a Drawing: what one drawing holds stays as it was loaded until the
// drawing ends, whatever the cache lets go of meanwhile.
class PictureCache {
public:
    static constexpr size_t kMostPictures = 64;

    class Drawing {
    public:
        explicit Drawing(PictureCache& cache) : cache_(cache) {}
        Drawing(const Drawing&) = delete;
        Drawing& operator=(const Drawing&) = delete;
        // Valid as long as this drawing lasts.
        const AlphaBitmap& Load(const std::wstring& path);

    private:
        PictureCache& cache_;
        PictureDecoding decoding_;
        std::vector<std::shared_ptr<const AlphaBitmap>> held_;
    };

private:
    std::shared_ptr<const AlphaBitmap> Find(const std::wstring& path);
    struct Entry {
        std::uint64_t written = 0;
        std::uint64_t size = 0;
        std::shared_ptr<const AlphaBitmap> picture;
    };
    std::map<std::wstring, Entry> entries_;
};

// A BMP file as a 32-bit top-down DIB section of its own colours (the fourth byte of each pixel is not
// alpha). The file is read whole and every size its headers claim is checked against it first: the
// system's own loader trusts them and reads past the end of a short file. Uncompressed and bit-field
// BMPs of 1, 4, 8, 16, 24 and 32 bits with an information header are read; anything else, and a picture
// wider or taller than maxSide, gives an empty result.
struct BmpPicture {
    UniqueBitmap bitmap;
    int width = 0;
    int height = 0;
    explicit operator bool() const { return static_cast<bool>(bitmap); }
};
BmpPicture LoadBmpFile(const std::wstring& path, int maxSide = 4096);

// Draws the picture scaled into `dest`, blended over what DC holds by its own alpha.
void DrawAlphaBitmap(HDC dc, const AlphaBitmap& picture, const RECT& dest);

}  // namespace vt
