#include "timeservice/type_library.h"

#include <oleauto.h>

#include <cstdio>
#include <system_error>

#include "base/handles.h"
#include "timeservice/ascendor_tlb.h"

namespace ascendor {

namespace {
constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
}  // namespace

void RegisterAscendorTypeLibrary(const std::wstring& modulePath) {
    // The type library's reader takes a path of at most MAX_PATH characters: Wine's overruns its buffer
    // on a longer one and takes the registering process down with it.
    if (modulePath.size() >= MAX_PATH)
        throw std::system_error(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), std::system_category(), "type library");
    // LoadTypeLibEx reads resource TYPELIB 1 of a module; registered with the module as its file.
    vt::ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, lib.put());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.get(), const_cast<LPOLESTR>(modulePath.c_str()), nullptr);
    if (FAILED(hr)) throw std::system_error(hr, std::system_category(), "type library");
}

HRESULT UnregisterAscendorTypeLibrary() noexcept {
    wchar_t key[64];
    wchar_t libid[40] = L"";
    StringFromGUID2(LIBID_Ascendor, libid, 40);
    swprintf(key, 64, L"TypeLib\\%ls", libid);
    vt::UniqueKey registered;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, registered.put()) != ERROR_SUCCESS) return S_OK;
    registered.reset();
    return UnRegisterTypeLib(LIBID_Ascendor, kLibraryMajorVersion, kLibraryMinorVersion, kLibraryLocale, kSysKind);
}

}  // namespace ascendor
