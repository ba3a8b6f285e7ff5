#include <gtest/gtest.h>

#include "base/text.h"
#include "weather/forecast/forecast_fixture.h"
#include "weather/forecast_draw.h"

using namespace vt;
using namespace vt::test;

namespace {

std::wstring Golden() { return GoldenReply(); }

// The golden reply with one text replaced.
std::wstring GoldenWith(const std::string& from, const std::string& to) {
    return Widen(Replaced(WeatherData(L"golden.xml"), from, to));
}

ForecastFields Read(const std::wstring& xml, int selected, bool english = true, ForecastReading* reading = nullptr) {
    ForecastFields f;
    ForecastReading r = ReadForecastWeather(xml, selected, english, f);
    if (reading) *reading = r;
    return f;
}

Bgra At(const ForecastPicture& p, int x, int y) {
    GdiFlush();
    return PixelsOf(p.bitmap).at(x, y);
}

bool IsNeedleRed(Bgra p) { return p.r == 255 && p.g == 0 && p.b == 0 && p.a == 255; }

class ForecastDrawing : public testing::Test {
protected:
    ForecastPicture Draw(const std::wstring& xml, int selected = kWeatherCurrent, bool showWind = true) {
        ForecastReading reading = ReadForecastWeather(xml, selected, true, fields);
        ForecastDrawOptions options;
        options.programDir = folder.ProgramDir();
        options.showWind = showWind;
        options.shadow = false;
        return DrawForecast(fields, reading, options, font, pictures);
    }
    ForecastFolder folder;
    ForecastFields fields;
    ForecastFont font;
    PictureCache pictures;
};

// The canvas centre of the rose and needle with the 290-wide panel and 64-pixel icons.
constexpr int kCx = 22 + 145, kCy = 32;

}  // namespace

TEST(ForecastReading, CurrentConditionsFromTheReply) {
    ForecastReading reading;
    auto f = Read(Golden(), kWeatherCurrent, true, &reading);
    EXPECT_EQ(f.LocationText, L"Paris, France");
    EXPECT_EQ(f.ConditionsText, L"Partly Cloudy");
    EXPECT_EQ(f.TemperatureText, L"72\u00B0F");
    EXPECT_EQ(f.IconCode, L"29");
    EXPECT_EQ(f.WindDirection, L"Wind: WSW at 9 mph");
    EXPECT_EQ(f.UnitLetter, L"s");
    ASSERT_TRUE(reading.rowComplete);
    ASSERT_EQ(reading.days.size(), 5u);
    // Today's high is "N/A": its low stands as the high and the night icon as the day icon.
    EXPECT_EQ(reading.days[0].name, L"SAT");
    EXPECT_EQ(reading.days[0].high, L"58\u00B0");
    EXPECT_EQ(reading.days[0].dayIcon, L"29");
    EXPECT_EQ(reading.days[0].low, L"58\u00B0");
    EXPECT_EQ(reading.days[1].name, L"SUN");
    EXPECT_EQ(reading.days[1].high, L"75\u00B0");
    EXPECT_EQ(reading.days[1].dayIcon, L"32");
    EXPECT_EQ(reading.days[1].nightIcon, L"31");
    EXPECT_EQ(reading.days[4].name, L"WED");
}

TEST(ForecastReading, UnitSymbolFollowsTheReplyOverTheButtons) {
    EXPECT_EQ(Read(Golden(), kWeatherCurrent, false).TemperatureText, L"72\u00B0F");
    EXPECT_EQ(Read(Golden(), kWeatherCurrent, false).UnitLetter, L"m");
    auto noUnit = GoldenWith("<ut>F</ut>", "<ut></ut>");
    EXPECT_EQ(Read(noUnit, kWeatherCurrent, false).TemperatureText, L"72\u00B0C");
    EXPECT_EQ(Read(noUnit, kWeatherCurrent, true).TemperatureText, L"72\u00B0F");
}

