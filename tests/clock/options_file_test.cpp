#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <atomic>

#include "base/inifile.h"
#include "base/registry.h"
#include "base/text.h"
#include "clock/options_file.h"
#include "weather/weather_schedule.h"
#include "weather/weather_store.h"
#include "support/test_support.h"

using namespace vt;

namespace {

// Each test gets its own settings folder (with non-ASCII letters) and its own registry keys.
class OptionsFileTest : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> n{0};
        std::wstring base = L"Software\\VantoricTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(n++);
        store.programKey = base + L"\\Program";
        store.runKey = base + L"\\Run";
        store.settingsDir = dir.path() + L"Zürich Ωmega\\";
        store.appDir = L"C:\\Program Files\\Vantoric";
        CreateFolderTree(store.settingsDir);
        keyBase = base;
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, keyBase.c_str()); }

    std::wstring Stored(const wchar_t* key) {
        return IniFile(store.SettingsFile()).ReadString(kOptionsSection, key, L"<missing>");
    }

    test::TempDir dir;
    OptionsStore store;
    std::wstring keyBase;
};

std::vector<std::wstring> KeysInFileOrder(const std::wstring& path) {
    return IniFile(path).KeyNames(kOptionsSection);
}

}  // namespace

TEST_F(OptionsFileTest, FreshProfileGivesTheDialogDefaults) {
    MainOptions o;
    o.prefix = L"changed";
    o.click = 0;
    o.skinName = L"";
    auto extras = LoadOptions(store, o);
    const MainOptions d;
    EXPECT_EQ(o.prefix, L"unknown");
    EXPECT_EQ(o.click, 5);
    EXPECT_EQ(o.skinName, L"Gold");
    EXPECT_EQ(o.activePage, 3);
    EXPECT_EQ(o.temperSymbol, L"\u00B0F");
    EXPECT_EQ(o.weatherIcon, L"na");
    EXPECT_EQ(o.color2, 16777215);
    EXPECT_TRUE(o.showDate && o.weekShow && o.nameWeek && o.englishTime && o.blink && o.gradientHoriz);
    EXPECT_TRUE(o.startup && o.showWeather && o.showZDate && o.enAlarms && o.showWeatherIcon);
    EXPECT_FALSE(o.showZero || o.bigDate || o.showSeconds || o.transparentClock || o.gradientClock || o.onTop);
    EXPECT_FALSE(o.upTime || o.showZone || o.showLocation || o.everyAdded);
    EXPECT_EQ(o.lastSync, 0);
    EXPECT_TRUE(extras.lastSyncReadable);
}

TEST_F(OptionsFileTest, SaveWritesEveryKeyInTheStoredOrder) {
    MainOptions o;
    o.places = {L"Paris, France"};
    o.placeIndex = 0;
    ASSERT_TRUE(SaveOptions(store, o));
    std::vector<std::wstring> expected = {
        L"ItemZone", L"TimeZone", L"Prefix", L"ShowDate", L"ShowZero", L"BigDate", L"WeekShow", L"NameWeek",
        L"ShowSeconds", L"EnglishTime", L"TransparentClock", L"Blink", L"GradientClock", L"GradientHoriz",
        L"Color1", L"Color2", L"Startup", L"OnTop", L"ShowZone", L"ShowWeather", L"ShowZDate", L"Temper",
        L"TemperSymbol", L"metricTemp", L"weatherIcon", L"ShowLocation", L"ShowWeatherIcon", L"weatherLocation",
        L"engTemp", L"EnAlarms", L"EveryAdded", L"Every", L"Click", L"Mode", L"ActivePage"};
    EXPECT_EQ(KeysInFileOrder(store.SettingsFile()), expected);
    EXPECT_EQ(Stored(L"weatherLocation"), L"Paris, France");
    EXPECT_EQ(Stored(L"Color2"), L"16777215");
    EXPECT_EQ(Stored(L"ShowDate"), L"1");
}

