// Helpers of the end-to-end tests: the real program folder under Wine.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

#include "base/dib.h"
#include "base/handles.h"

namespace vt::test {

inline constexpr UINT kQuitProgram = WM_USER + 100;
inline constexpr UINT kSetShowDate = WM_USER + 106;

inline bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

struct Process {
    UniqueHandle process, thread;
    DWORD id = 0;
};

inline Process Launch(const std::wstring& exe) {
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Process p;
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        p.process.reset(pi.hProcess);
        p.thread.reset(pi.hThread);
        p.id = pi.dwProcessId;
    }
    return p;
}

inline DWORD ExitCodeAfter(const Process& p, DWORD ms) {
    if (WaitForSingleObject(p.process.get(), ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(p.process.get(), &code);
    return code;
}

inline RECT WindowRectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// The screen pixels of a rectangle, as the user sees them.
// One copy of the screen, not a GetPixel per pixel: under Wine each of those is a trip to the display.
inline std::vector<COLORREF> ScreenPixels(const RECT& r) {
    std::vector<COLORREF> out;
    for (std::uint32_t px : CaptureScreen(r)) out.push_back(RGB(BYTE(px >> 16), BYTE(px >> 8), BYTE(px)));
    return out;
}

struct CountContext {
    const wchar_t* cls;
    int n;
};

inline BOOL CALLBACK CountWindow(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<CountContext*>(l);
    wchar_t name[64];
    if (GetClassNameW(w, name, 64) && wcscmp(name, c->cls) == 0) ++c->n;
    return TRUE;
}

inline int CountTopLevel(const wchar_t* cls) {
    CountContext ctx{cls, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.n;
}

// A host left behind by an earlier, failed run would answer for this one.
inline void EndStrayProcesses(const wchar_t* exeName) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap.get(), &pe); ok; ok = Process32NextW(snap.get(), &pe)) {
        if (_wcsicmp(pe.szExeFile, exeName) != 0) continue;
        UniqueHandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pe.th32ProcessID));
        if (p) {
            TerminateProcess(p.get(), 1);
            WaitForSingleObject(p.get(), 5000);
        }
    }
}

}  // namespace vt::test
