// The forecast widget's picture: the weather to show read from the weather page's reply, and the layers
// laid over one another into a 32-bit premultiplied bitmap ready for a layered window.
#pragma once
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/alpha_bitmap.h"
#include "weather/forecast_skin.h"

namespace vt {

// What the widget shows above the day row; kept from one drawing to the next.
struct ForecastFields {
    std::wstring LocationText = L"Enter Location";
    std::wstring TemperatureText = L"N/A\u00B0F";
    std::wstring ConditionsText = L"Conditions";   // a "/" splits it into two lines
    std::wstring IconCode = L"na";
    std::wstring WindDirection = L"E";
    std::wstring UnitLetter = L"s";                  // "s" English units, "m" metric
};

// The weather choice: SelectedWeather.
inline constexpr int kWeatherCurrent = 0, kWeatherToday = 1, kWeatherTomorrow = 2;

struct ForecastDayRow {
    std::wstring name;        // upper case, the seven day names shortened
    std::wstring high, low;   // with "°"
    std::wstring dayIcon, nightIcon;
};

struct ForecastReading {
    bool hasDocument = false;   // the reply had text
    bool parsed = false;        // and it parsed
    bool hasPlace = false;      // and named a place: there is weather to show
    std::vector<ForecastDayRow> days;   // up to five, ended by the first day that lacks a value
    bool rowComplete = false;           // all five days read
};

inline constexpr int kForecastDays = 5;

// Clockwise from east, 22.5 degrees apart.
extern const std::array<const wchar_t*, 16> CompassPoints;
// The compass point of a wind text, in any letter case: the whole text, or else its first word that is
// one ("Wind: WSW at 9 mph"). Nothing for a calm, variable or empty wind.
std::optional<int> CompassIndex(std::wstring_view windText);
// "MONDAY" -> "MON" and so on; any other name in upper case as it is.
std::wstring ShortDayName(std::wstring_view name);

// getWeatherFromDom and the day row's reading. Each field is assigned as soon as its value is read; the
// first value missing ends that reading and the fields keep what they hold. An empty reply changes nothing.
ForecastReading ReadForecastWeather(const std::wstring& replyXml, int selectedWeather, bool englishUnits,
                                    ForecastFields& fields);

struct ForecastDrawOptions {
    std::wstring programDir;   // with a trailing backslash; pictures in its Forecast\ folder
    std::wstring skinName = kDefaultForecastSkin;
    bool showWind = true;      // compass rose and needle
    bool shadow = true;        // the shadow of every text
};

// One laid layer, for hit tests and for the tests.
struct ForecastLayer {
    std::wstring name;   // "panel", "location", "icon", "close", "temperature", "conditions", "conditions2",
                         // "rose", "needle", "day0".."day4" (name), "high0", "dayicon0", "low0", "nighticon0",
                         // "nightly"
    RECT rect{};
};

struct ForecastPicture {
    AlphaBitmap bitmap;
    std::vector<ForecastLayer> layers;
    const ForecastLayer* Layer(std::wstring_view name) const;
};

// Fixed positions of the widget's picture (the close button answers clicks there).
inline constexpr POINT kCloseButtonAt{277, 8};
inline constexpr SIZE kCloseButtonSize{20, 21};
inline constexpr int kNominalIconSize = 64;
inline constexpr SIZE kNominalPanelSize{290, 215};

// Composes the whole picture. The font is the widget's own: the skin's elements change it step by step
// and it keeps its last state for the next drawing. A missing picture is left out (the current icon first
// falls back to the skin's "na" picture, a day icon to that of the day-icon folder). The pictures come
// through the widget's cache, decoded once for all its drawings.
ForecastPicture DrawForecast(ForecastFields& fields, const ForecastReading& reading, const ForecastDrawOptions& options,
                             ForecastFont& font, PictureCache& pictures);

// The GDI font of a forecast font at the screen's resolution.
UniqueFont CreateForecastFont(const ForecastFont& font);

}  // namespace vt
