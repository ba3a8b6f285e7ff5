// The main dialog's working copy of the options. The dialog's pages edit this model; LoadOptions fills
// it from Setting.ini and the program key, SaveOptions writes it back. Defaults are the dialog's own
// (the painter reads the same file with some other defaults of its own).
#pragma once
#include <string>
#include <vector>

#include "base/datetime.h"

namespace vt {

// Items of the weather check interval list; index 6 exists only when "EveryAdded" is set.
enum WeatherEveryIndex { kWeatherNever = 0, kWeather30Min, kWeather1Hour, kWeather3Hours, kWeather12Hours,
                         kWeather1Day, kWeather1Minute };

// The proxy page: every HTTP request of the program goes through it while enabled.
struct ProxyOptions {
    bool enabled = false;
    std::wstring address;
    std::wstring port;
    std::wstring user;
    std::wstring password;
    bool basicAuth = false;
    // The port as applied: 80 when the text is no port number.
    int PortNumber() const;
    bool operator==(const ProxyOptions&) const = default;
};

struct MainOptions {
    // Time-zone page: index into the registry zone list, -1 when nothing is selected.
    int itemZone = 0;
    // Date / Time page
    std::wstring prefix = L"unknown";
    bool showDate = true;
    bool showZero = false;
    bool bigDate = false;      // rbDateLarge (rbDateSmall is its partner)
    bool weekShow = true;
    bool nameWeek = true;      // rbNameWeek (rbNumWeek is its partner)
    bool showSeconds = false;
    bool englishTime = true;   // 12-hour clock
    bool showZone = false;
    bool showZDate = true;
    bool upTime = false;       // "Mode" 1
    int click = 5;             // click action on the taskbar clock, 0..6
    int hoverMouse = 3;        // hover action, "Show Both" (kept with the window placement)
    bool replaceClock = true;  // cbReplaceQuellix: paint over the taskbar clock (kept with the placement)
    // Skins page
    bool transparentClock = false;
    bool blink = true;
    bool gradientClock = false;
    bool gradientHoriz = true; // rbHoriz (rbVertical is its partner)
    int color1 = 0;
    int color2 = 16777215;
    std::wstring skinName = L"Gold";
    // Options page
    bool startup = true;
    bool onTop = false;
    bool enAlarms = true;
    int activePage = 3;        // "Weather"
    // Atomic-time page
    int every = 0;             // synchronisation interval index
    TDateTime nextSync = 0;
    TDateTime lastSync = 0;    // 0 = never
    // Weather page
    bool showWeather = true;
    bool showLocation = false;
    bool showWeatherIcon = true;
    std::wstring temper = L"0";
    std::wstring temperSymbol = L"\u00B0F";
    std::wstring metricTemp;
    std::wstring engTemp;
    std::wstring weatherIcon = L"na";
    bool everyAdded = false;   // "1 minute" appended to the interval list
    int weatherEvery = kWeather30Min;
    std::wstring currentWeather;         // the current-conditions memo
    std::vector<std::wstring> places;    // most recent first
    int placeIndex = -1;                 // selected place, -1 none
    std::wstring placeText;              // the text of the place box

    ProxyOptions proxy;

    int WeatherEveryCount() const { return everyAdded ? 7 : 6; }
};

}  // namespace vt
