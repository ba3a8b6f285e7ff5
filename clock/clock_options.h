// The clock painter's own copy of the clock options, read from section "Options" of Setting.ini with
// the painter's defaults (which differ from the dialog's for some keys). The painter consults only
// these values, never the dialog.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/picture.h"
#include "clock/settings_names.h"

namespace vt {

class ClockSkin;
class IniFile;

inline constexpr const wchar_t* kClockOptionsSection = kOptionsSection;
inline constexpr wchar_t kDefaultSkinName[] = L"Gold";
inline constexpr wchar_t kNoWeatherIcon[] = L"na";
inline constexpr int kUnreadableTimeZone = 27;

// Values before the first read: the painter can lay out the clock before any options exist.
struct TClockOptions {
    int Click = 0;                 // click action 0-6
    bool EnglishTime = true;       // 12-hour clock
    bool WeekShow = true;          // day of the week
    bool NameWeek = false;         // weekday as a name, else the ISO week number
    bool ShowSeconds = false;
    bool ShowDate = false;
    bool ShowZero = true;          // leading zero of the hour
    bool BigDate = false;          // date in large digits
    bool TransparentClock = false; // no background of its own
    bool Blink = false;            // blinking colon
    bool GradientClock = false;
    bool ShowZone = false;         // second (zone) time
    bool ShowWeather = false;      // temperature block
    bool ShowLocation = false;     // place name beside the temperature
    bool ShowWeatherIcon = true;
    bool ShowZDate = true;         // date of the zone time
    COLORREF Color1 = 0;           // gradient colours, 0x00BBGGRR
    COLORREF Color2 = 0;
    std::wstring Prefix;           // label before the zone time
    int TimeZone = 0;              // index into the registry zone list
    std::wstring Temper;           // temperature text, without its minus sign (the painter draws that)
    std::wstring TemperSymbol;     // two characters, the second is drawn as the unit
    std::wstring WeatherIcon;      // icon name
    std::wstring WeatherLocation;  // place text
    std::uint8_t Mode = 0;         // 0 clock, 1 uptime
    bool GradientHoriz = false;    // horizontal gradient, else vertical
    std::wstring SkinName;         // the skin in use
    bool operator==(const TClockOptions&) const = default;
};

struct PainterOptions {
    TClockOptions ClockOptions;
    double TemperValue = 0;               // the temperature as a number (with its sign)
    std::wstring WeatherIconFile;         // file name in the program's Weather folder
    AlphaBitmap WeatherIconPicture;       // empty when neither the icon nor na.png could be loaded
    std::wstring WeatherLocationLine1;    // the place in two lines, split after its first ", "
    std::wstring WeatherLocationLine2;
};

// Reads every key of the table into `o` (SkinName is the requested skin). A missing file, section or key
// gives the painter's default; a value that is no number gives that key's default and reading goes on.
void ReadClockOptions(const IniFile& ini, PainterOptions& o);

// Splits "Paris, France" into "Paris," and "France"; text without ", " stays whole on line 1.
void SplitWeatherLocation(const std::wstring& place, std::wstring& line1, std::wstring& line2);

// The program's Weather folder (with trailing backslash) beside the skins folder; empty without one.
std::wstring WeatherFolderOf(const std::wstring& skinsBase);

// Picks <WeatherIcon>.png, or na.png when that file is missing, and loads it; a picture that cannot be
// loaded leaves WeatherIconPicture empty, so the clock simply shows no icon.
void LoadWeatherIcon(PainterOptions& o, const std::wstring& weatherFolder);

// Reads settingsDir\Setting.ini, loads the weather icon from the Weather folder beside the skin's skins
// folder, then loads the skin the options name. True when that skin loaded; otherwise the previous skin
// stays in use and ClockOptions.SkinName keeps naming it. A file that exists but cannot be read leaves
// the options and the skin in use as they are (true), once a skin is loaded.
bool LoadClockOptions(PainterOptions& o, ClockSkin& skin, const std::wstring& settingsDir);

// Where the options live when nobody passes the folder (inside another process): the program key's
// "AppDataDir", else %APPDATA%\Vantoric\. With trailing backslash.
std::wstring LocateClockSettingsDir();

}  // namespace vt
