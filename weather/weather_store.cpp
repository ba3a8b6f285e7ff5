#include "weather/weather_store.h"

namespace vt {

bool WriteWeatherCheckDate(TDateTime now, const RegistryPlace& place) {
    RegKey key = place.OpenWrite();
    return key && key.WriteDouble(L"WeatherCheckDate", now);
}

TDateTime ReadWeatherCheckDate(const RegistryPlace& place) {
    return place.OpenRead().ReadDouble(L"WeatherCheckDate").value_or(0.0);
}

}  // namespace vt
