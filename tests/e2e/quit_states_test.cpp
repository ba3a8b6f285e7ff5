// End to end: the quit message ends the program within a second, whatever it is doing at that moment.
#include <gtest/gtest.h>

#include "support/loopback_sntp.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "base/registry.h"
#include "e2e/e2e_support.h"
#include "resources/resource.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

constexpr DWORD kQuitBudgetMs = 1000;

struct FindContext {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindShownDialog(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<FindContext*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t name[16];
    if (owner == c->process && IsWindowVisible(w) && GetClassNameW(w, name, 16) && wcscmp(name, L"#32770") == 0) {
        c->found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog window of the program (the alarm window, the editor, a message box).
HWND ShownDialogOf(DWORD process) {
    FindContext c{process, nullptr};
    EnumWindows(FindShownDialog, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

struct ChildContext {
    int id;
    HWND found;
};

BOOL CALLBACK FindChildById(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<ChildContext*>(l);
    if (GetDlgCtrlID(w) == c->id) {
        c->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND ChildById(HWND parent, int id) {
    ChildContext c{id, nullptr};
    EnumChildWindows(parent, FindChildById, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

// Local time in `seconds`, as the alarms file keeps it.
std::wstring LocalTimeIn(int seconds) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double now = 0;
    SystemTimeToVariantTime(&st, &now);
    wchar_t text[64];
    std::swprintf(text, 64, L"%.10f", now + (st.wMilliseconds / 1000.0 + seconds) / 86400.0);
    return text;
}

class QuitIn : public testing::Test {
protected:
    void SetUp() override {
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
        key_ = RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
        key_.WriteString(L"AppDataDir", dir_.path());
    }
    void TearDown() override {
        if (p_.process && WaitForSingleObject(p_.process.get(), 0) != WAIT_OBJECT_0) TerminateProcess(p_.process.get(), 9);
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
        SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    }
    void Start() {
        p_ = Launch(DistDir() + L"Vantoric.exe");
        ASSERT_TRUE(p_.process);
        ASSERT_TRUE(WaitUntil([&] { return (main_ = FindWindowW(L"TfrmClock", nullptr)) != nullptr; }, 30000));
        // Up and running: the taskbar clock shows, and the desktop has settled after the start.
        ASSERT_TRUE(WaitUntil([] {
            HWND clock = FindWindowW(L"TrayClockWClass", nullptr);
            return clock && IsWindowVisible(clock);
        }, 30000));
        Sleep(1000);
    }
    // Posts the quit message; the exit code is checked, and how long the process took to end returned.
    DWORD QuitNow() {
        PostMessageW(main_, kQuitProgram, 0, 0);
        const DWORD start = GetTickCount();
        const DWORD code = ExitCodeAfter(p_, 15000);
        const DWORD took = GetTickCount() - start;
        std::printf("ended after %lu ms\n", static_cast<unsigned long>(took));
        EXPECT_EQ(code, 0u);
        return took;
    }
    // Starts the program, brings it into a state and quits it. Wine takes a while to tear down shown
    // windows when the machine is loaded: an attempt over the budget gets one more try, and a program that
    // waits on something fails both.
    // `prepare` runs before each start.
    void ExpectQuitInTime(const std::function<void()>& enter, const std::function<void()>& prepare = {}) {
        DWORD best = INFINITE;
        for (int attempt = 0; attempt < 2 && best > kQuitBudgetMs; ++attempt) {
            if (attempt) {
                EndStrayProcesses(L"Vantoric.exe");
                EndStrayProcesses(L"Quellix.exe");
            }
            if (prepare) prepare();
            Start();
            if (HasFatalFailure()) return;
            enter();
            if (HasFatalFailure()) return;
            best = std::min(best, QuitNow());
        }
        EXPECT_LE(best, kQuitBudgetMs);
    }
    TempDir dir_;
    RegKey key_;
    Process p_;
    HWND main_ = nullptr;
};

}  // namespace

TEST_F(QuitIn, TheMainDialog) {
    ExpectQuitInTime([&] {
        PostMessageW(main_, WM_USER + 101, 0, 0);   // WM_SHOWMAIN
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }, 10000));
        Sleep(300);
    });
}

TEST_F(QuitIn, AnSntpQueryToASilentServer) {
    LoopbackSntpServer server([](const Bytes&) { return std::optional<Bytes>{}; });   // never answers
    ASSERT_NE(server.port(), 0);
    SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", std::to_wstring(server.port()).c_str());
    key_.WriteDword(L"cbServer.Count", 1);
    key_.WriteString(L"cbServer.Item0", L"127.0.0.1");
    key_.WriteString(L"cbServer.Text", L"127.0.0.1");
    ExpectQuitInTime([&] {
        const int asked = server.requests();
        PostMessageW(main_, WM_USER + 102, 0, 0);   // WM_SYNCTIME: the atomic clock page in front
        HWND get = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) && (get = ChildById(main_, IDC_BGET)) != nullptr; }, 10000));
        PostMessageW(GetParent(get), WM_COMMAND, MAKEWPARAM(IDC_BGET, BN_CLICKED), reinterpret_cast<LPARAM>(get));
        ASSERT_TRUE(WaitUntil([&] { return server.requests() > asked; }, 10000)) << "the query never left";
    });
}

TEST_F(QuitIn, AWeatherRequestToASilentServer) {
    LoopbackServer server([](const std::string&) {
        return With(Reply("<weather/>"), [](ServedReply& r) { r.delayMs = 60000; });
    });
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", server.HostAndPort().c_str());
    key_.WriteString(L"cbFoundPlaces.Text", L"Paris, France");
    key_.WriteDword(L"cbFoundPlaces.Count", 1);
    key_.WriteString(L"cbFoundPlaces.Item0", L"Paris, France");
    key_.WriteDword(L"cbFoundPlaces.ItemIndex", 0);
    key_.WriteDword(L"WeatherEvery", 1);   // never checked: due 5 seconds after start
    ExpectQuitInTime([&] {
        const size_t asked = server.Requests().size();
        ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() > asked; }, 30000)) << "the weather was never asked";
        Sleep(300);
    });
}

TEST_F(QuitIn, TheAlarmWindowWithItsSound) {
    ExpectQuitInTime([&] {
        ASSERT_TRUE(WaitUntil([&] { return ShownDialogOf(p_.id) != nullptr; }, 20000)) << "no alarm window";
        Sleep(300);
    }, [&] {
        const std::wstring alarm = L"[Alarm1]\r\nid=1\r\nType=Once\r\nDateTime=" + LocalTimeIn(6) +
                                   L"\r\nEnabled=1\r\nMessageEn=1\r\nMessage=Quit now\r\nSoundEn=1\r\nSoundLoop=1\r\n"
                                   L"SoundFile=" + DistDir() + L"Sounds\\Chime.wav\r\n";
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(alarm.data()), alarm.size() * sizeof(wchar_t));
        WriteFileBytes(dir_.File(L"alarms.ini"), bytes);
    });
}

TEST_F(QuitIn, TheAlarmEditor) {
    ExpectQuitInTime([&] {
        Sleep(1000);
        PostMessageW(main_, WM_USER + 113, 0, 0);   // WM_NEWALARM
        ASSERT_TRUE(WaitUntil([&] { return ShownDialogOf(p_.id) != nullptr; }, 10000)) << "no editor";
        Sleep(300);
    });
}
