// The pictures the build draws into the program folder, loaded the way the program loads them.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/picture.h"
#include "base/text.h"
#include "support/test_support.h"

using namespace vt;
using vt::test::DistDir;

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;   // 0xAARRGGBB, rows top to bottom
    uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    bool Loaded() const { return width > 0 && height > 0; }
};

uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }
int Alpha(uint32_t argb) { return static_cast<int>(argb >> 24); }

// A skin bitmap as the clock loads it (a device-dependent bitmap from the file), read back as pixels.
Pixels LoadSkinBitmap(const std::wstring& path) {
    Pixels p;
    UniqueBitmap bmp(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!bmp) return p;
    BITMAP info{};
    GetObjectW(bmp.get(), sizeof info, &info);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    p.data.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (GetDIBits(dc.get(), bmp.get(), 0, info.bmHeight, p.data.data(), &bi, DIB_RGB_COLORS) != info.bmHeight)
        return {};
    for (auto& px : p.data) px &= 0xFFFFFF;
    p.width = info.bmWidth;
    p.height = info.bmHeight;
    return p;
}

// A PNG decoded by the imaging component, with the pixel format it reports.
struct Png {
    Pixels pixels;
    WICPixelFormatGUID format{};
};

Png LoadPng(const std::wstring& path) {
    Png png;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()))))
        return png;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())))
        return png;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return png;
    frame->GetPixelFormat(&png.format);
    ComPtr<IWICBitmapSource> bgra;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), bgra.put()))) return png;
    UINT w = 0, h = 0;
    bgra->GetSize(&w, &h);
    png.pixels.data.resize(static_cast<size_t>(w) * h);
    if (FAILED(bgra->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(png.pixels.data.data()))))
        return png;
    png.pixels.width = static_cast<int>(w);
    png.pixels.height = static_cast<int>(h);
    return png;
}

bool HasAlphaChannel(const WICPixelFormatGUID& f) {
    return f == GUID_WICPixelFormat32bppRGBA || f == GUID_WICPixelFormat32bppBGRA ||
           f == GUID_WICPixelFormat32bppPRGBA || f == GUID_WICPixelFormat32bppPBGRA ||
           f == GUID_WICPixelFormat64bppRGBA;
}

struct SkinCells {
    const wchar_t* name;
    int digitWidth, digitHeight, textWidth, textHeight;
};

// The skins the program ships and the cell sizes each is drawn with.
const SkinCells kSkins[] = {
    {L"Gold", 10, 16, 6, 8},
    {L"Silver", 8, 14, 6, 8},
    {L"Azure", 11, 16, 6, 8},
    {L"Ember", 13, 16, 6, 8},
};

// Text.bmp cells that hold a glyph: row 0 letters, " and @; row 1 digits and signs.
std::vector<std::pair<int, int>> GlyphCells() {
    std::vector<std::pair<int, int>> cells;
    for (int c = 0; c < 28; ++c) cells.push_back({c, 0});
    for (int c = 0; c < 30; ++c)
        if (c != 10 && c != 11 && c != 15) cells.push_back({c, 1});
    return cells;
}

// A cell's pixels as one vector, for comparing cells with each other.
std::vector<uint32_t> Cell(const Pixels& p, int x0, int y0, int w, int h) {
    std::vector<uint32_t> v;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) v.push_back(p.At(x, y));
    return v;
}

int CountNot(const std::vector<uint32_t>& cell, uint32_t key) {
    int n = 0;
    for (auto px : cell) n += px != key;
    return n;
}

class ClockSkin : public testing::TestWithParam<SkinCells> {
protected:
    void SetUp() override {
        const auto& s = GetParam();
        std::wstring dir = DistDir() + L"skins\\" + s.name + L"\\";
        numbers_ = LoadSkinBitmap(dir + L"Numbers.bmp");
        text_ = LoadSkinBitmap(dir + L"Text.bmp");
        ASSERT_TRUE(numbers_.Loaded()) << "Numbers.bmp of " << testing::PrintToString(std::wstring(s.name));
        ASSERT_TRUE(text_.Loaded());
        key_ = text_.At(text_.width - 1, text_.height - 1);
    }
    Pixels numbers_, text_;
    uint32_t key_ = 0;
};

}  // namespace

TEST_P(ClockSkin, BitmapsDivideExactlyIntoTheirCells) {
    const auto& s = GetParam();
    EXPECT_EQ(numbers_.width, 11 * s.digitWidth);
    EXPECT_EQ(numbers_.height, s.digitHeight);
    EXPECT_EQ(text_.width, 31 * s.textWidth);
    EXPECT_EQ(text_.height, 3 * s.textHeight);
}