TEST(ForecastReading, TodayWithoutAHighShowsTheNightPart) {
    // The parts carry no wind: the reading stops there and the wind keeps its old value.
    auto f = Read(Golden(), kWeatherToday);
    EXPECT_EQ(f.TemperatureText, L"58\u00B0F");
    EXPECT_EQ(f.ConditionsText, L"Partly Cloudy Night");
    EXPECT_EQ(f.IconCode, L"29");
    EXPECT_EQ(f.WindDirection, L"E");
    auto withWind = GoldenWith("<t>Partly Cloudy Night</t>", "<t>Night</t><wind><t>NNW</t></wind>");
    EXPECT_EQ(Read(withWind, kWeatherToday).WindDirection, L"NNW");
}

TEST(ForecastReading, TomorrowIsTheDayPartOfDayOne) {
    auto f = Read(Golden(), kWeatherTomorrow);
    EXPECT_EQ(f.ConditionsText, L"Sunny");
    EXPECT_EQ(f.TemperatureText, L"75\u00B0F");
    EXPECT_EQ(f.IconCode, L"32");
}

TEST(ForecastReading, DashIconMeansNaForEveryChoice) {
    EXPECT_EQ(Read(GoldenWith("<icon>29</icon>", "<icon>-</icon>"), kWeatherCurrent).IconCode, L"na");
    // Today's night part is the first part with icon 29 in the forecast.
    auto today = GoldenWith("<icon>29</icon>\n        <t>Partly Cloudy Night", "<icon>-</icon>\n        <t>Partly Cloudy Night");
    EXPECT_EQ(Read(today, kWeatherToday).IconCode, L"na");
    EXPECT_EQ(Read(GoldenWith("<icon>32</icon>", "<icon>-</icon>"), kWeatherTomorrow).IconCode, L"na");
    EXPECT_EQ(Read(GoldenWith("<icon>29</icon>", "<icon>..\\..\\x</icon>"), kWeatherCurrent).IconCode, L"na");
}

TEST(ForecastReading, MissingValueStopsTheReadingWhereItIs) {
    auto f = Read(GoldenWith("<tmp>72</tmp>", ""), kWeatherCurrent);
    EXPECT_EQ(f.ConditionsText, L"Partly Cloudy");
    EXPECT_EQ(f.TemperatureText, L"N/A\u00B0F");
    EXPECT_EQ(f.IconCode, L"na");
    ForecastReading reading;
    Read(GoldenWith("<day d=\"3\"", "<day d=\"9\""), kWeatherCurrent, true, &reading);
    EXPECT_EQ(reading.days.size(), 3u);
    EXPECT_FALSE(reading.rowComplete);
}

TEST(ForecastReading, EmptyOrUnknownChoiceChangesOnlyWhatItMay) {
    ForecastReading reading;
    auto empty = Read(L"", kWeatherCurrent, true, &reading);
    EXPECT_EQ(empty.LocationText, L"Enter Location");
    EXPECT_FALSE(reading.hasDocument);
    auto five = Read(Golden(), 5, true, &reading);
    EXPECT_EQ(five.LocationText, L"Paris, France");
    EXPECT_EQ(five.TemperatureText, L"N/A\u00B0F");
    EXPECT_EQ(five.ConditionsText, L"Conditions");
    EXPECT_EQ(reading.days.size(), 5u);
    Read(L"<weather><cc", kWeatherCurrent, true, &reading);
    EXPECT_TRUE(reading.hasDocument);
    EXPECT_FALSE(reading.parsed);
}

TEST(ForecastCompass, PointsInAnyCaseAndInsideAWindText) {
    EXPECT_EQ(CompassIndex(L"E"), 0);
    EXPECT_EQ(CompassIndex(L"S"), 4);
    EXPECT_EQ(CompassIndex(L"nnw"), 11);
    EXPECT_EQ(CompassIndex(L"Wind: WSW at 9 mph"), 7);
    EXPECT_FALSE(CompassIndex(L""));
    EXPECT_FALSE(CompassIndex(L"CALM"));
    EXPECT_FALSE(CompassIndex(L"Wind: calm"));
}

TEST(ForecastCompass, DayNamesShortened) {
    EXPECT_EQ(ShortDayName(L"Wednesday"), L"WED");
    EXPECT_EQ(ShortDayName(L"sunday"), L"SUN");
    EXPECT_EQ(ShortDayName(L"Today"), L"TODAY");
}

