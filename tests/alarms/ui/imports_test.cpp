// This test program drives the alarm handler and its windows: it must not be able to end the session,
// suspend the machine, make a sound or set the volume. The real devices stay out of what it links.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/test_support.h"

#include <string>
#include <vector>

namespace {

using vt::test::ImportedNames;

TEST(AlarmUiImports, ReadsItsOwnImportTable) {
    bool listView = false;
    for (const auto& n : ImportedNames()) listView = listView || n == "CreateDialogParamW";
    EXPECT_TRUE(listView) << "the reader must see what the page and the window import";
}

TEST(AlarmUiImports, NoPowerSoundOrVolumeCall) {
    const char* forbidden[] = {"SetWaitableTimer", "SetSuspendState", "SetSystemPowerState", "ExitWindowsEx",
                               "InitiateSystemShutdown", "InitiateShutdown", "AdjustTokenPrivileges",
                               "mciSendString", "waveOutSetVolume", "PlaySound", "sndPlaySound"};
    for (const auto& n : ImportedNames())
        for (const char* f : forbidden) EXPECT_NE(n.rfind(f, 0), 0u) << n;
}

}  // namespace
