#include "support/real_program.h"

#include <oleauto.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>

#include "base/dib.h"
#include "support/test_support.h"

namespace vt::test {

namespace {

// Calls `each` with the id of every running process named `exeName` until it answers false.
void ForEachProcessNamed(const wchar_t* exeName, const std::function<bool(DWORD)>& each) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap.get(), &pe); ok; ok = Process32NextW(snap.get(), &pe))
        if (_wcsicmp(pe.szExeFile, exeName) == 0 && !each(pe.th32ProcessID)) return;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD ms, DWORD pollMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(pollMs);
    }
    return true;
}

Process Launch(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!arguments.empty()) cmd += L" " + arguments;
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

Process LaunchProgram() { return Launch(DistDir() + L"Vantoric.exe"); }

DWORD ExitCodeAfter(const Process& p, DWORD ms) {
    if (WaitForSingleObject(p.process.get(), ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(p.process.get(), &code);
    return code;
}

void QuitProgram() { PostMessageW(MainWindow(), kQuitProgram, 0, 0); }

void EndStrayProcesses(const wchar_t* exeName) {
    ForEachProcessNamed(exeName, [](DWORD id) {
        UniqueHandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (p) {
            TerminateProcess(p.get(), 1);
            WaitForSingleObject(p.get(), 5000);
        }
        return true;
    });
}

void EndStrayPrograms() {
    EndStrayProcesses(L"Vantoric.exe");
    EndStrayProcesses(L"Quellix.exe");
}

DWORD ProcessIdOf(const wchar_t* exeName) {
    DWORD found = 0;
    ForEachProcessNamed(exeName, [&](DWORD id) {
        found = id;
        return false;
    });
    return found;
}

RegKey SettingsIn(const std::wstring& folder) {
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, kProgramRegistryKey);
    key.WriteString(L"AppDataDir", folder);
    return key;
}

void ForgetSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kProgramRegistryKey); }

RegKey FreshSettingsIn(const std::wstring& folder) {
    EndStrayPrograms();
    ForgetSettings();
    return SettingsIn(folder);
}

void StoreWeatherPlace(RegKey& key, const wchar_t* place) {
    key.WriteString(L"cbFoundPlaces.Text", place);
    key.WriteDword(L"cbFoundPlaces.Count", 1);
    key.WriteString(L"cbFoundPlaces.Item0", place);
    key.WriteDword(L"cbFoundPlaces.ItemIndex", 0);
    key.WriteDword(L"WeatherEvery", 1);
}

void StoreTimeServer(RegKey& key, const wchar_t* host) {
    key.WriteDword(L"cbServer.Count", 1);
    key.WriteString(L"cbServer.Item0", host);
    key.WriteString(L"cbServer.Text", host);
}

std::wstring LocalTimeIn(int seconds) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double now = 0;
    SystemTimeToVariantTime(&st, &now);
    wchar_t text[64];
    std::swprintf(text, 64, L"%.10f", now + (st.wMilliseconds / 1000.0 + seconds) / 86400.0);
    return text;
}

HWND MainWindow() { return FindWindowW(L"TfrmClock", nullptr); }

RECT WindowRectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// One copy of the screen, not a GetPixel per pixel: under Wine each of those is a trip to the display.
std::vector<COLORREF> ScreenPixels(const RECT& r) {
    std::vector<COLORREF> out;
    for (std::uint32_t px : CaptureScreen(r)) out.push_back(RGB(BYTE(px >> 16), BYTE(px >> 8), BYTE(px)));
    return out;
}

bool ShowsSomething(const std::vector<COLORREF>& pixels) {
    for (COLORREF c : pixels)
        if (c != pixels.front()) return true;
    return false;
}

HWND ShownClock() {
    HWND clock = FindWindowW(L"TrayClockWClass", nullptr);
    return clock && IsWindowVisible(clock) ? clock : nullptr;
}

HWND PaintedClock() {
    HWND clock = ShownClock();
    if (!clock) return nullptr;
    const RECT r = WindowRectOf(clock);
    if (r.right <= r.left || r.bottom <= r.top) return nullptr;
    return ShowsSomething(ScreenPixels(r)) ? clock : nullptr;
}

HWND WaitForShownClock(DWORD ms) {
    HWND clock = nullptr;
    WaitUntil([&] { return (clock = ShownClock()) != nullptr; }, ms);
    return clock;
}

}  // namespace vt::test
