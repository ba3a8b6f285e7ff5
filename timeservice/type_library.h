// The library's type library, embedded as resource TYPELIB 1 (compiled from ascendor.idl): registering
// it is what lets COM marshal IMyPrivilegedObject into the elevated surrogate process.
#pragma once
#include <windows.h>

#include <string>

namespace ascendor {

// Registers the type library of the module at `modulePath`; throws std::system_error on failure.
void RegisterAscendorTypeLibrary(const std::wstring& modulePath);
// Unregisters it; a type library that is not registered counts as removed.
HRESULT UnregisterAscendorTypeLibrary() noexcept;

}  // namespace ascendor