TEST_F(ForecastDrawing, NeedlePointsTheWayTheWindGoes) {
    struct Probe {
        const char* wind;
        int x, y;
    };
    const Probe probes[] = {{"E", kCx + 15, kCy}, {"S", kCx, kCy + 15}, {"W", kCx - 15, kCy}, {"N", kCx, kCy - 15}};
    for (const Probe& wind : probes) {
        auto picture = Draw(GoldenWith("Wind: WSW at 9 mph", wind.wind));
        ASSERT_TRUE(picture.Layer(L"needle")) << wind.wind;
        for (const Probe& probe : probes)
            EXPECT_EQ(IsNeedleRed(At(picture, probe.x, probe.y)), probe.wind == wind.wind)
                << "wind " << wind.wind << ", probe " << probe.wind;
    }
}

TEST_F(ForecastDrawing, EastLeavesTheNeedleUnturnedAndUnknownWindDrawsNone) {
    auto east = Draw(GoldenWith("Wind: WSW at 9 mph", "E"));
    const ForecastLayer* needle = east.Layer(L"needle");
    ASSERT_TRUE(needle);
    EXPECT_EQ(needle->rect.left, kCx - 40);
    EXPECT_EQ(needle->rect.top, kCy - 40);
    EXPECT_TRUE(IsNeedleRed(At(east, kCx - 40 + 75, kCy)));    // the bar's tip, untouched
    EXPECT_FALSE(IsNeedleRed(At(east, kCx - 40 + 76, kCy)));
    auto calm = Draw(GoldenWith("Wind: WSW at 9 mph", "CALM"));
    EXPECT_FALSE(calm.Layer(L"needle"));
}

TEST_F(ForecastDrawing, DayIconsScaledAtTheirPlaces) {
    auto picture = Draw(Golden());
    for (int i = 0; i < 5; ++i) {
        const int x0 = 40 + 55 * i;
        const std::wstring n = std::to_wstring(i);
        const ForecastLayer* day = picture.Layer(L"dayicon" + n);
        ASSERT_TRUE(day) << i;
        EXPECT_EQ(day->rect.left, x0 - 8);
        EXPECT_EQ(day->rect.top, 97);
        EXPECT_EQ(day->rect.right - day->rect.left, 48);
        EXPECT_EQ(day->rect.bottom - day->rect.top, 48);
        const ForecastLayer* night = picture.Layer(L"nighticon" + n);
        ASSERT_TRUE(night) << i;
        EXPECT_EQ(night->rect.left, x0);
        EXPECT_EQ(night->rect.top, 180);
        EXPECT_EQ(night->rect.right - night->rect.left, 32);
    }
    // Day 0's day icon is its night icon 29 (cyan); the codes without a picture fall back to "na" (green).
    EXPECT_EQ(At(picture, 40 - 8 + 24, 97 + 24), (Bgra{255, 255, 0, 255}));
    EXPECT_EQ(At(picture, 95 - 8 + 24, 97 + 24), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(At(picture, 95 + 16, 180 + 16), (Bgra{0, 255, 0, 255}));
    EXPECT_TRUE(picture.Layer(L"nightly"));
}

TEST_F(ForecastDrawing, CloseButtonPanelAndTransparentBackground) {
    auto picture = Draw(Golden());
    ASSERT_TRUE(picture.bitmap);
    EXPECT_EQ(picture.bitmap.width, 2 * 290 + 2 * 64);
    EXPECT_EQ(picture.bitmap.height, 215 + 64);
    EXPECT_EQ(At(picture, 277 + 10, 8 + 10), (Bgra{0, 0, 255, 255}));
    // The half-transparent panel, premultiplied, and nothing at all outside it.
    EXPECT_EQ(At(picture, 305, 200), (Bgra{128, 0, 0, 128}));
    EXPECT_EQ(At(picture, 500, 100).a, 0);
    EXPECT_EQ(At(picture, 2, 2).a, 0);
    EXPECT_EQ(At(picture, 2 * 290 + 2 * 64 - 1, 215 + 64 - 1), Bgra{});
}

TEST_F(ForecastDrawing, RoseLaidWithReducedStrengthAndLeftOutWithoutWind) {
    // No place name: nothing but the panel lies under the rose beside the icon.
    const std::wstring reply = GoldenWith("Paris, France", "");
    auto picture = Draw(reply);
    const Bgra rose = At(picture, kCx - 37, kCy + 30);
    // Grey at 175/255 over the half-transparent blue panel.
    EXPECT_NEAR(rose.a, 175 + 128 * 80 / 255.0, 1);
    EXPECT_NEAR(rose.g, 128 * 175 / 255.0, 1);
    EXPECT_NEAR(rose.b, 128 * 175 / 255.0 + 128 * 80 / 255.0, 1);
    auto still = Draw(reply, kWeatherCurrent, false);
    EXPECT_FALSE(still.Layer(L"rose"));
    EXPECT_FALSE(still.Layer(L"needle"));
    EXPECT_TRUE(still.Layer(L"dayicon4"));
    EXPECT_EQ(At(still, kCx - 37, kCy + 30), (Bgra{128, 0, 0, 128}));
}

TEST_F(ForecastDrawing, EmptyReplyShowsTheInitialTextsWithoutDayRow) {
    auto picture = Draw(L"");
    for (const wchar_t* layer : {L"panel", L"location", L"icon", L"close", L"temperature", L"conditions", L"rose",
                                 L"nightly"})
        EXPECT_TRUE(picture.Layer(layer)) << Narrow(layer);
    EXPECT_FALSE(picture.Layer(L"needle"));
    EXPECT_FALSE(picture.Layer(L"day0"));
    const ForecastLayer* icon = picture.Layer(L"icon");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->rect.left, kCx - 32);
    EXPECT_EQ(icon->rect.top, 0);
    EXPECT_EQ(icon->rect.right, kCx + 32);
}

