// The record the entry points send and the clock window's command and click table, without windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "clock/clock_hook.h"
#include "clock/command_messages.h"
#include "clock/tray_protocol.h"

namespace vt {
namespace {

HWND FakeHandle(std::intptr_t v) { return reinterpret_cast<HWND>(v); }

std::optional<ClockCopyData> Unpack(const ClockCopyBytes& bytes) {
    return UnpackClockCopyData(kClockCopyDataKind, static_cast<DWORD>(bytes.size()), bytes.data());
}

TEST(ClockCopyData, LayoutIsFixedAndTextsAreUtf8) {
    auto bytes = PackClockCopyData({L"C:\\Uhr\u00e9\\skins\\", L"Gold", FakeHandle(0x00012A34)});
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 464u);
    const std::string path = "C:\\Uhr\xc3\xa9\\skins\\";
    EXPECT_EQ(std::memcmp(bytes->data(), path.data(), path.size()), 0);
    EXPECT_EQ((*bytes)[path.size()], 0);
    EXPECT_EQ(std::memcmp(bytes->data() + 260, "Gold", 5), 0);
    EXPECT_EQ((*bytes)[460], 0x34);
    EXPECT_EQ((*bytes)[461], 0x2A);
    EXPECT_EQ((*bytes)[462], 0x01);
    EXPECT_EQ((*bytes)[463], 0x00);
}

TEST(ClockCopyData, RoundTrips) {
    const std::vector<ClockCopyData> records = {
        {L"C:\\Program Files\\Vantoric\\skins\\", L"Dark Blue", FakeHandle(0x10086)},
        {L"D:\\\u0423\u0445\u0440\\skins", L"\u00c9t\u00e9", FakeHandle(0x7FFF1234)},
        {L"", L"", nullptr},
    };
    for (const auto& r : records) {
        auto bytes = PackClockCopyData(r);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(Unpack(*bytes), r);
    }
#ifdef _WIN64
    // A handle whose 32-bit value has the top bit set comes back sign-extended, as the system makes it.
    ClockCopyData high{L"x", L"y", FakeHandle(static_cast<std::int32_t>(0xFFFF1234))};
    auto bytes = PackClockCopyData(high);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(Unpack(*bytes)->mainWindow, high.mainWindow);
    EXPECT_FALSE(PackClockCopyData({L"x", L"y", FakeHandle(0x123456789)})) << "no window handle is that wide";
#endif
}

TEST(ClockCopyData, TextsThatDoNotFitAreRefusedNotCut) {
    EXPECT_TRUE(PackClockCopyData({std::wstring(259, L'a'), L"", nullptr}));
    EXPECT_FALSE(PackClockCopyData({std::wstring(260, L'a'), L"", nullptr}));
    // Two bytes each in UTF-8: 129 fit with the terminator, 130 do not.
    EXPECT_TRUE(PackClockCopyData({std::wstring(129, L'\u00e9'), L"", nullptr}));
    EXPECT_FALSE(PackClockCopyData({std::wstring(130, L'\u00e9'), L"", nullptr}));
    EXPECT_TRUE(PackClockCopyData({L"", std::wstring(199, L'b'), nullptr}));
    EXPECT_FALSE(PackClockCopyData({L"", std::wstring(200, L'b'), nullptr}));
    EXPECT_FALSE(PackClockCopyData({std::wstring(L"C:\\a\0b", 6), L"", nullptr})) << "an inner zero would cut the path";
    EXPECT_FALSE(PackClockCopyData({std::wstring(1, static_cast<wchar_t>(0xD800)), L"", nullptr})) << "lone surrogate";
}

TEST(ClockCopyData, ForeignOrMalformedRecordsAreRefused) {
    auto good = PackClockCopyData({L"C:\\skins", L"Gold", FakeHandle(0x100)});
    ASSERT_TRUE(good);
    EXPECT_FALSE(UnpackClockCopyData(1, 464, good->data())) << "another kind of record";
    EXPECT_FALSE(UnpackClockCopyData(0, 463, good->data()));
    EXPECT_FALSE(UnpackClockCopyData(0, 465, good->data()));
    EXPECT_FALSE(UnpackClockCopyData(0, 0, good->data()));
    EXPECT_FALSE(UnpackClockCopyData(0, 464, nullptr));

    ClockCopyBytes noPathEnd = *good;
    std::memset(noPathEnd.data(), 'a', 260);
    EXPECT_FALSE(Unpack(noPathEnd)) << "the path must end inside its field";
    ClockCopyBytes noSkinEnd = *good;
    std::memset(noSkinEnd.data() + 260, 'b', 200);
    EXPECT_FALSE(Unpack(noSkinEnd)) << "the skin name must end before the handle";
    ClockCopyBytes badUtf8 = *good;
    badUtf8[3] = 0xFF;
    EXPECT_FALSE(Unpack(badUtf8));
}

// The record lies right before a page that may not be read: a reader that trusted its texts to end
// somewhere, or read a fixed size whatever cbData said, would fault here.
TEST(ClockCopyData, ReadsNothingPastTheBytesGiven) {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    const SIZE_T page = si.dwPageSize;
    auto* base = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(base, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(base + page, page, PAGE_NOACCESS, &old));

    unsigned char* record = base + page - kClockCopyDataSize;
    std::memset(record, 'a', kClockCopyDataSize);   // no terminator anywhere
    EXPECT_FALSE(UnpackClockCopyData(0, kClockCopyDataSize, record));
    unsigned char* shortRecord = base + page - 100;
    EXPECT_FALSE(UnpackClockCopyData(0, 100, shortRecord));

    auto good = PackClockCopyData({L"C:\\skins", L"Gold", FakeHandle(0x200)});
    std::memcpy(record, good->data(), good->size());
    auto read = UnpackClockCopyData(0, kClockCopyDataSize, record);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->skinsPath, L"C:\\skins");
    VirtualFree(base, 0, MEM_RELEASE);
}

