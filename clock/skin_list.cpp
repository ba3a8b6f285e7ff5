#include "clock/skin_list.h"

#include <commctrl.h>

#include <random>

#include "base/handles.h"
#include "base/picture.h"
#include "clock/clock_skin.h"
#include "clock/colors.h"

namespace vt {

namespace {
void Scan(std::wstring folder, std::vector<std::wstring>& out, int depth) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    // A link that points back up the tree must not recurse for ever.
    if (depth > 32) return;
    WIN32_FIND_DATAW fd;
    UniqueFindFile find(FindFirstFileExW((folder + L"*.*").c_str(), FindExInfoBasic, &fd, FindExSearchLimitToDirectories,
                                         nullptr, 0));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return;
    }
    int added = 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
        out.emplace_back(fd.cFileName);
        Scan(folder + fd.cFileName, out, depth + 1);
        if (++added > 99999) break;
    } while (FindNextFileW(find.get(), &fd));
}
}  // namespace

std::vector<std::wstring> ScanSkinFolders(const std::wstring& folder) {
    std::vector<std::wstring> out;
    Scan(folder, out, 0);
    return out;
}

int RefreshSkinList(HWND listView, const std::wstring& folder) {
    SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
    int count = 0;
    for (const auto& name : ScanSkinFolders(folder)) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = count;
        item.iImage = 0;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        ++count;
    }
    return count;
}

std::pair<COLORREF, COLORREF> SkinGradientColours(COLORREF key) {
    HlsColour hls = RgbToHls({GetRValue(key), GetGValue(key), GetBValue(key)});
    bool swap = false;
    if (hls.l <= 120) hls.l = 120;
    if (hls.l > 120) hls.l -= 60;
    if (hls.l == 120) {
        hls.l += 60;
        swap = true;
    }
    RgbColour rgb = HlsToRgb(hls);
    COLORREF second = RGB(rgb.r, rgb.g, rgb.b);
    return swap ? std::pair{second, key} : std::pair{key, second};
}

bool ReadSkinKeyColour(const std::wstring& skinsDir, const std::wstring& name, COLORREF& key) {
    std::wstring path = skinsDir + name + L"\\Text.bmp";
    BmpPicture bmp = LoadBmpFile(path, kMaxSkinBitmapSide);
    if (!bmp) return false;
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    SelectGuard keep(dc.get(), bmp.bitmap.get());
    COLORREF c = GetPixel(dc.get(), bmp.width - 1, bmp.height - 1);
    if (c == CLR_INVALID) return false;
    key = c;
    return true;
}

int RandomSkinIndex(int count, unsigned seed) {
    if (count <= 1) return 0;
    std::mt19937 gen(seed);
    return static_cast<int>(gen() % static_cast<unsigned>(count - 1));
}

}  // namespace vt