TEST_F(OptionsFileTest, EveryOptionRoundTripsThroughANonAsciiFolder) {
    MainOptions o;
    o.itemZone = 17; o.prefix = L"Токио 東京"; o.showDate = false; o.showZero = true; o.bigDate = true;
    o.weekShow = false; o.nameWeek = false; o.showSeconds = true; o.englishTime = false;
    o.transparentClock = true; o.blink = false; o.gradientClock = true; o.gradientHoriz = false;
    o.color1 = 255; o.color2 = 65280; o.startup = false; o.onTop = true; o.showZone = true;
    o.showWeather = false; o.showZDate = false; o.temper = L"-3.5"; o.temperSymbol = L"\u00B0C";
    o.metricTemp = L"-3.5"; o.engTemp = L"25.7"; o.weatherIcon = L"33"; o.showLocation = true;
    o.showWeatherIcon = false; o.places = {L"Zürich"}; o.placeIndex = 0; o.enAlarms = false;
    o.everyAdded = true; o.weatherEvery = 6; o.every = 4; o.click = 2; o.hoverMouse = 1; o.upTime = true;
    o.activePage = 5; o.currentWeather = L"Light snow\r\nWind: 5 km/h";
    ASSERT_TRUE(SaveOptions(store, o));
    MainOptions r;
    LoadOptions(store, r);
    EXPECT_EQ(r.itemZone, 17); EXPECT_EQ(r.prefix, o.prefix); EXPECT_FALSE(r.showDate); EXPECT_TRUE(r.showZero);
    EXPECT_TRUE(r.bigDate); EXPECT_FALSE(r.weekShow); EXPECT_FALSE(r.nameWeek); EXPECT_TRUE(r.showSeconds);
    EXPECT_FALSE(r.englishTime); EXPECT_TRUE(r.transparentClock); EXPECT_FALSE(r.blink);
    EXPECT_TRUE(r.gradientClock); EXPECT_FALSE(r.gradientHoriz); EXPECT_EQ(r.color1, 255); EXPECT_EQ(r.color2, 65280);
    EXPECT_FALSE(r.startup); EXPECT_TRUE(r.onTop); EXPECT_TRUE(r.showZone); EXPECT_FALSE(r.showWeather);
    EXPECT_FALSE(r.showZDate); EXPECT_EQ(r.temper, L"-3.5"); EXPECT_EQ(r.temperSymbol, L"\u00B0C");
    EXPECT_EQ(r.metricTemp, L"-3.5"); EXPECT_EQ(r.engTemp, L"25.7"); EXPECT_EQ(r.weatherIcon, L"33");
    EXPECT_TRUE(r.showLocation); EXPECT_FALSE(r.showWeatherIcon); EXPECT_FALSE(r.enAlarms); EXPECT_TRUE(r.everyAdded);
    EXPECT_EQ(r.weatherEvery, 6); EXPECT_EQ(r.every, 4); EXPECT_EQ(r.click, 2); EXPECT_EQ(r.hoverMouse, 1);
    EXPECT_TRUE(r.upTime); EXPECT_EQ(r.activePage, 5); EXPECT_EQ(r.currentWeather, o.currentWeather);
    // The file the program creates is UTF-16 with a byte-order mark.
    std::string bytes = test::ReadFileBytes(store.SettingsFile());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

TEST_F(OptionsFileTest, MalformedValuesTakeTheirDefaultsAndReadingGoesOn) {
    test::WriteFileBytes(store.SettingsFile(),
                         "[Options]\r\nShowDate=yes\r\nShowZero=1\r\nClick=9\r\nActivePage=-1\r\nEvery=12\r\n"
                         "Color1=abc\r\nMode=2\r\nSkinName=\r\nLastSync=not a date\r\nItemZone=-4\r\n");
    MainOptions o;
    auto extras = LoadOptions(store, o);
    EXPECT_TRUE(o.showDate);      // not a number: default
    EXPECT_TRUE(o.showZero);      // reading went on
    EXPECT_EQ(o.click, 5);
    EXPECT_EQ(o.activePage, 3);
    EXPECT_EQ(o.every, 0);
    EXPECT_EQ(o.color1, 0);
    EXPECT_FALSE(o.upTime);       // only 1 means uptime
    EXPECT_EQ(o.skinName, L"Gold");
    EXPECT_EQ(o.lastSync, 0);
    EXPECT_FALSE(extras.lastSyncReadable);
    EXPECT_EQ(o.itemZone, 0);
}

TEST_F(OptionsFileTest, EmptyPlaceListWritesTheNoWeatherValues) {
    MainOptions o;
    o.showLocation = true;
    o.showWeatherIcon = false;
    o.weatherIcon = L"12";
    o.placeText = L"Oslo\r\nEvil=1";
    SaveOptions(store, o);
    EXPECT_EQ(Stored(L"ShowLocation"), L"0");
    EXPECT_EQ(Stored(L"ShowWeatherIcon"), L"1");
    EXPECT_EQ(Stored(L"weatherIcon"), L"na");
    EXPECT_EQ(Stored(L"weatherLocation"), L"No Weather, for OsloEvil=1");
    EXPECT_EQ(Stored(L"Evil"), L"<missing>");
}

TEST_F(OptionsFileTest, SelectedPlaceIsTheLocationShownOnTheClock) {
    MainOptions o;
    o.places = {L"Oslo", L"Paris, France"};
    o.placeIndex = 1;
    o.showLocation = true;
    o.weatherIcon = L"29";
    SaveOptions(store, o);
    EXPECT_EQ(Stored(L"weatherLocation"), L"Paris, France");
    EXPECT_EQ(Stored(L"ShowLocation"), L"1");
    EXPECT_EQ(Stored(L"weatherIcon"), L"29");
    o.placeIndex = -1;
    SaveOptions(store, o);
    EXPECT_EQ(Stored(L"weatherLocation"), L"");
}

TEST_F(OptionsFileTest, NoZoneSelectedKeepsTheStoredZone) {
    MainOptions o;
    o.itemZone = 8;
    SaveOptions(store, o);
    o.itemZone = -1;
    SaveOptions(store, o);
    EXPECT_EQ(Stored(L"ItemZone"), L"8");
    EXPECT_EQ(Stored(L"TimeZone"), L"8");
}

TEST_F(OptionsFileTest, TextValuesCannotAddKeys) {
    MainOptions o;
    o.prefix = L"evil\r\nStartup=0\r\n[Other]";
    SaveOptions(store, o);
    EXPECT_EQ(Stored(L"Prefix"), L"evilStartup=0[Other]");
    EXPECT_EQ(Stored(L"Startup"), L"1");
    EXPECT_FALSE(IniFile(store.SettingsFile()).SectionExists(L"Other"));
}

TEST_F(OptionsFileTest, RunValueIsQuotedAndRemovedWhenStartupIsOff) {
    MainOptions o;
    SaveOptions(store, o);
    RegKey run = RegKey::Open(HKEY_CURRENT_USER, store.runKey);
    EXPECT_EQ(run.ReadString(kRunValue).value_or(L""), L"\"C:\\Program Files\\Vantoric\\Vantoric.exe\"");
    o.startup = false;
    SaveOptions(store, o);
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, store.runKey).ValueExists(kRunValue));
}

