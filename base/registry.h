// A registry key opened for one use. A value of another type than asked for counts as missing. An open,
// a write or a deletion that fails leaves the system's error as the thread's last error.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/handles.h"

namespace vt {

class RegKey {
public:
    RegKey() = default;
    static RegKey Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ);
    static RegKey Create(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE);

    explicit operator bool() const { return static_cast<bool>(key_); }
    HKEY get() const { return key_.get(); }

    std::optional<std::wstring> ReadString(const std::wstring& name) const;   // REG_SZ / REG_EXPAND_SZ
    std::optional<std::uint32_t> ReadDword(const std::wstring& name) const;   // REG_DWORD
    std::optional<std::vector<std::uint8_t>> ReadBinary(const std::wstring& name) const;  // REG_BINARY
    std::optional<double> ReadDouble(const std::wstring& name) const;         // 8 bytes of REG_BINARY
    bool ValueExists(const std::wstring& name) const;
    std::vector<std::wstring> SubKeyNames() const;
    std::vector<std::wstring> ValueNames() const;

    bool WriteString(const std::wstring& name, const std::wstring& value);
    bool WriteDword(const std::wstring& name, std::uint32_t value);
    bool WriteBinary(const std::wstring& name, const void* data, size_t size);
    bool WriteDouble(const std::wstring& name, double value);
    bool DeleteValue(const std::wstring& name);

private:
    explicit RegKey(HKEY k) : key_(k) {}
    UniqueKey key_;
};

// HKCU\Software\Dorminax\Vantoric
inline const wchar_t kProgramRegistryKey[] = L"Software\\Dorminax\\Vantoric";

}  // namespace vt
