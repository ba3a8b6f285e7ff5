// Start and quit of the real program against a trivial Win32 program started the same way: time from
// CreateProcess to the first painted clock (the trivial one: its first painted window), and time from
// the quit message to the end of the process. Run beside the program folder (VT_DIST) or give it:
//   bench_start_quit [program folder] [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/registry.h"
#include "e2e/e2e_support.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

double Ms(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// Polls every millisecond: the figures are about tens of milliseconds.
bool Poll(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(1);
    }
    return true;
}

struct Figures {
    std::vector<double> start, quit;
};

double Median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One start and quit: `shown` tells when the first painting is on screen, `quit` asks the program to end.
bool Measure(const std::wstring& exe, const std::function<HWND()>& shown, const std::function<void()>& quit,
             Figures& figures) {
    const LARGE_INTEGER t0 = Now();
    Process p = Launch(exe);
    if (!p.process) return false;
    if (!Poll([&] { return shown() != nullptr; }, 30000)) {
        TerminateProcess(p.process.get(), 1);
        return false;
    }
    figures.start.push_back(Ms(t0, Now()));
    Sleep(1500);   // settled: timers started, first ticks done
    const LARGE_INTEGER t1 = Now();
    quit();
    if (WaitForSingleObject(p.process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(p.process.get(), 1);
        return false;
    }
    figures.quit.push_back(Ms(t1, Now()));
    return true;
}

// The taskbar clock window once it shows the skin's digits (not one colour all over).
HWND PaintedClock() {
    HWND clock = FindWindowW(L"TrayClockWClass", nullptr);
    if (!clock || !IsWindowVisible(clock)) return nullptr;
    RECT r{};
    GetWindowRect(clock, &r);
    if (r.right <= r.left || r.bottom <= r.top) return nullptr;
    const std::vector<COLORREF> pixels = ScreenPixels(r);
    for (COLORREF c : pixels)
        if (c != pixels.front()) return clock;
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring dist = argc > 1 ? std::wstring(argv[1]) + L"\\" : DistDir();
    const int runs = argc > 2 ? _wtoi(argv[2]) : 5;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring trivial = self;
    trivial = trivial.substr(0, trivial.find_last_of(L'\\') + 1) + L"bench_trivial.exe";

    TempDir settings;
    RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", settings.path());
    Figures base, program;
    for (int i = 0; i < runs; ++i) {
        Measure(trivial, [] {
            HWND w = FindWindowW(L"VantoricTrivial", nullptr);
            return w && IsWindowVisible(w) ? w : nullptr;
        }, [] { PostMessageW(FindWindowW(L"VantoricTrivial", nullptr), WM_CLOSE, 0, 0); }, base);
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        Measure(dist + L"Vantoric.exe", PaintedClock,
                [] { PostMessageW(FindWindowW(L"TfrmClock", nullptr), kQuitProgram, 0, 0); }, program);
        EndStrayProcesses(L"Quellix.exe");
    }
    const double bs = Median(base.start), bq = Median(base.quit), ps = Median(program.start), pq = Median(program.quit);
    std::printf("%-44s %10s %10s %10s\n", "operation (median of runs)", "ms", "baseline", "beyond");
    std::printf("%-44s %10.0f %10.0f %10.0f\n", "start to the first painted clock", ps, bs, ps - bs);
    std::printf("%-44s %10.0f %10.0f %10.0f\n", "quit message to the end of the process", pq, bq, pq - bq);
    std::printf("(%zu of %d program runs and %zu of %d baseline runs measured)\n", program.start.size(), runs,
                base.start.size(), runs);
    return program.quit.size() == static_cast<size_t>(runs) ? 0 : 1;
}
