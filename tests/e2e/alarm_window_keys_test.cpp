// End to end: a fired alarm's window worked from the keyboard alone, keys typed into the real program.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "base/registry.h"
#include "e2e/e2e_support.h"
#include "resources/alarms_page_res.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

std::wstring LocalTimeIn(int seconds) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double now = 0;
    SystemTimeToVariantTime(&st, &now);
    wchar_t text[64];
    std::swprintf(text, 64, L"%.10f", now + (st.wMilliseconds / 1000.0 + seconds) / 86400.0);
    return text;
}

void Press(WORD key) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

struct MenuSearch {
    DWORD process;
    bool found;
};

BOOL CALLBACK FindMenu(HWND w, LPARAM l) {
    auto* s = reinterpret_cast<MenuSearch*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t name[16] = L"";
    GetClassNameW(w, name, 16);
    if (owner == s->process && IsWindowVisible(w) && wcscmp(name, L"#32768") == 0) s->found = true;
    return !s->found;
}

// The program shows a popup menu.
bool MenuShown(DWORD process) {
    MenuSearch s{process, false};
    EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A once-alarm ringing in `seconds`, with more keys of its own.
std::wstring OnceAlarm(int id, const std::wstring& message, int seconds, const std::wstring& more = L"") {
    const std::wstring n = std::to_wstring(id);
    return L"[Alarm" + n + L"]\r\nid=" + n + L"\r\nType=Once\r\nDateTime=" + LocalTimeIn(seconds) +
           L"\r\nEnabled=1\r\nMessageEn=1\r\nMessage=" + message + L"\r\n" + more;
}

class AlarmWindowKeys : public testing::Test {
protected:
    virtual std::wstring Alarms() const { return OnceAlarm(1, L"Stretch your legs", 4); }
    void SetUp() override {
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
        RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", dir.path());
        const std::wstring alarm = Alarms();
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(alarm.data()), alarm.size() * sizeof(wchar_t));
        WriteFileBytes(dir.File(L"alarms.ini"), bytes);
        program = Launch(DistDir() + L"Vantoric.exe");
        ASSERT_TRUE(program.process);
    }
    void TearDown() override {
        if (HWND main = FindWindowW(L"TfrmClock", nullptr)) PostMessageW(main, kQuitProgram, 0, 0);
        ExitCodeAfter(program, 10000);
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
    }

    // The alarm window of `message`, shown and in the foreground.
    static HWND RingingWindow(const wchar_t* message) {
        HWND w = nullptr;
        WaitUntil([&] { return (w = FindWindowW(L"#32770", message)) && IsWindowVisible(w) && GetForegroundWindow() == w; },
                  30000);
        return GetForegroundWindow() == w ? w : nullptr;
    }
    bool FileHolds(const std::wstring& text) const {
        const std::string bytes = ReadFileBytes(dir.File(L"alarms.ini"));
        return bytes.find(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t))) !=
               std::string::npos;
    }

    TempDir dir;
    Process program;
};

}  // namespace

// Tab to the snooze button, Enter opens the snooze menu below it; the arrow keys and Enter choose a
// reminder, which the button then shows.
TEST_F(AlarmWindowKeys, TabAndEnterOpenTheSnoozeMenu) {
    HWND window = RingingWindow(L"Stretch your legs");
    ASSERT_NE(window, nullptr) << "no alarm window";
    HWND snooze = GetDlgItem(window, IDC_BREMIND);
    ASSERT_NE(snooze, nullptr);
    for (int i = 0; i < 6 && FocusOf(window) != snooze; ++i) {
        Press(VK_TAB);
        HWND before = FocusOf(window);
        WaitUntil([&] { return FocusOf(window) != before; }, 1000);
    }
    ASSERT_EQ(FocusOf(window), snooze);
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id); }, 5000)) << "Enter on the snooze button";
    Press(VK_DOWN);   // "none"
    Press(VK_DOWN);   // "1 min"
    Press(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !MenuShown(program.id); }, 5000));
    wchar_t caption[64] = L"";
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowTextW(snooze, caption, 64);
        return std::wstring(caption) == L"Remind again in 1 min";
    }, 5000)) << caption;
    EXPECT_TRUE(IsWindowVisible(window));
}

// An auto-delete alarm in 12 seconds with its reminder in 4.
class ReminderAhead : public AlarmWindowKeys {
    std::wstring Alarms() const override {
        return OnceAlarm(1, L"Stretch your legs", 12, L"AutoDelete=1\r\nRDateTime=" + LocalTimeIn(4) + L"\r\n");
    }
};

// OK on the reminder keeps the alarm: it rings at its time, and its own OK deletes it.
TEST_F(ReminderAhead, OkOnTheReminderKeepsTheAlarmUntilItHasRung) {
    HWND reminder = RingingWindow(L"Stretch your legs");
    ASSERT_NE(reminder, nullptr) << "no reminder";
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(reminder); }, 5000));
    EXPECT_TRUE(FileHolds(L"[Alarm1]")) << "deleted by its reminder";
    ASSERT_NE(RingingWindow(L"Stretch your legs"), nullptr) << "did not ring at its time";
    Press(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !FileHolds(L"[Alarm1]"); }, 5000)) << "kept after it rang";
}

// Two auto-delete alarms ring while the alarm editor's loop runs.
class KeysBesideTheEditor : public AlarmWindowKeys {
    std::wstring Alarms() const override {
        return OnceAlarm(1, L"Stretch your legs", 4, L"AutoDelete=1\r\n") + OnceAlarm(2, L"Drink water", 10, L"AutoDelete=1\r\n");
    }
};

// Esc in the message and Enter on OK close as OK does (the alarm goes), Tab moves on.
TEST_F(KeysBesideTheEditor, EscTabAndEnterAnswerWhileTheEditorIsOpen) {
    HWND main = nullptr, editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = FindWindowW(L"TfrmClock", nullptr)) != nullptr; }, 30000));
    PostMessageW(main, WM_USER + 113, 0, 0);   // WM_NEWALARM
    ASSERT_TRUE(WaitUntil([&] { return (editor = FindWindowW(L"#32770", L"Alarm")) && IsWindowVisible(editor); }, 10000));
    HWND first = RingingWindow(L"Stretch your legs");
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(FocusOf(first), GetDlgItem(first, IDC_MMMESSAGE));
    Press(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(first) && !FileHolds(L"[Alarm1]"); }, 5000));
    HWND second = RingingWindow(L"Drink water");
    ASSERT_NE(second, nullptr);
    for (int i = 0; i < 3; ++i) {
        HWND before = FocusOf(second);
        Press(VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(second) != before; }, 5000)) << "Tab " << i;
    }
    ASSERT_EQ(FocusOf(second), GetDlgItem(second, IDOK));
    Press(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(second) && !FileHolds(L"[Alarm2]"); }, 5000));
    EXPECT_TRUE(IsWindowVisible(editor));
}
