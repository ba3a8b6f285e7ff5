// The entry points of a program image with the taskbar in another process. The system would map the image
// there without binding its imports or running its start-up, and the taskbar's process would crash in our
// hook: a program image refuses, and VantoricHook.dll, a library, serves.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/handles.h"
#include "clock/clock_hook.h"
#include "support/test_support.h"

namespace vt {
namespace {

constexpr LRESULT kShellClockSize = MAKELONG(55, 30);
enum Module : WPARAM { kHookLibrary = 0, kProgramImage = 1, kTestImage = 2 };

// tests/tools/classic_taskbar.cpp, started for each test.
struct TaskbarProcess {
    UniqueHandle process, thread;
    HWND taskbar = nullptr, clock = nullptr;
    TaskbarProcess() {
        const std::wstring exe = test::TestProgramDir() + L"classic_taskbar.exe";
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        process.reset(pi.hProcess);
        thread.reset(pi.hThread);
        test::PumpUntil([&] {
            HWND found = FindWindowW(L"Shell_TrayWnd", nullptr);
            DWORD id = 0;
            if (!found || !GetWindowThreadProcessId(found, &id) || id != pi.dwProcessId) return false;
            HWND notify = FindWindowExW(found, nullptr, L"TrayNotifyWnd", nullptr);
            clock = notify ? FindWindowExW(notify, nullptr, L"TrayClockWClass", nullptr) : nullptr;
            taskbar = found;
            return clock != nullptr;
        }, 15000);
    }
    ~TaskbarProcess() {
        if (!process) return;
        if (taskbar) PostMessageW(taskbar, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 9);
    }
    bool Alive() const { return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }
    LRESULT Send(UINT message, WPARAM wParam = 0) const {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(clock, message, wParam, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return -1;
        return static_cast<LRESULT>(answer);
    }
    LRESULT SizeQuery() const { return Send(WM_USER + 100); }
    bool Maps(Module module) const { return Send(RegisterWindowMessageW(L"VtClassicTaskbar-HasModule"), module) == 1; }
};

struct MainWindow {
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ~MainWindow() { DestroyWindow(hwnd); }
};

// This test program carries the entry points as the program image does, started as programs are.
TEST(HookHandOver, AProgramImageRefusesATaskbarOfAnotherProcessAndLeavesItAlone) {
    TaskbarProcess shell;
    ASSERT_TRUE(shell.clock) << "the classic taskbar did not come up";
    MainWindow main;
    SetLastError(0);
    EXPECT_FALSE(SetVantoric10(main.hwnd, true, (test::DistDir() + L"skins\\").c_str(), L"Gold"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(ClockHookInstalled());
    EXPECT_TRUE(shell.Alive());
    EXPECT_EQ(shell.SizeQuery(), kShellClockSize) << "the shell's clock is still its own";
    EXPECT_FALSE(shell.Maps(kTestImage)) << "the program image was mapped into the taskbar's process";
    EXPECT_EQ(KillHooks(main.hwnd), 0);
    EXPECT_TRUE(shell.Alive());
}

// A controller loads the real program file and calls its exports: mapped without its start-up, the image
// refuses before anything of it runs; the library beside it does the work.
TEST(HookHandOver, TheProgramFileLoadedAsAModuleRefusesAndTheHookLibraryServes) {
    TaskbarProcess shell;
    ASSERT_TRUE(shell.clock) << "the classic taskbar did not come up";
    using SetFn = BOOL(WINAPI*)(HWND, BOOL, LPCWSTR, LPCWSTR);
    using RepaintFn = BOOL(WINAPI*)();
    using KillFn = int(WINAPI*)(HWND);
    MainWindow main;
    const std::wstring skins = test::DistDir() + L"skins\\";
    {
        UniqueLibrary image(LoadLibraryW((test::DistDir() + L"Vantoric.exe").c_str()));
        ASSERT_TRUE(image);
        auto set = reinterpret_cast<SetFn>(reinterpret_cast<void*>(GetProcAddress(image.get(), "SetVantoric10")));
        auto repaint = reinterpret_cast<RepaintFn>(reinterpret_cast<void*>(GetProcAddress(image.get(), "RepainClock")));
        auto kill = reinterpret_cast<KillFn>(reinterpret_cast<void*>(GetProcAddress(image.get(), "KillHooks")));
        ASSERT_TRUE(set && repaint && kill);
        SetLastError(0);
        EXPECT_FALSE(set(main.hwnd, TRUE, skins.c_str(), L"Gold"));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
        SetLastError(0);
        EXPECT_FALSE(repaint());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
        EXPECT_EQ(kill(main.hwnd), 0);
        EXPECT_TRUE(shell.Alive());
        EXPECT_FALSE(shell.Maps(kProgramImage)) << "the program image was mapped into the taskbar's process";
        EXPECT_EQ(shell.SizeQuery(), kShellClockSize);
    }

    UniqueLibrary library(LoadLibraryW((test::DistDir() + L"VantoricHook.dll").c_str()));
    ASSERT_TRUE(library);
    auto set = reinterpret_cast<SetFn>(reinterpret_cast<void*>(GetProcAddress(library.get(), "SetVantoric10")));
    auto kill = reinterpret_cast<KillFn>(reinterpret_cast<void*>(GetProcAddress(library.get(), "KillHooks")));
    ASSERT_TRUE(set && kill);
    EXPECT_TRUE(set(main.hwnd, TRUE, skins.c_str(), L"Gold"));
    EXPECT_TRUE(shell.Alive());
    EXPECT_TRUE(shell.Maps(kHookLibrary));
    EXPECT_NE(shell.SizeQuery(), kShellClockSize) << "the hook library's clock answers";
    EXPECT_EQ(kill(main.hwnd), 0);
    EXPECT_TRUE(shell.Alive());
    EXPECT_EQ(shell.SizeQuery(), kShellClockSize) << "the shell's clock is its own again";
}

}  // namespace
}  // namespace vt
