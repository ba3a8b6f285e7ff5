// End to end: the main dialog's keys, typed into the real program.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/registry.h"
#include "base/text.h"
#include "base/window.h"
#include "e2e/e2e_support.h"
#include "resources/resource.h"
#include "support/loopback_sntp.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

constexpr UINT kShowMain = WM_USER + 101;

class DialogKeys : public testing::Test {
protected:
    void SetUp() override {
        // The program asks this loopback server, whatever host it is given.
        SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", std::to_wstring(timeServer.port()).c_str());
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", dir.path());
        program = Launch(DistDir() + L"Vantoric.exe");
        ASSERT_TRUE(program.process);
        ASSERT_TRUE(WaitUntil([&] { return Main() != nullptr; }, 30000));
    }
    void TearDown() override {
        if (HWND main = Main()) PostMessageW(main, kQuitProgram, 0, 0);
        ExitCodeAfter(program, 10000);
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", nullptr);
    }
    static HWND Main() { return FindWindowW(L"TfrmClock", nullptr); }
    bool ShowDialog(UINT command = kShowMain) {
        PostMessageW(Main(), command, 0, 0);
        return WaitUntil([] { return IsWindowVisible(Main()) && GetForegroundWindow() == Main(); }, 10000);
    }
    // Typed as the user types: the keys reach the program's own message loop.
    static void Press(std::initializer_list<WORD> keys) {
        std::vector<INPUT> input;
        for (WORD k : keys) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = k;
            input.push_back(i);
        }
        for (auto it = keys.end(); it != keys.begin();) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = *--it;
            i.ki.dwFlags = KEYEVENTF_KEYUP;
            input.push_back(i);
        }
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    }

    LoopbackSntpServer timeServer{[](const Bytes& r) { return std::optional<Bytes>(ServerReply(r, 30)); }};
    TempDir dir;
    Process program;
};

}  // namespace

TEST_F(DialogKeys, EscapeHidesTheDialog) {
    ASSERT_TRUE(ShowDialog());
    Press({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(Main()); }, 5000));
    EXPECT_EQ(ExitCodeAfter(program, 500), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(DialogKeys, CtrlHHidesTheDialog) {
    ASSERT_TRUE(ShowDialog());
    Press({VK_CONTROL, 'H'});
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(Main()); }, 5000));
    EXPECT_EQ(ExitCodeAfter(program, 500), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(DialogKeys, AltF4ExitsAsTheMenuSays) {
    ASSERT_TRUE(ShowDialog());
    Press({VK_MENU, VK_F4});
    EXPECT_EQ(ExitCodeAfter(program, 10000), 0u);
}

TEST_F(DialogKeys, F1OpensTheHelpFileBesideTheProgram) {
    ASSERT_TRUE(ShowDialog());
    Press({VK_F1});
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
    auto focus = [&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        return GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &gui) ? gui.hwndFocus : nullptr;
    };
    ASSERT_TRUE(WaitUntil([&] {
        const RECT box = WindowRectOf(edit);
        SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        return WaitUntil([&] { return focus() == edit; }, 500);
    }, 10000));
    Press({VK_END});
    Press({VK_SHIFT, VK_HOME});
    for (const wchar_t* c = L"127.0.0.1"; *c; ++c) Press({static_cast<WORD>(LOBYTE(VkKeyScanW(*c)))});
    // Another process's edit tells its text only when asked (its window text is the one it was made with).
    auto typed = [&] {
        wchar_t text[32] = L"";
        SendMessageW(edit, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    ASSERT_TRUE(WaitUntil([&] { return typed() == L"127.0.0.1"; }, 5000)) << Narrow(typed());
    Press({VK_RETURN});
    // Get Time asked the server typed, 30 seconds ahead of this machine.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(page, IDC_LBDIFF)).rfind(L"- 00:00:", 0) == 0; }, 10000));
    EXPECT_EQ(timeServer.requests(), 1);
}
