// The clock skins on offer: every sub-folder of the skins folder, and theirs, by bare name.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace vt {

// Depth first, in the order the file system returns the entries; at most 99999 folders per folder.
std::vector<std::wstring> ScanSkinFolders(const std::wstring& folder);

// Empties the list view and fills it with the skins of `folder` (the view sorts them by caption).
int RefreshSkinList(HWND listView, const std::wstring& folder);

// The gradient colours offered with a skin, from its key colour (the bottom-right pixel of Text.bmp):
// the second colour is the key colour at lightness 120 or, for a light key colour, 60 below it; the
// lighter of the two comes first.
std::pair<COLORREF, COLORREF> SkinGradientColours(COLORREF key);

// The key colour of skins\<name>\Text.bmp; nothing when the picture cannot be read.
bool ReadSkinKeyColour(const std::wstring& skinsDir, const std::wstring& name, COLORREF& key);

// The random choice among `count` skins: the last one in list order is never chosen.
int RandomSkinIndex(int count, unsigned seed);

}  // namespace vt
