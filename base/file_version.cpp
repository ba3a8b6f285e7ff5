#include "base/file_version.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "base/module_path.h"

namespace vt {

std::wstring VersionShort;
std::wstring VersionFull;

namespace {
struct FileVersion {
    unsigned major, minor, release, build;
};

std::optional<FileVersion> ReadFileVersion(const std::wstring& fileName) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(fileName.c_str(), 0, size, data.data())) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                       LOWORD(info->dwFileVersionLS)};
}
}  // namespace

std::wstring FileVersionShort(const std::wstring& fileName) {
    auto v = ReadFileVersion(fileName);
    if (!v) return {};
    return std::to_wstring(v->major) + L"." + std::to_wstring(v->minor);
}

std::wstring FileVersionFull(const std::wstring& fileName) {
    auto v = ReadFileVersion(fileName);
    if (!v) return {};
    return std::to_wstring(v->major) + L"." + std::to_wstring(v->minor) + L"." + std::to_wstring(v->release) + L"." +
           std::to_wstring(v->build);
}

void ReadProgramVersion() {
    const std::wstring self = ModuleFilePath();
    VersionShort = FileVersionShort(self);
    VersionFull = FileVersionFull(self);
}

}  // namespace vt
