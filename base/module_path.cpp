#include "base/module_path.h"

namespace vt {

std::wstring ModuleFilePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        // The name was cut to the buffer: ask again with more room.
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::wstring ModuleFolder(HMODULE module) {
    std::wstring path = ModuleFilePath(module);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace vt
