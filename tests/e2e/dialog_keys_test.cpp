// End to end: the main dialog's keys, typed into the real program.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/text.h"
#include "base/window.h"
#include "resources/resource.h"
#include "support/desktop.h"
#include "support/loopback_sntp.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

class DialogKeys : public testing::Test {
protected:
    void SetUp() override {
        // The program asks this loopback server, whatever host it is given.
        SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", std::to_wstring(timeServer.port()).c_str());
        EndStrayPrograms();
        SettingsIn(dir.path());
        program = LaunchProgram();
        ASSERT_TRUE(program.process);
        ASSERT_TRUE(WaitUntil([&] { return Main() != nullptr; }, 30000));
    }
    void TearDown() override {
        QuitProgram();
        ExitCodeAfter(program, 10000);
        EndStrayPrograms();
        SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", nullptr);
    }
    static HWND Main() { return MainWindow(); }
    bool ShowDialog(UINT command = kShowMain) {
        PostMessageW(Main(), command, 0, 0);
        return WaitUntil([] { return IsWindowVisible(Main()) && GetForegroundWindow() == Main(); }, 10000);
    }

    LoopbackSntpServer timeServer{[](const Bytes& r) { return std::optional<Bytes>(ServerReply(r, 30)); }};
    TempDir dir;
    Process program;
};

}  // namespace

TEST_F(DialogKeys, EscapeHidesTheDialog) {
    ASSERT_TRUE(ShowDialog());
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(Main()); }, 5000));
    EXPECT_EQ(ExitCodeAfter(program, 500), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(DialogKeys, CtrlHHidesTheDialog) {
    ASSERT_TRUE(ShowDialog());
    PressKeys({VK_CONTROL, 'H'});
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(Main()); }, 5000));
    EXPECT_EQ(ExitCodeAfter(program, 500), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(DialogKeys, AltF4ExitsAsTheMenuSays) {
    ASSERT_TRUE(ShowDialog());
    PressKeys({VK_MENU, VK_F4});
    EXPECT_EQ(ExitCodeAfter(program, 10000), 0u);
}

TEST_F(DialogKeys, F1OpensTheHelpFileBesideTheProgram) {
    ASSERT_TRUE(ShowDialog());
    PressKeys({VK_F1});
    // Wine's HTML Help viewer: its frame window, titled by the help file.
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"HH Parent", nullptr) != nullptr; }, 15000));
    HWND viewer = FindWindowW(L"HH Parent", nullptr);
    wchar_t title[128] = L"";
    GetWindowTextW(viewer, title, 128);
    EXPECT_STREQ(title, L"Vantoric Help");
    PostMessageW(viewer, WM_CLOSE, 0, 0);
}

TEST_F(DialogKeys, EnterInTheServerBoxGetsTheTimeOfThatServer) {
    ASSERT_TRUE(ShowDialog(WM_USER + 102));   // "Atomic Clock...": the dialog on that page
    HWND page = nullptr;
    while ((page = FindWindowExW(Main(), page, L"#32770", nullptr)) && !GetDlgItem(page, IDC_CBSERVER)) {}
    HWND edit = FindWindowExW(GetDlgItem(page, IDC_CBSERVER), nullptr, L"Edit", nullptr);
    // Keys go where the focus is: the click is repeated until the box has it.
    ASSERT_TRUE(WaitUntil([&] {
        ClickAt(CentreOf(WindowRectOf(edit)));
        return WaitUntil([&] { return FocusOf(edit) == edit; }, 500);
    }, 10000));
    PressKeys({VK_END});
    PressKeys({VK_SHIFT, VK_HOME});
    for (const wchar_t* c = L"127.0.0.1"; *c; ++c) PressKeys({static_cast<WORD>(LOBYTE(VkKeyScanW(*c)))});
    // Another process's edit tells its text only when asked (its window text is the one it was made with).
    auto typed = [&] {
        wchar_t text[32] = L"";
        SendMessageW(edit, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    ASSERT_TRUE(WaitUntil([&] { return typed() == L"127.0.0.1"; }, 5000)) << Narrow(typed());
    PressKeys({VK_RETURN});
    // Get Time asked the server typed, 30 seconds ahead of this machine.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(page, IDC_LBDIFF)).rfind(L"- 00:00:", 0) == 0; }, 10000));
    EXPECT_EQ(timeServer.requests(), 1);
}
