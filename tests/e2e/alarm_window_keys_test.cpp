// End to end: a fired alarm's window worked from the keyboard alone, keys typed into the real program.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "resources/alarms_page_res.h"
#include "support/desktop.h"
#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

class AlarmWindowKeys : public testing::Test {
protected:
    virtual std::wstring AlarmKeys() const { return L"DateTime=" + LocalTimeIn(4) + L"\r\n"; }
    void SetUp() override {
        FreshSettingsIn(dir.path());
        WriteUtf16File(dir.File(L"alarms.ini"), L"[Alarm1]\r\nid=1\r\nType=Once\r\nEnabled=1\r\nMessageEn=1\r\n"
                                                L"Message=Stretch your legs\r\n" + AlarmKeys());
        program = LaunchProgram();
        ASSERT_TRUE(program.process);
    }
    void TearDown() override {
        QuitProgram();
        ExitCodeAfter(program, 10000);
        EndStrayPrograms();
        ForgetSettings();
    }

    // The alarm's window once it is in the foreground.
    static HWND Ringing() {
        wchar_t title[32] = L"";
        WaitUntil([&] { return GetWindowTextW(GetForegroundWindow(), title, 32) && !wcscmp(title, L"Stretch your legs"); }, 30000);
        return wcscmp(title, L"Stretch your legs") ? nullptr : GetForegroundWindow();
    }
    bool AlarmStored() const {
        return ReadFileBytes(dir.File(L"alarms.ini")).find(Utf16Bytes(L"[Alarm1]")) != std::string::npos;
    }

    TempDir dir;
    Process program;
};

}  // namespace

// Tab to the snooze button, Enter opens the snooze menu below it; the arrow keys and Enter choose a
// reminder, which the button then shows.
TEST_F(AlarmWindowKeys, TabAndEnterOpenTheSnoozeMenu) {
    HWND window = Ringing();
    ASSERT_NE(window, nullptr) << "no alarm window";
    HWND snooze = GetDlgItem(window, IDC_BREMIND);
    ASSERT_NE(snooze, nullptr);
    for (int i = 0; i < 6 && FocusOf(window) != snooze; ++i) {
        PressKeys({VK_TAB});
        HWND before = FocusOf(window);
        WaitUntil([&] { return FocusOf(window) != before; }, 1000);
    }
    ASSERT_EQ(FocusOf(window), snooze);
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return ShownMenuOf(program.id) != nullptr; }, 5000)) << "Enter on the snooze button";
    PressKeys({VK_DOWN});   // "none"
    PressKeys({VK_DOWN});   // "1 min"
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return !ShownMenuOf(program.id); }, 5000));
    wchar_t caption[64] = L"";
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowTextW(snooze, caption, 64);
        return std::wstring(caption) == L"Remind again in 1 min";
    }, 5000)) << caption;
    EXPECT_TRUE(IsWindowVisible(window));
}

// An auto-delete alarm in 12 seconds with its reminder in 5, while the alarm editor's loop runs.
class BesideTheEditor : public AlarmWindowKeys {
    std::wstring AlarmKeys() const override {
        return L"AutoDelete=1\r\nDateTime=" + LocalTimeIn(12) + L"\r\nRDateTime=" + LocalTimeIn(5) + L"\r\n";
    }
};

// Tab and Enter on OK close the reminder as OK does, which keeps the alarm; at its time Esc in the
// message closes as OK does (not as the close box), and the alarm goes.
TEST_F(BesideTheEditor, KeysAnswerAndOnlyTheAlarmsOwnOkDeletesIt) {
    HWND main = nullptr, editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = MainWindow()) != nullptr; }, 30000));
    PostMessageW(main, WM_USER + 113, 0, 0);   // WM_NEWALARM
    ASSERT_TRUE(WaitUntil([&] { return (editor = FindWindowW(L"#32770", L"Alarm")) && IsWindowVisible(editor); }, 10000));
    HWND reminder = Ringing();
    ASSERT_NE(reminder, nullptr);
    for (int i = 0; i < 3; ++i) PressKeys({VK_TAB});   // the snooze button, the edit picture, OK
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(reminder) == GetDlgItem(reminder, IDOK); }, 5000));
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(reminder); }, 5000));
    EXPECT_TRUE(AlarmStored()) << "deleted by its reminder";
    HWND own = Ringing();
    ASSERT_NE(own, nullptr) << "did not ring at its time";
    ASSERT_EQ(FocusOf(own), GetDlgItem(own, IDC_MMMESSAGE));
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return !AlarmStored(); }, 5000)) << "kept after it rang";
}
