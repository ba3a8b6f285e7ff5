// Paths of loaded modules, read at full length (a program folder may be longer than MAX_PATH).
#pragma once
#include <windows.h>

#include <string>

namespace vt {

// The file of `module`; this executable for null.
std::wstring ModuleFilePath(HMODULE module = nullptr);
// Its folder, with a trailing backslash.
std::wstring ModuleFolder(HMODULE module = nullptr);

}  // namespace vt
