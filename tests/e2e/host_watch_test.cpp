// End to end: the program dies without telling its taskbar host; the host must not go on covering the
// taskbar's end with the program's last picture.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/taskbar_locator.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

TEST(HostWatch, AKilledProgramTakesItsTaskbarHostWithItAndTheTaskbarShowsAgain) {
    TempDir dir;
    const std::wstring settings = dir.path() + L"Killed\\";
    FreshSettingsIn(settings);
    CreateDirectoryW(settings.c_str(), nullptr);

    Process program = LaunchProgram();
    ASSERT_TRUE(program.process);
    HWND clock = WaitForShownClock();
    ASSERT_NE(clock, nullptr);
    // The program paints the served clock (its seconds move it): the component is attached.
    const RECT rect = WindowRectOf(clock);
    const auto first = ScreenPixels(rect);
    ASSERT_TRUE(WaitUntil([&] { return ScreenPixels(WindowRectOf(clock)) != first; }, 5000)) << "the clock never changed";
    DWORD hostId = 0;
    GetWindowThreadProcessId(clock, &hostId);
    UniqueHandle host(OpenProcess(SYNCHRONIZE, FALSE, hostId));
    ASSERT_TRUE(host);

    ASSERT_TRUE(TerminateProcess(program.process.get(), 9));
    // Two seconds is the bound the user would accept; the host wakes on the process's end itself.
    EXPECT_EQ(WaitForSingleObject(host.get(), 2000), WAIT_OBJECT_0) << "the host outlived the program";
    EXPECT_EQ(FindWindowW(L"TrayClockWClass", nullptr), nullptr);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_EQ(GetAncestor(WindowFromPoint(centre), GA_ROOT), FindTaskbarWindow()) << "the taskbar's end is covered";

    EndStrayProcesses(L"Quellix.exe");
    ForgetSettings();
}