TEST_P(ClockSkin, EveryDigitCellHoldsADistinctGlyphAndTheEleventhIsBlank) {
    const auto& s = GetParam();
    std::set<std::vector<uint32_t>> seen;
    for (int d = 0; d < 10; ++d) {
        auto cell = Cell(numbers_, d * s.digitWidth, 0, s.digitWidth, s.digitHeight);
        EXPECT_GT(CountNot(cell, key_), s.digitHeight) << "digit " << d;
        EXPECT_TRUE(seen.insert(cell).second) << "digit " << d << " repeats another";
    }
    auto blank = Cell(numbers_, 10 * s.digitWidth, 0, s.digitWidth, s.digitHeight);
    EXPECT_EQ(CountNot(blank, key_), 0) << "the digits' background must be the key colour of Text.bmp";
}

TEST_P(ClockSkin, SignSquareCutFromTheZeroIsSolid) {
    // Colon, dot and minus are copied from this square; a key pixel in it would be a hole in the sign.
    const auto& s = GetParam();
    const int side = s.digitWidth / 4, left = s.digitWidth / 3;
    ASSERT_GT(side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = left; x < left + side; ++x) EXPECT_NE(numbers_.At(x, y), key_) << x << "," << y;
}

TEST_P(ClockSkin, MappedTextCellsHoldDistinctGlyphsAndTheRestIsBlank) {
    const auto& s = GetParam();
    auto cells = GlyphCells();
    std::set<std::pair<int, int>> mapped(cells.begin(), cells.end());
    std::set<std::vector<uint32_t>> seen;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 31; ++col) {
            auto cell = Cell(text_, col * s.textWidth, row * s.textHeight, s.textWidth, s.textHeight);
            if (mapped.count({col, row})) {
                EXPECT_GT(CountNot(cell, key_), 0) << "no glyph at column " << col << " row " << row;
                EXPECT_TRUE(seen.insert(cell).second) << "glyph at column " << col << " row " << row << " repeats";
            } else {
                EXPECT_EQ(CountNot(cell, key_), 0) << "unused cell drawn at column " << col << " row " << row;
            }
        }
    }
}

