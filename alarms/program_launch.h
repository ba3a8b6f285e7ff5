// Starting an alarm's program or document with the shell's "open" verb.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

namespace vt {

class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // The shell's "open" of `file`; failures are left to the shell's own reporting.
    virtual void Open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                      int showCommand) = 0;
};

// 0 normal (SW_SHOW), 1 maximised (SW_SHOWMAXIMIZED), 2 minimised (SW_MINIMIZE); other values pass as they are.
int ShowCommandOf(int windowStyle);
// The file's own folder: the path up to its last "\" or ":", without a trailing "\" except at a drive's
// root, where "C:" alone would name the drive's current folder instead.
std::wstring WorkingFolderOf(const std::wstring& file);
// Opens the alarm's program or document; an empty file name opens nothing.
void RunDocument(IProgramLauncher& launcher, const std::wstring& fileName, const std::wstring& parameters,
                 int windowStyle);

// ShellExecuteW with `owner` as the owner of any window the shell shows.
std::unique_ptr<IProgramLauncher> CreateShellProgramLauncher(HWND owner);

}  // namespace vt
