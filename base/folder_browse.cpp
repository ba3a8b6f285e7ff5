#include "base/folder_browse.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "base/handles.h"

namespace vt {

std::wstring BrowseStartFolder;

namespace {
void FreeIdList(PIDLIST_ABSOLUTE p) noexcept { CoTaskMemFree(p); }
void FreeTaskString(PWSTR p) noexcept { CoTaskMemFree(p); }
using UniqueIdList = Unique<PIDLIST_ABSOLUTE, FreeIdList>;
using UniqueTaskString = Unique<PWSTR, FreeTaskString>;

// Shows the dialog; the chosen folder's full path, or nothing when cancelled or not a file-system folder.
bool RunDialog(BROWSEINFOW& info, std::wstring& chosen) {
    wchar_t displayName[MAX_PATH] = {};
    info.pszDisplayName = displayName;
    UniqueIdList list(SHBrowseForFolderW(&info));
    if (!list) return false;
    UniqueTaskString name;
    if (FAILED(SHGetNameFromIDList(list.get(), SIGDN_FILESYSPATH, name.put())) || !name) return false;
    chosen = name.get();
    return true;
}
}  // namespace

bool BrowseFolder(HWND owner, const std::wstring& title, std::wstring& path) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    return RunDialog(info, path);
}

void BrowseForSettingsFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring& path) {
    // Copied so that the callback reads a string that cannot change while the dialog runs.
    const std::wstring start = BrowseStartFolder;
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = flags;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    std::wstring chosen;
    path = RunDialog(info, chosen) ? chosen : std::wstring();
}

POINT CenteredDialogOrigin(const RECT& workArea, const RECT& dialog) {
    const LONG workWidth = workArea.right - workArea.left, workHeight = workArea.bottom - workArea.top;
    const LONG width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
    return {workWidth / 2 - width / 2, workHeight / 2 - height / 2};
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept {
    if (message == BFFM_INITIALIZED) {
        RECT work{}, rect{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(dialog, &rect);
        POINT origin = CenteredDialogOrigin(work, rect);
        SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (data) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

}  // namespace vt
