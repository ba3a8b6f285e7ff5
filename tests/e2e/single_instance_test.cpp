// End to end: the real program folder under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include "base/inifile.h"
#include "base/registry.h"
#include "support/desktop.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;

namespace {

using namespace vt::test;

class EndToEnd : public testing::Test {
protected:
    void SetUp() override {
        EndStrayPrograms();
        settings = dir.path() + L"Données ü\\";
        SettingsIn(settings);
        exe = test::DistDir() + L"Vantoric.exe";
    }
    void TearDown() override { EndStrayPrograms(); }
    std::wstring Stored(const wchar_t* key) {
        return IniFile(settings + L"Setting.ini").ReadString(L"Options", key, L"<missing>");
    }
    // The main window shows as soon as the clock does; the form is whole once its last window, the
    // hidden alarm editor, exists (sent messages wait for the message loop from then on).
    bool Started() {
        HWND main = MainWindow(), editor = FindWindowW(L"#32770", L"Alarm");
        return main && editor && GetWindow(editor, GW_OWNER) == main;
    }

    test::TempDir dir;
    std::wstring settings;
    std::wstring exe;
};

}  // namespace

TEST_F(EndToEnd, SecondStartWakesTheFirstAndExitsWith255) {
    Process first = Launch(exe);
    ASSERT_TRUE(first.process);
    ASSERT_TRUE(WaitUntil([&] { return MainWindow() != nullptr; }, 30000));
    EXPECT_FALSE(IsWindowVisible(MainWindow()));
    Process second = Launch(exe);
    ASSERT_TRUE(second.process);
    EXPECT_EQ(ExitCodeAfter(second, 30000), 255u);
    EXPECT_EQ(CountTopLevel(L"TfrmClock"), 1);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(MainWindow()) != FALSE; }, 10000));
    PostMessageW(MainWindow(), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(first, 20000), 0u);
}

TEST_F(EndToEnd, CommandMessagesAndQuitWriteTheOptionsIntoANonAsciiFolder) {
    Process p = Launch(exe);
    ASSERT_TRUE(WaitUntil([&] { return MainWindow() != nullptr; }, 30000));
    PostMessageW(MainWindow(), kSetShowDate, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Stored(L"ShowDate") == L"0"; }, 10000));
    PostMessageW(MainWindow(), kSetShowDate, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return Stored(L"ShowDate") == L"1"; }, 10000));
    PostMessageW(MainWindow(), kQuitProgram, 0, 0);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
    EXPECT_EQ(Stored(L"ActivePage"), L"3");
    EXPECT_EQ(Stored(L"Click"), L"5");
    // The folder in use is recorded as it was given.
    EXPECT_EQ(RegKey::Open(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").ReadString(L"AppDataDir").value_or(L""),
              settings);
}

TEST_F(EndToEnd, CancelledShutdownKeepsTheProgramRunning) {
    Process p = Launch(exe);
    ASSERT_TRUE(WaitUntil([&] { return Started(); }, 30000));
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &result));
    EXPECT_EQ(result, 1u);
    EXPECT_NE(Stored(L"ShowDate"), L"<missing>");  // saved before answering
    SendMessageTimeoutW(MainWindow(), WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 10000, &result);
    EXPECT_EQ(ExitCodeAfter(p, 1000), static_cast<DWORD>(STILL_ACTIVE));
    SendMessageTimeoutW(MainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &result);
    EXPECT_EQ(ExitCodeAfter(p, 20000), 0u);
}
