// End to end: the real pointer on the taskbar clock of the running program.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/desktop.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

// After the dialog was shown and closed the clock still answers the pointer: hover opens the calendar,
// and a right click brings the quick menu, which the hover's calendar neither covers nor comes back over.
TEST(ClockMouse, RightClickAfterTheDialogBringsTheMenuAndTheHoverStaysClosed) {
    EndStrayPrograms();
    TempDir dir;
    std::wstring settings = dir.path() + L"Maus\\";
    ForgetSettings();
    SettingsIn(settings);
    CreateDirectoryW(settings.c_str(), nullptr);
    SetCursorPos(300, 300);

    Process p = LaunchProgram();
    ASSERT_TRUE(p.process);
    HWND clock = WaitForShownClock();
    ASSERT_NE(clock, nullptr);
    HWND main = MainWindow();
    PostMessageW(main, kShowMain, 0, 0);   // show the main dialog, then close it
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 10000));
    Sleep(500);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 10000));
    Sleep(1000);

    const POINT centre = CentreOf(WindowRectOf(clock));
    SetCursorPos(centre.x, centre.y);
    EXPECT_TRUE(WaitUntil([] { return ShownWindow(L"TfrmCalendar2") != nullptr; }, 6000)) << "no calendar on hover";
    ClickAt(centre, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(WaitUntil([] { return ShownWindow(L"#32768") != nullptr; }, 5000)) << "no quick menu on the right click";
    EXPECT_EQ(ShownWindow(L"TfrmCalendar2"), nullptr);
    Sleep(2500);   // the pointer rests on the clock while the menu is up
    EXPECT_NE(ShownWindow(L"#32768"), nullptr);
    EXPECT_EQ(ShownWindow(L"TfrmCalendar2"), nullptr) << "the hover opened the calendar over the menu";
    PressKeys({VK_ESCAPE});
    SetCursorPos(300, 300);

    PostMessageW(main, kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    ForgetSettings();
}
