// End to end: thousands of random messages from another process to the main window leave the program
// running, painting its clock, and ending at once on the quit message.
#include <gtest/gtest.h>

#include "support/loopback_sntp.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "base/inifile.h"
#include "support/desktop.h"
#include "support/loopback_server.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

constexpr unsigned kDefaultSeed = 20261209;
constexpr int kMessages = 3000;

// The registered messages the program and its host know by name.
const wchar_t* const kRegisteredNames[] = {L"TaskbarCreated",       L"Vantoric-ClockInit",   L"Vantoric-ClockExit",
                                           L"Vantoric-ClockRefresh", L"Quellix-quit",         L"Quellix-TakeClock",
                                           L"Quellix-ClockTaken",    L"Quellix-ReleaseClock"};

unsigned Seed() {
    wchar_t text[32];
    DWORD n = GetEnvironmentVariableW(L"VT_FUZZ_SEED", text, 32);
    return n && n < 32 ? static_cast<unsigned>(std::wcstoul(text, nullptr, 10)) : kDefaultSeed;
}

// Closes what the messages opened: menus end with WM_CANCELMODE to their owner, windows and message
// boxes get WM_CLOSE. The main dialog hides on WM_CLOSE; the clock windows are left alone.
void CloseWhatPoppedUp(DWORD process, HWND main) {
    for (int round = 0; round < 5; ++round) {
        PostMessageW(main, WM_CANCELMODE, 0, 0);
        int closed = 0;
        for (HWND w : TopLevelWindows()) {
            if (ProcessOf(w) != process || !IsWindowVisible(w)) continue;
            const std::wstring name = ClassOf(w);
            if (name == L"TTrayClock" || name == L"TrayClockWClass") continue;
            PostMessageW(w, WM_CLOSE, 0, 0);
            ++closed;
        }
        if (closed == 0) return;
        Sleep(300);
    }
}

LPARAM RandomValue(std::mt19937& rng) {
    switch (rng() % 4) {
    case 0: return static_cast<LPARAM>(rng() % 4);   // the values commands look at
    case 1: return -1;
    case 2: return static_cast<LPARAM>(static_cast<std::int32_t>(rng()));
    default: return static_cast<LPARAM>((static_cast<std::uint64_t>(rng()) << 32) | rng());
    }
}

}  // namespace

TEST(MessageFuzz, RandomMessagesLeaveTheProgramRunningPaintingAndQuitting) {
    const unsigned seed = Seed();
    std::printf("message fuzz: seed %u (VT_FUZZ_SEED repeats a run), %d messages\n", seed, kMessages);
    std::mt19937 rng(seed);

    // Everything the program may reach goes to loopback: a silent time server, no weather or update host.
    LoopbackSntpServer timeServer([](const Bytes&) { return std::optional<Bytes>{}; });   // never answers
    ASSERT_NE(timeServer.port(), 0);
    SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", std::to_wstring(timeServer.port()).c_str());
    const std::wstring nowhere = L"127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort());
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nowhere.c_str());
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", nowhere.c_str());
    TempDir dir;
    RegKey key = FreshSettingsIn(dir.path());
    StoreTimeServer(key, L"127.0.0.1");
    IniFile settings(dir.File(L"Setting.ini"));
    settings.WriteString(L"Options", L"ShowSeconds", L"1");
    settings.WriteString(L"Options", L"Every", L"0");   // the clock is never set by the timer

    Process p = LaunchProgram();
    ASSERT_TRUE(p.process);
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = MainWindow()) != nullptr; }, 30000));
    HWND clock = WaitForShownClock();
    ASSERT_NE(clock, nullptr);
    Sleep(1000);

    std::vector<UINT> registered;
    for (const wchar_t* name : kRegisteredNames) registered.push_back(RegisterWindowMessageW(name));
    std::vector<unsigned char> bytes;
    int sent = 0, posted = 0, copies = 0;
    const DWORD start = GetTickCount();
    for (int i = 0; i < kMessages; ++i) {
        UINT msg = 0;
        switch (rng() % 5) {
        case 0:   // the command messages, all but the quit
            msg = WM_USER + 101 + rng() % 14;
            break;
        case 1:
            msg = WM_USER + rng() % (0x8000 - WM_USER);
            if (msg == kQuitProgram) ++msg;
            break;
        case 2: msg = registered[rng() % registered.size()]; break;
        case 3: msg = WM_APP + rng() % 4; break;   // the numbers the program posts to itself
        default: msg = WM_COPYDATA; break;
        }
        const WPARAM wp = static_cast<WPARAM>(RandomValue(rng));
        const LPARAM lp = RandomValue(rng);
        DWORD_PTR answer = 0;
        if (msg == WM_COPYDATA) {
            bytes.resize(rng() % 4096);
            for (auto& b : bytes) b = static_cast<unsigned char>(rng());
            COPYDATASTRUCT copy{static_cast<ULONG_PTR>(RandomValue(rng)), static_cast<DWORD>(bytes.size()),
                                bytes.empty() ? nullptr : bytes.data()};
            SendMessageTimeoutW(main, msg, wp, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 200, &answer);
            ++copies;
        } else if (rng() % 2) {
            SendMessageTimeoutW(main, msg, wp, lp, SMTO_ABORTIFHUNG, 50, &answer);
            ++sent;
        } else {
            PostMessageW(main, msg, wp, lp);
            ++posted;
        }
        if (i % 250 == 249) {
            CloseWhatPoppedUp(p.id, main);
            ASSERT_EQ(WaitForSingleObject(p.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
                << "the program ended after message " << i << " (seed " << seed << ")";
        }
    }
    std::printf("message fuzz: %d sent, %d posted, %d copies in %lu ms\n", sent, posted, copies,
                static_cast<unsigned long>(GetTickCount() - start));
    Sleep(6000);   // a five-second uptime view ends by itself
    CloseWhatPoppedUp(p.id, main);
    ASSERT_EQ(WaitForSingleObject(p.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "seed " << seed;
    ASSERT_TRUE(IsWindow(main));

    // Back to a clock with seconds, then it must still paint them.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main, WM_USER + 108, 1, 0, SMTO_ABORTIFHUNG, 5000, &answer);   // WM_SETSHOWSECONDS
    if (IniFile(dir.File(L"Setting.ini")).ReadString(L"Options", L"UpTime", L"0") == L"1")
        SendMessageTimeoutW(main, WM_USER + 104, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);   // WM_TOGGLEUPTIME
    clock = WaitForShownClock(10000);
    ASSERT_NE(clock, nullptr) << "no taskbar clock after the messages (seed " << seed << ")";
    Sleep(1500);
    const auto first = ScreenPixels(WindowRectOf(clock));
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(WindowRectOf(clock)) != first; }, 5000))
        << "the clock stopped painting (seed " << seed << ")";

    PostMessageW(main, kQuitProgram, 0, 0);
    const DWORD quitAt = GetTickCount();
    const DWORD code = ExitCodeAfter(p, 15000);
    const DWORD took = GetTickCount() - quitAt;
    std::printf("message fuzz: ended after %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_EQ(code, 0u) << "seed " << seed;
    // A quit that waits on a worker or the network takes seconds; a loaded machine only slows Wine's
    // teardown by a fraction of one (the quit states test holds the one-second budget, with a retry).
    EXPECT_LE(took, 3000u) << "seed " << seed;

    EndStrayPrograms();
    SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", nullptr);
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", nullptr);
    ForgetSettings();
}
