// The alarm window from the keyboard: keys go through the program's message loop road (the dialog
// manager of the alarm windows), as a person presses them.
#include <gtest/gtest.h>

#include "alarms/alarm_fakes.h"
#include "alarms/alarm_window.h"
#include "fakes.h"
#include "resources/alarms_page_res.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

// The snooze menu: counts its openings and answers with one row.
class CountingMenus final : public IPopupMenus {
public:
    int opened = 0;
    UINT answer = 0;
    UINT Popup(HMENU, HWND, POINT, bool) override {
        ++opened;
        return answer;
    }
};

class AlarmWindowKeys : public testing::Test, protected StoredAlarmsAndSound {
protected:
    FakeWindowHost host;
    TAlarmWindows list;
    AlarmWindowDeps deps{&alarms, &sound, nullptr, nullptr};
    CountingMenus menus;
    TfrmOnAlarm* window = nullptr;
    HWND form = nullptr;
    TTmqCustomButton* snooze = nullptr;

    void SetUp() override {
        window = TfrmOnAlarm::Open(deps, host, host, list, AlarmWindowRequest{0, 0, L"Call home"});
        ASSERT_NE(window, nullptr);
        form = window->hwnd();
        HWND button = GetDlgItem(form, IDC_BREMIND);
        snooze = reinterpret_cast<TTmqCustomButton*>(GetWindowLongPtrW(button, GWLP_USERDATA));
        ASSERT_NE(snooze, nullptr);
        snooze->Menus = &menus;
        SetForegroundWindow(form);
    }
    void TearDown() override {
        if (IsWindow(form)) snooze->Menus = &TrackedPopupMenus();
    }
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (list.PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    void Post(UINT message, UINT key, LPARAM flags = 0) {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(GetFocus() ? GetFocus() : form, message, key, scan | 1 | flags);
    }
    void Key(UINT key) {
        Post(WM_KEYDOWN, key);
        Post(WM_KEYUP, key, LPARAM{3} << 30);
        Pump();
    }
    // Tab until the snooze button has the focus.
    void TabToSnooze() {
        for (int i = 0; i < 6 && GetFocus() != snooze->hwnd(); ++i) Key(VK_TAB);
        ASSERT_EQ(GetFocus(), snooze->hwnd());
    }
    size_t Row(const wchar_t* caption) const {
        for (size_t i = 0; i < kReminderIntervals.size(); ++i)
            if (kReminderIntervals[i].caption == caption) return i;
        return 0;
    }
};

}  // namespace

TEST_F(AlarmWindowKeys, EnterOnTheSnoozeButtonOpensTheSnoozeMenu) {
    TabToSnooze();
    menus.answer = static_cast<UINT>(IDM_REMIND_FIRST + Row(L"10 min"));
    Key(VK_RETURN);
    EXPECT_EQ(menus.opened, 1);
    ASSERT_TRUE(IsWindow(form)) << "Enter on the snooze button is not OK";
    EXPECT_EQ(window->RemindCaption(), L"Remind again in 10 min");
    EXPECT_EQ(window->OkCaption(), L"Postpone");
}

TEST_F(AlarmWindowKeys, SpaceOnTheSnoozeButtonOpensTheSnoozeMenu) {
    TabToSnooze();
    menus.answer = static_cast<UINT>(IDM_REMIND_FIRST + Row(L"1 hour"));
    Key(VK_SPACE);
    EXPECT_EQ(menus.opened, 1);
    EXPECT_EQ(window->RemindCaption(), L"Remind again in 1 hour");
}

TEST_F(AlarmWindowKeys, EnterOnTheOkButtonStillClosesTheWindow) {
    TabToSnooze();
    Key(VK_TAB);   // on to the edit picture, then OK
    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), GetDlgItem(form, IDOK));
    EXPECT_FALSE(snooze->DefaultNow()) << "the focus on another button takes Enter from it";
    Key(VK_RETURN);
    EXPECT_EQ(menus.opened, 0);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(sound.stops, 1);
}

// A button set to cancel the form takes Esc before the window's own Esc (which closes like OK).
// Esc does what OK does also while the message has the focus (an edit of many lines would close the
// window as the close box does, the sound still playing).
TEST_F(AlarmWindowKeys, EscInTheMessageClosesLikeOk) {
    SetFocus(GetDlgItem(form, IDC_MMMESSAGE));
    ASSERT_EQ(GetFocus(), GetDlgItem(form, IDC_MMMESSAGE));
    Key(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(sound.stops, 1);
}

TEST_F(AlarmWindowKeys, EscReachesAButtonThatCancels) {
    TabToSnooze();
    snooze->Cancel = true;
    Key(VK_ESCAPE);
    EXPECT_EQ(menus.opened, 1);
    EXPECT_TRUE(IsWindow(form));
    snooze->Cancel = false;
    Key(VK_ESCAPE);
    EXPECT_EQ(menus.opened, 1);
    EXPECT_FALSE(IsWindow(form));
}

TEST_F(AlarmWindowKeys, TheCaptionsAcceleratorOpensTheSnoozeMenu) {
    SetWindowTextW(snooze->hwnd(), L"&Remind again in none");
    Post(WM_SYSCHAR, L'r', LPARAM{1} << 29);   // Alt+R
    Pump();
    EXPECT_EQ(menus.opened, 1);
}
