#include "clock/clock_options.h"

#include <gtest/gtest.h>

#include <clocale>

#include "base/handles.h"
#include "base/inifile.h"
#include "base/registry.h"
#include "clock/clock_skin.h"
#include "support/clock_skin_fixture.h"
#include "support/png_writer.h"
#include "support/test_support.h"

namespace vt {
namespace {

// A program folder with skins\Gold and Weather\, and a settings folder beside it.
struct Profile {
    test::TempDir root;
    std::wstring skins = root.File(L"program\\skins\\");
    std::wstring weather = root.File(L"program\\Weather\\");
    std::wstring settings = root.File(L"settings\\");
    ClockSkin skin;
    PainterOptions options;

    Profile() {
        CreateDirectoryW(root.File(L"program").c_str(), nullptr);
        CreateDirectoryW(skins.c_str(), nullptr);
        CreateDirectoryW(weather.c_str(), nullptr);
        CreateDirectoryW(settings.c_str(), nullptr);
        test::WriteSyntheticSkin(skins + L"Gold");
        skin.SetSkinsBase(skins);
    }
    void Set(const wchar_t* key, const std::wstring& value) {
        IniFile(settings + kSettingsFileName).WriteString(kClockOptionsSection, key, value);
    }
    void Icon(const std::wstring& name) {
        test::WritePngFile(weather + name, 2, 2, std::vector<test::Rgba>(4, test::Rgba{0, 0, 255, 255}));
    }
    bool Load() { return LoadClockOptions(options, skin, settings); }
    const TClockOptions& c() const { return options.ClockOptions; }
};

TEST(LoadClockOptions, FreshProfileGivesThePainterDefaultsAndLoadsGold) {
    Profile p;
    ASSERT_TRUE(p.Load());
    const TClockOptions& c = p.c();
    EXPECT_EQ(c.Click, 1);
    EXPECT_TRUE(c.EnglishTime);
    EXPECT_TRUE(c.WeekShow);
    EXPECT_TRUE(c.NameWeek);
    EXPECT_FALSE(c.ShowSeconds);
    EXPECT_TRUE(c.ShowDate);
    EXPECT_TRUE(c.ShowZero);
    EXPECT_FALSE(c.BigDate);
    EXPECT_FALSE(c.TransparentClock);
    EXPECT_TRUE(c.Blink);
    EXPECT_FALSE(c.GradientClock);
    EXPECT_FALSE(c.ShowZone);
    EXPECT_TRUE(c.ShowWeather);
    EXPECT_FALSE(c.ShowLocation);
    EXPECT_TRUE(c.ShowWeatherIcon);
    EXPECT_FALSE(c.ShowZDate);
    EXPECT_EQ(c.Color1, 16581375u);
    EXPECT_EQ(GetRValue(c.Color1), 255);
    EXPECT_EQ(GetGValue(c.Color1), 2);
    EXPECT_EQ(GetBValue(c.Color1), 253);
    EXPECT_EQ(c.Color2, 0u);
    EXPECT_EQ(c.Prefix, L"");
    EXPECT_EQ(c.TimeZone, 0);
    EXPECT_EQ(c.Temper, L"");
    EXPECT_EQ(p.options.TemperValue, 0);
    EXPECT_EQ(c.TemperSymbol, L"");
    EXPECT_EQ(c.WeatherIcon, L"na");
    EXPECT_EQ(c.WeatherLocation, L"");
    EXPECT_EQ(c.Mode, 0);
    EXPECT_FALSE(c.GradientHoriz);
    EXPECT_EQ(c.SkinName, L"Gold");
    EXPECT_TRUE(p.skin.SkinLoaded());
    EXPECT_EQ(p.skin.SkinName(), L"Gold");
}

TEST(LoadClockOptions, FileWithoutOptionsSectionGivesDefaults) {
    Profile p;
    IniFile(p.settings + kSettingsFileName).WriteString(L"Other", L"Click", L"4");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.c().Click, 1);
    EXPECT_TRUE(p.c().Blink);
}

TEST(LoadClockOptions, StoredValuesAreRead) {
    Profile p;
    p.Set(L"Click", L"6");
    p.Set(L"EnglishTime", L"0");
    p.Set(L"ShowSeconds", L"1");
    p.Set(L"GradientClock", L"1");
    p.Set(L"GradientHoriz", L"1");
    p.Set(L"Color1", L"255");
    p.Set(L"Color2", L"16777215");
    p.Set(L"Prefix", L"NYC");
    p.Set(L"TimeZone", L"12");
    p.Set(L"Temper", L"21");
    p.Set(L"TemperSymbol", L"\x00B0" L"C");
    p.Set(L"Mode", L"1");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.c().Click, 6);
    EXPECT_FALSE(p.c().EnglishTime);
    EXPECT_TRUE(p.c().ShowSeconds);
    EXPECT_TRUE(p.c().GradientClock);
    EXPECT_TRUE(p.c().GradientHoriz);
    EXPECT_EQ(p.c().Color1, 255u);
    EXPECT_EQ(p.c().Color2, 16777215u);
    EXPECT_EQ(p.c().Prefix, L"NYC");
    EXPECT_EQ(p.c().TimeZone, 12);
    EXPECT_EQ(p.c().Temper, L"21");
    EXPECT_EQ(p.options.TemperValue, 21);
    EXPECT_EQ(p.c().TemperSymbol, L"\x00B0" L"C");
    EXPECT_EQ(p.c().Mode, 1);
}

