// A program folder of plain test pictures for the forecast widget, so that every layer has one colour
// and its pixels can be told apart; and a registry key of the tests' own.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "support/png_writer.h"
#include "support/test_support.h"
#include "weather/test_data.h"

namespace vt::test {

inline void SolidPng(const std::wstring& path, int w, int h, Rgba colour) {
    WritePngFile(path, w, h, std::vector<Rgba>(static_cast<size_t>(w) * h, colour));
}

inline constexpr Rgba kPanelColour{0, 0, 255, 128};
inline constexpr Rgba kCloseColour{255, 0, 0, 255};
inline constexpr Rgba kRoseColour{128, 128, 128, 255};
inline constexpr Rgba kNeedleColour{255, 0, 0, 255};
inline constexpr Rgba kNaColour{0, 255, 0, 255};
inline constexpr Rgba kIcon29Colour{0, 255, 255, 255};

inline const char kTestSkinXml[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<skin>\n"
    "  <font id=\"font.default\" facename=\"Tahoma\" color=\"#FFFFFF\" style=\"Bold\" size=\"9\"/>\n"
    "  <font id=\"font.temperature\" size=\"18\"/>\n"
    "  <font id=\"font.conditions.title\" color=\"#D8E4F2\" size=\"8\"/>\n"
    "  <font id=\"font.daytitle\" style=\"Italic\"/>\n"
    "</skin>\n";

// Program folder: Forecast\ with the shared pictures, and the default skin with skin.xml, "na" (green)
// and "29" (cyan) only. The needle is an 80 x 80 picture with a red bar from the centre to the right.
class ForecastFolder {
public:
    ForecastFolder() {
        CreateDirectoryW(dir_.File(L"Forecast").c_str(), nullptr);
        CreateDirectoryW(Skin().c_str(), nullptr);
        SolidPng(Forecast() + L"forecast.png", 290, 215, kPanelColour);
        SolidPng(Forecast() + L"close.png", 20, 21, kCloseColour);
        SolidPng(Forecast() + L"compass.png", 80, 80, kRoseColour);
        std::vector<Rgba> needle(80 * 80, Rgba{0, 0, 0, 0});
        for (int y = 38; y <= 41; ++y)
            for (int x = 44; x <= 75; ++x) needle[static_cast<size_t>(y) * 80 + x] = kNeedleColour;
        WritePngFile(Forecast() + L"arrow.png", 80, 80, needle);
        WriteFileBytes(Skin() + L"skin.xml", kTestSkinXml);
        SolidPng(Skin() + L"na.png", 64, 64, kNaColour);
        SolidPng(Skin() + L"29.png", 64, 64, kIcon29Colour);
    }
    std::wstring ProgramDir() const { return dir_.path(); }
    std::wstring Forecast() const { return dir_.path() + L"Forecast\\"; }
    std::wstring Skin() const { return Forecast() + L"KonfabulatorPLUS\\"; }

private:
    TempDir dir_;
};

// A key under HKCU removed with everything in it at the end.
class ForecastTestKey {
public:
    ForecastTestKey() {
        static int counter = 0;
        path_ = L"Software\\Dorminax\\VantoricTests\\Forecast-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    ~ForecastTestKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

inline std::wstring GoldenReply() { return Widen(WeatherData(L"golden.xml")); }

}  // namespace vt::test
