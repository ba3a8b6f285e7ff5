#include <gtest/gtest.h>

#include "weather/weather_options.h"

using namespace vt;

TEST(WeatherOptions, EmptyPlaceListMeansNoWeather) {
    MainOptions o;
    o.showLocation = true;
    o.showWeatherIcon = false;
    o.weatherIcon = L"29";
    o.placeText = L"Somewhere\r\nEvil=1";
    WeatherOptionValues v = WeatherOptionsToSave(o);
    EXPECT_FALSE(v.showLocation);
    EXPECT_TRUE(v.showWeatherIcon);
    EXPECT_EQ(v.weatherIcon, L"na");
    EXPECT_EQ(v.weatherLocation, L"No Weather, for SomewhereEvil=1");
}

TEST(WeatherOptions, SelectedPlaceIsTheLocation) {
    MainOptions o;
    o.places = {L"Oslo", L"Paris, France"};
    o.placeIndex = 1;
    o.showLocation = true;
    o.weatherIcon = L"29";
    WeatherOptionValues v = WeatherOptionsToSave(o);
    EXPECT_TRUE(v.showLocation);
    EXPECT_EQ(v.weatherIcon, L"29");
    EXPECT_EQ(v.weatherLocation, L"Paris, France");
    o.placeIndex = -1;
    EXPECT_EQ(WeatherOptionsToSave(o).weatherLocation, L"");
}
