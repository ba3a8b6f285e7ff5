#include <gtest/gtest.h>

#include "alarms/alarm_fakes.h"
#include "alarms/alarms_page.h"
#include "resources/alarms_page_res.h"
#include "support/clock_skin_fixture.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {


class Page : public testing::Test, public IAlarmsPageHost {
protected:
    TempDir dir;
    FakeNow now{At(2024, 3, 4, 6, 0)};   // a Monday
    std::vector<std::pair<bool, int>> edits;
    std::vector<int> tests;
    std::vector<bool> enabledChanges;
    std::vector<int> labelChanges;
    std::vector<std::wstring> questions;
    bool answer = true;
    std::vector<TAlRecord> fired;
    FakeErrors errors;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    TAlarmsPage page{*this};
    std::unique_ptr<TAlarms> alarms;

    void SetUp() override {
        ASSERT_NE(page.Create(parent), nullptr);
        TAlarmsSeams seams;
        seams.list = &page;
        seams.switches = &page;
        alarms = std::make_unique<TAlarms>(dir.File(L"alarms.ini"), now,
                                           [this](const TAlRecord& a) { fired.push_back(a); }, errors,
                                           std::move(seams));
        page.SetAlarmList(alarms.get());
    }
    void TearDown() override { DestroyWindow(parent); }
    void EditAlarm(bool isNew, int id) override { edits.push_back({isNew, id}); }
    void TestAlarm(int id) override { tests.push_back(id); }
    void AlarmsSwitched(bool on) override { enabledChanges.push_back(on); }
    void LabelFilterChanged(int index) override { labelChanges.push_back(index); }
    bool ConfirmDelete(const std::wstring& text) override {
        questions.push_back(text);
        return answer;
    }

    int Add(const wchar_t* message, TDateTime when, const wchar_t* type = L"Daily", int label = 0, bool enabled = true) {
        TAlRecord a;
        a.Type = type;
        a.Weeks = L"1111111";
        a.DateTime = when;
        a.Enabled = enabled;
        a.MessageEn = true;
        a.Message = message;
        a.AlLabel = label;
        return alarms->AddAlarm(a);
    }
    int Count() const { return ListView_GetItemCount(page.lvAlarms); }
    std::wstring Text(int index, int column = 1) const {
        wchar_t buf[256] = {};
        ListView_GetItemText(page.lvAlarms, index, column, buf, 256);
        return buf;
    }
    std::vector<std::wstring> Column1() const {
        std::vector<std::wstring> r;
        for (int i = 0; i < Count(); ++i) r.push_back(Text(i));
        return r;
    }
    void Select(int index) {
        ListView_SetItemState(page.lvAlarms, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    bool Enabled(HWND h) const { return IsWindowEnabled(h) != FALSE; }
};

TEST_F(Page, ListsTheAlarmsWithTheirColumns) {
    Add(L"Tea\r\ntime", At(2024, 3, 4, 17, 0));
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Text(0, 1), L"Tea time");
    EXPECT_FALSE(Text(0, 2).empty());
    EXPECT_EQ(Text(0, 3), L"Daily");
    EXPECT_TRUE(ListView_GetCheckState(page.lvAlarms, 0));
    LVCOLUMNW c{};
    c.mask = LVCF_WIDTH;
    ListView_GetColumn(page.lvAlarms, 2, &c);
    EXPECT_EQ(c.cx, 135);
}

TEST_F(Page, UserCheckBoxWritesEnabledToTheFile) {
    int id = Add(L"a", At(2024, 3, 4, 17, 0));
    ListView_SetCheckState(page.lvAlarms, 0, FALSE);
    Pump();
    EXPECT_FALSE(alarms->ReadAlarm(id).Enabled);
    ASSERT_EQ(Count(), 1);
    EXPECT_FALSE(ListView_GetCheckState(page.lvAlarms, 0));
    ListView_SetCheckState(page.lvAlarms, 0, TRUE);
    Pump();
    EXPECT_TRUE(alarms->ReadAlarm(id).Enabled);
}

TEST_F(Page, RefillWritesNothing) {
    // Enabling by the user would move a past daily alarm on; a refill must leave it as stored.
    TDateTime past = At(2024, 3, 4, 5, 0);
    int id = Add(L"a", past, L"Daily", 0, false);
    TAlRecord a = alarms->ReadAlarm(id);
    a.Enabled = true;
    alarms->UpdateAlarm(a);
    alarms->Refresh();
    Pump();
    EXPECT_EQ(Ms(alarms->ReadAlarm(id).DateTime), Ms(past));
    EXPECT_TRUE(ListView_GetCheckState(page.lvAlarms, 0));
}

TEST_F(Page, EnableSwitchDisablesTheListAndStopsFiring) {
    Add(L"a", At(2024, 3, 4, 6, 0, 3));
    SendMessageW(page.chbEnAlarms, BM_CLICK, 0, 0);
    EXPECT_FALSE(page.AlarmsEnabled());
    EXPECT_FALSE(Enabled(page.lvAlarms));
    EXPECT_FALSE(Enabled(page.bNew));
    EXPECT_EQ(enabledChanges, std::vector<bool>{false});
    now.Advance(kOneMinute);
    alarms->Tick();
    EXPECT_TRUE(fired.empty());
    SendMessageW(page.grpnAlarms, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 3));
    SendMessageW(page.grpnAlarms, WM_LBUTTONUP, 0, MAKELPARAM(40, 3));
    EXPECT_TRUE(page.AlarmsEnabled());
    EXPECT_TRUE(Enabled(page.lvAlarms));
    alarms->Tick();
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(Page, LabelFilterListsOnlyThatLabel) {
    Add(L"birthday", At(2024, 3, 5, 7, 0), L"Daily", 1);
    Add(L"business", At(2024, 3, 5, 8, 0), L"Daily", 3);
    SendMessageW(page.cbAlarmsCategory, CB_SETCURSEL, 1, 0);
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CBALARMSCATEGORY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(page.cbAlarmsCategory));
    EXPECT_EQ(page.LabelFilter(), 1);
    EXPECT_EQ(Column1(), std::vector<std::wstring>{L"birthday"});
    SendMessageW(page.cbAlarmsCategory, CB_SETCURSEL, 0, 0);
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CBALARMSCATEGORY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(page.cbAlarmsCategory));
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(labelChanges, (std::vector<int>{1, 0})) << "each choice reaches the form, which stores it";
    wchar_t first[64] = {};
    SendMessageW(page.cbAlarmsCategory, CB_GETLBTEXT, 10, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, L"Phone Call");
}

