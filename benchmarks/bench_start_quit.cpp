// Start and quit of the real program against a trivial Win32 program started the same way: time from
// CreateProcess to the first painted clock (the trivial one: its first painted window), and time from
// the quit message to the end of the process. Run beside the program folder (VT_DIST) or give it:
//   bench_start_quit [program folder] [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::bench;
using namespace vt::test;

namespace {

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
    // Asked every millisecond: the figures are about tens of milliseconds.
    if (!WaitUntil([&] { return shown() != nullptr; }, 30000, 1)) {
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const ProgramBench bench(argc, argv);
    const int runs = bench.Number(2, 5);
    Figures base, program;
    for (int i = 0; i < runs; ++i) {
        Measure(TrivialExe(), ShownTrivial, CloseTrivial, base);
        EndStrayPrograms();
        Measure(bench.dist() + L"Vantoric.exe", PaintedClock, QuitProgram, program);
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
