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
//   tab CLASS N ID [MS]            clicks tab N of the window's tab control until that tab is selected and
//                                  the control ID of its page shows (a missed click is made again)
//   press CLASS BUTTON ID [MS]     clicks the control BUTTON of the window until its control ID shows
//   shown CLASS MS [ID]            waits until a window of CLASS shows (and in it the control ID)
// tab, press and shown say on stderr what did not come within MS and exit 1.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "base/handles.h"
#include "support/desktop.h"
#include "support/real_program.h"

using vt::test::ChildWindows;
using vt::test::ShownWindow;
using vt::test::WaitUntil;

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

// A left click at a point of the screen, as the user's mouse makes it, into the window below it.
bool ClickInto(HWND window, POINT onScreen) {
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    return vt::test::ClickAt(onScreen);
}

std::optional<POINT> CentreOf(HWND w) {
    RECT r{};
    if (!w || !GetWindowRect(w, &r)) return std::nullopt;
    return vt::test::CentreOf(r);
}

// Whether a control with this id shows anywhere below `top`.
bool ControlShown(HWND top, int id) {
    const std::vector<HWND> all = ChildWindows(top);
    return std::any_of(all.begin(), all.end(), [&](HWND w) { return GetDlgCtrlID(w) == id && IsWindowVisible(w); });
}

// Clicks where `target` says (asked again each time: the window may still move) until `done`, again after
// each second and a half without it; whether `done` came within `ms`. No click when it is done already.
bool ClickUntil(const std::function<std::optional<POINT>()>& target, HWND window, const std::function<bool()>& done,
                DWORD ms) {
    const DWORD start = GetTickCount();
    if (done()) return true;
    for (;;) {
        if (std::optional<POINT> p = target()) ClickInto(window, *p);
        if (WaitUntil(done, std::min<DWORD>(1500, ms))) return true;
        if (GetTickCount() - start > ms) return false;
    }
}

// The centre of tab `index` on the screen. The tab control lives in another process: its answer is
// written into memory of that process.
std::optional<POINT> TabCentre(HWND tab, int index) {
    vt::UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, vt::test::ProcessOf(tab)));
    if (!process) return std::nullopt;
    void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return std::nullopt;
    DWORD_PTR answered = 0;
    RECT r{};
    const bool got = SendMessageTimeoutW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &answered) &&
                     answered && ReadProcessMemory(process.get(), remote, &r, sizeof r, nullptr);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    if (!got) return std::nullopt;
    POINT centre = vt::test::CentreOf(r);
    ClientToScreen(tab, &centre);
    return centre;
}

LRESULT SelectedTab(HWND tab) {
    DWORD_PTR selected = static_cast<DWORD_PTR>(-1);
    if (!SendMessageTimeoutW(tab, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selected)) return -1;
    return static_cast<LRESULT>(selected);
}

int Tab(const wchar_t* cls, int index, int pageControl, DWORD ms) {
    HWND w = FindWindowW(cls, nullptr);
    HWND tab = w ? FindWindowExW(w, nullptr, WC_TABCONTROLW, nullptr) : nullptr;
    if (!tab) {
        std::fprintf(stderr, "windriver: no tab control in %ls\n", cls);
        return 1;
    }
    const auto shown = [&] { return SelectedTab(tab) == index && ControlShown(w, pageControl); };
    if (ClickUntil([&] { return TabCentre(tab, index); }, w, shown, ms)) return 0;
    std::fprintf(stderr, "windriver: tab %d of %ls with control %d not shown within %lu ms (tab %ld selected)\n",
                 index, cls, pageControl, static_cast<unsigned long>(ms), static_cast<long>(SelectedTab(tab)));
    return 1;
}

int Press(const wchar_t* cls, int button, int shownControl, DWORD ms) {
    HWND w = FindWindowW(cls, nullptr);
    const auto target = [&] {
        const std::vector<HWND> all = ChildWindows(w);
        const auto b =
            std::find_if(all.begin(), all.end(), [&](HWND c) { return GetDlgCtrlID(c) == button && IsWindowVisible(c); });
        return b == all.end() ? std::nullopt : CentreOf(*b);
    };
    if (w && ClickUntil(target, w, [&] { return ControlShown(w, shownControl); }, ms)) return 0;
    std::fprintf(stderr, "windriver: control %d of %ls not shown within %lu ms of pressing %d\n", shownControl, cls,
                 static_cast<unsigned long>(ms), button);
    return 1;
}

int Shown(const wchar_t* cls, DWORD ms, int control) {
    const auto shown = [&] {
        HWND w = ShownWindow(cls);
        return w && (!control || ControlShown(w, control));
    };
    if (WaitUntil(shown, ms)) return 0;
    if (control)
        std::fprintf(stderr, "windriver: %ls with control %d not shown within %lu ms\n", cls, control,
                     static_cast<unsigned long>(ms));
    else
        std::fprintf(stderr, "windriver: %ls not shown within %lu ms\n", cls, static_cast<unsigned long>(ms));
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: windriver find|wait|gone|post|send|visible|run|start|waitpid|count|click|tab|press|shown ...\n");
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
        std::printf("%d\n", vt::test::CountTopLevel(argv[2]));
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
        POINT p{static_cast<LONG>(ParseNum(argv[3])), static_cast<LONG>(ParseNum(argv[4]))};
        ClientToScreen(w, &p);
        return ClickInto(w, p) ? 0 : 1;
    }
    // The arguments of tab, press and shown: numbers, the last of them optional.
    const auto number = [&](int i, int otherwise) { return argc > i ? static_cast<int>(ParseNum(argv[i])) : otherwise; };
    const DWORD within = static_cast<DWORD>(number(5, 20000));
    if (cmd == L"tab" && argc >= 5) return Tab(argv[2], number(3, 0), number(4, 0), within);
    if (cmd == L"press" && argc >= 5) return Press(argv[2], number(3, 0), number(4, 0), within);
    if (cmd == L"shown" && argc >= 4) return Shown(argv[2], static_cast<DWORD>(number(3, 0)), number(4, 0));
    std::fprintf(stderr, "windriver: unknown command\n");
    return 2;
}
