#include "timeservice/privileged_class_factory.h"

#include <olectl.h>
#include <sddl.h>

#include <system_error>

#include "base/handles.h"
#include "timeservice/type_library.h"

namespace ascendor {

namespace {

inline void FreeLocal(PSECURITY_DESCRIPTOR p) noexcept { LocalFree(p); }
using LocalMemory = vt::Unique<PSECURITY_DESCRIPTOR, FreeLocal>;

constexpr REGSAM kKeyAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

[[noreturn]] void ThrowSystemError(DWORD code, const char* what) {
    throw std::system_error(static_cast<int>(code), std::system_category(), what);
}

std::wstring FileNameOf(const std::wstring& path) {
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ProgId() { return std::wstring(kLibraryName) + L"." + kClassName; }

// A key that is already gone counts as removed.
bool DeleteTree(const std::wstring& key) noexcept {
    LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    status = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

void RegisterClassEntries(const std::wstring& c, const std::wstring& path) {
    const std::wstring clsidKey = L"CLSID\\" + c;
    CreateTypedRegKey(clsidKey, L"", kClassName, HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(clsidKey + L"\\InprocServer32", L"", path, HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment", HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(ProgId(), L"", kClassName, HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(ProgId() + L"\\Clsid", L"", c, HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(clsidKey + L"\\ProgID", L"", ProgId(), HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(clsidKey + L"\\TypeLib", L"", GuidText(LIBID_Ascendor), HKEY_CLASSES_ROOT, REG_SZ);
    CreateTypedRegKey(clsidKey + L"\\Version", L"", L"1.0", HKEY_CLASSES_ROOT, REG_SZ);
}

}  // namespace

// ---- class factory ----

HRESULT STDMETHODCALLTYPE TPrivilegedClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) TMyPrivilegedObject(action_);
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();   // the interface handed out now holds the only reference
    return hr;
}

HRESULT STDMETHODCALLTYPE TPrivilegedClassFactory::LockServer(BOOL lock) {
    if (lock) LockServerModule();
    else UnlockServerModule();
    return S_OK;
}

HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv, SyncAction action) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_MyPrivilegedObject)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) TPrivilegedClassFactory(action);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

// ---- registry ----

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = L"";
    StringFromGUID2(guid, text, 40);
    return text;
}

void CreateTypedRegKey(const std::wstring& key, const std::wstring& valueName, const std::wstring& value, HKEY root,
                       DWORD valueType, DWORD dataSize, const void* data) {
    vt::UniqueKey handle;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr, handle.put(),
                        nullptr) != ERROR_SUCCESS)
        throw RegistrationError();
    LSTATUS status;
    switch (valueType) {
        case REG_SZ:
            status = RegSetValueExW(handle.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            break;
        case REG_BINARY:
            status = RegSetValueExW(handle.get(), valueName.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), dataSize);
            break;
        case REG_DWORD: {
            DWORD number = 0;
            try {
                number = static_cast<DWORD>(std::stoul(value));
            } catch (const std::exception&) {
                throw RegistrationError();
            }
            status = RegSetValueExW(handle.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                    sizeof number);
            break;
        }
        default:
            throw std::invalid_argument("Unsupported registry value type (" + std::to_string(valueType) + ")!");
    }
    if (status != ERROR_SUCCESS) throw RegistrationError();
}

void SetAccessPermission(const std::wstring& key, const std::wstring& valueName) {
    LocalMemory descriptor;
    ULONG size = 0;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAccessPermissionSddl, SDDL_REVISION_1, descriptor.put(), &size))
        ThrowSystemError(GetLastError(), "ConvertStringSecurityDescriptorToSecurityDescriptor");
    vt::UniqueKey handle;
    LSTATUS status = RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, kKeyAccess, handle.put());
    if (status != ERROR_SUCCESS) ThrowSystemError(status, "RegOpenKeyEx");
    status = RegSetValueExW(handle.get(), valueName.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(descriptor.get()), size);
    if (status != ERROR_SUCCESS) ThrowSystemError(status, "RegSetValueEx");
}

void UpdateRegistry(bool reg, const std::wstring& modulePath) {
    const std::wstring c = GuidText(CLSID_MyPrivilegedObject);
    const std::wstring file = FileNameOf(modulePath);
    if (reg) {
        RegisterClassEntries(c, modulePath);
        CreateTypedRegKey(L"AppID\\" + c, L"", kClassName, HKEY_CLASSES_ROOT, REG_SZ);
        // An empty surrogate name: the system's own surrogate process hosts the library.
        CreateTypedRegKey(L"AppID\\" + c, L"DllSurrogate", L"", HKEY_CLASSES_ROOT, REG_SZ);
        CreateTypedRegKey(L"AppID\\" + file, L"AppID", c, HKEY_CLASSES_ROOT, REG_SZ);
        SetAccessPermission(L"AppID\\" + c, L"AccessPermission");
        CreateTypedRegKey(L"CLSID\\" + c, L"AppID", c, HKEY_CLASSES_ROOT, REG_SZ);
        // The elevation prompt names the program by this string resource of the library.
        CreateTypedRegKey(L"CLSID\\" + c, L"LocalizedString", L"@" + modulePath + L",-" + kLocalizedNameResourceId,
                          HKEY_CLASSES_ROOT, REG_SZ);
        CreateTypedRegKey(L"CLSID\\" + c + L"\\Elevation", L"Enabled", L"1", HKEY_CLASSES_ROOT, REG_DWORD);
    } else {
        // Every entry is tried, so one that cannot go does not keep the others.
        bool removed = DeleteTree(L"CLSID\\" + c + L"\\Elevation");
        removed &= DeleteTree(L"AppID\\" + c);
        removed &= DeleteTree(L"AppID\\" + file);
        removed &= DeleteTree(L"CLSID\\" + c);
        removed &= DeleteTree(ProgId());
        if (!removed) throw RegistrationError();
    }
}

HRESULT RegisterServer(const std::wstring& modulePath) noexcept {
    try {
        RegisterAscendorTypeLibrary(modulePath);
        UpdateRegistry(true, modulePath);
        return S_OK;
    } catch (...) {
        UnregisterServer(modulePath);
        return SELFREG_E_CLASS;
    }
}

HRESULT UnregisterServer(const std::wstring& modulePath) noexcept {
    HRESULT hr = S_OK;
    try {
        UpdateRegistry(false, modulePath);
    } catch (...) {
        hr = SELFREG_E_CLASS;
    }
    if (FAILED(UnregisterAscendorTypeLibrary()) && SUCCEEDED(hr)) hr = SELFREG_E_TYPELIB;
    return hr;
}

}  // namespace ascendor