TEST_F(ForecastDrawing, RowEndedEarlyLeavesOutTheRestAndNightly) {
    auto picture = Draw(GoldenWith("<day d=\"2\"", "<day d=\"7\""));
    EXPECT_TRUE(picture.Layer(L"dayicon1"));
    EXPECT_FALSE(picture.Layer(L"day2"));
    EXPECT_FALSE(picture.Layer(L"nightly"));
    EXPECT_TRUE(picture.Layer(L"needle"));
}

TEST_F(ForecastDrawing, ConditionsSplitAtTheFirstSlash) {
    auto picture = Draw(GoldenWith("<t>Partly Cloudy</t>", "<t>Rain/Snow/Wind</t>"));
    const ForecastLayer* first = picture.Layer(L"conditions");
    const ForecastLayer* second = picture.Layer(L"conditions2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->rect.right, kCx - 32);   // right edge against the icon
    EXPECT_EQ(first->rect.top, 30);
    EXPECT_EQ(second->rect.left, 64);
    EXPECT_EQ(second->rect.top, first->rect.bottom);
    EXPECT_EQ(fields.ConditionsText, L"Rain");
    auto single = Draw(GoldenWith("<t>Partly Cloudy</t>", "<t>Rain</t>"));
    EXPECT_FALSE(single.Layer(L"conditions2"));
}

TEST_F(ForecastDrawing, LongPlaceNameWidensTheCanvas) {
    auto picture = Draw(GoldenWith("Paris, France", std::string(150, 'W')));
    const ForecastLayer* location = picture.Layer(L"location");
    ASSERT_TRUE(location);
    EXPECT_EQ(location->rect.left, 0);
    EXPECT_EQ(picture.bitmap.width, location->rect.right);
    EXPECT_GT(picture.bitmap.width, 708);
}

TEST_F(ForecastDrawing, FontCarriesItsLastStateToTheNextDrawing) {
    Draw(Golden());
    EXPECT_EQ(font.color, RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(font.size, 8);
    EXPECT_EQ(font.faceName, L"Tahoma");
    EXPECT_EQ(font.style, kFontItalic);   // the day title's style stays for the row and "Nightly"
}

TEST_F(ForecastDrawing, MissingPicturesAreLeftOutAndTheIconFallsBack) {
    DeleteFileW((folder.Forecast() + L"close.png").c_str());
    DeleteFileW((folder.Forecast() + L"forecast.png").c_str());
    auto picture = Draw(Golden());
    EXPECT_FALSE(picture.Layer(L"close"));
    EXPECT_FALSE(picture.Layer(L"panel"));
    EXPECT_EQ(picture.bitmap.width, 708);   // laid out as if they were there
    EXPECT_TRUE(picture.Layer(L"nightly"));
    DeleteFileW((folder.Skin() + L"na.png").c_str());
    DeleteFileW((folder.Skin() + L"29.png").c_str());
    auto bare = Draw(Golden());
    EXPECT_FALSE(bare.Layer(L"icon"));
    EXPECT_FALSE(bare.Layer(L"dayicon0"));
    EXPECT_TRUE(bare.Layer(L"high0"));
    EXPECT_TRUE(bare.Layer(L"nightly"));
}

TEST(ForecastShippedPictures, DrawnWithTheProgramsOwnFolder) {
    ForecastFields fields;
    ForecastFont font;
    ForecastReading reading = ReadForecastWeather(GoldenReply(), kWeatherCurrent, true, fields);
    ForecastDrawOptions options;
    options.programDir = DistDir();
    PictureCache pictures;
    auto picture = DrawForecast(fields, reading, options, font, pictures);
    ASSERT_TRUE(picture.bitmap);
    for (const wchar_t* layer : {L"panel", L"icon", L"close", L"rose", L"needle", L"dayicon4", L"nighticon4", L"nightly"})
        EXPECT_TRUE(picture.Layer(layer)) << Narrow(layer);
    const Bgra close = At(picture, 277 + 10, 8 + 4);   // the red button above its white cross
    EXPECT_GT(close.r, close.b + 60);
    EXPECT_EQ(At(picture, 700, 270).a, 0);
}

TEST(ForecastReading, DeclarationsOfAnyEncodingAreReadAsTheWideTextTheyAre) {
    for (const char* declaration : {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>", ""}) {
        ForecastFields f;
        ReadForecastWeather(Widen(std::string(declaration) + "<weather><loc><dnam>K\xC3\xB6ln</dnam></loc></weather>"),
                            kWeatherCurrent, true, f);
        EXPECT_EQ(f.LocationText, L"K\u00F6ln") << declaration;
    }
}

// The widget's cache outlives its drawings: one after another, each skin adds a picture until the cache
// starts afresh in the middle of a drawing, which must still show what it loaded before that.
TEST_F(ForecastDrawing, ADrawingWhileTheCacheStartsAfreshShowsEveryPicture) {
    const std::wstring reply = Golden();
    auto drawWith = [&](const std::wstring& skin, PictureCache& cache) {
        CreateDirectoryW((folder.Forecast() + skin).c_str(), nullptr);
        SolidPng(folder.Forecast() + skin + L"\\na.png", 64, 64, kNaColour);
        ForecastReading reading = ReadForecastWeather(reply, kWeatherCurrent, true, fields);
        ForecastDrawOptions options;
        options.programDir = folder.ProgramDir();
        options.showWind = true;
        options.shadow = false;
        options.skinName = skin;
        return DrawForecast(fields, reading, options, font, cache);
    };
    PictureCache fresh;
    const ForecastPicture expected = drawWith(L"Seen", fresh);
    GdiFlush();
    const PixelView want = PixelsOf(expected.bitmap);
    ASSERT_FALSE(want.empty());
    ASSERT_EQ(want.at(kCloseButtonAt.x + 5, kCloseButtonAt.y + 5), (Bgra{0, 0, 255, 255})) << "the close button";

    // Every drawing adds one picture (its skin's icon): more drawings than the cache holds pictures.
    for (size_t i = 0; i < PictureCache::kMostPictures + 8; ++i) {
        const ForecastPicture got = drawWith(L"Seen" + std::to_wstring(i), pictures);
        GdiFlush();
        const PixelView have = PixelsOf(got.bitmap);
        ASSERT_EQ(have.width, want.width) << "drawing " << i;
        ASSERT_EQ(have.height, want.height) << "drawing " << i;
        int differing = 0;
        for (int y = 0; y < want.height; ++y)
            for (int x = 0; x < want.width; ++x)
                if (have.at(x, y) != want.at(x, y)) ++differing;
        ASSERT_EQ(differing, 0) << "drawing " << i << " lost pictures it had loaded";
    }
}
