#include "clock/clock_options.h"

#include "base/inifile.h"
#include "base/registry.h"
#include "base/text.h"
#include "clock/clock_skin.h"
#include "base/files.h"

namespace vt {

namespace {

// Only the first `chars` characters of a stored number count; the rest of the value is ignored.
std::wstring ReadPrefix(const IniFile& ini, const wchar_t* key, const wchar_t* fallback, size_t chars) {
    std::wstring v = ini.ReadString(kClockOptionsSection, key, fallback);
    if (v.size() > chars) v.resize(chars);
    return v;
}

// A switch is decided by its first character: 0 is off, any other digit on. Anything else (a letter,
// a sign, an empty value) takes the key's default.
bool ReadSwitch(const IniFile& ini, const wchar_t* key, bool fallback) {
    std::wstring v = ReadPrefix(ini, key, L"", 1);
    if (v.empty() || v[0] < L'0' || v[0] > L'9') return fallback;
    return v[0] != L'0';
}

long long ReadNumber(const IniFile& ini, const wchar_t* key, long long fallback, size_t chars) {
    return ParseInt(ReadPrefix(ini, key, L"", chars)).value_or(fallback);
}

// Texts are read into fixed buffers: what goes beyond them is ignored (the skin name's buffer is smaller).
constexpr size_t kTextChars = 254;
constexpr size_t kSkinNameChars = 199;

std::wstring ReadText(const IniFile& ini, const wchar_t* key, const wchar_t* fallback, size_t chars = kTextChars) {
    return ReadPrefix(ini, key, fallback, chars);
}

// The stored temperature uses '.' whatever the user's locale says; a comma is no separator here because
// the painter draws the text as stored.
std::optional<double> ParseTemperature(const std::wstring& text) {
    if (text.find(L',') != std::wstring::npos) return std::nullopt;
    return ParseFloat(text);
}

// An icon name is a plain file name in the Weather folder, never a path.
bool IsPlainFileName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." && name != L"..";
}

}  // namespace

void SplitWeatherLocation(const std::wstring& place, std::wstring& line1, std::wstring& line2) {
    size_t p = place.find(L", ");
    if (p == std::wstring::npos) {
        line1 = place;
        line2.clear();
        return;
    }
    line1 = place.substr(0, p + 1);   // the comma stays on the first line
    line2 = place.substr(p + 2);
}

