// The main form's roads when Setting.ini is held by another program: nothing of the user's is lost
// and no failure goes unreported.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/main_form.h"
#include "app/main_form_fixture.h"
#include "base/handles.h"
#include "base/inifile.h"
#include "base/locale_text.h"
#include "base/text.h"
#include "clock/command_messages.h"
#include "support/test_support.h"

using namespace vt;
using vt::test::MainFormTest;

namespace {
constexpr WPARAM kAlarmCheckTimer = 2;   // the form's 900 ms check
}

TEST_F(MainFormTest, SettingsLockedAtStartAreReportedNeverWrittenOverAndReadOnceFree) {
    test::InstallExceptionRecorder();
    test::TakeShownExceptions();
    const std::wstring file = dir.path() + L"Setting.ini";
    IniFile(file).WriteString(L"Options", L"Prefix", L"Mine");
    IniFile(file).WriteString(L"Options", L"ShowSeconds", L"1");
    UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    TfrmClock& f = Start();
    auto shown = test::TakeShownExceptions();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(L"Setting.ini"), std::wstring::npos) << shown[0];
    EXPECT_EQ(f.Options().prefix, L"unknown");   // the defaults meanwhile
    Send(WM_SETSHOWDATE, 0);
    holder.reset();
    Send(WM_TIMER, kAlarmCheckTimer);   // the file can be read again
    EXPECT_EQ(f.Options().prefix, L"Mine");
    Send(WM_SETSHOWDATE, 0);   // a change after the read is saved over the user's own values
    EXPECT_EQ(Stored(L"Prefix"), L"Mine");
    EXPECT_EQ(Stored(L"ShowSeconds"), L"1");
    EXPECT_EQ(Stored(L"ShowDate"), L"0");
    EXPECT_TRUE(test::TakeShownExceptions().empty());
}

TEST_F(MainFormTest, SettingsReadOnceFreeKeepTheStoredZoneAndNextSync) {
    test::InstallExceptionRecorder();
    const std::wstring file = dir.path() + L"Setting.ini", tomorrow = DateTimeToText(clock.now + 1);
    // A zone beyond the list, a synchronisation every hour, the next one due tomorrow.
    test::WriteFileBytes(file, "[Options]\r\nItemZone=9999\r\nEvery=1\r\nNextSync=" + Narrow(tomorrow) + "\r\n");
    UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    TfrmClock& f = Start();
    holder.reset();
    Send(WM_TIMER, kAlarmCheckTimer);   // read now
    SendMessageW(f.Page(5), WM_TIMER, 4, 0);   // the synchronisation's tick: not due before tomorrow
    Send(WM_SETSHOWDATE, 0);
    EXPECT_EQ(Stored(L"NextSync"), tomorrow);
    EXPECT_EQ(Stored(L"ItemZone"), L"9999");
    test::TakeShownExceptions();
}

TEST_F(MainFormTest, SettingsLockedUntilTheEndAreNotWrittenOverByTheLastSave) {
    test::InstallExceptionRecorder();
    const std::wstring file = dir.path() + L"Setting.ini";
    IniFile(file).WriteString(L"Options", L"Prefix", L"Mine");
    UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    Start();
    holder.reset();   // let go just before the program ends: its last save must not write the defaults
    form.reset();
    test::TakeShownExceptions();
    EXPECT_EQ(Stored(L"Prefix"), L"Mine");
}

TEST_F(MainFormTest, RandomSkinThatCannotBeSavedIsReported) {
    test::InstallExceptionRecorder();
    const std::wstring file = dir.path() + L"Setting.ini";
    IniFile(file).WriteString(L"Options", L"SkinName", L"Gold");
    Start();
    test::TakeShownExceptions();
    // Another program reads the file and lets nobody write it.
    UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    Send(WM_RANDOMSKIN);
    auto shown = test::TakeShownExceptions();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(L"Setting.ini"), std::wstring::npos) << shown[0];
}

TEST_F(MainFormTest, ASaveThatFailsOnceTheEndHasBegunOpensNoBox) {
    test::InstallExceptionRecorder();   // a box then would hold the end up until someone answered it
    const std::wstring file = dir.path() + L"Setting.ini";
    IniFile(file).WriteString(L"Options", L"Prefix", L"Mine");
    for (UINT ending : {UINT{WM_QUERYENDSESSION}, WM_QUITPROGRAM}) {
        Start();
        test::TakeShownExceptions();
        UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
        Send(ending);   // each saves the options, which the file refuses
        form.reset();
        EXPECT_TRUE(test::TakeShownExceptions().empty()) << ending;
    }
}
