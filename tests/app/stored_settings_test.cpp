// What the main form keeps for the user and reads back: the zone choice, the time servers, the skin
// choice, and the new-version check through a proxy that asks for credentials.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/main_form_fixture.h"
#include "base/registry.h"
#include "base/text.h"
#include "clock/skin_list.h"
#include "clock/timezones.h"
#include "resources/resource.h"
#include "support/loopback_server.h"

using namespace vt;
using vt::test::MainFormTest;

namespace {

std::wstring ComboText(HWND combo) {
    wchar_t text[128] = L"";
    GetWindowTextW(combo, text, 128);
    return text;
}

std::wstring ComboItem(HWND combo, int i) {
    wchar_t text[128] = L"";
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return text;
}

void ClickListItem(HWND list, int index) {
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

}  // namespace

// A zone the registry list no longer has stays as stored: the clock shows local time for it, and the
// next save writes the same index back.
TEST_F(MainFormTest, AZoneBeyondTheListIsKeptAsStored) {
    const int beyond = TimeZoneCount() + 7;
    IniFile(dir.path() + L"Setting.ini").WriteInteger(L"Options", L"ItemZone", beyond);
    TfrmClock& f = Start();
    EXPECT_EQ(f.Options().itemZone, beyond);
    f.SelectPage(4);
    EXPECT_EQ(SendDlgItemMessageW(f.Page(4), IDC_LISTZONES, LB_GETCURSEL, 0, 0), LB_ERR);
    Send(WM_SETSHOWDATE, 1);   // saves the options
    EXPECT_EQ(Stored(L"ItemZone"), std::to_wstring(beyond));
    EXPECT_EQ(Stored(L"TimeZone"), std::to_wstring(beyond));
}

// The list of time servers is one text and its choice an index; a list kept under the earlier names
// is read once and then kept the new way.
TEST_F(MainFormTest, TimeServersAreKeptAsItemsAndIndexAndTheEarlierNamesAreTakenOver) {
    {
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, config.store.programKey);
        key.WriteDword(L"cbServer.Count", 2);
        key.WriteString(L"cbServer.Item0", L"one.example.test");
        key.WriteString(L"cbServer.Item1", L"two.example.test");
        key.WriteString(L"cbServer.Text", L"two.example.test");
        TfrmClock& f = Start();
        HWND combo = GetDlgItem(f.Page(5), IDC_CBSERVER);
        ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(ComboText(combo), L"two.example.test");
        Send(WM_QUITPROGRAM);
    }
    form.reset();
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, config.store.programKey);
    EXPECT_EQ(key.ReadString(L"cbServer.Items"), std::optional<std::wstring>(L"one.example.test\r\ntwo.example.test"));
    EXPECT_EQ(key.ReadDword(L"cbServer.ItemIndex"), std::optional<std::uint32_t>(1));
    for (const wchar_t* old : {L"cbServer.Count", L"cbServer.Item0", L"cbServer.Item1", L"cbServer.Text"})
        EXPECT_FALSE(key.ValueExists(old)) << Narrow(old);

    RegKey::Create(HKEY_CURRENT_USER, config.store.programKey).WriteDword(L"cbServer.ItemIndex", 0);
    TfrmClock& g = Start();
    HWND combo = GetDlgItem(g.Page(5), IDC_CBSERVER);
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ComboItem(combo, 1), L"two.example.test");
    EXPECT_EQ(ComboText(combo), L"one.example.test");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

