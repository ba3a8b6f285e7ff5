// Test entry: exceptions that the program would show in a message box are recorded instead.
#include <gtest/gtest.h>

#include "support/test_support.h"

int wmain(int argc, wchar_t** argv) {
    vt::test::InstallExceptionRecorder();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
