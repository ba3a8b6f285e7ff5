#include "base/shell_launcher.h"

#include <shellapi.h>

#include <string>

namespace vt {

namespace {
constexpr UINT kHelpDisplayTopic = 0;   // HH_DISPLAY_TOPIC
using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HMODULE LoadHelpLibrary() {
    if (HMODULE lib = LoadLibraryExW(L"hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return lib;
    // A system without the search flags: the full path of the system's copy.
    wchar_t dir[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(dir, n) + L"\\hhctrl.ocx";
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

class SystemLauncher final : public IShellLauncher {
public:
    void Execute(const ShellCommand& c) override {
        ShellExecuteW(c.owner, c.verb.empty() ? nullptr : c.verb.c_str(), c.file.c_str(),
                      c.parameters.empty() ? nullptr : c.parameters.c_str(), nullptr, c.show);
    }

    void ShowHelpTopic(HWND owner, const std::wstring& topic) override {
        if (HtmlHelpProc help = HtmlHelp()) help(owner, topic.c_str(), kHelpDisplayTopic, 0);
    }

private:
    static HtmlHelpProc HtmlHelp() {
        static HtmlHelpProc proc = [] {
            HMODULE lib = HelpLibrary();
            FARPROC p = lib ? GetProcAddress(lib, "HtmlHelpW") : nullptr;
            return reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void (*)()>(p));
        }();
        return proc;
    }
};
}  // namespace

HMODULE HelpLibrary() {
    // The viewer's windows run code of hhctrl.ocx for as long as they are open, so the library is loaded
    // on first use and kept for the rest of the run.
    static HMODULE library = LoadHelpLibrary();
    return library;
}

IShellLauncher& SystemShellLauncher() {
    static SystemLauncher launcher;
    return launcher;
}

}  // namespace vt
