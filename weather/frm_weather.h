// The weather page of the main dialog: a child dialog (resource IDD_WEATHER) over WeatherPage. It only
// passes control events to the page's logic and shows the logic's state again after each change.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/window.h"
#include "base/picture.h"
#include "controls/gradient_panel.h"
#include "controls/hints.h"
#include "weather/daily_weather.h"
#include "weather/weather_page.h"

namespace vt {

// What the page needs from the main form besides the options model. Every entry is required: the
// main form implements all of them.
class IWeatherFormHost {
public:
    virtual void SaveOptions() = 0;
    virtual void RefreshClock() = 0;
    virtual ProxySettings CurrentProxy() = 0;        // the proxy page's current values
    virtual void WeatherUpdated() = 0;               // redraw the forecast widget when it exists
    virtual void OpenProxyPage() = 0;                // "Proxy..." (Proxy1Click)
    virtual void HotKeyChanged(WORD hotKey) = 0;     // set the menu item's shortcut text
    virtual HWND HotKeyWindow() = 0;                 // owner of hot key id 1

protected:
    ~IWeatherFormHost() = default;
};

class TfrmWeather final : public Dialog, private IWeatherPageHost {
public:
    static constexpr UINT kWeatherDoneMessage = WM_APP + 0x57;   // posted by the worker
    static constexpr UINT_PTR kTimerWeather = 0x5701;

    TfrmWeather(MainOptions& options, IWeatherFormHost& host, const INow& now, std::wstring programDir,
                RegistryPlace store = {});
    ~TfrmWeather() override;

    // Creates the page as a child of `parent` (hidden; the main form shows and places it).
    HWND Create(HWND parent);
    WeatherPage& Page() { return page_; }

    // Main form entry points.
    void onGetWeather();                 // the hot key, the tray item, the widget's update item
    void LoadFromOptions();              // after LoadOptions filled the model
    void ScheduleWeatherCheck() { page_.ScheduleWeatherCheck(); }
    void OnResume() { page_.OnResume(); }
    void Shutdown() { page_.Shutdown(); }
    void SavePlacement() const { page_.SavePlacement(); }
    void RestorePlacement();
    void SetProxyCaption(bool enabled);  // "Proxy (Enabled)... " / "Proxy (Disabled)... "
    WORD HotKey() const { return page_.State().hotKey; }
    // Registers hot key id 1 on the main window from HotKey1; a refusal shows the message box.
    bool RegisterHotKey();

    // The page's controls, under the names the rest of the program knows them by.
    HWND pbtCurrent{}, pbtDaily{}, pbtSettings{}, lbError{};
    HWND pnCurrentWeather{}, Image2{}, lbHiTemperature{}, imgMoon{}, mmWeather{}, Label25{}, lbTemperature{},
        lbTemperSymbol{};
    HWND pnDailyWeather{};
    HWND pnWeatherCom{}, gradientPanel8{}, chbShowWeather{}, Label1{}, cbFoundPlaces{}, btnGetWeatherCom{},
        cbShowLocation{}, cbShowWeatherIcon{}, rbEnglishUnits{}, rbMetricUnits{}, gradientPanel9{}, Label22{},
        cbWeatherEvery{}, Label5{}, lbWeatherSync{}, btSetProxy{}, Label7{}, HotKey1{};

private:
    // The page's pictures, decoded when first painted and once for all ten tiles (outlives the tiles).
    PictureCache pictures_;

public:
    std::array<TfrDailyWeather, kWeatherTileCount> frDailyWeather;

private:
    void Attached() override { postTarget_ = hwnd_; }
    void Detached() override { postTarget_ = nullptr; }
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l) override;
    void OnInitDialog() override;
    bool TakesFocus() const override { return false; }
    void OnCommand(int id, int code, HWND control) override;
    void UpdateControls();
    void ShowSubPages();
    // The page's roads: the main form's, and this window's own timer and controls.
    void SaveOptions() override { host_.SaveOptions(); }
    void RefreshClock() override { host_.RefreshClock(); }
    ProxySettings CurrentProxy() override { return host_.CurrentProxy(); }
    void WeatherUpdated() override { host_.WeatherUpdated(); }
    void SetWeatherTimer(bool enabled, unsigned ms) override;
    void ViewChanged() override { UpdateControls(); }
    void DrawPicture(const DRAWITEMSTRUCT& item);

    MainOptions& options_;
    IWeatherFormHost& host_;
    std::wstring programDir_;
    std::atomic<HWND> postTarget_{nullptr};   // the worker posts its answer here
    WeatherPage page_;
    bool updating_ = false;
    std::vector<std::wstring> shownPlaces_;
    int shownEveryCount_ = 0;
    std::optional<std::wstring> shownPicture_, shownMoon_;   // nothing until first set
    UniqueFont boldFont_;
    THints hints_;
    TgradientPanel showTitle_, everyTitle_;   // gradientPanel8 and gradientPanel9
    int shownSubPage_ = -1;
    UniqueFont titleFont_, temperatureFont_;   // bold Arial of the title and the current temperature
    static constexpr COLORREF kTitleColour = RGB(40, 80, 150);   // the moon picture's and the settings' hints
};

}  // namespace vt
