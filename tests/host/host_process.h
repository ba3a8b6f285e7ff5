// Quellix.exe from the build's program folder, started and ended by a test.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles.h"
#include "support/test_support.h"

namespace vt::test {

struct HostProcess {
    UniqueHandle process, thread;
    // `folder`: where Quellix.exe is started from (with a trailing backslash); its hook library is looked
    // for beside it.
    bool Start(const std::wstring& args = L"TTrayClock", const std::wstring& folder = DistDir()) {
        std::wstring cmd = L"\"" + folder + L"Quellix.exe\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
            return false;
        process.reset(pi.hProcess);
        thread.reset(pi.hThread);
        return true;
    }
    // The exit code, or STILL_ACTIVE when it did not end in time. This thread's windows keep answering
    // meanwhile: the host talks to them while it ends.
    DWORD WaitExit(DWORD ms) {
        if (!PumpUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, ms)) return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.get(), &code);
        return code;
    }
    ~HostProcess() {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process.get(), 99);
    }
};

}  // namespace vt::test