TEST_F(OptionsFileTest, RegistryValuesOfTheWrongTypeCountAsMissing) {
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, store.programKey);
    key.WriteString(L"WeatherEvery", L"3");
    key.WriteDword(L"CurrentWeather", 5);
    key.WriteString(L"WeatherCheckDate", L"46000");
    MainOptions o;
    LoadOptions(store, o);
    EXPECT_EQ(o.weatherEvery, kWeather30Min);
    EXPECT_EQ(o.currentWeather, L"");
    EXPECT_EQ(ReadWeatherCheckDate(RegistryPlace{HKEY_CURRENT_USER, store.programKey}), 0);
    key.WriteDword(L"WeatherEvery", 6);  // "1 minute" without the extra item: out of range
    LoadOptions(store, o);
    EXPECT_EQ(o.weatherEvery, kWeather30Min);
}

TEST_F(OptionsFileTest, WeatherCheckDateInTheFutureCountsAsDue) {
    RegistryPlace place{HKEY_CURRENT_USER, store.programKey};
    WriteWeatherCheckDate(46000.5, place);
    EXPECT_EQ(ReadWeatherCheckDate(place), 46000.5);
    // Read back at a "now" before the stored date (the clock went back): due in 5 seconds.
    WeatherSchedule due = ScheduleWeatherCheck(kWeather1Hour, ReadWeatherCheckDate(place), 46000);
    EXPECT_TRUE(due.enabled);
    EXPECT_EQ(due.intervalMs, 5000u);
}

TEST_F(OptionsFileTest, SyncDatesRoundTripAsLocaleText) {
    TDateTime when = EncodeDateTime(2026, 3, 14, 15, 9, 26);
    RecordSuccessfulSync(store, when);
    WriteNextSync(store, EncodeDate(2026, 3, 15));
    MainOptions o;
    LoadOptions(store, o);
    EXPECT_NEAR(o.lastSync, when, kOneSecond / 2);
    EXPECT_EQ(o.nextSync, EncodeDate(2026, 3, 15));
}

