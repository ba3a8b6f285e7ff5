#include "clock/options_file.h"

#include <oleauto.h>
#include <shlobj.h>
#include <wincrypt.h>

#include "base/file_save.h"
#include "base/inifile.h"
#include "base/late_library.h"
#include "base/locale_text.h"
#include "base/now.h"
#include "base/registry.h"
#include "base/text.h"
#include "base/files.h"

namespace vt {

namespace {

constexpr int kClickActions = 7;
constexpr int kHoverActions = 4;
constexpr int kSyncIntervals = 7;
constexpr int kTabs = 6;

// An index outside its list takes the dialog's default.
int InRange(int value, int count, int fallback) { return value >= 0 && value < count ? value : fallback; }

std::wstring OneLine(const std::wstring& s) { return StripControls(s); }

// The proxy password is kept encrypted for this user; a plain text from an older store is still read.
// No password is an empty value either way, without the crypto library (which costs about a megabyte of
// memory for the rest of the run).
std::vector<std::uint8_t> ProtectText(const std::wstring& text) {
    if (text.empty()) return {};
    DATA_BLOB in{static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                 reinterpret_cast<BYTE*>(const_cast<wchar_t*>(text.data()))};
    DATA_BLOB out{};
    std::vector<std::uint8_t> r;
    static const auto protect = LateFunction<decltype(&CryptProtectData)>(L"crypt32.dll", "CryptProtectData");
    if (protect && protect(&in, L"Vantoric", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) {
        r.assign(out.pbData, out.pbData + out.cbData);
        LocalFree(out.pbData);
    }
    return r;
}

std::wstring UnprotectText(const std::vector<std::uint8_t>& data) {
    if (data.empty()) return {};
    DATA_BLOB in{static_cast<DWORD>(data.size()), const_cast<BYTE*>(data.data())};
    DATA_BLOB out{};
    std::wstring r;
    static const auto unprotect = LateFunction<decltype(&CryptUnprotectData)>(L"crypt32.dll", "CryptUnprotectData");
    if (unprotect && unprotect(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) {
        r.assign(reinterpret_cast<wchar_t*>(out.pbData), out.cbData / sizeof(wchar_t));
        SecureZeroMemory(out.pbData, out.cbData);
        LocalFree(out.pbData);
    }
    return r;
}

void LoadProxy(const RegKey& key, ProxyOptions& p) {
    p.address = key.ReadString(L"edAddress.Text").value_or(p.address);
    p.port = key.ReadString(L"edPort.Text").value_or(p.port);
    p.user = key.ReadString(L"edProxyUser.Text").value_or(p.user);
    if (auto blob = key.ReadBinary(L"edProxyPassword.Text")) p.password = UnprotectText(*blob);
    else p.password = key.ReadString(L"edProxyPassword.Text").value_or(p.password);
    if (auto v = key.ReadDword(L"cbBasicAuthentication.Checked")) p.basicAuth = *v != 0;
    if (auto v = key.ReadDword(L"cbEnableProxy.Checked")) p.enabled = *v != 0;
}

// Each registry value on its own: the first one refused is kept with the system's error for that write.
class ValueWrites {
public:
    ValueWrites(OptionsSaveResult& result, RegKey key, std::wstring path)
        : result_(result), key_(std::move(key)), path_(std::move(path)) {}
    RegKey& key() { return key_; }
    void operator()(const wchar_t* name, bool written) {
        if (written || !result_.refusedValue.empty()) return;
        result_.valueError = GetLastError();
        result_.refusedValue = path_ + L"\\" + name;
    }

private:
    OptionsSaveResult& result_;
    RegKey key_;
    std::wstring path_;
};

void SaveProxy(ValueWrites& write, const ProxyOptions& p) {
    RegKey& key = write.key();
    write(L"edAddress.Text", key.WriteString(L"edAddress.Text", OneLine(p.address)));
    write(L"edPort.Text", key.WriteString(L"edPort.Text", OneLine(p.port)));
    write(L"edProxyUser.Text", key.WriteString(L"edProxyUser.Text", p.user));
    auto blob = ProtectText(p.password);
    if (!p.password.empty() && blob.empty()) write(L"edProxyPassword.Text", false);   // not encrypted: not stored
    else write(L"edProxyPassword.Text", key.WriteBinary(L"edProxyPassword.Text", blob.data(), blob.size()));
    write(L"cbBasicAuthentication.Checked", key.WriteDword(L"cbBasicAuthentication.Checked", p.basicAuth ? 1 : 0));
    write(L"cbEnableProxy.Checked", key.WriteDword(L"cbEnableProxy.Checked", p.enabled ? 1 : 0));
}

}  // namespace

int ProxyOptions::PortNumber() const {
    auto v = ParseInt(port);
    return v && *v >= 1 && *v <= 65535 ? static_cast<int>(*v) : 80;
}

ProxyOptions ReadSystemProxy(HKEY root, const std::wstring& internetSettingsKey) {
    ProxyOptions p;
    RegKey key = RegKey::Open(root, internetSettingsKey, KEY_READ);
    if (auto text = key.ReadString(L"ProxyEnable")) {
        std::wstring t = L" " + LowerAscii(*text) + L" ";
        bool yes = std::wstring(L" yes true t enabled 1 ").find(t) != std::wstring::npos;
        bool no = std::wstring(L" no false f none disabled 0 ").find(t) != std::wstring::npos;
        p.enabled = yes || !no;
    } else if (auto dword = key.ReadDword(L"ProxyEnable")) {
        p.enabled = (*dword & 0xFF) != 0;
    } else if (auto bin = key.ReadBinary(L"ProxyEnable")) {
        p.enabled = !bin->empty() && (*bin)[0] != 0;
    }
    std::wstring server = key.ReadString(L"ProxyServer").value_or(L"");
    size_t colon = server.find(L':');
    if (colon == std::wstring::npos) {
        p.address = server;
    } else {
        p.address = server.substr(0, colon);
        p.port = server.substr(colon + 1, 999);
    }
    return p;
}




std::wstring RunValueFor(const std::wstring& appDir) { return L"\"" + appDir + L"\\Vantoric.exe\""; }

namespace {
// The on/off options, each under its key; written in this order, as the file has always had them.
struct Switch {
    const wchar_t* key;
    bool MainOptions::*option;
};
const Switch kClockSwitches[] = {
    {L"ShowDate", &MainOptions::showDate},       {L"ShowZero", &MainOptions::showZero},
    {L"BigDate", &MainOptions::bigDate},         {L"WeekShow", &MainOptions::weekShow},
    {L"NameWeek", &MainOptions::nameWeek},       {L"ShowSeconds", &MainOptions::showSeconds},
    {L"EnglishTime", &MainOptions::englishTime}, {L"TransparentClock", &MainOptions::transparentClock},
    {L"Blink", &MainOptions::blink},             {L"GradientClock", &MainOptions::gradientClock},
    {L"GradientHoriz", &MainOptions::gradientHoriz}};
const Switch kProgramSwitches[] = {{L"Startup", &MainOptions::startup},
                                   {L"OnTop", &MainOptions::onTop},
                                   {L"ShowZone", &MainOptions::showZone},
                                   {L"ShowWeather", &MainOptions::showWeather},
                                   {L"ShowZDate", &MainOptions::showZDate}};
}  // namespace

LoadedOptionsExtras LoadOptions(const OptionsStore& store, MainOptions& o) {
    const MainOptions d;  // the dialog's defaults
    LoadedOptionsExtras extras;
    IniFile ini(store.SettingsFile());
    extras.fileRead = !ini.Unreadable();
    const wchar_t* s = kOptionsSection;
    o.itemZone = ini.ReadInteger(s, L"ItemZone", d.itemZone);
    if (o.itemZone < 0) o.itemZone = d.itemZone;
    o.prefix = ini.ReadString(s, L"Prefix", d.prefix);
    for (const Switch& w : kClockSwitches) o.*w.option = ini.ReadBool(s, w.key, d.*w.option);
    for (const Switch& w : kProgramSwitches) o.*w.option = ini.ReadBool(s, w.key, d.*w.option);
    o.color1 = ini.ReadInteger(s, L"Color1", d.color1);
    o.color2 = ini.ReadInteger(s, L"Color2", d.color2);
    o.click = InRange(ini.ReadInteger(s, L"Click", d.click), kClickActions, d.click);
    o.temper = ini.ReadString(s, L"Temper", d.temper);
    o.metricTemp = ini.ReadString(s, L"metricTemp", d.metricTemp);
    o.weatherIcon = ini.ReadString(s, L"weatherIcon", d.weatherIcon);
    o.engTemp = ini.ReadString(s, L"engTemp", d.engTemp);
    o.temperSymbol = ini.ReadString(s, L"TemperSymbol", d.temperSymbol);
    o.showLocation = ini.ReadBool(s, L"ShowLocation", d.showLocation);
    o.showWeatherIcon = ini.ReadBool(s, L"ShowWeatherIcon", d.showWeatherIcon);
    o.everyAdded = ini.ReadBool(s, L"EveryAdded", d.everyAdded);
    o.every = InRange(ini.ReadInteger(s, L"Every", d.every), kSyncIntervals, d.every);
    o.nextSync = TextToDateTime(ini.ReadString(s, L"NextSync", L"")).value_or(d.nextSync);
    o.enAlarms = ini.ReadBool(s, L"EnAlarms", d.enAlarms);
    o.activePage = InRange(ini.ReadInteger(s, L"ActivePage", d.activePage), kTabs, d.activePage);
    std::wstring lastSync = ini.ReadString(s, L"LastSync", L"");
    if (lastSync.empty()) {
        o.lastSync = 0;
    } else if (auto v = TextToDateTime(lastSync)) {
        o.lastSync = *v;
    } else {
        // Unreadable: shown as never synchronised rather than as a made-up date.
        o.lastSync = 0;
        extras.lastSyncReadable = false;
    }
    o.skinName = ini.ReadString(s, L"SkinName", d.skinName);
    if (Trim(o.skinName).empty()) o.skinName = d.skinName;
    o.upTime = ini.ReadInteger(s, L"Mode", 0) == 1;
    // A lock taken or let go while reading: only a file read throughout counts as read.
    extras.fileRead = extras.fileRead && !ini.Unreadable();

    RegKey key = RegKey::Open(store.root, store.programKey, KEY_READ);
    if (auto weather = key.ReadString(L"CurrentWeather")) o.currentWeather = *weather;
    if (auto every = key.ReadDword(L"WeatherEvery"))
        o.weatherEvery = InRange(static_cast<int>(*every), o.WeatherEveryCount(), d.weatherEvery);
    if (auto click = key.ReadDword(L"cbClick.ItemIndex"))
        o.click = InRange(static_cast<int>(*click), kClickActions, o.click);
    if (auto hover = key.ReadDword(L"cbHoverMouse.ItemIndex"))
        o.hoverMouse = InRange(static_cast<int>(*hover), kHoverActions, o.hoverMouse);
    if (auto replace = key.ReadDword(L"cbReplaceQuellix.Checked")) o.replaceClock = *replace != 0;
    LoadProxy(key, o.proxy);
    // Nothing entered yet: start from the system's own proxy.
    if (o.proxy.address.empty() && o.proxy.port.empty()) {
        ProxyOptions system = ReadSystemProxy(store.root);
        system.user = o.proxy.user;
        system.password = o.proxy.password;
        system.basicAuth = o.proxy.basicAuth;
        o.proxy = system;
    }
    return extras;
}

std::wstring OptionsSaveResult::Report(const OptionsStore& store) const {
    std::wstring text;
    if (!fileSaved) text = L"The options could not be saved to " + store.SettingsFile() + L": " + SystemErrorText(fileError);
    if (!refusedValue.empty()) {
        if (!text.empty()) text += L"\n";
        text += L"The registry value " + std::wstring(store.root == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER\\" : L"") +
                refusedValue + L" could not be written: " + SystemErrorText(valueError);
    }
    return text;
}

OptionsSaveResult SaveOptions(const OptionsStore& store, const MainOptions& o) {
    OptionsSaveResult result;
    IniFile ini(store.SettingsFile());
    const wchar_t* s = kOptionsSection;
    bool ok = true;
    auto str = [&](const wchar_t* k, const std::wstring& v) { ok &= ini.WriteString(s, k, OneLine(v)); };
    auto sw = [&](const wchar_t* k, bool v) { ok &= ini.WriteBool(s, k, v); };
    auto num = [&](const wchar_t* k, long long v) { ok &= ini.WriteInteger(s, k, v); };
    ini.BeginUpdate();   // one save for every key
    if (o.itemZone >= 0) {
        num(L"ItemZone", o.itemZone);
        str(L"TimeZone", std::to_wstring(o.itemZone));
    }
    str(L"Prefix", o.prefix);
    for (const Switch& w : kClockSwitches) sw(w.key, o.*w.option);
    num(L"Color1", o.color1);
    num(L"Color2", o.color2);
    for (const Switch& w : kProgramSwitches) sw(w.key, o.*w.option);
    str(L"Temper", o.temper);
    str(L"TemperSymbol", o.temperSymbol);
    str(L"metricTemp", o.metricTemp);
    str(L"weatherIcon", o.weatherIcon);
    sw(L"ShowLocation", o.showLocation);
    sw(L"ShowWeatherIcon", o.showWeatherIcon);
    if (!o.places.empty()) {
        bool selected = o.placeIndex >= 0 && o.placeIndex < static_cast<int>(o.places.size());
        str(L"weatherLocation", selected ? o.places[static_cast<size_t>(o.placeIndex)] : std::wstring());
    } else {
        sw(L"ShowLocation", false);
        sw(L"ShowWeatherIcon", true);
        str(L"weatherIcon", L"na");
        str(L"weatherLocation", L"No Weather, for " + o.placeText);
    }
    str(L"engTemp", o.engTemp);
    sw(L"EnAlarms", o.enAlarms);
    sw(L"EveryAdded", o.everyAdded);
    num(L"Every", o.every);
    num(L"Click", InRange(o.click, kClickActions, 0));
    num(L"Mode", o.upTime ? 1 : 0);
    num(L"ActivePage", o.activePage);
    ok &= ini.EndUpdate();
    if (!ok) {
        result.fileSaved = false;
        result.fileError = GetLastError();
    }

    // A refused Run value (security software, policy) keeps neither the rest nor the file from being saved.
    ValueWrites run(result, RegKey::Create(store.root, store.runKey), store.runKey);
    if (o.startup) run(kRunValue, run.key().WriteString(kRunValue, RunValueFor(store.appDir)));
    else if (run.key().ValueExists(kRunValue)) run(kRunValue, run.key().DeleteValue(kRunValue));
    ValueWrites program(result, RegKey::Create(store.root, store.programKey), store.programKey);
    RegKey& key = program.key();
    program(L"CurrentWeather", key.WriteString(L"CurrentWeather", o.currentWeather));
    program(L"WeatherEvery", key.WriteDword(L"WeatherEvery", static_cast<std::uint32_t>(o.weatherEvery)));
    program(L"cbClick.ItemIndex",
            key.WriteDword(L"cbClick.ItemIndex", static_cast<std::uint32_t>(InRange(o.click, kClickActions, 0))));
    program(L"cbHoverMouse.ItemIndex",
            key.WriteDword(L"cbHoverMouse.ItemIndex", static_cast<std::uint32_t>(o.hoverMouse)));
    program(L"cbReplaceQuellix.Checked", key.WriteDword(L"cbReplaceQuellix.Checked", o.replaceClock ? 1 : 0));
    SaveProxy(program, o.proxy);
    return result;
}

std::wstring ReadAppDataDir(const OptionsStore& store) {
    RegKey key = RegKey::Open(store.root, store.programKey, KEY_READ);
    std::wstring dir = Trim(key.ReadString(L"AppDataDir").value_or(L""));
    return dir.empty() ? dir : WithSlash(dir);
}

bool WriteAppDataDir(const OptionsStore& store, const std::wstring& dir) {
    RegKey key = RegKey::Create(store.root, store.programKey);
    return key && key.WriteString(L"AppDataDir", WithSlash(dir));
}

bool CreateFolderTree(const std::wstring& dir) {
    std::wstring path = dir;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    if (path.empty()) return false;
    DWORD attr = GetFileAttributesW(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    int rc = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    return rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS || rc == ERROR_FILE_EXISTS;
}

std::wstring ResolveSettingsDir(const OptionsStore& store) {
    std::wstring dir = ReadAppDataDir(store);
    if (dir.empty()) {
        DWORD n = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
        std::wstring appData(n, L'\0');
        if (n) appData.resize(GetEnvironmentVariableW(L"APPDATA", appData.data(), n));
        dir = WithSlash(appData) + L"Vantoric\\";
    }
    CreateFolderTree(dir);
    return dir;
}

bool RecordSuccessfulSync(const OptionsStore& store, TDateTime now) {
    return IniFile(store.SettingsFile()).WriteString(kOptionsSection, L"LastSync", DateTimeToText(now));
}

bool WriteNextSync(const OptionsStore& store, TDateTime when) {
    return IniFile(store.SettingsFile()).WriteString(kOptionsSection, L"NextSync", DateTimeToText(when));
}

FolderChangeResult ChangeSettingsFolder(OptionsStore& store, const MainOptions& options, const std::wstring& newDir) {
    FolderChangeResult r;
    std::wstring target = WithSlash(newDir);
    wchar_t a[MAX_PATH * 2] = L"", b[MAX_PATH * 2] = L"";
    GetFullPathNameW(target.c_str(), MAX_PATH * 2, a, nullptr);
    GetFullPathNameW(store.settingsDir.c_str(), MAX_PATH * 2, b, nullptr);
    if (CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL) return r;  // same folder: nothing to move
    if (!CreateFolderTree(target)) {
        r.error = L"Can't create the folder " + target;
        return r;
    }
    auto copy = [&](const wchar_t* name) -> bool {
        std::wstring from = store.settingsDir + name;
        if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) return true;  // nothing to carry
        // Whole or not at all: a half-copied alarms.ini in the new folder would be read as the alarms.
        if (CopyFileAtomically(from, target + name, IniFile::kMaxFileSize)) return true;
        r.error = std::wstring(L"Can't copy ") + name + L" to " + target;
        return false;
    };
    // The alarms first: if they cannot move, nothing changes.
    if (!copy(L"alarms.ini") || !copy(kSettingsFileName)) return r;
    OptionsStore moved = store;
    moved.settingsDir = target;
    // The new folder is taken only once the options are there and the folder is recorded.
    // A registry value the save could not write is no reason to stay: it is reported, the folder changes.
    r.saved = SaveOptions(moved, options);
    if (!r.saved.fileSaved) {
        r.error = L"Can't save the options to " + moved.SettingsFile() + L": " + SystemErrorText(r.saved.fileError);
        return r;
    }
    if (!WriteAppDataDir(moved, target)) {
        r.error = L"Can't record the settings folder " + target + L": " + SystemErrorText(GetLastError());
        return r;
    }
    store = moved;
    r.changed = true;
    return r;
}

}  // namespace vt
