#include "base/registry.h"

#include <cstring>

namespace vt {

namespace {
// The registry answers with its status rather than the thread's last error: a failure is kept there too,
// so the caller can tell the user why.
bool Succeeded(LONG status) {
    if (status != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}
}  // namespace

RegKey RegKey::Open(HKEY root, const std::wstring& path, REGSAM access) {
    HKEY k = nullptr;
    if (!Succeeded(RegOpenKeyExW(root, path.c_str(), 0, access, &k))) return {};
    return RegKey(k);
}

RegKey RegKey::Create(HKEY root, const std::wstring& path, REGSAM access) {
    HKEY k = nullptr;
    if (!Succeeded(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &k, nullptr))) return {};
    return RegKey(k);
}

namespace {
bool QueryRaw(HKEY key, const std::wstring& name, DWORD& type, std::vector<std::uint8_t>& data) {
    if (!key) return false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        data.resize(size);
        LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, size ? data.data() : nullptr, &size);
        if (rc == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
        if (rc != ERROR_MORE_DATA) return false;  // the value grew between the two calls: ask again
    }
    return false;
}
}  // namespace

std::optional<std::wstring> RegKey::ReadString(const std::wstring& name) const {
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    if (!QueryRaw(key_.get(), name, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring s(data.size() / sizeof(wchar_t), L'\0');
    if (!s.empty()) std::memcpy(s.data(), data.data(), s.size() * sizeof(wchar_t));
    // Stored strings may or may not carry their terminating NUL.
    size_t nul = s.find(L'\0');
    if (nul != std::wstring::npos) s.resize(nul);
    return s;
}

std::optional<std::uint32_t> RegKey::ReadDword(const std::wstring& name) const {
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    if (!QueryRaw(key_.get(), name, type, data) || type != REG_DWORD || data.size() != 4) return std::nullopt;
    std::uint32_t v;
    std::memcpy(&v, data.data(), 4);
    return v;
}

std::optional<std::vector<std::uint8_t>> RegKey::ReadBinary(const std::wstring& name) const {
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    if (!QueryRaw(key_.get(), name, type, data) || type != REG_BINARY) return std::nullopt;
    return data;
}

std::optional<double> RegKey::ReadDouble(const std::wstring& name) const {
    auto b = ReadBinary(name);
    if (!b || b->size() != sizeof(double)) return std::nullopt;
    double v;
    std::memcpy(&v, b->data(), sizeof v);
    return v;
}

bool RegKey::ValueExists(const std::wstring& name) const {
    return key_ && RegQueryValueExW(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::vector<std::wstring> RegKey::SubKeyNames() const {
    std::vector<std::wstring> r;
    if (!key_) return r;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        LONG rc = RegEnumKeyExW(key_.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_SUCCESS) r.emplace_back(name, len);  // key names are at most 255 characters
    }
    return r;
}

std::vector<std::wstring> RegKey::ValueNames() const {
    std::vector<std::wstring> r;
    if (!key_) return r;
    std::wstring name(16384, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(name.size());
        LONG rc = RegEnumValueW(key_.get(), i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_SUCCESS) r.emplace_back(name.data(), len);
    }
    return r;
}

bool RegKey::WriteString(const std::wstring& name, const std::wstring& value) {
    return key_ && Succeeded(RegSetValueExW(key_.get(), name.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

bool RegKey::WriteDword(const std::wstring& name, std::uint32_t value) {
    return key_ && Succeeded(RegSetValueExW(key_.get(), name.c_str(), 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&value), sizeof value));
}

bool RegKey::WriteBinary(const std::wstring& name, const void* data, size_t size) {
    return key_ && Succeeded(RegSetValueExW(key_.get(), name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data),
                                            static_cast<DWORD>(size)));
}

bool RegKey::WriteDouble(const std::wstring& name, double value) { return WriteBinary(name, &value, sizeof value); }

bool RegKey::DeleteValue(const std::wstring& name) {
    return key_ && Succeeded(RegDeleteValueW(key_.get(), name.c_str()));
}

}  // namespace vt