TEST_F(Page, EachColumnClickReversesTheOrder) {
    Add(L"b", At(2024, 3, 5, 9, 0));
    Add(L"A", At(2024, 3, 5, 7, 0), L"Weekly");
    Add(L"c", At(2024, 3, 5, 8, 0), L"Once");
    page.ColumnClick(1);   // SortAscending starts true: the first click sorts descending
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"c", L"b", L"A"}));
    page.ColumnClick(1);
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"A", L"b", L"c"}));
    page.ColumnClick(2);
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"b", L"c", L"A"}));
    page.ColumnClick(3);   // Once 0, Weekly 3, Daily 2
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"c", L"b", L"A"}));
    EXPECT_EQ(page.ColumnToSort, 3);
    // A refill from elsewhere keeps the chosen order.
    alarms->Refresh();
    Pump();
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"c", L"b", L"A"}));
}

TEST_F(Page, SortByCheckState) {
    Add(L"on", At(2024, 3, 5, 9, 0));
    Add(L"off", At(2024, 3, 5, 7, 0), L"Daily", 0, false);
    page.SortAscending = false;
    page.ColumnClick(0);   // ascending: unchecked first
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"off", L"on"}));
}

TEST_F(Page, ButtonsFollowTheSelection) {
    Add(L"a", At(2024, 3, 5, 9, 0));
    EXPECT_FALSE(Enabled(page.bEdit));
    EXPECT_FALSE(Enabled(page.bDelete));
    EXPECT_FALSE(Enabled(page.bTest));
    Select(0);
    EXPECT_TRUE(Enabled(page.bEdit));
    EXPECT_TRUE(Enabled(page.bDelete));
    EXPECT_TRUE(Enabled(page.bTest));
    EXPECT_EQ(GetMenuState(page.PopupMenu(), IDM_AL_DELETE, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(Page, NewEditTestAndDoubleClickCallTheEditorWithIds) {
    int id = Add(L"a", At(2024, 3, 5, 9, 0));
    page.bEditClick();
    page.bTestClick();
    page.lvAlarmsDblClick();   // nothing selected: New, then Edit finds nothing
    EXPECT_EQ(edits, (std::vector<std::pair<bool, int>>{{true, 0}}));
    Select(0);
    SendMessageW(page.hwnd(), WM_COMMAND, IDM_AL_EDIT, 0);
    SendMessageW(page.hwnd(), WM_COMMAND, IDC_AL_BTEST, 0);
    EXPECT_EQ(edits.back(), std::make_pair(false, id));
    EXPECT_EQ(tests, std::vector<int>{id});
}

TEST_F(Page, DeleteAsksAndSelectsThePreviousRow) {
    Add(L"one", At(2024, 3, 5, 7, 0));
    Add(L"two", At(2024, 3, 5, 8, 0));
    int three = Add(L"three", At(2024, 3, 5, 9, 0));
    Select(2);
    answer = false;
    page.bDeleteClick();
    EXPECT_EQ(Count(), 3);
    answer = true;
    page.bDeleteClick();
    EXPECT_EQ(questions.back(), L"Delete Alarm \"three\" ?");
    EXPECT_NE(alarms->ReadAlarm(three).id, three);
    EXPECT_EQ(Column1(), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_EQ(page.SelectedIndex(), 1);
    Select(0);
    ListView_SetItemState(page.lvAlarms, 1, 0, LVIS_SELECTED);
    page.bDeleteClick();
    EXPECT_EQ(Column1(), std::vector<std::wstring>{L"two"});
    EXPECT_EQ(page.SelectedIndex(), -1);
    page.bDeleteClick();   // nothing selected: nothing asked
    EXPECT_EQ(questions.size(), 3u);
}

}  // namespace

namespace {

void DestroyImageList(HIMAGELIST l) noexcept { ImageList_Destroy(l); }
using UniqueImageList = Unique<HIMAGELIST, DestroyImageList>;

// Rows of the "Alarm" cell of list row 0 that hold ink, against the height of one text line.
struct Ink {
    int rows = 0;
    int lineHeight = 0;
};
Ink InkOfAlarmCell(HWND lv) {
    RECT cell{};
    ListView_GetSubItemRect(lv, 0, 1, LVIR_BOUNDS, &cell);
    RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    WindowDC dc(lv);
    SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(lv, WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    Ink ink;
    ink.lineHeight = tm.tmHeight;
    for (int y = cell.top + 1; y < cell.bottom - 1; ++y) {
        bool any = false;
        for (int x = cell.left + 2; x < cell.right - 2 && !any; ++x) {
            COLORREF c = GetPixel(dc.get(), x, y);
            any = c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
        ink.rows += any ? 1 : 0;
    }
    return ink;
}

TEST_F(Page, LongMessageWrapsOntoASecondLine) {
    UniqueImageList icons(ImageList_Create(32, 32, ILC_COLOR32, 1, 1));
    page.SetImageList(icons.get());
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    ShowWindow(page.hwnd(), SW_SHOWNOACTIVATE);
    ListView_SetColumnWidth(page.lvAlarms, 1, 90);
    int id = Add(L"short", At(2024, 3, 5, 9, 0));
    Ink one = InkOfAlarmCell(page.lvAlarms);
    EXPECT_GT(one.rows, 3);
    EXPECT_LE(one.rows, one.lineHeight);
    TAlRecord a = alarms->ReadAlarm(id);
    a.Message = L"Bring the long report with the figures of the whole quarter";
    alarms->UpdateAlarm(a);
    alarms->Refresh();
    Ink two = InkOfAlarmCell(page.lvAlarms);
    EXPECT_GT(two.rows, one.lineHeight + 2);
}

}  // namespace

namespace {

TEST_F(Page, PlacementKeepsSortColumnAndLabelFilter) {
    // A key of this process's own: other test programs keep theirs beside it at the same time.
    const std::wstring path = L"Software\\Dorminax\\VantoricTests\\AlarmsPage" + std::to_wstring(GetCurrentProcessId());
    Add(L"birthday", At(2024, 3, 5, 7, 0), L"Daily", 1);
    Add(L"business", At(2024, 3, 5, 8, 0), L"Daily", 3);
    page.ColumnClick(2);
    page.SetLabelFilter(3);
    {
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, path);
        page.SavePlacement(key);
    }
    page.ColumnToSort = 0;
    page.SetLabelFilter(0);
    alarms->Refresh();
    EXPECT_EQ(Count(), 2);
    {
        RegKey key = RegKey::Open(HKEY_CURRENT_USER, path);
        page.RestorePlacement(key);
        EXPECT_EQ(page.ColumnToSort, 2);
        EXPECT_EQ(page.LabelFilter(), 3);
        EXPECT_EQ(Column1(), std::vector<std::wstring>{L"business"});
    }
    {
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, path);
        key.WriteDword(L"cbAlarmsCategory.ItemIndex", 99);
        key.WriteDword(L"ColumnToSort", 7);
        page.RestorePlacement(key);
    }
    EXPECT_EQ(page.LabelFilter(), 0);
    EXPECT_EQ(page.ColumnToSort, 0);
    EXPECT_EQ(Count(), 2);
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Dorminax\\VantoricTests");   // only when left empty
}

}  // namespace

namespace {

// The page's header reads like every other title: white letters on the grey.
TEST_F(Page, TitleCaptionIsWhite) {
    HWND title = GetDlgItem(page.hwnd(), IDC_GRPNALARMS);
    RECT r{};
    GetClientRect(title, &r);
    ASSERT_GT(r.right, 60);
    DibCanvas canvas(r.right, r.bottom);
    SendMessageW(title, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    int white = 0, dark = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 20; x < r.right; ++x) {   // right of the check box
            const COLORREF c = canvas.Pixel(x, y);
            if (c == RGB(255, 255, 255)) ++white;
            else if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100) ++dark;
        }
    EXPECT_GT(white, 20) << "the caption's letters";
    EXPECT_EQ(dark, 0) << "no dark letters on the panel";
}

}  // namespace
