// The user's desktop as other processes show it: their windows found by process, class, control id or
// text, and keys typed as the user types them. For the end-to-end tests, the benchmarks and the test
// driver.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vt::test {

std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildWindows(HWND parent);   // all of them, the children's children too
std::wstring ClassOf(HWND w);
DWORD ProcessOf(HWND w);

// The top-level window of `cls` that FindWindow finds, when it is visible; else nullptr.
HWND ShownWindow(const wchar_t* cls);
// A visible top-level window of the process of `cls` that `accept` takes, else nullptr.
HWND ShownWindowOf(DWORD process, const wchar_t* cls, const std::function<bool(HWND)>& accept = {});
// A visible dialog window of the process (the alarm window, the editor, a message box).
HWND ShownDialogOf(DWORD process);
// A shown dialog of the process with a control that says `text` (a message box's message).
HWND ShownDialogSaying(DWORD process, const wchar_t* text);
// An open menu of the process.
HWND ShownMenuOf(DWORD process);
// The first window below `parent` with control id `id`.
HWND ChildById(HWND parent, int id);
int CountTopLevel(const wchar_t* cls);
// The windows the process owns, top-level and child.
DWORD WindowCountOf(DWORD process);

// The window with the keyboard focus in the thread of `window` (another process's too).
HWND FocusOf(HWND window);
// The pointer moved to a point of the screen and a button pressed and let go there, as the user's mouse
// does it (the left button unless told otherwise).
bool ClickAt(POINT onScreen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP);
POINT CentreOf(const RECT& r);
// Presses the keys in order and lets them go in the reverse order (a chord such as Ctrl+H, or one key).
void PressKeys(std::initializer_list<WORD> keys);

}  // namespace vt::test
