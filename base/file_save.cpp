#include "base/file_save.h"

#include <windows.h>

#include <algorithm>

#include "base/handles.h"

namespace vt {

void* FileSaveSteps::Create(const std::wstring& path, unsigned long attributes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

bool FileSaveSteps::Write(void* file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool FileSaveSteps::Flush(void* file) { return FlushFileBuffers(file) != FALSE; }
bool FileSaveSteps::Close(void* file) { return CloseHandle(file) != FALSE; }

bool FileSaveSteps::Replace(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool FileSaveSteps::Remove(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

FileSaveSteps& RealFileSaveSteps() {
    static FileSaveSteps steps;
    return steps;
}

std::wstring SavingPathFor(const std::wstring& path) { return path + L".saving"; }

bool SaveFileAtomically(const std::wstring& path, std::string_view bytes, FileSaveSteps& steps) {
    const std::wstring temp = SavingPathFor(path);
    // The new file keeps what the user set on the old one (hidden, say), but not read-only: a
    // read-only file is not to be replaced, and the rename below refuses to.
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) attributes = FILE_ATTRIBUTE_NORMAL;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    attributes &= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;

    void* file = steps.Create(temp, attributes);
    if (!file) return false;
    // Closed on every way out, an exception from a step included.
    struct Closer {
        FileSaveSteps& steps;
        void* file;
        bool Close() {
            const bool closed = steps.Close(file);
            file = nullptr;
            return closed;
        }
        ~Closer() { if (file) steps.Close(file); }
    } closer{steps, file};
    bool ok = steps.Write(file, bytes) && steps.Flush(file);
    ok = closer.Close() && ok;
    ok = ok && steps.Replace(temp, path);
    if (!ok) {
        const DWORD error = GetLastError();   // the failed step's, which the report shows
        steps.Remove(temp);
        SetLastError(error);
    }
    return ok;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t limit) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) {
        f.release();
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size) || size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(f.get(), bytes.data() + done, want, &got, nullptr)) return std::nullopt;
        if (got == 0) break;   // the file shrank while being read
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool CopyFileAtomically(const std::wstring& from, const std::wstring& to, size_t limit) {
    auto bytes = ReadWholeFile(from, limit);
    return bytes && SaveFileAtomically(to, *bytes);
}

}  // namespace vt
