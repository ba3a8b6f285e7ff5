#include <gtest/gtest.h>

#include "support/clock_skin_fixture.h"
#include "weather/daily_weather.h"
#include "weather/page_fixture.h"
#include "weather/weather_picture.h"

using namespace vt;
using namespace vt::test;

namespace {
WeatherDay Day(std::wstring hi, std::wstring low) {
    WeatherDay d;
    d.name = L"Sunday";
    d.hi = std::move(hi);
    d.low = std::move(low);
    d.dayPart = {L"29", L"Sunny"};
    d.nightPart = {L"12", L"Clear"};
    return d;
}

// A canvas of the tile's size to paint a tile into.
struct Canvas : DibCanvas {
    Canvas() : DibCanvas(kDailyWeatherWidth, kDailyWeatherHeight) {}
    COLORREF At(int x, int y) const { return Pixel(x, y); }
    int CountDark(RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                COLORREF c = At(x, y);
                if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) ++n;
            }
        return n;
    }
};
}  // namespace

TEST(DailyWeather, HighAndLowWithTheUnitLetter) {
    ProgramFolder program;
    DailyWeatherState tile;
    LoadFromDay(tile, Day(L"75", L"60"), L"72", L"F", program.path());
    EXPECT_EQ(tile.title, L"Sunday");
    EXPECT_EQ(tile.hi, L"75\u00B0F");
    EXPECT_EQ(tile.low, L"60\u00B0F");
    EXPECT_EQ(tile.hint, L"Sunny");
    EXPECT_EQ(tile.picturePath, program.path() + L"Weather\\29.png");
}

TEST(DailyWeather, DayOverShowsNightPartAndCurrentTemperature) {
    ProgramFolder program;
    DailyWeatherState tile;
    LoadFromDay(tile, Day(L"N/A", L"58"), L"72", L"C", program.path());
    EXPECT_EQ(tile.hi, L"72\u00B0C");
    EXPECT_EQ(tile.low, L"58\u00B0C");
    EXPECT_EQ(tile.hint, L"Clear");
    // The night's picture 12 is missing in Weather\: the "na" picture stands in.
    EXPECT_EQ(tile.picturePath, program.path() + L"Weather\\na.png");
}

TEST(DailyWeather, MissingConditionTextKeepsTheRestButNotThePicture) {
    ProgramFolder program;
    DailyWeatherState tile;
    tile.title = L"Friday";
    tile.hi = L"50\u00B0F";
    WeatherDay day = Day(L"75", L"60");
    day.dayPart.text.reset();
    LoadFromDay(tile, day, L"72", L"F", program.path());
    EXPECT_EQ(tile.title, L"Friday");
    EXPECT_EQ(tile.hi, L"50\u00B0F");
    EXPECT_EQ(tile.low, L"N/A");
    EXPECT_EQ(tile.picturePath, program.path() + L"Weather\\29.png");
}

TEST(DailyWeather, NoPictureFolderMeansNoPicture) {
    TempDir empty;
    DailyWeatherState tile;
    LoadFromDay(tile, Day(L"75", L"60"), L"72", L"F", empty.path());
    EXPECT_EQ(tile.picturePath, L"");
    EXPECT_EQ(tile.hi, L"75\u00B0F");
}

TEST(DailyWeather, StoredAndRestoredPerTileName) {
    TestRegistryKey key;
    DailyWeatherState tile{L"Monday", L"Rain", L"68\u00B0F", L"55\u00B0F", L"C:\\x\\Weather\\11.png"};
    SaveDailyWeather(tile, key.place(), L"frDailyWeather3");
    SaveDailyWeather(DailyWeatherState{}, key.place(), L"frDailyWeather7");

    DailyWeatherState back;
    RestoreDailyWeather(back, key.place(), L"frDailyWeather3");
    EXPECT_EQ(back, tile);
    DailyWeatherState untouched;
    RestoreDailyWeather(untouched, key.place(), L"frDailyWeather7");
    EXPECT_EQ(untouched, DailyWeatherState{});
    EXPECT_EQ(untouched.title, L"Tomorrow");
    // Nothing stored: the tile keeps its form content and default picture.
    DailyWeatherState missing;
    missing.hi = L"N/A";
    RestoreDailyWeather(missing, key.place(), L"frDailyWeather9");
    EXPECT_EQ(missing, DailyWeatherState{});
    EXPECT_EQ(key.place().Sub(L"frDailyWeather3").OpenRead().ReadString(L"tablotRenderKey").value_or(L""),
              L"C:\\x\\Weather\\11.png");
}

TEST(DailyWeather, PaintsTitleBandPictureAndTemperatures) {
    ProgramFolder program;
    AlphaBitmap red = LoadPicture(program.path() + L"Weather\\29.png");
    ASSERT_TRUE(red);
    DailyWeatherState tile;
    tile.hi = L"75\u00B0F";
    tile.low = L"60\u00B0F";
    Canvas canvas;
    PaintDailyWeather(canvas.dc(), tile, red);

    // The title band starts at grey 161,157,157 and is white right of it.
    COLORREF left = canvas.At(0, 16);
    EXPECT_NEAR(GetRValue(left), 161, 3);
    EXPECT_NEAR(GetGValue(left), 157, 3);
    EXPECT_NEAR(GetBValue(left), 157, 3);
    EXPECT_EQ(canvas.At(78, 5), RGB(255, 255, 255));
    // The picture fills 22,15 .. 54,47.
    EXPECT_EQ(canvas.At(38, 31), RGB(200, 0, 0));
    EXPECT_EQ(canvas.At(23, 46), RGB(200, 0, 0));
    EXPECT_EQ(canvas.At(21, 31), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(55, 31), RGB(255, 255, 255));
    // Dark text under the picture, left (high) and right (low); none below the tile's text rows.
    EXPECT_GT(canvas.CountDark({4, 47, 40, 62}), 10);
    EXPECT_GT(canvas.CountDark({44, 47, 81, 62}), 10);
    EXPECT_EQ(canvas.CountDark({0, 64, 81, 73}), 0);
    // White title text: some pixels of the band are white-ish.
    int white = 0;
    for (int x = 2; x < 60; ++x)
        for (int y = 2; y < 15; ++y)
            if (canvas.At(x, y) == RGB(255, 255, 255)) ++white;
    EXPECT_GT(white, 10);
}

TEST(DailyWeather, ControlShowsItsStateAndDefaultPicture) {
    ProgramFolder program;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    PictureCache pictures;
    TfrDailyWeather tile;
    tile.Create(parent, 10, 10, L"frDailyWeather1", program.path() + L"Weather\\na.png", pictures);
    ASSERT_TRUE(tile.hwnd());
    RECT r;
    GetClientRect(tile.hwnd(), &r);
    EXPECT_EQ(r.right, kDailyWeatherWidth);
    EXPECT_EQ(r.bottom, kDailyWeatherHeight);
    DailyWeatherState s;
    s.title = L"Monday";
    tile.SetState(s);
    EXPECT_EQ(tile.State().title, L"Monday");
    // Printing the control paints the default picture (blue "na") where the condition picture goes.
    Canvas canvas;
    SendMessageW(tile.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(38, 31), RGB(0, 0, 200));
    DestroyWindow(parent);
}
