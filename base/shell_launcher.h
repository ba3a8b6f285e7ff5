// Everything that opens another program (browser, mail program, help viewer) goes through this seam, so
// the program passes the shell and tests see the command without launching anything.
#pragma once
#include <windows.h>

#include <string>

namespace vt {

struct ShellCommand {
    HWND owner = nullptr;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    int show = SW_SHOWNORMAL;
    bool operator==(const ShellCommand&) const = default;
};

class IShellLauncher {
public:
    virtual ~IShellLauncher() = default;
    // ShellExecuteW; a failure is not reported, as nothing useful can follow it.
    virtual void Execute(const ShellCommand& command) = 0;
    // Shows "file.chm::/topic.html" in the system's HTML Help viewer.
    virtual void ShowHelpTopic(HWND owner, const std::wstring& topic) = 0;
};

IShellLauncher& SystemShellLauncher();

// The HTML Help library the viewer runs from: the system folder's copy only, never a file of that name
// beside the program, in the current folder or on the path. Loaded on first use and kept; null without one.
HMODULE HelpLibrary();

}  // namespace vt
