// windriver: a small tool for end-to-end tests.
//   find CLASS                     prints the window handle (decimal) or exits 1
//   wait CLASS MS                  waits until a window of CLASS exists
//   gone CLASS MS                  waits until no window of CLASS exists
//   post CLASS MSG [W [L]]         posts a message (MSG may be a number or a registered name)
//   send CLASS MSG [W [L] [MS]]    sends with a time-out and prints the result
//   visible CLASS                  prints 1 or 0
//   run MS EXE [ARGS...]           starts EXE, waits up to MS for it to end, prints its exit code
//   start EXE [ARGS...]            starts EXE and prints its process id
//   waitpid PID MS                 waits for process PID to end and prints its exit code
//   count CLASS                    prints how many top-level windows of CLASS exist
//   click CLASS X Y                clicks at (X, Y) of the window's client area
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/handles.h"

namespace {

UINT ParseMessage(const wchar_t* s) {
    wchar_t* end = nullptr;
    unsigned long v = wcstoul(s, &end, 0);
    if (end && *end == 0) return static_cast<UINT>(v);
    return RegisterWindowMessageW(s);
}

LONG_PTR ParseNum(const wchar_t* s) { return static_cast<LONG_PTR>(_wcstoi64(s, nullptr, 0)); }

HWND WaitFor(const wchar_t* cls, DWORD ms, bool present) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(cls, nullptr);
        if ((w != nullptr) == present) return w ? w : reinterpret_cast<HWND>(1);
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(50);
    }
}

std::wstring CommandLine(int argc, wchar_t** argv, int from) {
    std::wstring cmd;
    for (int i = from; i < argc; ++i) {
        if (!cmd.empty()) cmd += L' ';
        cmd += L'"';
        cmd += argv[i];
        cmd += L'"';
    }
    return cmd;
}

bool Start(int argc, wchar_t** argv, int from, PROCESS_INFORMATION& pi) {
    std::wstring cmd = CommandLine(argc, argv, from);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
}

int WaitExit(HANDLE process, DWORD ms) {
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0) {
        std::printf("timeout\n");
        return 3;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    std::printf("%lu\n", code);
    return 0;
}

struct Counter { const wchar_t* cls; int n; };

BOOL CALLBACK CountWindow(HWND w, LPARAM p) {
    auto* c = reinterpret_cast<Counter*>(p);
    wchar_t name[256];
    if (GetClassNameW(w, name, 256) && wcscmp(name, c->cls) == 0) ++c->n;
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: windriver find|wait|gone|post|send|visible|run|start|waitpid|count ...\n");
        return 2;
    }
    std::wstring cmd = argv[1];
    if (cmd == L"find") {
        HWND w = FindWindowW(argv[2], nullptr);
        if (!w) return 1;
        std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)));
        return 0;
    }
    if (cmd == L"wait" || cmd == L"gone") {
        DWORD ms = argc > 3 ? static_cast<DWORD>(ParseNum(argv[3])) : 10000;
        return WaitFor(argv[2], ms, cmd == L"wait") ? 0 : 1;
    }
    if (cmd == L"count") {
        Counter c{argv[2], 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&c));
        std::printf("%d\n", c.n);
        return 0;
    }
    if ((cmd == L"post" || cmd == L"send") && argc >= 4) {
        HWND w = FindWindowW(argv[2], nullptr);
        if (!w) return 1;
        UINT msg = ParseMessage(argv[3]);
        WPARAM wp = argc > 4 ? static_cast<WPARAM>(ParseNum(argv[4])) : 0;
        LPARAM lp = argc > 5 ? static_cast<LPARAM>(ParseNum(argv[5])) : 0;
        if (cmd == L"post") return PostMessageW(w, msg, wp, lp) ? 0 : 1;
        UINT ms = argc > 6 ? static_cast<UINT>(ParseNum(argv[6])) : 5000;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, ms, &result)) return 1;
        std::printf("%lld\n", static_cast<long long>(result));
        return 0;
    }
    if (cmd == L"visible") {
        HWND w = FindWindowW(argv[2], nullptr);
        std::printf("%d\n", w && IsWindowVisible(w) ? 1 : 0);
        return 0;
    }
    if (cmd == L"run" && argc >= 4) {
        PROCESS_INFORMATION pi{};
        if (!Start(argc, argv, 3, pi)) return 1;
        vt::UniqueHandle p(pi.hProcess), t(pi.hThread);
        return WaitExit(p.get(), static_cast<DWORD>(ParseNum(argv[2])));
    }
    if (cmd == L"start") {
        PROCESS_INFORMATION pi{};
        if (!Start(argc, argv, 2, pi)) return 1;
        vt::UniqueHandle p(pi.hProcess), t(pi.hThread);
        std::printf("%lu\n", pi.dwProcessId);
        return 0;
    }
    if (cmd == L"waitpid" && argc >= 4) {
        vt::UniqueHandle p(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                       static_cast<DWORD>(ParseNum(argv[2]))));
        if (!p) return 1;
        return WaitExit(p.get(), static_cast<DWORD>(ParseNum(argv[3])));
    }
    if (cmd == L"click" && argc >= 5) {
        // A left click at (X, Y) of the window's client area, as the user's mouse makes it.
        HWND w = FindWindowW(argv[2], nullptr);
        if (!w) return 1;
        SetForegroundWindow(w);
        POINT p{static_cast<LONG>(ParseNum(argv[3])), static_cast<LONG>(ParseNum(argv[4]))};
        ClientToScreen(w, &p);
        SetCursorPos(p.x, p.y);
        INPUT click[2]{};
        click[0].type = click[1].type = INPUT_MOUSE;
        click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        return SendInput(2, click, sizeof(INPUT)) == 2 ? 0 : 1;
    }
    std::fprintf(stderr, "windriver: unknown command\n");
    return 2;
}
