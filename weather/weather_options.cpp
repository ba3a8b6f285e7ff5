#include "weather/weather_options.h"

#include "clock/base/text.h"

namespace vt {

WeatherOptionValues WeatherOptionsToSave(const MainOptions& options) {
    WeatherOptionValues v;
    if (options.places.empty()) {
        v.showLocation = false;
        v.showWeatherIcon = true;
        v.weatherIcon = L"na";
        v.weatherLocation = L"No Weather, for " + StripControls(options.placeText);
        return v;
    }
    v.showLocation = options.showLocation;
    v.showWeatherIcon = options.showWeatherIcon;
    v.weatherIcon = StripControls(options.weatherIcon);
    const int i = options.placeIndex;
    if (i >= 0 && i < static_cast<int>(options.places.size()))
        v.weatherLocation = StripControls(options.places[static_cast<size_t>(i)]);
    return v;
}

}  // namespace vt
