// End to end: the real program beside a shell clock its host cannot take over (the program folder has no
// hook library), so the host serves a clock window of its own while the locator still finds the shell's.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/handles.h"
#include "base/taskbar_locator.h"
#include "support/classic_shell.h"
#include "support/desktop.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

constexpr UINT kClockCancelLeave = WM_USER + 151;
int g_shellClockCancels = 0;

LRESULT CALLBACK CountingShellClockProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kClockCancelLeave) ++g_shellClockCancels;
    return DefWindowProcW(w, m, wp, lp);
}

// The program folder, all but one file.
void CopyTree(const std::wstring& from, const std::wstring& to, const wchar_t* leftOut) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd{};
    UniqueFindFile find(FindFirstFileW((from + L"*").c_str(), &fd));
    if (!find || find.get() == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + name + L"\\", to + name + L"\\", leftOut);
        else if (_wcsicmp(name.c_str(), leftOut) != 0)
            CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    } while (FindNextFileW(find.get(), &fd));
}

POINT Centre(HWND w) {
    const RECT r = WindowRectOf(w);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

TEST(OwnClockWindow, HoverOpenedCalendarStaysOpenWhileThePointerIsOnIt) {
    g_shellClockCancels = 0;
    TempDir program, settings;
    CopyTree(DistDir(), program.path(), L"QuellixHook.dll");
    FreshSettingsIn(settings.path());
    // A classic taskbar at the top of the screen, away from where the calendar and the forecast open.
    ClassicShell shell(CountingShellClockProc, RGB(30, 60, 120), {30, 600, 200, 100, 100});
    SetWindowPos(shell.taskbar, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(FindTaskbarClockWindow(), shell.clock);
    SetCursorPos(300, 300);

    Process p = Launch(program.path() + L"Vantoric.exe");
    ASSERT_TRUE(p.process);
    HWND own = nullptr;   // top-level: the shell's clock is a child window
    ASSERT_TRUE(PumpUntil([&] { return (own = ShownWindow(L"TrayClockWClass")) != nullptr; }, 30000))
        << "the host showed no clock window of its own";
    PumpUntil([] { return false; }, 1500);   // the component attaches to it

    // The pointer rests on the clock until the hover opens the calendar (the display is shared: it is
    // put down again, a pixel aside, when another move came first).
    HWND calendar = nullptr;
    for (int attempt = 0; attempt < 6 && !calendar; ++attempt) {
        const POINT c = Centre(own);
        SetCursorPos(c.x + attempt % 2, c.y);
        PumpUntil([&] { return (calendar = ShownWindow(L"TfrmCalendar2")) != nullptr; }, 2500);
    }
    ASSERT_NE(calendar, nullptr) << "no calendar on hover";

    // Onto the calendar, clear of the forecast widget that the same hover opened, and about on it a while.
    const RECT cal = WindowRectOf(calendar);
    RECT widget{};
    if (HWND w = ShownWindow(L"TfrmNimbrel")) widget = WindowRectOf(w);
    POINT on{cal.right - 30, cal.bottom - 30};
    if (PtInRect(&widget, on)) on = {cal.left + 30, cal.bottom - 30};
    for (int i = 0; i < 14; ++i) {
        SetCursorPos(on.x + i % 2, on.y);
        PumpUntil([] { return false; }, 250);
    }
    EXPECT_EQ(ShownWindow(L"TfrmCalendar2"), calendar) << "the calendar closed under the pointer";
    EXPECT_EQ(g_shellClockCancels, 0) << "the calendar kept the shell's clock, not the one the program uses";

    SetCursorPos(300, 300);
    QuitProgram();
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(p.process.get(), 0) == WAIT_OBJECT_0; }, 20000));
    EXPECT_EQ(ExitCodeAfter(p, 0), 0u);
    EXPECT_TRUE(PumpUntil([] { return FindWindowW(L"TrayClockWClass", nullptr) == nullptr; }, 10000));
    EndStrayProcesses(L"Quellix.exe");
    ForgetSettings();
}
