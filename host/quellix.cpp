// Quellix: the taskbar host. Started by the program with the class name of its tray-clock window
// ("TTrayClock"); serves the taskbar clock window until the program sends "Quellix-quit" or its process ends
// (the process that started the host, watched from the start, or the one whose component attached).
#include <windows.h>
#include <imm.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <utility>

#include "base/handles.h"
#include "host/taskbar_host.h"

namespace {

std::wstring ComponentClassFromCommandLine() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring cls = argv && argc > 1 && argv[1][0] ? argv[1] : vt::kTrayClockWindowClass;
    if (argv) LocalFree(argv);
    return cls;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The host takes no typing: without input-method windows, activating its clock window loads no COM
    // libraries into it (over a megabyte in a 32-bit process).
    ImmDisableIME(static_cast<DWORD>(-1));
    // Looked at first: a program that has died already leaves nothing to serve, nor a host to replace.
    vt::host::StartingProgram program = vt::host::OpenStartingProgram();
    if (program.gone) return 0;
    vt::UniqueHandle instance;
    if (!vt::host::ReplaceRunningHost(instance)) return 2;
    int code = 0;
    try {
        vt::host::TaskbarHost host(ComponentClassFromCommandLine(), std::move(program));
        code = host.Run();
    } catch (const std::exception&) {
        code = 1;
    }
    if (instance) ReleaseMutex(instance.get());
    return code;
}
