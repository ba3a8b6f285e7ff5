#include "base/late_library.h"

#include <map>
#include <mutex>
#include <string>

#include "base/handles.h"

namespace vt {

FARPROC LateProc(const wchar_t* library, const char* name) {
    // Each library is loaded once and held until the process ends: windows it made may still run its code.
    static std::mutex lock;
    static std::map<std::wstring, UniqueLibrary> loaded;
    std::lock_guard<std::mutex> hold(lock);
    UniqueLibrary& lib = loaded[library];
    if (!lib) lib.reset(LoadLibraryW(library));
    return lib ? GetProcAddress(lib.get(), name) : nullptr;
}

}  // namespace vt