TEST(LoadClockOptions, OnlyTheLeadingCharactersOfNumbersCount) {
    Profile p;
    p.Set(L"ShowSeconds", L"10");      // first character 1: on
    p.Set(L"Blink", L"0abc");          // first character 0: off
    p.Set(L"Color1", L"1234567890");   // cut to 8 digits
    p.Set(L"TimeZone", L"12345");      // cut to 4
    p.Set(L"Click", L"34");            // one digit
    ASSERT_TRUE(p.Load());
    EXPECT_TRUE(p.c().ShowSeconds);
    EXPECT_FALSE(p.c().Blink);
    EXPECT_EQ(p.c().Color1, 12345678u);
    EXPECT_EQ(p.c().TimeZone, 1234);
    EXPECT_EQ(p.c().Click, 3);
}

TEST(LoadClockOptions, ValueThatIsNoNumberTakesTheDefaultAndReadingGoesOn) {
    Profile p;
    p.Set(L"Click", L"x");
    p.Set(L"EnglishTime", L"yes");
    p.Set(L"ShowDate", L"");
    p.Set(L"ShowZone", L"-1");
    p.Set(L"Color2", L"red");
    p.Set(L"Mode", L"uptime");
    p.Set(L"ShowZDate", L"1");         // read after the broken keys
    p.Set(L"GradientHoriz", L"1");
    p.Set(L"TimeZone", L"abc");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.c().Click, 1);
    EXPECT_TRUE(p.c().EnglishTime);
    EXPECT_TRUE(p.c().ShowDate);
    EXPECT_FALSE(p.c().ShowZone);
    EXPECT_EQ(p.c().Color2, 0u);
    EXPECT_EQ(p.c().Mode, 0);
    EXPECT_TRUE(p.c().ShowZDate);
    EXPECT_TRUE(p.c().GradientHoriz);
    EXPECT_EQ(p.c().TimeZone, kUnreadableTimeZone);
}

TEST(LoadClockOptions, TransparentClockHasNoGradient) {
    Profile p;
    p.Set(L"TransparentClock", L"1");
    p.Set(L"GradientClock", L"1");
    ASSERT_TRUE(p.Load());
    EXPECT_TRUE(p.c().TransparentClock);
    EXPECT_FALSE(p.c().GradientClock);
}

TEST(LoadClockOptions, ModeOtherThanClockOrUptimeIsClock) {
    Profile p;
    for (const wchar_t* v : {L"2", L"-1", L"255"}) {
        p.Set(L"Mode", v);
        p.Load();
        EXPECT_EQ(p.c().Mode, 0) << v;
    }
    p.Set(L"Mode", L"257");   // the low byte is 1
    p.Load();
    EXPECT_EQ(p.c().Mode, 1);
}

TEST(LoadClockOptions, NegativeTemperatureLosesItsSign) {
    Profile p;
    p.Set(L"Temper", L"-3.5");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.TemperValue, -3.5);
    EXPECT_EQ(p.c().Temper, L"3.5");
    EXPECT_TRUE(p.c().ShowWeather);
}

