// The test program must not be able to wake, suspend or shut down the machine: the real wake timer and
// the power calls stay out of everything the tests link.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/test_support.h"

#include <string>
#include <vector>

namespace {

using vt::test::ImportedNames;

TEST(TestProgramImports, ReadsItsOwnImportTable) {
    auto names = ImportedNames();
    bool profile = false;
    for (const auto& n : names) profile = profile || n == "MoveFileExW";
    EXPECT_TRUE(profile) << "the reader must see what the alarm file code imports (its save renames)";
}

TEST(TestProgramImports, NoWakeTimerOrPowerCall) {
    const char* forbidden[] = {"SetWaitableTimer", "SetSuspendState", "SetSystemPowerState", "ExitWindowsEx",
                               "InitiateSystemShutdown", "InitiateShutdown"};
    for (const auto& n : ImportedNames())
        for (const char* f : forbidden) EXPECT_NE(n.rfind(f, 0), 0u) << n;
}

}  // namespace
