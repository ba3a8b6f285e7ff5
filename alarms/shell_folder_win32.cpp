// The shell's named folders (My Music, My Videos), in a file of their own so that asking for one pulls in no sound call.
#include <windows.h>
#include <shlobj.h>

#include "alarms/alarm_sound.h"

namespace vt {

std::wstring GetSpecialFolderPath(int folderId) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(GetActiveWindow(), folderId, &items)) || !items) return {};
    wchar_t path[MAX_PATH + 1] = L"";
    const bool got = SHGetPathFromIDListW(items, path) != FALSE;
    CoTaskMemFree(items);
    std::wstring result = got ? path : L"";
    if (!result.empty() && result.back() != L'\\') result += L'\\';
    return result;
}

}  // namespace vt