TEST_F(OptionsFileTest, AppDataDirGetsATrailingBackslashAndIsCreated) {
    std::wstring target = dir.path() + L"Einstellungen ä\\tief";
    RegKey::Create(HKEY_CURRENT_USER, store.programKey).WriteString(L"AppDataDir", target);
    EXPECT_EQ(ReadAppDataDir(store), target + L"\\");
    EXPECT_EQ(ResolveSettingsDir(store), target + L"\\");
    EXPECT_NE(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OptionsFileTest, FolderChangeCarriesEveryOptionAndTheAlarms) {
    MainOptions o;
    o.prefix = L"Moved";
    SaveOptions(store, o);
    IniFile(store.SettingsFile()).WriteString(kOptionsSection, L"SkinName", L"Silver");
    RecordSuccessfulSync(store, EncodeDate(2026, 1, 2));
    test::WriteFileBytes(store.settingsDir + L"alarms.ini", "[Alarm1]\r\nMessage=wake\r\n");
    std::wstring oldDir = store.settingsDir;
    std::wstring target = dir.path() + L"Neu ö";
    auto r = ChangeSettingsFolder(store, o, target);
    ASSERT_TRUE(r.changed) << Narrow(r.error);
    EXPECT_EQ(store.settingsDir, target + L"\\");
    EXPECT_EQ(Stored(L"SkinName"), L"Silver");
    EXPECT_NE(Stored(L"LastSync"), L"<missing>");
    EXPECT_EQ(Stored(L"Prefix"), L"Moved");
    EXPECT_EQ(test::ReadFileBytes(store.settingsDir + L"alarms.ini"), "[Alarm1]\r\nMessage=wake\r\n");
    EXPECT_EQ(ReadAppDataDir(store), target + L"\\");
    // The old folder keeps its files.
    EXPECT_EQ(test::ReadFileBytes(oldDir + L"alarms.ini"), "[Alarm1]\r\nMessage=wake\r\n");
}

TEST_F(OptionsFileTest, FolderChangeToTheSameFolderDoesNothing) {
    MainOptions o;
    auto r = ChangeSettingsFolder(store, o, store.settingsDir.substr(0, store.settingsDir.size() - 1));
    EXPECT_FALSE(r.changed);
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(ReadAppDataDir(store), L"");
}

TEST_F(OptionsFileTest, FailedAlarmCopyKeepsTheOldFolder) {
    MainOptions o;
    SaveOptions(store, o);
    test::WriteFileBytes(store.settingsDir + L"alarms.ini", "[Alarm1]\r\n");
    std::wstring target = dir.path() + L"blocked\\";
    CreateFolderTree(target + L"alarms.ini");  // a folder where the file should go
    std::wstring before = store.settingsDir;
    auto r = ChangeSettingsFolder(store, o, target);
    EXPECT_FALSE(r.changed);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(store.settingsDir, before);
    EXPECT_EQ(ReadAppDataDir(store), L"");
}

TEST_F(OptionsFileTest, FailedSaveInTheNewFolderKeepsTheOldFolder) {
    MainOptions o;
    std::wstring target = dir.path() + L"no-room\\";
    CreateFolderTree(target + kSettingsFileName);   // a folder where the options file should go
    std::wstring before = store.settingsDir;
    auto r = ChangeSettingsFolder(store, o, target);
    EXPECT_FALSE(r.changed);
    EXPECT_NE(r.error.find(kSettingsFileName), std::wstring::npos) << Narrow(r.error);
    EXPECT_EQ(store.settingsDir, before);
    EXPECT_EQ(ReadAppDataDir(store), L"");
}

TEST_F(OptionsFileTest, RunValueThatPolicyGuardsIsReportedByNameAndTheFolderChangeGoesOn) {
    PSECURITY_DESCRIPTOR readOnly = nullptr;   // "Startup" is on by default; the Run key may only be read
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KR;;;WD)", 1, &readOnly, nullptr));
    RegKey run = RegKey::Create(HKEY_CURRENT_USER, store.runKey, KEY_READ | WRITE_DAC);
    const LONG guarded = RegSetKeySecurity(run.get(), DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    ASSERT_EQ(guarded, ERROR_SUCCESS);
    const std::wstring target = dir.path() + L"moved\\";
    auto r = ChangeSettingsFolder(store, MainOptions{}, target);
    EXPECT_TRUE(r.changed) << Narrow(r.error);
    EXPECT_EQ(ReadAppDataDir(store), target);
    EXPECT_EQ(r.saved.Report(store), L"The registry value HKEY_CURRENT_USER\\" + store.runKey +
                                         L"\\Vantoric could not be written: " + SystemErrorText(ERROR_ACCESS_DENIED));
}

TEST_F(OptionsFileTest, SyncDateWritesTellWhetherTheyWereSaved) {
    EXPECT_TRUE(RecordSuccessfulSync(store, EncodeDate(2026, 1, 2)));
    HANDLE holder = CreateFileW(store.SettingsFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(RecordSuccessfulSync(store, EncodeDate(2026, 1, 3)));
    EXPECT_FALSE(WriteNextSync(store, EncodeDate(2026, 1, 4)));
    CloseHandle(holder);
    EXPECT_TRUE(WriteNextSync(store, EncodeDate(2026, 1, 4)));
}

TEST_F(OptionsFileTest, SystemProxyTextsCountAsEnabledUnlessTheySayNo) {
    std::wstring path = keyBase + L"\\Internet Settings";
    const struct { const wchar_t* text; bool enabled; } cases[] = {
        {L"Maybe", true}, {L"0", false}, {L"no", false}, {L"NONE", false}, {L"True", true}, {L"1", true}};
    for (const auto& c : cases) {
        RegKey::Create(HKEY_CURRENT_USER, path).WriteString(L"ProxyEnable", c.text);
        EXPECT_EQ(ReadSystemProxy(HKEY_CURRENT_USER, path).enabled, c.enabled) << c.text;
    }
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, path);
    key.WriteDword(L"ProxyEnable", 0x100);  // only the lowest byte counts
    EXPECT_FALSE(ReadSystemProxy(HKEY_CURRENT_USER, path).enabled);
    key.DeleteValue(L"ProxyEnable");
    EXPECT_FALSE(ReadSystemProxy(HKEY_CURRENT_USER, path).enabled);
}

TEST_F(OptionsFileTest, SystemProxyServerSplitsAtTheFirstColon) {
    std::wstring path = keyBase + L"\\Internet Settings";
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, path);
    key.WriteString(L"ProxyServer", L"proxy.example:8080");
    ProxyOptions p = ReadSystemProxy(HKEY_CURRENT_USER, path);
    EXPECT_EQ(p.address, L"proxy.example");
    EXPECT_EQ(p.port, L"8080");
    EXPECT_EQ(p.PortNumber(), 8080);
    key.WriteString(L"ProxyServer", L"proxy.example");
    p = ReadSystemProxy(HKEY_CURRENT_USER, path);
    EXPECT_EQ(p.address, L"proxy.example");
    EXPECT_EQ(p.port, L"");
    EXPECT_EQ(p.PortNumber(), 80);
    p.port = L"99999";
    EXPECT_EQ(p.PortNumber(), 80);
}

