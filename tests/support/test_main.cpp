// Test entry: exceptions that the program would show in a message box are recorded instead.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {
// A crash fails the run: Wine's debugger ends a crashed process with exit code 0, which ctest would
// take for a pass with every test after the crash unrun.
LONG WINAPI CrashFailsTheRun(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "\nCRASH: exception 0x%08lX at %p in %s.%s\n", static_cast<unsigned long>(r->ExceptionCode),
                 r->ExceptionAddress, test ? test->test_suite_name() : "?", test ? test->name() : "?");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetUnhandledExceptionFilter(CrashFailsTheRun);
    vt::test::InstallExceptionRecorder();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
