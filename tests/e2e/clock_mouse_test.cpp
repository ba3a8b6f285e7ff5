// End to end: the real pointer on the taskbar clock of the running program.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/inifile.h"
#include "base/registry.h"
#include "e2e/e2e_support.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

bool Shown(const wchar_t* cls) {
    HWND w = FindWindowW(cls, nullptr);
    return w && IsWindowVisible(w);
}

void Press(DWORD down, DWORD up) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    SendInput(2, in, sizeof(INPUT));
}

void Key(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

}  // namespace

// After the dialog was shown and closed the clock still answers the pointer: hover opens the calendar,
// and a right click brings the quick menu, which the hover's calendar neither covers nor comes back over.
TEST(ClockMouse, RightClickAfterTheDialogBringsTheMenuAndTheHoverStaysClosed) {
    EndStrayProcesses(L"Vantoric.exe");
    EndStrayProcesses(L"Quellix.exe");
    TempDir dir;
    std::wstring settings = dir.path() + L"Maus\\";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", settings);
    CreateDirectoryW(settings.c_str(), nullptr);
    SetCursorPos(300, 300);

    Process p = Launch(DistDir() + L"Vantoric.exe");
    ASSERT_TRUE(p.process);
    HWND clock = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        clock = FindWindowW(L"TrayClockWClass", nullptr);
        return clock && IsWindowVisible(clock);
    }, 30000));
    HWND main = FindWindowW(L"TfrmClock", nullptr);
    PostMessageW(main, WM_USER + 101, 0, 0);   // show the main dialog, then close it
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    Sleep(500);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 10000));
    Sleep(1000);

    RECT r{};
    GetWindowRect(clock, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(WaitUntil([] { return Shown(L"TfrmCalendar2"); }, 6000)) << "no calendar on hover";
    Press(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(WaitUntil([] { return Shown(L"#32768"); }, 5000)) << "no quick menu on the right click";
    EXPECT_FALSE(Shown(L"TfrmCalendar2"));
    Sleep(2500);   // the pointer rests on the clock while the menu is up
    EXPECT_TRUE(Shown(L"#32768"));
    EXPECT_FALSE(Shown(L"TfrmCalendar2")) << "the hover opened the calendar over the menu";
    Key(VK_ESCAPE);
    SetCursorPos(300, 300);

    PostMessageW(main, kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
}
