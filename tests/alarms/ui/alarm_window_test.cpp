#include <gtest/gtest.h>

#include <functional>

#include "alarms/alarm_fakes.h"
#include "alarms/alarm_window.h"
#include "fakes.h"
#include "resources/alarms_page_res.h"
#include "support/clock_skin_fixture.h"
#include "support/layout_check.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

// A popup that answers with one command at once.
class ButtonChoice final : public IPopupMenus {
public:
    explicit ButtonChoice(UINT command) : command_(command) {}
    UINT Popup(HMENU, HWND, POINT, bool) override { return command_; }

private:
    UINT command_;
};

size_t RowOf(const wchar_t* caption) {
    for (size_t i = 0; i < kReminderIntervals.size(); ++i)
        if (kReminderIntervals[i].caption == caption) return i;
    return 0;
}

class MessageWindow : public testing::Test,
                      public IAlarmEditing,
                      public IAlarmWindowMessages,
                      protected StoredAlarmsAndSound {
protected:
    TAlarmWindows list;
    std::vector<std::pair<bool, int>> edits;
    std::vector<std::wstring> boxes;
    bool editorVisible = false;
    std::function<void()> whileEditing;   // what happens while the modal editor runs
    AlarmWindowDeps deps{&alarms, &sound, &volume, nullptr};
    bool AlarmEditorVisible() override { return editorVisible; }
    void EditAlarm(bool isNew, int id) override {
        edits.push_back({isNew, id});
        if (whileEditing) whileEditing();
    }
    void AlarmWindowMessage(HWND, const std::wstring& text, const std::wstring&, UINT) override {
        boxes.push_back(text);
    }

    int OnceAutoDelete() {
        TAlRecord a;
        a.Type = L"Once";
        a.DateTime = At(2024, 3, 4, 5, 59);
        a.AutoDelete = true;
        a.MessageEn = true;
        a.Message = L"Call";
        return alarms.AddAlarm(a);
    }
    TfrmOnAlarm* Open(int tag, const wchar_t* text = L"Call\r\nhome") {
        return TfrmOnAlarm::Open(deps, *this, *this, list, AlarmWindowRequest{tag, 0, text});
    }
    static void Command(TfrmOnAlarm* w, int id) { SendMessageW(w->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // A row of the snooze button's own menu, as its popup returns it.
    static void ChooseFromMenu(TfrmOnAlarm* w, size_t row) {
        ButtonChoice choice(static_cast<UINT>(IDM_REMIND_FIRST + row));
        auto* button = reinterpret_cast<TTmqCustomButton*>(GetWindowLongPtrW(GetDlgItem(w->hwnd(), IDC_BREMIND), GWLP_USERDATA));
        ASSERT_NE(button, nullptr);
        button->Menus = &choice;
        SendMessageW(button->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(button->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        button->Menus = &TrackedPopupMenus();
    }
};

TEST_F(MessageWindow, ShowsTheMessageAsTextAndCaption) {
    TfrmOnAlarm* w = Open(0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(w->MessageText(), L"Call\r\nhome");
    EXPECT_EQ(w->RemindCaption(), L"Remind again in none");
    EXPECT_EQ(w->OkCaption(), L"OK");
    EXPECT_TRUE(IsWindowVisible(w->hwnd()));
    EXPECT_EQ(GetParent(w->hwnd()), nullptr);
}

TEST_F(MessageWindow, ReminderMenuSnoozesThenPostponeKeepsTheAutoDeleteAlarm) {
    int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    Command(w, IDM_REMIND_FIRST + static_cast<int>(RowOf(L"10 min")));
    EXPECT_EQ(w->RemindCaption(), L"Remind again in 10 min");
    EXPECT_EQ(w->OkCaption(), L"Postpone");
    EXPECT_NEAR(alarms.ReadAlarm(id).RDateTime, now.Now() + 10 * kOneMinute, 1e-8);
    now.Advance(kOneMinute);
    Command(w, IDM_REMIND_FIRST + static_cast<int>(RowOf(L"2 hours")));
    EXPECT_NEAR(alarms.ReadAlarm(id).RDateTime, now.Now() + 120 * kOneMinute, 1e-8);
    HWND h = w->hwnd();
    Command(w, IDOK);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(sound.stops, 1);
    EXPECT_EQ(alarms.ReadAlarm(id).id, id);
}

TEST_F(MessageWindow, NoneClearsTheReminderAndOkDeletesTheAutoDeleteAlarm) {
    int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    Command(w, IDM_REMIND_FIRST + static_cast<int>(RowOf(L"5 min")));
    Command(w, IDM_REMIND_FIRST);
    EXPECT_EQ(w->OkCaption(), L"OK");
    EXPECT_EQ(w->RemindCaption(), L"Remind again in none");
    EXPECT_EQ(alarms.ReadAlarm(id).RDateTime, 0);
    Command(w, IDOK);
    EXPECT_EQ(alarms.AlarmCount(), 0);
}

TEST_F(MessageWindow, EscDoesWhatOkDoesAndRestoresTheVolume) {
    int id = OnceAutoDelete();
    device.value = 0x11112222;
    volume.SetVolumePercent(100);
    TfrmOnAlarm* w = Open(id);
    Command(w, IDCANCEL);
    EXPECT_EQ(sound.stops, 1);
    EXPECT_EQ(device.value, 0x11112222u);
    EXPECT_EQ(alarms.AlarmCount(), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(MessageWindow, CloseBoxNeitherStopsTheSoundNorDeletes) {
    int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    SendMessageW(w->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(sound.stops, 0);
    EXPECT_EQ(alarms.AlarmCount(), 1);
}

TEST_F(MessageWindow, OkInOneWindowStopsTheSoundOfAll) {
    Open(0);
    TfrmOnAlarm* second = Open(0);
    EXPECT_EQ(list.Count(), 2);
    Command(second, IDOK);
    EXPECT_EQ(sound.stops, 1);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(MessageWindow, TestWindowWritesNoReminderAndDeletesNothing) {
    int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(0);
    Command(w, IDM_REMIND_FIRST + 3);
    EXPECT_EQ(alarms.ReadAlarm(id).RDateTime, 0);
    Command(w, IDOK);
    EXPECT_EQ(alarms.AlarmCount(), 1);
}

TEST_F(MessageWindow, AlarmDeletedMeanwhileClosesWithoutDeletingAnother) {
    int id = OnceAutoDelete();
    int other = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    alarms.DeleteAlarm(id);
    alarms.Refresh();
    Command(w, IDOK);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(alarms.ReadAlarm(other).id, other);
}

TEST_F(MessageWindow, EditOpensTheEditorAndClosesButRefusesWhileTheEditorIsOpen) {
    int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    editorVisible = true;
    w->imgEditClick();
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"Please, close alarm dialog."});
    EXPECT_EQ(list.Count(), 1);
    editorVisible = false;
    w->imgEditClick();
    EXPECT_EQ(edits, (std::vector<std::pair<bool, int>>{{false, id}}));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(sound.stops, 0);
    EXPECT_EQ(alarms.AlarmCount(), 1);
}

// The program ends while the editor opened from an alarm window runs: the window goes once its click
// has returned, not under it.
TEST_F(MessageWindow, AnEndInsideItsEditorDestroysTheWindowAfterTheClickReturns) {
    const int id = OnceAutoDelete();
    bool aliveInside = false;
    HWND h = nullptr;
    whileEditing = [&] {
        list.CloseAll();
        aliveInside = IsWindow(h) != FALSE;
    };
    TfrmOnAlarm* w = Open(id);
    ASSERT_NE(w, nullptr);
    h = w->hwnd();
    Command(w, IDC_IMGEDIT);
    EXPECT_TRUE(aliveInside) << "destroyed while its edit click still ran";
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(list.Count(), 0);
}

// A popup that runs `during` while it is open, then answers with a command.
class PopupDoing final : public IPopupMenus {
public:
    PopupDoing(std::function<void()> during, UINT command) : during_(std::move(during)), command_(command) {}
    UINT Popup(HMENU, HWND, POINT, bool) override {
        during_();
        return command_;
    }

private:
    std::function<void()> during_;
    UINT command_;
};

TEST_F(MessageWindow, AnEndInsideTheSnoozeMenuDestroysTheWindowAfterTheMenuReturns) {
    const int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    ASSERT_NE(w, nullptr);
    const HWND h = w->hwnd();
    bool aliveInside = false;
    PopupDoing ending([&] {
        list.CloseAll();
        aliveInside = IsWindow(h) != FALSE;
    }, static_cast<UINT>(IDM_REMIND_FIRST + RowOf(L"5 min")));
    auto* button = reinterpret_cast<TTmqCustomButton*>(GetWindowLongPtrW(GetDlgItem(h, IDC_BREMIND), GWLP_USERDATA));
    ASSERT_NE(button, nullptr);
    button->Menus = &ending;
    SendMessageW(button->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(aliveInside) << "destroyed while its button's menu was open";
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_GT(alarms.ReadAlarm(id).RDateTime, 0.0) << "the choice made in the menu still counts";
}

TEST_F(MessageWindow, EditDoesNothingForTheTestWindow) {
    TfrmOnAlarm* w = Open(0);
    w->imgEditClick();
    EXPECT_TRUE(edits.empty());
    EXPECT_EQ(list.Count(), 1);
}

TEST(AlarmWindows, ListClosesWhatIsStillOpen) {
    StoredAlarms stored;
    HWND h;
    {
        FakeWindowHost host;
        TAlarmWindows list;
        AlarmWindowDeps deps;
        deps.alarms = &stored.alarms;
        h = TfrmOnAlarm::Open(deps, host, host, list, AlarmWindowRequest{0, 0, L"x"})->hwnd();
    }
    EXPECT_FALSE(IsWindow(h));
}

}  // namespace

namespace {

TEST_F(MessageWindow, EscapeThroughTheMessageLoopClosesLikeOk) {
    int id = OnceAutoDelete();
    TfrmOnAlarm* w = Open(id);
    HWND h = w->hwnd();
    HWND ok = GetDlgItem(h, IDOK);
    PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (list.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(sound.stops, 1);
    EXPECT_EQ(alarms.AlarmCount(), 0);
}

TEST_F(MessageWindow, OtherWindowsMessagesAreNotTaken) {
    Open(0);
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG msg{other, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_FALSE(list.PreTranslate(msg));
    DestroyWindow(other);
}

}  // namespace

// The snooze button as a person sees it: the owner-drawn button with its clock glyph at the right, which
// looks different under the mouse; the edit picture beside it.
TEST_F(MessageWindow, SnoozeButtonIsOwnerDrawnWithItsClockGlyph) {
    TfrmOnAlarm* w = Open(0);
    ASSERT_NE(w, nullptr);
    HWND snooze = GetDlgItem(w->hwnd(), IDC_BREMIND);
    wchar_t cls[64] = L"";
    GetClassNameW(snooze, cls, 64);
    ASSERT_STREQ(cls, L"TTmqButton");
    RECT r{};
    GetClientRect(snooze, &r);
    auto render = [&] {
        DibCanvas canvas(r.right, r.bottom);
        SendMessageW(snooze, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
        std::vector<COLORREF> px;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x) px.push_back(canvas.Pixel(x, y));
        return px;
    };
    const std::vector<COLORREF> normal = render();
    int rimLeft = r.right, rim = 0;
    for (int i = 0; i < static_cast<int>(normal.size()); ++i)
        if (normal[static_cast<size_t>(i)] == RGB(160, 40, 40)) {
            ++rim;
            rimLeft = std::min<int>(rimLeft, i % r.right);
        }
    EXPECT_GT(rim, 10) << "the clock glyph's rim";
    EXPECT_GT(rimLeft, r.right / 2) << "the glyph stands at the right";
    SendMessageW(snooze, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));   // the mouse comes over it
    EXPECT_NE(render(), normal) << "the hot look differs";

    // Choosing from the button's menu snoozes through the same road as the window's own command.
    ChooseFromMenu(w, RowOf(L"15 min"));
    EXPECT_EQ(w->RemindCaption(), L"Remind again in 15 min");
    HWND edit = GetDlgItem(w->hwnd(), IDC_IMGEDIT);
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_STYLE) & BS_OWNERDRAW);
    std::string problems;
    for (const std::string& p : LayoutProblems(w->hwnd())) problems += "\n  " + p;
    EXPECT_TRUE(problems.empty()) << problems;
}

// The clock glyph's hands are black on the white face; the colour the button keys out is the corners'.
TEST_F(MessageWindow, ClockGlyphShowsItsHands) {
    TfrmOnAlarm* w = Open(0);
    ASSERT_NE(w, nullptr);
    HWND snooze = GetDlgItem(w->hwnd(), IDC_BREMIND);
    RECT r{};
    GetClientRect(snooze, &r);
    DibCanvas canvas(r.right, r.bottom);
    SendMessageW(snooze, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    RECT rim{r.right, r.bottom, 0, 0};   // the glyph's box, by its rim
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            if (canvas.Pixel(x, y) == RGB(160, 40, 40)) {
                rim.left = std::min<LONG>(rim.left, x), rim.top = std::min<LONG>(rim.top, y);
                rim.right = std::max<LONG>(rim.right, x + 1), rim.bottom = std::max<LONG>(rim.bottom, y + 1);
            }
    ASSERT_EQ(rim.right - rim.left, 14);   // the rim of the 16-pixel glyph
    int hands = 0, magenta = 0;
    for (int y = rim.top; y < rim.bottom; ++y)
        for (int x = rim.left; x < rim.right; ++x) {
            hands += canvas.Pixel(x, y) == RGB(0, 0, 0);
            magenta += canvas.Pixel(x, y) == RGB(255, 0, 255);
        }
    EXPECT_GE(hands, 8) << "the minute hand (6 pixels) and the hour hand (3)";
    EXPECT_EQ(magenta, 0) << "the corners are keyed out";
}
