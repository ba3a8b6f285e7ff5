#include "base/late_library.h"

#include <string>

#include "base/handles.h"

namespace vt {

namespace {

HMODULE LoadFromSystemFolder(const wchar_t* library) {
    if (HMODULE lib = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return lib;
    // A system without the search flags: the full path of the system's copy.
    wchar_t dir[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(dir, n) + L"\\" + library;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HMODULE SystemLibrary(const wchar_t* library) {
    UniqueLibrary lib(LoadFromSystemFolder(library));
    if (!lib) return nullptr;
    // Pinned: the library stays until the process ends, whoever frees it. Its code may still run then, as a
    // worker left waiting in WinHTTP while the program quits does.
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(lib.get()), &pinned))
        return lib.release();   // not pinned: this reference keeps it loaded instead
    return pinned;
}

BorrowedComClass::BorrowedComClass(const wchar_t* library, const CLSID& clsid)
    : clsid_(clsid), library_(LoadFromSystemFolder(library)) {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = library_ ? reinterpret_cast<GetClassObject>(
                              reinterpret_cast<void (*)()>(GetProcAddress(library_.get(), "DllGetClassObject")))
                        : nullptr;
    if (!get || FAILED(get(clsid_, IID_IClassFactory, factory_.put_void()))) factory_.reset();
}

HRESULT BorrowedComClass::Create(const IID& iid, void** object) const {
    if (factory_) return factory_->CreateInstance(nullptr, iid, object);
    return CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

FARPROC LateProc(const wchar_t* library, const char* name) {
    HMODULE lib = SystemLibrary(library);
    return lib ? GetProcAddress(lib, name) : nullptr;
}

}  // namespace vt
