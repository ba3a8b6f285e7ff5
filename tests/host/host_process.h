// Quellix.exe from the build's program folder, started and ended by a test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles.h"
#include "support/test_support.h"

namespace vt::test {

struct HostProcess {
    UniqueHandle process, thread;
    // `folder`: where Quellix.exe is started from (with a trailing backslash); its hook library is looked
    // for beside it.
    // `parent`: the process the host takes for the one that started it; `flags` as CreateProcess takes them.
    bool Start(const std::wstring& args = L"TTrayClock", const std::wstring& folder = DistDir(), HANDLE parent = nullptr,
               DWORD flags = 0) {
        std::wstring cmd = L"\"" + folder + L"Quellix.exe\" " + args;
        STARTUPINFOEXW si{};
        si.StartupInfo.cb = sizeof si;
        SIZE_T bytes = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &bytes);
        std::vector<char> list(bytes);
        si.lpAttributeList = parent ? reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list.data()) : nullptr;
        if (parent && (!InitializeProcThreadAttributeList(si.lpAttributeList, 1, 0, &bytes) ||
                       !UpdateProcThreadAttribute(si.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &parent,
                                                  sizeof parent, nullptr, nullptr)))
            return false;
        PROCESS_INFORMATION pi{};
        const BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE,
                                            flags | (parent ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr, folder.c_str(),
                                            &si.StartupInfo, &pi);
        if (parent) DeleteProcThreadAttributeList(si.lpAttributeList);
        if (!started) return false;
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
