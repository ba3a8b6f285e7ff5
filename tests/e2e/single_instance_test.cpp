// End to end: the real program folder under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <functional>

#include "clock/base/handles.h"
#include "clock/base/inifile.h"
#include "clock/base/registry.h"
#include "support/test_support.h"

using namespace vt;

namespace {

constexpr UINT kQuitProgram = WM_USER + 100;
constexpr UINT kSetShowDate = WM_USER + 106;

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

struct Process {
    UniqueHandle process, thread;
    DWORD id = 0;
};

Process Launch(const std::wstring& exe) {
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Process p;
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        p.process.reset(pi.hProcess);
        p.thread.reset(pi.hThread);
        p.id = pi.dwProcessId;
    }
    return p;
}

DWORD ExitCodeAfter(const Process& p, DWORD ms) {
    if (WaitForSingleObject(p.process.get(), ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(p.process.get(), &code);
    return code;
}

struct CountContext {
    const wchar_t* cls;
    int n;
};

BOOL CALLBACK CountWindow(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<CountContext*>(l);
    wchar_t name[64];
    if (GetClassNameW(w, name, 64) && wcscmp(name, c->cls) == 0) ++c->n;
    return TRUE;
}

int CountTopLevel(const wchar_t* cls) {
    CountContext ctx{cls, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.n;
}

// A host left behind by an earlier, failed run would answer for this one.
void EndStrayProcesses(const wchar_t* exeName) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap.get(), &pe); ok; ok = Process32NextW(snap.get(), &pe)) {
        if (_wcsicmp(pe.szExeFile, exeName) != 0) continue;
        UniqueHandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pe.th32ProcessID));
        if (p) {
            TerminateProcess(p.get(), 1);
            WaitForSingleObject(p.get(), 5000);
        }
    }
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override {
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        settings = dir.path() + L"Données ü\\";
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
        key.WriteString(L"AppDataDir", settings);
        exe = test::DistDir() + L"Vantoric.exe";
    }
    void TearDown() override {
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
    }
    std::wstring Stored(const wchar_t* key) {
        return IniFile(settings + L"Setting.ini").ReadString(L"Options", key, L"<missing>");
    }
    HWND MainWindow() { return FindWindowW(L"TfrmClock", nullptr); }

    test::TempDir dir;
    std::wstring settings;
    std::wstring exe;
};

}  // namespace

TEST_F(EndToEnd, SecondStartWakesTheFirstAndExitsWith255) {
    Process first = Launch(exe);
    ASSERT_TRUE(first.process);
    ASSERT_TRUE(WaitUntil([&] { return MainWindow() != nullptr; }, 30000));
    EXPECT_FALSE(IsWindowVisible(MainWindow()));
    Process second = Launch(exe);
    ASSERT_TRUE(second.process);
    EXPECT_EQ(ExitCodeAfter(second, 30000), 255u);
    EXPECT_EQ(CountTopLevel(L"TfrmClock"), 1);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(MainWindow()) != FALSE; }, 10000));
    PostMessageW(MainWindow(), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(first, 20000), 0u);
}

TEST_F(EndToEnd, CommandMessagesAndQuitWriteTheOptionsIntoANonAsciiFolder) {
    Process p = Launch(exe);
    ASSERT_TRUE(WaitUntil([&] { return MainWindow() != nullptr; }, 30000));
    PostMessageW(MainWindow(), kSetShowDate, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Stored(L"ShowDate") == L"0"; }, 10000));
    PostMessageW(MainWindow(), kSetShowDate, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return Stored(L"ShowDate") == L"1"; }, 10000));
    PostMessageW(MainWindow(), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    EXPECT_EQ(Stored(L"ActivePage"), L"3");
    EXPECT_EQ(Stored(L"Click"), L"5");
    // The folder in use is recorded as it was given.
    EXPECT_EQ(RegKey::Open(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").ReadString(L"AppDataDir").value_or(L""),
              settings);
}

TEST_F(EndToEnd, CancelledShutdownKeepsTheProgramRunning) {
    Process p = Launch(exe);
    ASSERT_TRUE(WaitUntil([&] { return MainWindow() != nullptr; }, 30000));
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &result));
    EXPECT_EQ(result, 1u);
    EXPECT_NE(Stored(L"ShowDate"), L"<missing>");  // saved before answering
    SendMessageTimeoutW(MainWindow(), WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 10000, &result);
    EXPECT_EQ(ExitCodeAfter(p, 1000), static_cast<DWORD>(STILL_ACTIVE));
    SendMessageTimeoutW(MainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &result);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
}
