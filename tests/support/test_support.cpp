#include "support/test_support.h"

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <mutex>

#include "base/handles.h"
#include "base/window.h"

namespace vt::test {

namespace {
std::mutex g_lock;
std::vector<std::wstring> g_shown;
void Record(const wchar_t* text) {
    std::lock_guard<std::mutex> l(g_lock);
    g_shown.emplace_back(text);
}

void RemoveTree(const std::wstring& dir) {
    std::wstring from = dir;
    if (!from.empty() && from.back() == L'\\') from.pop_back();
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}
}  // namespace

void InstallExceptionRecorder() { SetExceptionSink(Record); }

std::vector<std::wstring> TakeShownExceptions() {
    std::lock_guard<std::mutex> l(g_lock);
    return std::exchange(g_shown, {});
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    for (;;) {
        std::wstring p = std::wstring(tmp) + L"vt-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount64() % 100000);
        if (CreateDirectoryW(p.c_str(), nullptr)) {
            path_ = p + L"\\";
            return;
        }
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string ReadFileBytes(const std::wstring& path) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) { f.release(); return {}; }
    std::string out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(f.get(), buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
    return out;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) { f.release(); return; }
    DWORD n = 0;
    WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
}

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

void WriteUtf16File(const std::wstring& path, const std::wstring& text) {
    WriteFileBytes(path, "\xFF\xFE" + Utf16Bytes(text));
}

std::wstring TestProgramDir() {
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::wstring DistDir() {
    wchar_t buf[MAX_PATH * 4];
    DWORD n = GetEnvironmentVariableW(L"VT_DIST", buf, static_cast<DWORD>(std::size(buf)));
    if (n && n < std::size(buf)) {
        std::wstring unix(buf, n);
        // VT_DIST is a Unix path: Wine maps "/" to the Z: drive.
        for (auto& c : unix) if (c == L'/') c = L'\\';
        return L"Z:" + unix + L"\\";
    }
    return TestProgramDir() + L"..\\dist\\";
}

std::vector<std::string> ImportedNames() {
    auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> names;
    if (!dir.VirtualAddress) return names;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        DWORD table = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        for (auto* t = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + table); t->u1.AddressOfData; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData);
            names.emplace_back(reinterpret_cast<const char*>(byName->Name));
        }
    }
    return names;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace vt::test
