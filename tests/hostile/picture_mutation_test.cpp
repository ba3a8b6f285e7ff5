// Damaged pictures and skins through the real loaders and painters: clock skins, calendar skins, the
// forecast widget's skin and pictures, weather and moon icons.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>

#include "alarms/calendar2.h"
#include "base/picture.h"
#include "base/text.h"
#include "clock/clock_paint.h"
#include "support/mutation.h"
#include "support/clock_skin_fixture.h"
#include "support/no_calendar_alarms.h"
#include "support/png_writer.h"
#include "support/test_support.h"
#include "clock/clock_paint_fakes.h"
#include "weather/forecast_draw.h"
#include "weather/forecast_skin.h"

using namespace vt;
using namespace vt::test;

namespace {

// Header fields of a BMP file: size, pixel offset, header size, width, height, planes, bit count,
// compression, image size, colours used and important.
const std::vector<size_t> kBmpFields = {2, 10, 14, 18, 22, 26, 28, 30, 34, 46, 50};
// Width, height, bit depth and colour type of a PNG's header chunk, and the first chunk's length.
const std::vector<size_t> kPngFields = {8, 16, 20, 24, 25, 26, 28, 33};

std::uint32_t Big32(const std::string& s, size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3]));
}

// Checksums put right again, so that the damage reaches the decoder instead of its first check.
void FixPngChecksums(std::string& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = Big32(png, at);
        if (length > png.size() - at - 12) return;
        const std::uint32_t crc = Crc32(png.substr(at + 4, 4 + length));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<char>((crc >> (24 - 8 * i)) & 0xFF);
        at += 12 + length;
    }
}

std::string DamagedPng(Mutator& m, const std::string& good) {
    std::string png = m.Mutate(good, kPngFields);
    if (m.Chance(50)) FixPngChecksums(png);
    return png;
}