TEST_F(OptionsFileTest, ProxySettingsRoundTripWithTheirPasswordEncrypted) {
    MainOptions o;
    o.proxy = {true, L"10.1.2.3", L"3128", L"anna", L"s3cret pässword", true};
    SaveOptions(store, o);
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, store.programKey);
    auto stored = key.ReadBinary(L"edProxyPassword.Text");
    ASSERT_TRUE(stored);
    std::string bytes(stored->begin(), stored->end());
    EXPECT_EQ(bytes.find("s\0003\000c\000r", 0, 8), std::string::npos);
    MainOptions r;
    LoadOptions(store, r);
    EXPECT_EQ(r.proxy, o.proxy);
}

TEST_F(OptionsFileTest, NoProxyPasswordIsStoredEmptyAndReadBackEmpty) {
    MainOptions o;
    o.proxy = {true, L"10.1.2.3", L"3128", L"anna", L"", true};
    SaveOptions(store, o);
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, store.programKey);
    auto stored = key.ReadBinary(L"edProxyPassword.Text");
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->empty());
    MainOptions r;
    r.proxy.password = L"left over";
    LoadOptions(store, r);
    EXPECT_EQ(r.proxy, o.proxy);
}

TEST_F(OptionsFileTest, StoredProxyWinsOverTheSystemOnce) {
    MainOptions o;
    o.proxy.address = L"mine";
    SaveOptions(store, o);
    MainOptions r;
    LoadOptions(store, r);
    EXPECT_EQ(r.proxy.address, L"mine");
    EXPECT_EQ(r.proxy.port, L"");
}
