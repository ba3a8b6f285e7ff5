// Shared pieces of the weather page tests: a fake clock, a registry key of the test's own, pictures in
// a program folder of the test's own, and a page wired to recorders.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/inifile.h"
#include "base/now.h"
#include "clock/options_model.h"
#include "support/test_support.h"
#include "weather/weather_page.h"

namespace vt::test {

class FakeNow final : public INow {
public:
    explicit FakeNow(TDateTime now) : now_(now) {}
    TDateTime Now() const override { return now_; }
    TDateTime UtcNow() const override { return now_; }
    std::uint64_t TickCount64() const override { return 0; }
    void Set(TDateTime now) { now_ = now; }
private:
    TDateTime now_;
};

// A key under HKCU removed with everything in it at the end.
class TestRegistryKey {
public:
    TestRegistryKey() {
        static int counter = 0;
        place_.path = L"Software\\Dorminax\\VantoricTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(counter++);
        RegDeleteTreeW(HKEY_CURRENT_USER, place_.path.c_str());
    }
    ~TestRegistryKey() { RegDeleteTreeW(HKEY_CURRENT_USER, place_.path.c_str()); }
    const RegistryPlace& place() const { return place_; }
private:
    RegistryPlace place_;
};

// A 32 by 32 picture of one colour (a BMP: the imaging component reads it whatever the file is called).
inline void WritePicture(const std::wstring& path, COLORREF color) {
    std::string bmp(54 + 32 * 32 * 3, '\0');
    auto put32 = [&](size_t at, unsigned v) { for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i)); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<unsigned>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 32);
    put32(22, 32);
    bmp[26] = 1;
    bmp[28] = 24;
    for (size_t p = 54; p < bmp.size(); p += 3) {
        bmp[p] = static_cast<char>(GetBValue(color));
        bmp[p + 1] = static_cast<char>(GetGValue(color));
        bmp[p + 2] = static_cast<char>(GetRValue(color));
    }
    WriteFileBytes(path, bmp);
}

// A program folder with Weather\29.png, Weather\na.png, Moon\12.png.
class ProgramFolder {
public:
    ProgramFolder() {
        CreateDirectoryW(dir_.File(L"Weather").c_str(), nullptr);
        CreateDirectoryW(dir_.File(L"Moon").c_str(), nullptr);
        WritePicture(dir_.File(L"Weather\\29.png"), RGB(200, 0, 0));
        WritePicture(dir_.File(L"Weather\\na.png"), RGB(0, 0, 200));
        WritePicture(dir_.File(L"Moon\\12.png"), RGB(0, 200, 0));
    }
    const std::wstring& path() const { return dir_.path(); }
private:
    TempDir dir_;
};

struct PageRecorder {
    int saves = 0;
    int refreshes = 0;
    int updates = 0;
    std::vector<std::pair<bool, unsigned>> timers;
    ProxySettings proxy;
};

// A page whose SaveOptions writes the model's weather values into a Setting.ini of the test's own,
// as the main form's SaveOptions does.
struct PageUnderTest : IWeatherPageHost {
    explicit PageUnderTest(TDateTime now) : clock(now) {
        done.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        HANDLE event = done.get();
        page = std::make_unique<WeatherPage>(options, *this, clock, pictures.path(), [event] { SetEvent(event); },
                                             registry.place());
        HttpLimits limits;
        limits.readTimeoutMs = 1000;
        limits.deadlineMs = 3000;
        page->SetRequestLimits(limits);
    }
    void SaveOptions() override {
        ++record.saves;
        IniFile ini(settings.File(L"Setting.ini"));
        ini.WriteString(L"Options", L"Temper", options.temper);
        ini.WriteString(L"Options", L"TemperSymbol", options.temperSymbol);
        ini.WriteString(L"Options", L"metricTemp", options.metricTemp);
        ini.WriteString(L"Options", L"engTemp", options.engTemp);
        ini.WriteString(L"Options", L"weatherIcon", options.weatherIcon);
        RegKey key = registry.place().OpenWrite();
        key.WriteString(L"CurrentWeather", options.currentWeather);
    }
    void RefreshClock() override { ++record.refreshes; }
    ProxySettings CurrentProxy() override { return record.proxy; }
    void WeatherUpdated() override { ++record.updates; }
    void SetWeatherTimer(bool on, unsigned ms) override { record.timers.emplace_back(on, ms); }
    void ViewChanged() override {}
    // Waits for the worker's hand-over and runs the main-thread completion, as the page's window does.
    bool Finish(DWORD timeoutMs = 10000) {
        if (WaitForSingleObject(done.get(), timeoutMs) != WAIT_OBJECT_0) return false;
        page->OnRequestDone();
        return true;
    }
    std::wstring Setting(const wchar_t* key) const {
        return IniFile(settings.File(L"Setting.ini")).ReadString(L"Options", key, L"<missing>");
    }

    FakeNow clock;
    TempDir settings;
    TestRegistryKey registry;
    ProgramFolder pictures;
    MainOptions options;
    PageRecorder record;
    UniqueHandle done;
    std::unique_ptr<WeatherPage> page;
};

}  // namespace vt::test
