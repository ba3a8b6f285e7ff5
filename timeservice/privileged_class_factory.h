// The library's class factory and its registry entries: the class, the default DLL surrogate and the
// entries that let the elevation moniker create the object.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

#include "timeservice/my_privileged_object.h"

namespace ascendor {

inline constexpr wchar_t kLocalizedNameResourceId[] = L"101";
inline constexpr wchar_t kAccessPermissionSddl[] = L"O:BAG:BAD:(A;;0x3;;;IU)(A;;0x3;;;SY)";
inline constexpr wchar_t kRegistrationErrorText[] = L"Error creating system registry entry";

class TPrivilegedClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit TPrivilegedClassFactory(SyncAction action) noexcept : action_(action) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~TPrivilegedClassFactory() override = default;
    SyncAction action_;
};

// The body of DllGetClassObject for a library whose objects run `action`.
HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv, SyncAction action) noexcept;

// A failure while writing the registration; the entry points turn it into SELFREG_E_CLASS.
class RegistrationError : public std::runtime_error {
public:
    RegistrationError() : std::runtime_error("Error creating system registry entry") {}
};

// The class identifier in its braced upper-case form, "{6BCFB187-...}".
std::wstring GuidText(REFGUID guid);

// Creates or opens `key` under `root` and writes one value of type REG_SZ (value with its terminating
// zero), REG_BINARY (`dataSize` bytes of `data`) or REG_DWORD (value read as decimal text).
void CreateTypedRegKey(const std::wstring& key, const std::wstring& valueName, const std::wstring& value, HKEY root,
                       DWORD valueType, DWORD dataSize = 0, const void* data = nullptr);
// Writes the AppID's access permission, the descriptor built from kAccessPermissionSddl.
void SetAccessPermission(const std::wstring& key, const std::wstring& valueName);

// Writes (register true) or removes the class's entries under HKEY_CLASSES_ROOT for the library at
// `modulePath`. Throws RegistrationError or std::system_error.
void UpdateRegistry(bool reg, const std::wstring& modulePath);

// DllRegisterServer / DllUnregisterServer. A failed registration takes back what it wrote, so no
// half-registered class is left for the elevation moniker to find.
HRESULT RegisterServer(const std::wstring& modulePath) noexcept;
HRESULT UnregisterServer(const std::wstring& modulePath) noexcept;

}  // namespace ascendor
