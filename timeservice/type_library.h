// The library's type library. The build has no type-library compiler, so DllRegisterServer
// writes it with the system's own type-library writer beside the library and registers it; the
// registration is what lets COM marshal IMyPrivilegedObject into the elevated surrogate process.
#pragma once
#include <windows.h>

#include <string>

namespace ascendor {

// "Ascendor.tlb" in the library's folder.
std::wstring TypeLibraryPathFor(const std::wstring& modulePath);
// Writes the type library file. Returns its HRESULT; never throws.
HRESULT WriteAscendorTypeLibrary(const std::wstring& tlbPath) noexcept;
// Writes and registers it; throws std::system_error on failure.
void RegisterAscendorTypeLibrary(const std::wstring& modulePath);
// Unregisters it and removes the file; a type library that is not registered counts as removed.
HRESULT UnregisterAscendorTypeLibrary(const std::wstring& modulePath) noexcept;

}  // namespace ascendor