TEST(LoadClockOptions, TemperatureThatIsNoNumberSwitchesTheBlockOff) {
    Profile p;
    for (const wchar_t* v : {L"warm", L"3,5", L"-", L"1e999"}) {
        p.Set(L"Temper", v);
        ASSERT_TRUE(p.Load());
        EXPECT_EQ(p.options.TemperValue, 0) << v;
        EXPECT_FALSE(p.c().ShowWeather) << v;
        EXPECT_EQ(p.c().Temper, v);
    }
    p.Set(L"Temper", L"");
    p.Load();
    EXPECT_TRUE(p.c().ShowWeather);
    EXPECT_EQ(p.options.TemperValue, 0);
}

TEST(LoadClockOptions, TemperatureIsReadTheSameUnderACommaLocale) {
    Profile p;
    p.Set(L"Temper", L"-12.25");
    std::string before = std::setlocale(LC_NUMERIC, nullptr);
    // A locale whose decimal separator is a comma, if the run-time has one.
    const bool switched = std::setlocale(LC_NUMERIC, "German_Germany.1252") || std::setlocale(LC_NUMERIC, "de-DE") ||
                          std::setlocale(LC_NUMERIC, "German");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.TemperValue, -12.25);
    EXPECT_EQ(p.c().Temper, L"12.25");
    std::string during = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, before.c_str());
    if (switched) {
        EXPECT_NE(during, before) << "reading must not reset the locale";
    }
    EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), before);
}

TEST(SplitWeatherLocation, SplitsAfterTheFirstCommaAndBlank) {
    struct Case { const wchar_t* place; const wchar_t* line1; const wchar_t* line2; };
    const Case cases[] = {{L"Oslo, Norway", L"Oslo,", L"Norway"},
                          {L"Paris, France", L"Paris,", L"France"},
                          {L"Portland, OR, USA", L"Portland,", L"OR, USA"},
                          {L"Reykjavik", L"Reykjavik", L""},     // no ", ": the whole text on line 1
                          {L"A,B", L"A,B", L""},
                          {L"", L"", L""},
                          {L"Nowhere, ", L"Nowhere,", L""}};
    for (const Case& c : cases) {
        std::wstring l1 = L"old", l2 = L"old";
        SplitWeatherLocation(c.place, l1, l2);
        EXPECT_EQ(l1, c.line1) << c.place;
        EXPECT_EQ(l2, c.line2) << c.place;
    }
}

TEST(LoadClockOptions, LocationLinesComeFromTheStoredPlace) {
    Profile p;
    p.Set(L"weatherLocation", L"Oslo, Norway");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.WeatherLocationLine1, L"Oslo,");
    EXPECT_EQ(p.options.WeatherLocationLine2, L"Norway");
}

TEST(LoadClockOptions, TextsAreCutToTheirBuffers) {
    Profile p;
    const std::wstring prefix(1000, L'P'), place = std::wstring(250, L'x') + L", " + std::wstring(300, L'y');
    p.Set(L"Prefix", prefix);
    p.Set(L"weatherLocation", place);
    p.Set(L"TemperSymbol", L"\x00B0" L"C" + std::wstring(300, L'Z'));
    p.Set(L"weatherIcon", std::wstring(254, L'i') + L"xyz");
    p.Set(L"Temper", L"-4." + std::wstring(251, L'0') + L"junk");
    p.Set(L"SkinName", std::wstring(199, L'S') + L"Gold");
    ReadClockOptions(IniFile(p.settings + kSettingsFileName), p.options);
    EXPECT_EQ(p.c().Prefix, std::wstring(254, L'P'));
    EXPECT_EQ(p.options.WeatherLocationLine1, std::wstring(250, L'x') + L",");
    EXPECT_EQ(p.options.WeatherLocationLine2, L"yy");
    EXPECT_EQ(p.c().TemperSymbol.size(), 254u);
    EXPECT_EQ(p.c().WeatherIcon, std::wstring(254, L'i'));
    EXPECT_EQ(p.options.TemperValue, -4) << "the text after the 254th character is not read";
    EXPECT_TRUE(p.c().ShowWeather);
    EXPECT_EQ(p.c().SkinName, std::wstring(199, L'S'));
}

