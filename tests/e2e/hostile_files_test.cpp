// End to end: damaged and absurd settings and alarm files never keep the program from ending at quit.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/real_program.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

std::wstring AbsurdAlarm(int id, const std::wstring& type, const std::wstring& dateTime, const std::wstring& extra) {
    return L"[Alarm" + std::to_wstring(id) + L"]\r\nid=" + std::to_wstring(id) + L"\r\nType=" + type +
           L"\r\nDateTime=" + dateTime + L"\r\nEnabled=1\r\nMessageEn=1\r\nMessage=x\r\n" + extra;
}

struct Case {
    const char* name;
    std::wstring settings;   // Setting.ini, empty: none
    std::wstring alarms;     // alarms.ini, empty: none
    std::string junk;        // raw bytes for Setting.ini instead
};

class HostileFiles : public testing::TestWithParam<int> {};

std::vector<Case> Cases() {
    std::wstring alarms = AbsurdAlarm(1, L"Daily", L"nan", L"") + AbsurdAlarm(2, L"Once", L"inf", L"") +
                          AbsurdAlarm(3, L"Weekly", L"-1e308", L"Weeks=0000000\r\n") +
                          AbsurdAlarm(4, L"Regular", L"45000", L"Min=0\r\nAfterTime=0\r\nBeforeTime=0\r\n") +
                          AbsurdAlarm(5, L"Monthly", L"1e308", L"DayOfMonth=99\r\n") +
                          AbsurdAlarm(6, L"Annualy", L"45000", L"Day=40\r\nMonth=13\r\n") +
                          AbsurdAlarm(7, L"Hourly", L"45000", L"Min=-5\r\nSoundPause=2000000000\r\n") +
                          AbsurdAlarm(8, L"Sometimes", L"1", L"ActiveTime=1\r\nSoundEn=1\r\nSoundFile=Q:\\none.wav\r\n");
    std::wstring settings =
        L"[Options]\r\nItemZone=99999\r\nActivePage=99\r\nClick=77\r\nEvery=99\r\nNextSync=nan\r\nLastSync=inf\r\n"
        L"Color1=-5\r\nSkinName=..\\..\\..\\Windows\r\nShowSeconds=1\r\nUpTime=1\r\nTemper=99999999999999999999\r\n"
        L"Prefix=" + std::wstring(100000, L'x') + L"\r\n";
    std::string junk;
    for (int i = 0; i < 20000; ++i) junk += static_cast<char>((i * 131) & 0xFF);
    return {{"absurd alarms", L"", alarms, ""}, {"absurd options", settings, L"", ""}, {"binary options", L"", L"", junk}};
}

}  // namespace

TEST_P(HostileFiles, QuitEndsTheProgram) {
    const Case c = Cases()[static_cast<size_t>(GetParam())];
    EndStrayPrograms();
    TempDir dir;
    if (!c.settings.empty()) WriteUtf16File(dir.File(L"Setting.ini"), c.settings);
    if (!c.junk.empty()) WriteFileBytes(dir.File(L"Setting.ini"), c.junk);
    if (!c.alarms.empty()) WriteUtf16File(dir.File(L"alarms.ini"), c.alarms);
    SettingsIn(dir.path());
    Process p = LaunchProgram();
    ASSERT_TRUE(p.process);
    ASSERT_TRUE(WaitUntil([] { return MainWindow() != nullptr; }, 30000)) << c.name;
    Sleep(1500);   // the first ticks of the clock and the alarm check run
    QuitProgram();
    EXPECT_EQ(ExitCodeAfter(p, 2000), 0u) << c.name;
    EndStrayPrograms();
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFiles, testing::Range(0, 3));
