// The main form on a test's own settings folder, registry key and fakes of the host, painter, clock and
// time query.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "base/inifile.h"
#include "support/test_support.h"

namespace vt::test {

class FakeHost : public IHostLauncher {
public:
    bool result = true;
    int starts = 0;
    bool Start(const std::wstring&) override {
        ++starts;
        return result;
    }
};

class FakePainter : public IClockPainter {
public:
    int loads = 0, inits = 0, digits = 0;
    void InitClockPaint(const std::wstring&) override { ++inits; }
    void LoadClockOptions(const std::wstring&) override { ++loads; }
    bool HasTaskbarWindows() override { return false; }
    bool IsTaskbarVertical() override { return false; }
    int CalcClockWidth() override { return 80; }
    int CalcClockHeight() override { return 30; }
    void UpdateClockDigits() override { ++digits; }
    bool PictureOutdated() override { return true; }
    void ReleaseWeatherIcon() override {}
    void PaintClock(HDC, const RECT&, std::uint64_t) override {}
};

class FixedNow : public INow {
public:
    TDateTime now = EncodeDateTime(2026, 12, 8, 10, 0, 0);
    TDateTime Now() const override { return now; }
    TDateTime UtcNow() const override { return now; }
    std::uint64_t TickCount64() const override { return 1000; }
};

class FakeTimeQuery : public ITimeQuery {
public:
    std::atomic<int> asked{0};
    std::optional<TDateTime> ServerOffset(const std::wstring&) override {
        ++asked;
        return 2 * kOneSecond;
    }
};

// A form test never sets the machine's clock: both roads of the adjustment refuse.
struct RefusingClockSetter : ILocalClockAdjuster, ITimeServiceFactory {
    bool Adjust(const std::wstring&) override { return false; }
    ComPtr<IMyPrivilegedObject> Create() override { throw HResultError(E_ACCESSDENIED); }
};

// The machine as the form sees it: no devices, no wake timer; message boxes, questions and web pages recorded.
class FakeSystem : public IMainFormSystem {
public:
    std::vector<std::wstring> messages, asked;
    std::vector<int> opened;
    bool answer = true;
    HWND devicesOwner = nullptr;
    AlarmDevices CreateAlarmDevices(const std::wstring&, HWND owner) override {
        devicesOwner = owner;
        return {};
    }
    std::unique_ptr<IWakeTimer> CreateWakeTimer() override { return nullptr; }
    bool realBoxes = false;   // the system's own message boxes, for a test that looks at one
    void ShowMessage(const std::wstring& text, const std::wstring& caption, HWND owner, UINT icon) override {
        if (realBoxes) return SystemServices{}.ShowMessage(text, caption, owner, icon);
        messages.push_back(caption + L": " + text);
    }
    bool Confirm(const std::wstring& text, const std::wstring&, HWND) override {
        asked.push_back(text);
        return answer;
    }
    void OpenWebPage(int page) override { opened.push_back(page); }
};

class MainFormTest : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> n{0};
        keyBase = L"Software\\VantoricTests\\form-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n++);
        config.store.programKey = keyBase + L"\\Program";
        config.store.runKey = keyBase + L"\\Run";
        config.store.settingsDir = dir.path();
        config.weatherStore = {HKEY_CURRENT_USER, keyBase + L"\\Program"};
        std::wstring dist = test::DistDir();   // the program folder, with its calendar skins
        config.appDir = dist.substr(0, dist.size() - 1);
        config.host = &host;
        config.painter = &painter;
        config.now = &clock;
        config.timeQuery = &timeQuery;
        config.localAdjuster = &clockSetter;
        config.timeServiceFactory = &clockSetter;
    }
    void TearDown() override {
        form.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, keyBase.c_str());
    }
    TfrmClock& Start() {
        form = std::make_unique<TfrmClock>(config, system);
        EXPECT_TRUE(form->Create());
        EXPECT_TRUE(form->InitClock());
        form->LoadOptions();
        return *form;
    }
    std::wstring Stored(const wchar_t* key) {
        return IniFile(dir.path() + L"Setting.ini").ReadString(L"Options", key, L"<missing>");
    }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(form->hwnd(), msg, wp, lp); }

    test::TempDir dir;
    std::wstring keyBase;
    FakeHost host;
    FakePainter painter;
    FixedNow clock;
    FakeTimeQuery timeQuery;
    RefusingClockSetter clockSetter;
    MainFormConfig config;
    FakeSystem system;
    std::vector<std::wstring>& messages = system.messages;
    std::unique_ptr<TfrmClock> form;
};


}  // namespace vt::test
