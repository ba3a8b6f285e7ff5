#include "base/late_library.h"

#include "base/handles.h"

namespace vt {

FARPROC LateProc(const wchar_t* library, const char* name) {
    UniqueLibrary lib(LoadLibraryW(library));
    if (!lib) return nullptr;
    // Pinned: the library stays until the process ends, whoever frees it. Its code may still run then, as a
    // worker left waiting in WinHTTP while the program quits does.
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, library, &pinned)) {
        lib.release();   // not pinned: this reference keeps it loaded instead
        return GetProcAddress(GetModuleHandleW(library), name);
    }
    return GetProcAddress(pinned, name);
}

}  // namespace vt
