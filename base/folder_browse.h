// The system's folder dialog, for file-system folders.
#pragma once
#include <windows.h>

#include <string>

namespace vt {

// Where BrowseForSettingsFolder starts.
extern std::wstring BrowseStartFolder;

// Starts at the desktop. On OK `path` becomes the chosen folder (at any length) and the answer is true;
// on cancel `path` is left as it was.
bool BrowseFolder(HWND owner, const std::wstring& title, std::wstring& path);

// Starts at BrowseStartFolder, centred on the work area, with the given BIF_ flags; `path` is empty when
// cancelled.
void BrowseForSettingsFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring& path);

// The dialog's new top-left corner: half the work area's size less half the dialog's, each halved with
// truncation (the work area's own left and top are not added).
POINT CenteredDialogOrigin(const RECT& workArea, const RECT& dialog);

// The dialog callback of BrowseForSettingsFolder; lParam of the call is the folder to select.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) noexcept;

}  // namespace vt