void ReadClockOptions(const IniFile& ini, PainterOptions& o) {
    TClockOptions& c = o.ClockOptions;
    const std::wstring clickText = ReadPrefix(ini, L"Click", L"1", 1);
    c.Click = !clickText.empty() && clickText[0] >= L'0' && clickText[0] <= L'9' ? clickText[0] - L'0' : 1;
    c.EnglishTime = ReadSwitch(ini, L"EnglishTime", true);
    c.WeekShow = ReadSwitch(ini, L"WeekShow", true);
    c.NameWeek = ReadSwitch(ini, L"NameWeek", true);
    c.ShowSeconds = ReadSwitch(ini, L"ShowSeconds", false);
    c.ShowDate = ReadSwitch(ini, L"ShowDate", true);
    c.ShowZero = ReadSwitch(ini, L"ShowZero", true);
    c.BigDate = ReadSwitch(ini, L"BigDate", false);
    c.TransparentClock = ReadSwitch(ini, L"TransparentClock", false);
    c.Blink = ReadSwitch(ini, L"Blink", true);
    c.GradientClock = ReadSwitch(ini, L"GradientClock", false);
    c.ShowZone = ReadSwitch(ini, L"ShowZone", false);
    c.ShowWeather = ReadSwitch(ini, L"ShowWeather", true);
    c.ShowLocation = ReadSwitch(ini, L"ShowLocation", false);
    c.ShowWeatherIcon = ReadSwitch(ini, L"ShowWeatherIcon", true);
    c.ShowZDate = ReadSwitch(ini, L"ShowZDate", false);
    // A transparent clock never has a gradient background.
    c.GradientClock = c.GradientClock && !c.TransparentClock;

    c.Color1 = static_cast<COLORREF>(ReadNumber(ini, L"Color1", 16581375, 8));
    c.Color2 = static_cast<COLORREF>(ReadNumber(ini, L"Color2", 0, 8));
    c.Prefix = ReadText(ini, L"Prefix", L"");
    c.TimeZone = static_cast<int>(ParseInt(ReadPrefix(ini, L"TimeZone", L"0", 4)).value_or(kUnreadableTimeZone));

    c.Temper = ReadText(ini, L"Temper", L"");
    o.TemperValue = 0;
    if (!c.Temper.empty()) {
        if (auto t = ParseTemperature(c.Temper)) {
            o.TemperValue = *t;
            // The painter draws the minus sign itself.
            if (*t < 0) c.Temper.erase(0, c.Temper.find(L'-') + 1);
        } else {
            // The block stays off until the weather writes a readable temperature.
            c.ShowWeather = false;
        }
    }
    c.TemperSymbol = ReadText(ini, L"TemperSymbol", L"");
    c.WeatherIcon = ReadText(ini, L"weatherIcon", kNoWeatherIcon);
    c.WeatherLocation = ReadText(ini, L"weatherLocation", L"");
    SplitWeatherLocation(c.WeatherLocation, o.WeatherLocationLine1, o.WeatherLocationLine2);

    long long mode = ReadNumber(ini, L"Mode", 0, 8);
    c.Mode = static_cast<std::uint8_t>(mode & 0xFF);
    if (c.Mode > 1) c.Mode = 0;
    c.GradientHoriz = ReadSwitch(ini, L"GradientHoriz", false);
    c.SkinName = ReadText(ini, L"SkinName", kDefaultSkinName, kSkinNameChars);
    // The dialog shows an empty name as the default skin; the clock must show the same one.
    if (Trim(c.SkinName).empty()) c.SkinName = kDefaultSkinName;
}

std::wstring WeatherFolderOf(const std::wstring& skinsBase) {
    std::wstring base = skinsBase;
    while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
    size_t slash = base.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    return base.substr(0, slash + 1) + L"Weather\\";
}

void LoadWeatherIcon(PainterOptions& o, const std::wstring& weatherFolder) {
    o.WeatherIconPicture = AlphaBitmap{};
    const std::wstring& name = o.ClockOptions.WeatherIcon;
    o.WeatherIconFile = name + L".png";
    if (!IsPlainFileName(name) || weatherFolder.empty() || !FileExists(weatherFolder + o.WeatherIconFile))
        o.WeatherIconFile = std::wstring(kNoWeatherIcon) + L".png";
    if (!weatherFolder.empty()) o.WeatherIconPicture = LoadPicture(weatherFolder + o.WeatherIconFile);
}

bool LoadClockOptions(PainterOptions& o, ClockSkin& skin, const std::wstring& settingsDir) {
    IniFile ini(WithSlash(settingsDir) + kSettingsFileName);
    // A file held by another program (a save that failed on it, say) is no file of defaults: the clock
    // goes on showing the options in force.
    if (ini.Unreadable() && skin.SkinLoaded()) return true;
    ReadClockOptions(ini, o);
    LoadWeatherIcon(o, WeatherFolderOf(skin.SkinsBase()));
    bool loaded = skin.LoadSkin(o.ClockOptions.SkinName);
    o.ClockOptions.SkinName = skin.SkinName();
    return loaded;
}

std::wstring LocateClockSettingsDir() {
    if (RegKey key = RegKey::Open(HKEY_CURRENT_USER, kProgramRegistryKey)) {
        std::wstring dir = key.ReadString(L"AppDataDir").value_or(L"");
        if (!dir.empty()) return WithSlash(dir);
    }
    DWORD n = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    std::wstring appData;
    if (n > 0) {
        appData.resize(n);
        n = GetEnvironmentVariableW(L"APPDATA", appData.data(), n);
        appData.resize(n);
    }
    if (appData.empty()) return {};
    return WithSlash(appData) + L"Vantoric\\";
}

}  // namespace vt
