// The real program of this build, started and watched from outside as the user's session sees it: for
// the end-to-end tests and the benchmarks.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/registry.h"

namespace vt::test {

inline constexpr UINT kQuitProgram = WM_USER + 100;
inline constexpr UINT kShowMain = WM_USER + 101;
inline constexpr UINT kSetShowDate = WM_USER + 106;

// Whether done() came true within `ms`, asked every `pollMs` (the benchmarks time tens of milliseconds).
bool WaitUntil(const std::function<bool()>& done, DWORD ms, DWORD pollMs = 50);

struct Process {
    UniqueHandle process, thread;
    DWORD id = 0;
};

// `exe` started with `arguments` after its quoted name; no process when it could not start.
Process Launch(const std::wstring& exe, const std::wstring& arguments = L"");
// Vantoric.exe of this build's program folder.
Process LaunchProgram();
// The exit code, or STILL_ACTIVE when the process did not end within `ms`.
DWORD ExitCodeAfter(const Process& p, DWORD ms);
// Asks the program to end, as its menu's Exit does.
void QuitProgram();

// A program or host left behind by an earlier, failed run would answer for this one.
void EndStrayProcesses(const wchar_t* exeName);
void EndStrayPrograms();   // Vantoric.exe and its taskbar host Quellix.exe
DWORD ProcessIdOf(const wchar_t* exeName);   // 0 when none runs

// The program's registry key with its settings folder set to `folder` (ends with a backslash).
RegKey SettingsIn(const std::wstring& folder);
// Removes the program's registry key: no earlier run's choices count.
void ForgetSettings();
// No program left from an earlier run and none of its settings: the key made anew, naming `folder`.
RegKey FreshSettingsIn(const std::wstring& folder);
// The weather of `place`, asked every 30 minutes and never asked yet: due 5 seconds after the start.
void StoreWeatherPlace(RegKey& key, const wchar_t* place);
void StoreTimeServer(RegKey& key, const wchar_t* host);   // the one server the atomic clock page lists
// Local time in `seconds`, as the alarms file keeps it.
std::wstring LocalTimeIn(int seconds);

HWND MainWindow();
RECT WindowRectOf(HWND w);
// The screen pixels of a rectangle, as the user sees them.
std::vector<COLORREF> ScreenPixels(const RECT& r);
// Not one colour all over: something is drawn there.
bool ShowsSomething(const std::vector<COLORREF>& pixels);
// The taskbar clock window once it shows, else nullptr.
HWND ShownClock();
// The taskbar clock window once it shows the skin's digits, else nullptr.
HWND PaintedClock();
// The taskbar clock window once it shows within `ms`, else nullptr.
HWND WaitForShownClock(DWORD ms = 30000);

}  // namespace vt::test
