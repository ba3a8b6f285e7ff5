// The version check gives way at once when the program ends, whatever the server is doing.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/new_version.h"
#include "support/loopback_server.h"

using namespace vt;
using namespace vt::test;

TEST(NewVersionCheck, EndsAtOnceWhileTheServerTricklesItsStatusLine) {
    LoopbackServer server([](const std::string&) {
        return With(Reply("true"), [](ServedReply& r) {
            r.trickleMs = 1000;   // even the status line comes one byte a second
            r.trickleHead = true;
        });
    });
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", server.HostAndPort().c_str());
    auto check = std::make_unique<NewVersionCheck>(nullptr, WM_APP);
    ASSERT_TRUE(check->Start(L"1.2.3.4", ProxyOptions{}));
    const ULONGLONG asked = GetTickCount64();
    while (server.Requests().empty() && GetTickCount64() - asked < 5000) Sleep(20);
    ASSERT_FALSE(server.Requests().empty());
    Sleep(500);   // waiting for the status line
    const ULONGLONG start = GetTickCount64();
    check.reset();
    EXPECT_LT(GetTickCount64() - start, 1000u);
    SetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", nullptr);
}
