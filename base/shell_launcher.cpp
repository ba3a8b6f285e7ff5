#include "base/shell_launcher.h"

#include <shellapi.h>

#include "base/late_library.h"

namespace vt {

namespace {
constexpr UINT kHelpDisplayTopic = 0;   // HH_DISPLAY_TOPIC
using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

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
        static const HtmlHelpProc proc = LateFunction<HtmlHelpProc>(L"hhctrl.ocx", "HtmlHelpW");
        return proc;
    }
};
}  // namespace

HMODULE HelpLibrary() {
    // The viewer's windows run code of hhctrl.ocx for as long as they are open, so the library is loaded
    // on first use and kept for the rest of the run.
    return SystemLibrary(L"hhctrl.ocx");
}

IShellLauncher& SystemShellLauncher() {
    static SystemLauncher launcher;
    return launcher;
}

}  // namespace vt
