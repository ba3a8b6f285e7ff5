// Where the weather page keeps its values in the registry, and the date of the last successful check.
#pragma once
#include <windows.h>

#include <string>

#include "base/datetime.h"
#include "base/registry.h"

namespace vt {

// A registry key by root and path: the program key by default; tests use a key of their own.
struct RegistryPlace {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring path = kProgramRegistryKey;
    RegistryPlace Sub(const std::wstring& name) const { return {root, path + L"\\" + name}; }
    RegKey OpenRead() const { return RegKey::Open(root, path); }
    RegKey OpenWrite() const { return RegKey::Create(root, path); }
};

// "WeatherCheckDate": 8 bytes of REG_BINARY holding the date-time double. The key is created when missing.
bool WriteWeatherCheckDate(TDateTime now, const RegistryPlace& place = {});
// 0 when the value is missing or not 8 bytes of binary.
TDateTime ReadWeatherCheckDate(const RegistryPlace& place = {});

}  // namespace vt
