// End to end: a weather update reaches the taskbar clock.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/inifile.h"
#include "base/text.h"
#include "support/loopback_server.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

std::string GoldenReply() {
    wchar_t buf[MAX_PATH * 4];
    DWORD n = GetEnvironmentVariableW(L"VT_SOURCE", buf, static_cast<DWORD>(std::size(buf)));
    std::wstring dir(buf, n);
    for (auto& c : dir) if (c == L'/') c = L'\\';
    return ReadFileBytes(L"Z:" + dir + L"\\tests\\weather\\data\\golden.xml");
}

}  // namespace

TEST(WeatherRoad, FetchedTemperatureReachesTheTaskbarClock) {
    std::string golden = GoldenReply();
    ASSERT_FALSE(golden.empty());
    LoopbackServer server([&](const std::string&) { return Reply(golden); });
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", server.HostAndPort().c_str());

    TempDir dir;
    std::wstring settings = dir.path() + L"Wetter\\";
    RegKey key = FreshSettingsIn(settings);
    StoreWeatherPlace(key, L"Paris, France");

    Process p = LaunchProgram();
    ASSERT_TRUE(p.process);
    HWND clock = WaitForShownClock();
    ASSERT_NE(clock, nullptr);
    Sleep(1500);
    RECT before = WindowRectOf(clock);
    auto pixelsBefore = ScreenPixels(before);

    auto stored = [&](const wchar_t* k) { return IniFile(settings + L"Setting.ini").ReadString(L"Options", k, L""); };
    // The program rewrites the file while we read it: wait for all of the values together.
    EXPECT_TRUE(WaitUntil([&] {
        return stored(L"Temper") == L"72" && stored(L"weatherIcon") == L"29" && stored(L"TemperSymbol") == L"\u00B0F";
    }, 40000)) << Narrow(stored(L"Temper")) << " " << Narrow(stored(L"weatherIcon"));
    EXPECT_TRUE(server.Requested("city=Paris%2C+France"));

    // The clock is measured again for the two-digit temperature and painted with it.
    RECT after{};
    EXPECT_TRUE(WaitUntil([&] {
        after = WindowRectOf(clock);
        return after.right - after.left > before.right - before.left;
    }, 10000));
    Sleep(1500);
    EXPECT_NE(ScreenPixels(WindowRectOf(clock)), pixelsBefore);

    QuitProgram();
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
    ForgetSettings();
}

// The program with its settings in a folder of their own, showing seconds, once its taskbar clock shows.
class ClockRoad : public testing::Test {
protected:
    void SetUp() override {
        FreshSettingsIn(settings);
        CreateDirectoryW(settings.c_str(), nullptr);
        IniFile(settings + L"Setting.ini").WriteString(L"Options", L"ShowSeconds", L"1");
        p = LaunchProgram();
        ASSERT_TRUE(p.process);
        clock = WaitForShownClock();
        ASSERT_NE(clock, nullptr);
    }

    TempDir dir;
    std::wstring settings = dir.path() + L"Sekunden\\";
    Process p;
    HWND clock = nullptr;
};

TEST_F(ClockRoad, TaskbarClockChangesFromOneSecondToTheNext) {
    Sleep(1500);
    RECT r = WindowRectOf(clock);
    ASSERT_GT(r.right - r.left, 0);
    auto first = ScreenPixels(r);
    EXPECT_TRUE(ShowsSomething(first)) << "the skin's digits are not on screen";
    // The seconds move on: the picture changes within a few ticks, however busy the machine is.
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(WindowRectOf(clock)) != first; }, 5000));

    QuitProgram();
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    // The host ends with the program.
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"TrayClockWClass", nullptr) == nullptr; }, 10000));
    ForgetSettings();
}

TEST_F(ClockRoad, ClockKeepsPaintingAfterTheDialogIsShownAndClosed) {
    HWND main = MainWindow();
    for (int round = 0; round < 3; ++round) {
        PostMessageW(main, kShowMain, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000)) << "round " << round;
        Sleep(500);
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 10000)) << "round " << round;
        // Digits on screen again within a moment, not one blank colour, and the seconds move on.
        std::vector<COLORREF> first;
        EXPECT_TRUE(WaitUntil([&] { return ShowsSomething(first = ScreenPixels(WindowRectOf(clock))); }, 3000))
            << "round " << round;
        Sleep(1100);
        EXPECT_NE(ScreenPixels(WindowRectOf(clock)), first) << "round " << round;
    }
    PostMessageW(main, kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    ForgetSettings();
}

TEST(WeatherRoad, QuitEndsTheProgramWhileTheServerTricklesItsStatusLine) {
    LoopbackServer server([](const std::string&) {
        return With(Reply("<weather/>"), [](ServedReply& r) {
            r.trickleMs = 1000;
            r.trickleHead = true;
        });
    });
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", server.HostAndPort().c_str());
    TempDir dir;
    RegKey key = FreshSettingsIn(dir.path());
    StoreWeatherPlace(key, L"Paris, France");

    Process p = LaunchProgram();
    ASSERT_TRUE(p.process);
    const bool asked = WaitUntil([&] { return !server.Requests().empty(); }, 30000);
    if (!asked) QuitProgram();
    ASSERT_TRUE(asked) << "the weather was never asked";
    Sleep(500);   // the program now waits for the status line
    QuitProgram();
    EXPECT_EQ(ExitCodeAfter(p, 2000), 0u);
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
    ForgetSettings();
}
