// What the benchmarks that start the real program beside the trivial one share.
#pragma once
#include <windows.h>

#include <string>

#include "support/test_support.h"

namespace vt::bench {

LARGE_INTEGER Now();
double Ms(LARGE_INTEGER from, LARGE_INTEGER to);

// What a benchmark of the real program starts from: its arguments (the program folder first, else this
// build's is used) and a settings folder of its own, named in the program's key.
class ProgramBench {
public:
    ProgramBench(int argc, wchar_t** argv);
    const std::wstring& dist() const { return dist_; }   // with a trailing backslash
    // Argument `i` as a number, or `otherwise` when it was not given.
    int Number(int i, int otherwise) const { return argc_ > i ? _wtoi(argv_[i]) : otherwise; }

private:
    int argc_;
    wchar_t** argv_;
    std::wstring dist_;
    test::TempDir settings_;
};
// bench_trivial.exe beside this benchmark.
std::wstring TrivialExe();
// The trivial program's window once it shows, else nullptr.
HWND ShownTrivial();
void CloseTrivial();

}  // namespace vt::bench
