// The weather page's logic: places, units, check interval, hot key, the request and its two completions
// on the main thread, and the values the page keeps. The dialog (TfrmWeather) only mirrors this state.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "base/now.h"
#include "clock/options_model.h"
#include "weather/daily_weather.h"
#include "weather/weather_document.h"
#include "weather/weather_hotkey.h"
#include "weather/weather_request.h"
#include "weather/weather_schedule.h"
#include "weather/weather_store.h"
#include "base/http_worker.h"

namespace vt {

inline constexpr int kWeatherTileCount = 10;
inline constexpr size_t kMaxWeatherPlaces = 8;

// What the page needs of its window and the main form. Every call runs on the main thread; every entry
// is required (TfrmWeather implements them; tests record them).
class IWeatherPageHost {
public:
    virtual void SaveOptions() = 0;                  // writes the model and runs the painter's reader
    virtual void RefreshClock() = 0;                 // TfrmClock::RefreshClock
    virtual ProxySettings CurrentProxy() = 0;        // the proxy page's values
    virtual void WeatherUpdated() = 0;               // redraw the forecast widget when it exists
    virtual void SetWeatherTimer(bool enabled, unsigned intervalMs) = 0;   // the one-shot TimerWeather
    virtual void ViewChanged() = 0;                  // the page's controls show the state again

protected:
    ~IWeatherPageHost() = default;
};

// The page's own state beside the options model (labels, pictures, tiles, sub-page, stored values).
struct WeatherPageState {
    std::wstring errorText;                   // lbError
    bool buttonEnabled = true;                // btnGetWeatherCom
    bool englishUnits = true;                 // rbEnglishUnits (rbMetricUnits is the other)
    std::wstring hiTemperature = L"N/A";      // lbHiTemperature
    std::wstring picturePath;                 // PicturePath, shown by Image2
    std::wstring moonPicturePath;             // moonPictureFilePath, shown by imgMoon
    std::wstring moonHint;                    // imgMoon's hint
    std::array<DailyWeatherState, kWeatherTileCount> tiles;
    std::wstring syncLabel = L"Never";        // lbWeatherSync
    int shownPage = 3;                        // 0 current, 1 daily, 2 settings, other: none
    std::wstring placeList;                   // PlaceList: the place last requested
    std::wstring weatherXml;                  // WeatherXML: the last reply's text
    WORD hotKey = kDefaultWeatherHotKey;      // HotKey1
    WeatherSchedule schedule;                 // the weather timer as last set
};

class WeatherPage {
public:
    // `programDir` ends with a backslash (pictures in its Weather\ and Moon\ folders). `notifyMain` is
    // called on the worker thread when a reply is ready; it must make the main thread call
    // OnRequestDone (TfrmWeather posts itself a message). `store` is the program key.
    WeatherPage(MainOptions& options, IWeatherPageHost& host, const INow& now, std::wstring programDir,
                std::function<void()> notifyMain, RegistryPlace store = {});
    ~WeatherPage();
    WeatherPage(const WeatherPage&) = delete;
    WeatherPage& operator=(const WeatherPage&) = delete;

    // After LoadOptions has filled the model: the unit buttons follow the stored symbol.
    void LoadFromOptions();

    // Triggers. onGetWeather: the "Get Weather" button, the hot key, the tray menu item and the
    // forecast widget; it takes the place box's text. btnGetWeatherComClick: a request with the current
    // settings (timer, unit buttons). An empty place starts nothing.
    void onGetWeather();
    void btnGetWeatherComClick();
    void TimerWeatherTimer();
    void SetEnglishUnits(bool english);   // a unit button was clicked
    // Sets the timer and the "Next run at:" label from the interval and the last successful check.
    void ScheduleWeatherCheck();
    void OnResume() { ScheduleWeatherCheck(); }
    // Main thread, after notifyMain: reads the reply and finishes the request.
    void OnRequestDone();
    // At program end: stops and joins the worker.
    void Shutdown();

    // Settings sub-page.
    void SetShowWeather(bool show);
    void SetShowLocation(bool show);
    void SetShowWeatherIcon(bool show);
    void SetWeatherEvery(int index);
    void ToggleOneMinute();               // a click on the interval group's title
    void SetPlaceText(std::wstring text);
    void SelectPlace(int index);
    void SelectPage(int index);           // onSelectWeatherItem
    void SetHotKey(WORD hotKey) { state_.hotKey = hotKey; }

    // The page's stored values in the program key (and one subkey per tile).
    void SavePlacement() const;
    void RestorePlacement();

    const WeatherPageState& State() const { return state_; }
    const MainOptions& Options() const { return options_; }
    bool Busy() const { return worker_.Running(); }
    // The last reply read, for the forecast widget.
    const std::optional<WeatherReport>& Report() const { return report_; }
    static std::wstring TileName(int index) { return L"frDailyWeather" + std::to_wstring(index + 1); }
    void SetRequestLimits(const HttpLimits& limits) { limits_ = limits; }

private:
    void SetSwitch(bool MainOptions::*option, bool on);
    void Fail(const std::wstring& message);
    void Apply(const WeatherReport& report, bool english);
    void Changed();
    void SaveAndRefresh();

    MainOptions& options_;
    IWeatherPageHost& host_;
    const INow& now_;
    std::wstring programDir_;
    RegistryPlace store_;
    WeatherPageState state_;
    std::optional<WeatherReport> report_;
    HttpLimits limits_;
    bool requestEnglish_ = true;   // the units the running request asked for
    std::wstring requestPlace_;    // and the place
    HttpWorker worker_;
};

}  // namespace vt