TEST_P(ClockSkin, TransparentCopyOfAGlyphLeavesItsBackgroundUntouched) {
    // The clock copies glyphs with the key colour as transparent; around the glyph nothing may show.
    const auto& s = GetParam();
    std::wstring path = DistDir() + L"skins\\" + s.name + L"\\Numbers.bmp";
    UniqueBitmap digits(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    ASSERT_TRUE(digits);
    UniqueMemDC src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, s.digitWidth, -s.digitHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap canvas(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(canvas && bits);
    auto* px = static_cast<uint32_t*>(bits);
    std::fill(px, px + s.digitWidth * s.digitHeight, 0x00FFFFFFu);
    SelectGuard keepSrc(src.get(), digits.get());
    SelectGuard keepDst(dst.get(), canvas.get());
    const uint32_t key = key_;
    const UINT keyRef = RGB((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF);
    ASSERT_TRUE(TransparentBlt(dst.get(), 0, 0, s.digitWidth, s.digitHeight, src.get(), 8 * s.digitWidth, 0,
                               s.digitWidth, s.digitHeight, keyRef));
    GdiFlush();
    auto glyph = Cell(numbers_, 8 * s.digitWidth, 0, s.digitWidth, s.digitHeight);
    for (int i = 0; i < s.digitWidth * s.digitHeight; ++i) {
        if (glyph[i] == key_)
            EXPECT_EQ(Rgb(px[i]), 0xFFFFFFu) << "pixel " << i;
        else
            EXPECT_EQ(Rgb(px[i]), glyph[i]) << "pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ClockSkin, testing::ValuesIn(kSkins),
                         [](const testing::TestParamInfo<SkinCells>& info) {
                             return std::string(Narrow(info.param.name));
                         });

TEST(ClockSkins, DefaultSkinGoldIsShipped) {
    DWORD a = GetFileAttributesW((DistDir() + L"skins\\Gold").c_str());
    ASSERT_NE(a, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

class Pictures : public testing::Test {
protected:
    ComApartment com_;
};

struct Coverage {
    int transparent = 0, visible = 0;
};

Coverage CountAlpha(const Pixels& p) {
    Coverage c;
    for (auto px : p.data) {
        c.transparent += Alpha(px) == 0;
        c.visible += Alpha(px) >= 128;
    }
    return c;
}

// Bright, opaque pixels of a moon picture: its sunlit part.
struct Lit {
    int count = 0;
    double meanX = 0;
};

Lit LitPart(const Pixels& p) {
    Lit lit;
    double sumX = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint32_t px = p.At(x, y);
            int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF;
            if (Alpha(px) == 255 && r > 180 && g > 180) {
                ++lit.count;
                sumX += x;
            }
        }
    if (lit.count) lit.meanX = sumX / lit.count;
    return lit;
}

std::vector<std::wstring> WeatherCodes() {
    std::vector<std::wstring> codes;
    for (int i = 0; i <= 47; ++i) codes.push_back(std::to_wstring(i));
    codes.push_back(L"na");
    return codes;
}

}  // namespace

TEST_F(Pictures, EveryWeatherCodeHasItsOwn32PixelPictureWithAlpha) {
    ASSERT_TRUE(com_.ok());
    std::set<std::vector<uint32_t>> seen;
    for (const auto& code : WeatherCodes()) {
        SCOPED_TRACE(Narrow(code));
        Png png = LoadPng(DistDir() + L"Weather\\" + code + L".png");
        ASSERT_TRUE(png.pixels.Loaded());
        EXPECT_TRUE(HasAlphaChannel(png.format));
        EXPECT_EQ(png.pixels.width, 32);
        EXPECT_EQ(png.pixels.height, 32);
        Coverage c = CountAlpha(png.pixels);
        EXPECT_GT(c.transparent, 100) << "the picture must stand on a transparent ground";
        EXPECT_GT(c.visible, 32 * 32 / 20) << "the picture must have a subject, not a speck";
        EXPECT_TRUE(seen.insert(png.pixels.data).second) << "same picture as another code";
    }
}

TEST_F(Pictures, MoonGrowsToFullAndShrinksLitOnTheRightWhileWaxing) {
    ASSERT_TRUE(com_.ok());
    std::vector<Lit> lit;
    for (int age = 0; age <= 29; ++age) {
        Png png = LoadPng(DistDir() + L"Moon\\" + std::to_wstring(age) + L".png");
        ASSERT_TRUE(png.pixels.Loaded()) << age;
        EXPECT_TRUE(HasAlphaChannel(png.format)) << age;
        EXPECT_EQ(png.pixels.width, 32) << age;
        EXPECT_EQ(png.pixels.height, 32) << age;
        lit.push_back(LitPart(png.pixels));
    }
    EXPECT_EQ(lit[0].count, 0) << "new moon";
    for (int age = 1; age <= 14; ++age) EXPECT_GE(lit[age].count, lit[age - 1].count) << "waxing, day " << age;
    for (int age = 16; age <= 29; ++age) EXPECT_LE(lit[age].count, lit[age - 1].count) << "waning, day " << age;
    EXPECT_GT(lit[15].count, 3 * lit[7].count / 2) << "full moon against first quarter";
    EXPECT_GT(lit[7].meanX, 16.0) << "first quarter is lit on the right";
    EXPECT_LT(lit[22].meanX, 16.0) << "last quarter is lit on the left";
}

TEST_F(Pictures, MissingCodePicturesExistForWeatherAndMoon) {
    ASSERT_TRUE(com_.ok());
    for (const wchar_t* path : {L"Weather\\na.png", L"Moon\\na.png"}) {
        Png png = LoadPng(DistDir() + path);
        ASSERT_TRUE(png.pixels.Loaded()) << Narrow(path);
        EXPECT_TRUE(HasAlphaChannel(png.format));
        EXPECT_EQ(png.pixels.width, 32);
    }
}

namespace {

std::vector<std::wstring> PngFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    UniqueFindFile find(FindFirstFileW((folder + L"*.png").c_str(), &fd));
    if (find.get() == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileW(find.get(), &fd));
    std::sort(names.begin(), names.end());
    return names;
}

int IniInt(const std::wstring& file, const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(L"calendar", key, -1, file.c_str()));
}

}  // namespace

TEST_F(Pictures, ForecastWidgetHasItsSharedPicturesAndADefaultSkinForEveryCode) {
    ASSERT_TRUE(com_.ok());
    const std::wstring forecast = DistDir() + L"Forecast\\";
    for (const wchar_t* name : {L"forecast.png", L"compass.png", L"arrow.png"}) {
        Png png = LoadPng(forecast + name);
        EXPECT_TRUE(png.pixels.Loaded() && HasAlphaChannel(png.format)) << Narrow(name);
    }
    Png close = LoadPng(forecast + L"close.png");
    EXPECT_EQ(close.pixels.width, 20) << "the size of the widget's close control";
    EXPECT_EQ(close.pixels.height, 21);
    const std::wstring skin = forecast + L"KonfabulatorPLUS\\";
    for (const auto& code : WeatherCodes()) {
        Png png = LoadPng(skin + code + L".png");
        EXPECT_EQ(png.pixels.width, 64) << Narrow(code);
        EXPECT_EQ(png.pixels.height, 64) << Narrow(code);
    }
    std::string xml = vt::test::ReadFileBytes(skin + L"skin.xml");
    for (const char* id : {"font.default", "font.temperature", "font.conditions.title", "font.daytitle"})
        EXPECT_NE(xml.find(std::string("<font id=\"") + id + "\""), std::string::npos) << id;
}

TEST_F(Pictures, CalendarSkinGridAndButtonsLieInsideItsPicture) {
    ASSERT_TRUE(com_.ok());
    for (const wchar_t* name : {L"Dark Blue Glass", L"Graphite"}) {
        SCOPED_TRACE(Narrow(name));
        const std::wstring dir = DistDir() + L"Calendar\\" + name + L"\\";
        Png bg = LoadPng(dir + L"calendar.png");
        ASSERT_TRUE(bg.pixels.Loaded());
        EXPECT_TRUE(HasAlphaChannel(bg.format));
        const std::wstring ini = dir + L"config.ini";
        const int dayX = IniInt(ini, L"DayX"), dayY = IniInt(ini, L"DayY");
        const int incX = IniInt(ini, L"DayIncX"), incY = IniInt(ini, L"DayIncY");
        ASSERT_GT(incX, 3);
        ASSERT_GT(incY, 0);
        // The today mark of the last cell reaches DayIncX - 3 right of 3 pixels before the number.
        EXPECT_LE(dayX + 6 * incX - 3 + incX - 3, bg.pixels.width);
        EXPECT_LE(dayY + 5 * incY - 2 + incY, bg.pixels.height);
        for (const wchar_t* button : {L"ButBack", L"ButForw", L"ButCenter", L"ButClose"}) {
            std::wstring b = button;
            int left = IniInt(ini, (b + L".Left").c_str()), top = IniInt(ini, (b + L".Top").c_str());
            int width = IniInt(ini, (b + L".Right").c_str()), height = IniInt(ini, (b + L".Bottom").c_str());
            EXPECT_GE(left, 0) << Narrow(b);
            EXPECT_GT(width, 0) << Narrow(b);
            EXPECT_LE(left + width, bg.pixels.width) << Narrow(b);
            EXPECT_LE(top + height, bg.pixels.height) << Narrow(b);
            // The click area is drawn: its middle is part of the opaque window, not a hole.
            EXPECT_GT(Alpha(bg.pixels.At(left + width / 2, top + height / 2)), 128) << Narrow(b);
        }
        EXPECT_NE(GetPrivateProfileIntW(L"calendar", L"CurColor", -1, ini.c_str()), static_cast<UINT>(-1))
            << "-1 would switch the today mark off";
    }
    Png circle = LoadPng(DistDir() + L"Calendar\\circle.png");
    EXPECT_TRUE(circle.pixels.Loaded() && HasAlphaChannel(circle.format));
}

TEST_F(Pictures, AlarmIconsFillTheEditorsThirtyThreePlacesInNameOrder) {
    ASSERT_TRUE(com_.ok());
    const std::wstring dir = DistDir() + L"Icons\\";
    auto names = PngFilesIn(dir);
    ASSERT_GE(names.size(), 33u);
    EXPECT_EQ(names[5], L"05-note.png") << "the icon a new alarm starts with";
    std::set<std::vector<uint32_t>> seen;
    for (const auto& name : names) {
        Png png = LoadPng(dir + name);
        EXPECT_TRUE(HasAlphaChannel(png.format)) << Narrow(name);
        EXPECT_EQ(png.pixels.width, 32) << Narrow(name);
        EXPECT_EQ(png.pixels.height, 32) << Narrow(name);
        EXPECT_TRUE(seen.insert(png.pixels.data).second) << Narrow(name) << " repeats another icon";
    }
}

// The forecast widget lays "Conditions" against the current icon's left edge and the place name across
// its lower part: every shipped current icon leaves those parts of its 64 x 64 cell clear.
TEST(ForecastIcons, LeaveTheConditionsAndPlaceNameClear) {
    const std::wstring dir = DistDir() + L"Forecast\\KonfabulatorPLUS\\";
    WIN32_FIND_DATAW found{};
    vt::UniqueFindFile find(FindFirstFileW((dir + L"*.png").c_str(), &found));
    ASSERT_TRUE(find && find.get() != INVALID_HANDLE_VALUE);
    int icons = 0;
    do {
        vt::AlphaBitmap icon = vt::LoadPicture(dir + found.cFileName);
        ASSERT_TRUE(icon) << vt::Narrow(found.cFileName);
        ASSERT_EQ(icon.width, 64);
        ASSERT_EQ(icon.height, 64);
        const vt::PixelView px = vt::PixelsOf(icon);
        int covered = 0, drawn = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                if (px.at(x, y).a == 0) continue;
                if (x < 8 || y >= 48) ++covered;
                else ++drawn;
            }
        EXPECT_EQ(covered, 0) << vt::Narrow(found.cFileName);
        EXPECT_GT(drawn, 200) << vt::Narrow(found.cFileName) << " shows its picture";
        ++icons;
    } while (FindNextFileW(find.get(), &found));
    EXPECT_GT(icons, 40);
}
