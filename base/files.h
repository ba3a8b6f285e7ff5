// Small file-system questions asked all over the program.
#pragma once
#include <string>

namespace vt {

// The folder with one trailing backslash (a trailing '/' counts as one); empty stays empty.
std::wstring WithSlash(std::wstring folder);
// True for an existing file, false for a folder or nothing.
bool FileExists(const std::wstring& path);
// True for an existing folder.
bool FolderExists(const std::wstring& path);

}  // namespace vt
