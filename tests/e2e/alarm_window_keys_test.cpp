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

class AlarmWindowKeys : public testing::Test {
protected:
    virtual std::wstring AlarmKeys() const { return L"DateTime=" + LocalTimeIn(4) + L"\r\n"; }
    void SetUp() override {
        EndStrayProcesses(L"Vantoric.exe");
        EndStrayProcesses(L"Quellix.exe");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric");
        RegKey::Create(HKEY_CURRENT_USER, L"Software\\Dorminax\\Vantoric").WriteString(L"AppDataDir", dir.path());
        const std::wstring alarm = L"[Alarm1]\r\nid=1\r\nType=Once\r\nEnabled=1\r\nMessageEn=1\r\nMessage=Stretch your legs\r\n" +
                                   AlarmKeys();
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

    // The alarm's window once it is in the foreground.
    static HWND Ringing() {
        wchar_t title[32] = L"";
        WaitUntil([&] { return GetWindowTextW(GetForegroundWindow(), title, 32) && !wcscmp(title, L"Stretch your legs"); }, 30000);
        return wcscmp(title, L"Stretch your legs") ? nullptr : GetForegroundWindow();
    }
    bool AlarmStored() const {
        const std::wstring name = L"[Alarm1]";
        const std::string bytes(reinterpret_cast<const char*>(name.data()), name.size() * sizeof(wchar_t));
        return ReadFileBytes(dir.File(L"alarms.ini")).find(bytes) != std::string::npos;
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
    ASSERT_TRUE(WaitUntil([&] { return (main = FindWindowW(L"TfrmClock", nullptr)) != nullptr; }, 30000));
    PostMessageW(main, WM_USER + 113, 0, 0);   // WM_NEWALARM
    ASSERT_TRUE(WaitUntil([&] { return (editor = FindWindowW(L"#32770", L"Alarm")) && IsWindowVisible(editor); }, 10000));
    HWND reminder = Ringing();
    ASSERT_NE(reminder, nullptr);
    for (int i = 0; i < 3; ++i) Press(VK_TAB);   // the snooze button, the edit picture, OK
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(reminder) == GetDlgItem(reminder, IDOK); }, 5000));
    Press(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(reminder); }, 5000));
    EXPECT_TRUE(AlarmStored()) << "deleted by its reminder";
    HWND own = Ringing();
    ASSERT_NE(own, nullptr) << "did not ring at its time";
    ASSERT_EQ(FocusOf(own), GetDlgItem(own, IDC_MMMESSAGE));
    Press(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !AlarmStored(); }, 5000)) << "kept after it rang";
}