struct MenuCase {
    unsigned command;
    std::uint8_t mode;
    UINT post;
    bool relayout;
};

TEST(MenuCommandAction, PostsTheMainFormsCommandMessages) {
    const MenuCase cases[] = {
        {kCmdShowMain, 0, WM_SHOWMAIN, false},       {kCmdQuit, 0, WM_QUITPROGRAM, false},
        {kCmdTime, 1, WM_TOGGLEUPTIME, true},        {kCmdTime, 0, 0, true},
        {kCmdUpTime, 0, WM_TOGGLEUPTIME, true},      {kCmdUpTime, 1, 0, true},
        {kCmdUpTime5, 0, WM_SHOWUPTIME5, true},      {kCmdUpTime5, 1, 0, true},
        {kCmdSyncTime, 0, WM_SYNCTIME, true},        {kCmdRandomSkin, 0, WM_RANDOMSKIN, true},
        {kCmdCalendar, 0, WM_CALENDAR, true},        {kCmdNewAlarm, 0, WM_NEWALARM, true},
        {kCmdWeatherSettings, 0, WM_WEATHERSETTINGS, true},
    };
    for (const auto& c : cases) {
        TClockOptions o;
        o.Mode = c.mode;
        auto a = MenuCommandAction(c.command, o);
        ASSERT_TRUE(a) << c.command;
        EXPECT_EQ(a->post, c.post) << c.command << " in mode " << int(c.mode);
        EXPECT_EQ(a->wParam, 0u);
        EXPECT_EQ(a->relayout, c.relayout) << c.command;
        EXPECT_FALSE(a->runDateTime);
        EXPECT_EQ(o.Mode, c.mode) << "the menu leaves the mode to the main form";
    }
    TClockOptions o;
    auto dt = MenuCommandAction(kCmdDateTimeProperties, o);
    ASSERT_TRUE(dt);
    EXPECT_EQ(*dt, ClockAction{.runDateTime = true});
}

TEST(MenuCommandAction, SwitchesToggleAndTellTheNewState) {
    struct Switch {
        unsigned command;
        bool TClockOptions::*option;
        UINT post;
    };
    const Switch switches[] = {
        {kCmdShowDate, &TClockOptions::ShowDate, WM_SETSHOWDATE},
        {kCmdWeekShow, &TClockOptions::WeekShow, WM_SETWEEKSHOW},
        {kCmdShowSeconds, &TClockOptions::ShowSeconds, WM_SETSHOWSECONDS},
        {kCmdTwelveHour, &TClockOptions::EnglishTime, WM_SET12HOUR},
        {kCmdTransparent, &TClockOptions::TransparentClock, WM_SETTRANSPARENT},
    };
    for (const auto& s : switches) {
        TClockOptions o;
        const bool before = o.*s.option;
        auto first = MenuCommandAction(s.command, o);
        ASSERT_TRUE(first);
        EXPECT_EQ(o.*s.option, !before);
        EXPECT_EQ(first->post, s.post);
        EXPECT_EQ(first->wParam, before ? 0u : 1u) << s.command;
        EXPECT_TRUE(first->relayout);
        EXPECT_EQ(first->repaintFirst, s.command == kCmdTransparent);
        auto second = MenuCommandAction(s.command, o);
        EXPECT_EQ(o.*s.option, before);
        EXPECT_EQ(second->wParam, before ? 1u : 0u);
    }
}

TEST(MenuCommandAction, UnknownCommandsAreNotTheClocks) {
    TClockOptions o;
    for (unsigned c : {0u, 99u, 102u, 203u, 205u, 209u, 212u, 215u, 299u, 305u, 0xFFFFu})
        EXPECT_FALSE(MenuCommandAction(c, o)) << c;
}

TEST(ClickAction, FollowsTheClickOption) {
    struct Case {
        int click;
        std::uint8_t mode;
        UINT post;
        std::uint8_t modeAfter;
    };
    const Case cases[] = {
        {0, 0, WM_SHOWMAIN, 0},   {2, 0, WM_RANDOMSKIN, 0}, {3, 0, WM_TOGGLEUPTIME, 1},
        {3, 1, WM_TOGGLEUPTIME, 0}, {4, 0, WM_SHOWUPTIME5, 0}, {4, 1, 0, 1},
        {5, 0, WM_CALENDAR, 0},   {6, 0, WM_FASTMENU, 0},       {7, 0, 0, 0},
        {-1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        TClockOptions o;
        o.Click = c.click;
        o.Mode = c.mode;
        ClockAction a = ClickAction(o);
        EXPECT_EQ(a.post, c.post) << "click " << c.click << " mode " << int(c.mode);
        EXPECT_EQ(o.Mode, c.modeAfter) << "click " << c.click;
        EXPECT_EQ(a.toFront, c.click == 0);
        EXPECT_EQ(a.runDateTime, false);
        EXPECT_FALSE(a.relayout);
    }
    TClockOptions o;
    o.Click = 1;
    EXPECT_EQ(ClickAction(o), ClockAction{.runDateTime = true});
}

}  // namespace
}  // namespace vt