TEST(LoadClockOptions, WeatherIconFallsBackToNaAndThenToNone) {
    Profile p;
    p.Icon(L"sun.png");
    p.Icon(L"na.png");
    p.Set(L"weatherIcon", L"sun");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.WeatherIconFile, L"sun.png");
    EXPECT_TRUE(p.options.WeatherIconPicture);

    p.Set(L"weatherIcon", L"hail");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.WeatherIconFile, L"na.png");
    EXPECT_TRUE(p.options.WeatherIconPicture);

    p.Set(L"weatherIcon", L"..\\..\\program\\Weather\\sun");   // never a path
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.WeatherIconFile, L"na.png");

    DeleteFileW((p.weather + L"na.png").c_str());
    p.Set(L"weatherIcon", L"hail");
    ASSERT_TRUE(p.Load());
    EXPECT_FALSE(p.options.WeatherIconPicture);

    test::WriteFileBytes(p.weather + L"hail.png", "not a picture");
    ASSERT_TRUE(p.Load());
    EXPECT_EQ(p.options.WeatherIconFile, L"hail.png");
    EXPECT_FALSE(p.options.WeatherIconPicture);
}

TEST(LoadClockOptions, SkinThatFailsKeepsThePreviousSkinAndName) {
    Profile p;
    ASSERT_TRUE(p.Load());
    HBITMAP gold = p.skin.NumbersBitmap();
    test::WriteSyntheticSkin(p.skins + L"Half", {.digitWidth = 30});
    DeleteFileW((p.skins + L"Half\\Text.bmp").c_str());
    p.Set(L"SkinName", L"Half");
    EXPECT_FALSE(p.Load());
    EXPECT_EQ(p.c().SkinName, L"Gold");
    EXPECT_TRUE(p.skin.SkinLoaded());
    EXPECT_EQ(p.skin.NumbersBitmap(), gold);
    EXPECT_EQ(p.skin.Metrics().DigitWidth, 10);

    test::WriteSyntheticSkin(p.skins + L"Silver", {.digitWidth = 12});
    p.Set(L"SkinName", L"Silver");
    EXPECT_TRUE(p.Load());
    EXPECT_EQ(p.c().SkinName, L"Silver");
    EXPECT_EQ(p.skin.Metrics().DigitWidth, 12);
}

TEST(LoadClockOptions, FileAnotherProgramHoldsKeepsTheOptionsInForce) {
    Profile p;
    test::WriteSyntheticSkin(p.skins + L"Silver");
    p.Set(L"SkinName", L"Silver");
    p.Set(L"ShowSeconds", L"1");
    ASSERT_TRUE(p.Load());
    const std::wstring file = p.settings + kSettingsFileName;
    UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(p.Load());   // as after a save that failed on the held file
    EXPECT_EQ(p.c().SkinName, L"Silver");
    EXPECT_TRUE(p.c().ShowSeconds);
}

TEST(LoadClockOptions, EmptySkinNameMeansGold) {
    Profile p;
    p.Set(L"SkinName", L"");
    EXPECT_TRUE(p.Load());
    EXPECT_EQ(p.c().SkinName, L"Gold");
}

TEST(LocateClockSettingsDir, LongAppDataIsTakenWhole) {
    if (RegKey key = RegKey::Open(HKEY_CURRENT_USER, kProgramRegistryKey))
        if (key.ReadString(L"AppDataDir").value_or(L"") != L"") GTEST_SKIP() << "AppDataDir is set in this prefix";
    DWORD n = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    std::wstring saved(n, L'\0');
    GetEnvironmentVariableW(L"APPDATA", saved.data(), n);
    saved.resize(n ? n - 1 : 0);
    const std::wstring longDir = L"C:\\" + std::wstring(300, L'a');
    SetEnvironmentVariableW(L"APPDATA", longDir.c_str());
    EXPECT_EQ(LocateClockSettingsDir(), longDir + L"\\Vantoric\\");
    SetEnvironmentVariableW(L"APPDATA", saved.c_str());
}

}  // namespace
}  // namespace vt
