// End to end: a weather update reaches the taskbar clock.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "base/inifile.h"
#include "base/text.h"
#include "base/registry.h"
#include "e2e/e2e_support.h"
#include "support/loopback_server.h"
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
    EndStrayProcesses(L"Vantoric.exe");
    EndStrayProcesses(L"Quellix.exe");
    std::string golden = GoldenReply();
    ASSERT_FALSE(golden.empty());
    LoopbackServer server([&](const std::string&) { return Reply(golden); });
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", server.HostAndPort().c_str());

    TempDir dir;
    std::wstring settings = dir.path() + L"Wetter\\";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    key.WriteString(L"AppDataDir", settings);
    key.WriteString(L"cbFoundPlaces.Text", L"Paris, France");
    key.WriteDword(L"cbFoundPlaces.Count", 1);
    key.WriteString(L"cbFoundPlaces.Item0", L"Paris, France");
    key.WriteDword(L"cbFoundPlaces.ItemIndex", 0);
    key.WriteDword(L"WeatherEvery", 1);   // every 30 minutes, never checked: due 5 seconds after start

    Process p = Launch(DistDir() + L"Vantoric.exe");
    ASSERT_TRUE(p.process);
    HWND clock = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        clock = FindWindowW(L"TrayClockWClass", nullptr);
        return clock && IsWindowVisible(clock);
    }, 30000));
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

    PostMessageW(FindWindowW(L"TfrmClock", nullptr), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
}

TEST(ClockRoad, TaskbarClockChangesFromOneSecondToTheNext) {
    EndStrayProcesses(L"Vantoric.exe");
    EndStrayProcesses(L"Quellix.exe");
    TempDir dir;
    std::wstring settings = dir.path() + L"Sekunden\\";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", settings);
    CreateDirectoryW(settings.c_str(), nullptr);
    IniFile(settings + L"Setting.ini").WriteString(L"Options", L"ShowSeconds", L"1");

    Process p = Launch(DistDir() + L"Vantoric.exe");
    ASSERT_TRUE(p.process);
    HWND clock = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        clock = FindWindowW(L"TrayClockWClass", nullptr);
        return clock && IsWindowVisible(clock);
    }, 30000));
    Sleep(1500);
    RECT r = WindowRectOf(clock);
    ASSERT_GT(r.right - r.left, 0);
    auto first = ScreenPixels(r);
    // Not all one colour: the skin's digits are on screen.
    EXPECT_NE(std::count(first.begin(), first.end(), first[0]), static_cast<std::ptrdiff_t>(first.size()));
    // The seconds move on: the picture changes within a few ticks, however busy the machine is.
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(WindowRectOf(clock)) != first; }, 5000));

    PostMessageW(FindWindowW(L"TfrmClock", nullptr), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    // The host ends with the program.
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"TrayClockWClass", nullptr) == nullptr; }, 10000));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
}

TEST(ClockRoad, ClockKeepsPaintingAfterTheDialogIsShownAndClosed) {
    EndStrayProcesses(L"Vantoric.exe");
    EndStrayProcesses(L"Quellix.exe");
    TempDir dir;
    std::wstring settings = dir.path() + L"Dialog\\";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", settings);
    CreateDirectoryW(settings.c_str(), nullptr);
    IniFile(settings + L"Setting.ini").WriteString(L"Options", L"ShowSeconds", L"1");

    Process p = Launch(DistDir() + L"Vantoric.exe");
    ASSERT_TRUE(p.process);
    HWND clock = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        clock = FindWindowW(L"TrayClockWClass", nullptr);
        return clock && IsWindowVisible(clock);
    }, 30000));
    HWND main = FindWindowW(L"TfrmClock", nullptr);
    for (int round = 0; round < 3; ++round) {
        PostMessageW(main, WM_USER + 101, 0, 0);   // show the main dialog
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000)) << "round " << round;
        Sleep(500);
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 10000)) << "round " << round;
        // Digits on screen again within a moment, not one blank colour, and the seconds move on.
        std::vector<COLORREF> first;
        EXPECT_TRUE(WaitUntil([&] {
            first = ScreenPixels(WindowRectOf(clock));
            return !first.empty() && std::count(first.begin(), first.end(), first[0]) !=
                                         static_cast<std::ptrdiff_t>(first.size());
        }, 3000)) << "round " << round;
        Sleep(1100);
        EXPECT_NE(ScreenPixels(WindowRectOf(clock)), first) << "round " << round;
    }
    PostMessageW(main, kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
}

TEST(WeatherRoad, QuitEndsTheProgramWhileTheServerTricklesItsStatusLine) {
    EndStrayProcesses(L"Vantoric.exe");
    EndStrayProcesses(L"Quellix.exe");
    LoopbackServer server([](const std::string&) {
        return With(Reply("<weather/>"), [](ServedReply& r) {
            r.trickleMs = 1000;
            r.trickleHead = true;
        });
    });
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", server.HostAndPort().c_str());
    TempDir dir;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    key.WriteString(L"AppDataDir", dir.path());
    key.WriteString(L"cbFoundPlaces.Text", L"Paris, France");
    key.WriteDword(L"cbFoundPlaces.Count", 1);
    key.WriteString(L"cbFoundPlaces.Item0", L"Paris, France");
    key.WriteDword(L"cbFoundPlaces.ItemIndex", 0);
    key.WriteDword(L"WeatherEvery", 1);   // never checked: due 5 seconds after start

    Process p = Launch(DistDir() + L"Vantoric.exe");
    ASSERT_TRUE(p.process);
    const bool asked = WaitUntil([&] { return !server.Requests().empty(); }, 30000);
    if (!asked) PostMessageW(FindWindowW(L"TfrmClock", nullptr), kQuitProgram, 0, 0);
    ASSERT_TRUE(asked) << "the weather was never asked";
    Sleep(500);   // the program now waits for the status line
    PostMessageW(FindWindowW(L"TfrmClock", nullptr), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 2000), 0u);
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
}
