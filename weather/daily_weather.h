// A one-day forecast tile: the day's name as a title, the condition picture with the condition text as
// its hint, and the high and low temperatures. It keeps what it shows in the registry between runs.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles.h"
#include "base/picture.h"
#include "controls/hints.h"
#include "base/window.h"
#include "weather/weather_document.h"
#include "weather/weather_store.h"

namespace vt {

inline constexpr int kDailyWeatherWidth = 81;
inline constexpr int kDailyWeatherHeight = 73;

struct DailyWeatherState {
    std::wstring title = L"Tomorrow";   // pWeatherTitle
    std::wstring hint;                  // Image2's hint: the condition text
    std::wstring hi = L"N/A";           // lbHiTemperature
    std::wstring low = L"N/A";          // lbLoTemperature
    std::wstring picturePath;           // PicturePath; empty shows the default picture
    bool operator==(const DailyWeatherState&) const = default;
};

// Fills a tile from one forecast day. When the day's high is "N/A" (the day is over) the night part
// is shown and the current temperature stands in for the high. A part without a condition text keeps
// the tile's title, hint and temperatures; the picture changes in any case.
void LoadFromDay(DailyWeatherState& tile, const WeatherDay& day, const std::wstring& currentTmp,
                 const std::wstring& unitLetter, const std::wstring& programDir);

// Stored in the subkey named after the tile (e.g. "frDailyWeather1") of `programKey`.
void SaveDailyWeather(const DailyWeatherState& tile, const RegistryPlace& programKey, const std::wstring& tileName);
// Values that are not stored keep what `tile` holds.
void RestoreDailyWeather(DailyWeatherState& tile, const RegistryPlace& programKey, const std::wstring& tileName);

// Paints a tile at the DC's origin: white ground, the title band, the picture and the two temperatures.
void PaintDailyWeather(HDC dc, const DailyWeatherState& tile, const AlphaBitmap& picture);

// The tile as a child control of the weather page. Its picture is decoded when it is first painted, from
// the cache all the page's tiles share (most show the same "na" picture until a forecast came).
class TfrDailyWeather : public Window<TfrDailyWeather> {
public:
    TfrDailyWeather() = default;
    void Create(HWND parent, int x, int y, std::wstring name, std::wstring defaultPicture, PictureCache& pictures);
    const std::wstring& Name() const { return name_; }
    const DailyWeatherState& State() const { return state_; }
    void SetState(const DailyWeatherState& state);
    void Show(bool visible);

    LRESULT OnMessage(UINT m, WPARAM w, LPARAM l);

private:
    void UpdateTips();
    std::wstring name_;
    std::wstring defaultPicture_;
    DailyWeatherState state_;
    PictureCache* pictures_ = nullptr;
    THints tips_;
};

}  // namespace vt