// Clicking the skin that is selected already, or releasing a key on it, applies it again: the name is
// written and the gradient colours come from its key colour once more.
TEST_F(MainFormTest, TheSelectedSkinIsAppliedAgainByAClickOrAKeyRelease) {
    TfrmClock& f = Start();
    f.SelectPage(2);
    HWND list = GetDlgItem(f.Page(2), IDC_LVSKINS);
    ASSERT_GT(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    wchar_t name[MAX_PATH] = L"";
    LVITEMW item{};
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    COLORREF key = 0;
    ASSERT_TRUE(ReadSkinKeyColour(config.appDir + L"\\skins\\", name, key));
    const auto [first, second] = SkinGradientColours(key);

    ClickListItem(list, 0);
    ASSERT_EQ(Stored(L"SkinName"), name);
    for (int round = 0; round < 2; ++round) {
        IniFile(dir.path() + L"Setting.ini").WriteString(L"Options", L"SkinName", L"Elsewhere");
        f.Options().color1 = f.Options().color2 = 0x123456;
        if (round == 0) {
            ClickListItem(list, 0);
        } else {
            SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
            SendMessageW(list, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
        }
        EXPECT_EQ(Stored(L"SkinName"), name) << round;
        EXPECT_EQ(f.Options().color1, static_cast<int>(first)) << round;
        EXPECT_EQ(f.Options().color2, static_cast<int>(second)) << round;
        EXPECT_EQ(Stored(L"Color1"), std::to_wstring(first)) << round;
    }
}

namespace {

// A proxy that answers only requests carrying `expected` and otherwise asks for credentials in `scheme`.
struct ChallengingProxy {
    std::string expected;
    test::LoopbackServer server{[this](const std::string& head) {
        if (test::HeaderValue(head, "Proxy-Authorization") == expected) return test::Reply("false");
        auto r = test::Status(407, "Proxy Authentication Required", "");
        r.headers = "Proxy-Authenticate: Basic realm=\"loopback\"\r\n";
        return r;
    }};
};

BOOL CALLBACK FindShownDialog(HWND w, LPARAM found) {
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// The icon a message box of this thread shows, once it is up; the box is then closed.
HICON TakeMessageBoxIcon(DWORD thread, HWND& box) {
    const ULONGLONG start = GetTickCount64();
    while (!box && GetTickCount64() - start < 10000) {
        EnumThreadWindows(thread, FindShownDialog, reinterpret_cast<LPARAM>(&box));
        if (!box) Sleep(20);
    }
    HICON icon = nullptr;
    if (!box) return icon;
    for (HWND c = GetWindow(box, GW_CHILD); c && !icon; c = GetWindow(c, GW_HWNDNEXT))
        if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return icon;
}

}  // namespace

// "Check for New Version..." through an enabled proxy that asks for credentials: with Basic chosen they
// go with the request, without it they answer the proxy's challenge; "no new version" is an
// information box.
TEST_F(MainFormTest, TheVersionCheckPassesAProxyThatAsksForCredentials) {
    ChallengingProxy proxy{"Basic " + Base64("ann:s3cret")};
    const std::wstring nowhere = L"127.0.0.1:" + std::to_wstring(test::LoopbackServer::UnusedPort());
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", nowhere.c_str());
    {
        RegKey key = RegKey::Create(HKEY_CURRENT_USER, config.store.programKey);
        key.WriteString(L"edAddress.Text", L"127.0.0.1");
        key.WriteString(L"edPort.Text", std::to_wstring(proxy.server.port()));
        key.WriteString(L"edProxyUser.Text", L"ann");
        key.WriteString(L"edProxyPassword.Text", L"s3cret");
        key.WriteDword(L"cbEnableProxy.Checked", 1);
    }
    TfrmClock& f = Start();
    for (bool basic : {true, false}) {
        CheckDlgButton(f.Page(7), IDC_CBBASICAUTH, basic ? BST_CHECKED : BST_UNCHECKED);
        messages.clear();
        Send(WM_COMMAND, IDM_NEWVERSION);
        test::PumpUntil([&] { return !messages.empty(); }, 10000);
        EXPECT_EQ(messages, std::vector<std::wstring>{L"Vantoric: There is no new version available."}) << basic;
        const auto requests = proxy.server.Requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(test::HeaderValue(requests.back(), "Proxy-Authorization"), proxy.expected) << basic;
    }

    // The box itself, as the user sees it.
    system.realBoxes = true;
    form.reset();
    RegKey::Create(HKEY_CURRENT_USER, config.store.programKey).WriteDword(L"cbBasicAuthentication.Checked", 1);
    TfrmClock& g = Start();
    const DWORD thread = GetWindowThreadProcessId(g.hwnd(), nullptr);
    HWND box = nullptr;
    HICON icon = nullptr;
    std::atomic<bool> closed{false};
    std::thread watcher([&] {
        icon = TakeMessageBoxIcon(thread, box);
        closed = true;
    });
    g.CheckaNewVersion1Click();
    test::PumpUntil([&] { return closed.load(); }, 15000);
    watcher.join();
    test::PumpUntil([] { return false; }, 100);
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", nullptr);
    ASSERT_NE(box, nullptr) << "no message box came up";
    EXPECT_EQ(icon, LoadIconW(nullptr, IDI_INFORMATION));
}
