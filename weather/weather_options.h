// The weather values SaveOptions writes to Setting.ini that depend on the place list.
#pragma once
#include <string>

#include "clock/options_model.h"

namespace vt {

struct WeatherOptionValues {
    bool showLocation = false;
    bool showWeatherIcon = true;
    std::wstring weatherIcon;       // "weatherIcon"
    std::wstring weatherLocation;   // "weatherLocation"
};

// With places listed: the switches and icon as they are and the selected place (empty when none is
// selected). With none: no location, the icon shown as "na", and "No Weather, for " + the place box's
// text. Every text is free of control characters.
WeatherOptionValues WeatherOptionsToSave(const MainOptions& options);

}  // namespace vt
