#include "bench_support.h"

#include "support/desktop.h"
#include "support/real_program.h"

namespace vt::bench {

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

ProgramBench::ProgramBench(int argc, wchar_t** argv)
    : argc_(argc), argv_(argv), dist_(argc > 1 ? std::wstring(argv[1]) + L"\\" : test::DistDir()) {
    test::SettingsIn(settings_.path());
}

std::wstring TrivialExe() { return test::TestProgramDir() + L"bench_trivial.exe"; }

HWND ShownTrivial() { return test::ShownWindow(L"VantoricTrivial"); }

void CloseTrivial() { PostMessageW(FindWindowW(L"VantoricTrivial", nullptr), WM_CLOSE, 0, 0); }

}  // namespace vt::bench
