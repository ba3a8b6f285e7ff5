#include "weather/weather_store.h"

#include <cmath>

namespace vt {

bool WriteWeatherCheckDate(TDateTime now, const RegistryPlace& place) {
    RegKey key = place.OpenWrite();
    return key && key.WriteDouble(L"WeatherCheckDate", now);
}

TDateTime ReadWeatherCheckDate(const RegistryPlace& place) {
    const double stored = place.OpenRead().ReadDouble(L"WeatherCheckDate").value_or(0.0);
    // NaN or a date past the year 9999 would never fall due: such a value reads as "never checked".
    if (!std::isfinite(stored) || stored < 0 || stored >= kMaxDateTime) return 0.0;
    return stored;
}

}  // namespace vt