// A BMP of any shape, right or wrong: every bit depth, compression and palette size, claimed sizes from
// nothing to huge, with pixel data that may be short.
std::string SyntheticBmp(Mutator& m) {
    static const int kWidths[] = {0, 1, 10, 11, 12, 30, 31, 62, 300, 5000, 40000, -7};
    static const int kHeights[] = {0, 1, 2, 3, 20, 40, -20, 3000, 40000};
    static const int kBits[] = {0, 1, 4, 8, 16, 24, 32, 7, 64};
    static const std::uint32_t kCompressions[] = {BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_JPEG, BI_PNG, 77};
    static const std::uint32_t kColours[] = {0, 2, 16, 256, 257, 100000, 0xFFFFFFFF};
    static const std::uint32_t kHeaderSizes[] = {40, 40, 40, 12, 108, 124, 0, 1000};
    const int width = kWidths[m.Below(std::size(kWidths))];
    const int height = kHeights[m.Below(std::size(kHeights))];
    const std::uint32_t headerSize = kHeaderSizes[m.Below(std::size(kHeaderSizes))];
    std::string b(14 + 124, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32At(b, 14, headerSize);
    Put32At(b, 18, static_cast<std::uint32_t>(width));
    Put32At(b, 22, static_cast<std::uint32_t>(height));
    Put16At(b, 26, 1);
    Put16At(b, 28, static_cast<std::uint16_t>(kBits[m.Below(std::size(kBits))]));
    Put32At(b, 30, kCompressions[m.Below(std::size(kCompressions))]);
    Put32At(b, 46, kColours[m.Below(std::size(kColours))]);
    b.resize(14 + std::min<size_t>(headerSize, 124));
    b += m.Junk(static_cast<size_t>(m.Chance(20) ? 200000 : 3000));
    Put32At(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32At(b, 10, static_cast<std::uint32_t>(m.Chance(80) ? 14 + headerSize : m.Below(1 << 20)));
    return b;
}

std::string PlainBmp(int width, int height, COLORREF colour, const std::wstring& scratch) {
    WriteBitmapFile(scratch, width, height, std::vector<COLORREF>(static_cast<size_t>(width) * height, colour));
    return ReadFileBytes(scratch);
}

void RandomClockOptions(Mutator& m, TClockOptions& c) {
    c.ShowSeconds = m.Chance(50);
    c.ShowDate = m.Chance(50);
    c.BigDate = m.Chance(50);
    c.WeekShow = m.Chance(50);
    c.NameWeek = m.Chance(50);
    c.TransparentClock = m.Chance(50);
    c.GradientClock = m.Chance(30);
    c.Blink = m.Chance(50);
    c.ShowWeather = m.Chance(30);
    c.ShowLocation = m.Chance(30);
    c.Mode = static_cast<std::uint8_t>(m.Chance(20));
    c.Temper = L"12";
    c.TemperSymbol = L"\u00B0C";
}

}  // namespace

TEST(Mutation, ClockSkinBitmapsLoadWholeOrKeepTheSkinInUse) {
    TempDir dir;
    const std::wstring shipped = DistDir() + L"skins\\Gold\\";
    const std::string numbers = ReadFileBytes(shipped + kNumbersFileName);
    const std::string text = ReadFileBytes(shipped + kTextFileName);
    ASSERT_FALSE(numbers.empty());
    ASSERT_FALSE(text.empty());
    CreateDirectoryW(dir.File(L"Good").c_str(), nullptr);
    CreateDirectoryW(dir.File(L"Bad").c_str(), nullptr);
    WriteFileBytes(dir.File(L"Good\\Numbers.bmp"), numbers);
    WriteFileBytes(dir.File(L"Good\\Text.bmp"), text);

    FakeTaskbar taskbar;
    FakeNow now;
    now.Set(EncodeDateTime(2026, 12, 31, 23, 59, 58, 0));
    DibCanvas canvas(640, 48);

    RunMutations({"clock skin bitmaps", 0x5C1, 1500}, [&](Mutator& m, int) {
        // Made anew with the good skin in use, so that what a case loaded is freed with it.
        ClockPainter painter(taskbar, now);
        painter.InitClockPaint(dir.path());
        ASSERT_TRUE(painter.LoadSkin(L"Good"));
        std::string n = numbers, t = text;
        switch (m.Below(4)) {
        case 0: n = m.Mutate(n, kBmpFields); break;
        case 1: t = m.Mutate(t, kBmpFields); break;
        case 2: (m.Chance(50) ? n : t) = SyntheticBmp(m); break;
        default:   // a pair that disagrees: cells of one size in Numbers.bmp, another in Text.bmp
            n = PlainBmp(1 + m.Below(300), 1 + m.Below(80), RGB(10, 200, 30), dir.File(L"scratch.bmp"));
            t = PlainBmp(1 + m.Below(400), 1 + m.Below(90), RGB(200, 10, 30), dir.File(L"scratch.bmp"));
            break;
        }
        WriteFileBytes(dir.File(L"Bad\\Numbers.bmp"), n);
        WriteFileBytes(dir.File(L"Bad\\Text.bmp"), t);
        const std::wstring before = painter.Skin().SkinName();
        const SkinMetrics metricsBefore = painter.Skin().Metrics();
        if (painter.LoadSkin(L"Bad")) {
            const SkinMetrics& loaded = painter.Skin().Metrics();
            EXPECT_EQ(painter.Skin().SkinName(), L"Bad");
            EXPECT_EQ(loaded.DigitWidth, loaded.NumbersWidth / kNumbersCells);
            EXPECT_TRUE(loaded.NumbersWidth <= kMaxSkinBitmapSide && loaded.TextHeight <= kMaxSkinBitmapSide);
        } else {
            EXPECT_EQ(painter.Skin().SkinName(), before);
            EXPECT_EQ(painter.Skin().Metrics(), metricsBefore);
        }
        RandomClockOptions(m, painter.ClockOptions());
        painter.UpdateClockDigits();
        const int width = painter.CalcClockWidth(), height = painter.CalcClockHeight();
        EXPECT_GE(width, 0);
        EXPECT_GE(height, 0);
        painter.PaintClock(canvas.dc(), RECT{0, 0, 640, 48});
        // The kept picture too: composed, then redrawn cell by cell straight into its pixels.
        for (int tick = 0; tick < 3; ++tick) {
            now.Set(now.local + 1 / 86400.0);
            painter.UpdateClockDigits();
            painter.PaintClockCached(canvas.dc(), RECT{0, 0, 640, 48}, 1);
        }
    });
}

TEST(Mutation, CalendarSkinsDrawOrSayWhyNot) {
    TempDir dir;
    const std::wstring shipped = DistDir() + L"Calendar\\";
    const std::string background = ReadFileBytes(shipped + L"Dark Blue Glass\\calendar.png");
    const std::string config = ReadFileBytes(shipped + L"Dark Blue Glass\\config.ini");
    const std::string circle = ReadFileBytes(shipped + L"circle.png");
    ASSERT_FALSE(background.empty());
    ASSERT_FALSE(config.empty());
    const std::wstring calendarDir = dir.File(L"Calendar\\");
    CreateDirectoryW(calendarDir.c_str(), nullptr);
    CreateDirectoryW((calendarDir + L"Bad").c_str(), nullptr);
    const CalendarNames names = LocaleCalendarNames();

    RunMutations({"calendar skins", 0xCA1, 500}, [&](Mutator& m, int) {
        std::string b = background, c = config, o = circle;
        const int what = m.Below(4);
        if (what == 0 || what == 3) b = DamagedPng(m, b);
        if (what == 1 || what == 3) c = EncodeIniBytes(m, MutateIniText(m, Widen(c)));
        if (what == 2 || what == 3) o = DamagedPng(m, o);
        WriteFileBytes(calendarDir + L"Bad\\calendar.png", b);
        WriteFileBytes(calendarDir + L"Bad\\config.ini", c);
        WriteFileBytes(calendarDir + L"circle.png", o);

        CalendarRenderRequest rq;
        rq.calendarDir = calendarDir;
        rq.skin = L"Bad";
        rq.view.year = 1 + m.Below(9999);
        rq.view.month = 1 + m.Below(12);
        rq.today = {rq.view.year, rq.view.month, 1 + m.Below(28)};
        rq.names = names;
        rq.opacity = static_cast<std::uint8_t>(m.Below(256));
        test::NoCalendarAlarms alarms;
        std::wstring error;
        PictureCache cache;
        const std::optional<CalendarPicture> picture = RenderCalendar(rq, alarms, cache, error);
        if (picture) {
            EXPECT_TRUE(picture->canvas);
            EXPECT_GT(picture->canvas.width, 0);
        } else {
            EXPECT_FALSE(error.empty());
        }
    });
}

TEST(Mutation, ForecastSkinAndPicturesDrawTheWidget) {
    TempDir dir;
    const std::wstring shipped = DistDir() + L"Forecast\\";
    const std::wstring forecastDir = dir.File(L"Forecast\\");
    const std::wstring skinDir = forecastDir + L"Plain\\";
    CreateDirectoryW(forecastDir.c_str(), nullptr);
    CreateDirectoryW(skinDir.c_str(), nullptr);
    const std::string skinXml = ReadFileBytes(shipped + L"KonfabulatorPLUS\\skin.xml");
    ASSERT_FALSE(skinXml.empty());
    const std::array<const wchar_t*, 4> pictures = {L"forecast.png", L"compass.png", L"arrow.png", L"close.png"};
    std::array<std::string, 4> good;
    for (size_t i = 0; i < pictures.size(); ++i) good[i] = ReadFileBytes(shipped + pictures[i]);
    const std::string icon = ReadFileBytes(shipped + L"KonfabulatorPLUS\\na.png");
    ASSERT_FALSE(icon.empty());
    ForecastReading reading;
    reading.hasDocument = reading.parsed = true;
    for (int d = 0; d < kForecastDays; ++d) reading.days.push_back({L"MON", L"12\u00B0", L"3\u00B0", L"na", L"na"});
    reading.rowComplete = true;
    // Pieces of XML that parsers have been known to choke on.
    static const char* const kXmlBits[] = {
        "<!DOCTYPE skin [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>",
        "<!DOCTYPE skin SYSTEM \"http://127.0.0.1:9/skin.dtd\">", "<!ENTITY x SYSTEM \"file:///c:/windows/win.ini\">",
        "&x;", "<font id=\"font.default\" size=\"99999999999\" facename=\"", "\xC3\x28", "\xEF\xBB\xBF", "]]>",
        "<![CDATA[", "<?xml version=\"1.0\" encoding=\"utf-16\"?>", "<font/>", "</skin>", "<skin>"};

    RunMutations({"forecast skin and pictures", 0xF0C, 400}, [&](Mutator& m, int) {
        std::string xml = skinXml;
        if (m.Chance(60)) {
            if (m.Chance(50)) {
                const size_t at = static_cast<size_t>(m.Below(static_cast<int>(xml.size()) + 1));
                xml.insert(at, kXmlBits[m.Below(std::size(kXmlBits))]);
            }
            if (m.Chance(50)) {   // an absurd attribute value
                const size_t quote = xml.find('"', static_cast<size_t>(m.Below(static_cast<int>(xml.size()))));
                if (quote != std::string::npos) xml.insert(quote + 1, Narrow(m.AbsurdValue()));
            }
            if (m.Chance(50)) xml = m.Mutate(xml);
            if (m.Chance(5)) xml = std::string(300000, '<');
        }
        WriteFileBytes(skinDir + L"skin.xml", xml);
        WriteFileBytes(skinDir + L"na.png", m.Chance(30) ? DamagedPng(m, icon) : icon);
        for (size_t i = 0; i < pictures.size(); ++i)
            WriteFileBytes(forecastDir + pictures[i], m.Chance(25) ? DamagedPng(m, good[i]) : good[i]);

        const ForecastSkin skin = LoadForecastSkin(forecastDir, L"Plain");
        ForecastFont font;
        for (int f = 0; f < kSkinFontCount; ++f) ApplySkinFont(skin.Font(static_cast<SkinFontId>(f)), font);
        EXPECT_LT(font.faceName.size(), static_cast<size_t>(LF_FACESIZE));
        ForecastFields fields;
        ForecastDrawOptions options;
        options.programDir = dir.path();
        options.skinName = L"Plain";
        PictureCache cache;
        const ForecastPicture picture = DrawForecast(fields, reading, options, font, cache);
        EXPECT_TRUE(picture.bitmap);
    });
}

TEST(Mutation, WeatherAndMoonPicturesLoadOrStayEmpty) {
    const std::string weather = ReadFileBytes(DistDir() + L"Weather\\46.png");
    const std::string moon = ReadFileBytes(DistDir() + L"Moon\\12.png");
    ASSERT_FALSE(weather.empty());
    ASSERT_FALSE(moon.empty());
    TempDir dir;
    DibCanvas canvas(128, 128);
    RunMutations({"weather and moon pictures", 0x3E4, 2000}, [&](Mutator& m, int) {
        std::string png = DamagedPng(m, m.Chance(50) ? weather : moon);
        if (m.Chance(10)) png = SyntheticBmp(m);
        const std::wstring path = dir.File(L"picture.png");
        WriteFileBytes(path, png);
        const AlphaBitmap picture = LoadPicture(path);
        if (picture) {
            EXPECT_GT(picture.width, 0);
            EXPECT_LE(picture.width, 4096);
            EXPECT_LE(picture.height, 4096);
            DrawAlphaBitmap(canvas.dc(), picture, RECT{0, 0, 128, 128});
        }
    });
}
