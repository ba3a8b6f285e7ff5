#include <gtest/gtest.h>

#include "alarms/power_actions.h"
#include "fakes.h"

using namespace vt;
using namespace vt::test;

namespace {

TEST(PowerActions, ExitWindowsFlagsOfEachWord) {
    FakePower p;
    PerformAlarmAction(L"shutdown", p);
    PerformAlarmAction(L"restart", p);
    PerformAlarmAction(L"logon", p);
    EXPECT_EQ(p.exits, (std::vector<unsigned>{9u, 2u, 0u}));
    EXPECT_TRUE(p.states.empty());
}

TEST(PowerActions, RestartAfterShutdownDoesNotKeepPowerOff) {
    FakePower p;
    PerformAlarmAction(L"shutdown", p);
    PerformAlarmAction(L"restart", p);
    ASSERT_EQ(p.exits.size(), 2u);
    EXPECT_EQ(p.exits[1], 2u);
}

TEST(PowerActions, StandbySuspendsAndHibernateDoesNotNeitherForced) {
    FakePower p;
    PerformAlarmAction(L"standby", p);
    PerformAlarmAction(L"hibernate", p);
    ASSERT_EQ(p.states.size(), 2u);
    EXPECT_TRUE(p.states[0].suspend);
    EXPECT_FALSE(p.states[1].suspend);
    EXPECT_FALSE(p.states[0].force);
    EXPECT_FALSE(p.states[1].force);
}

TEST(PowerActions, MonitorOnlyTurnsTheDisplayOff) {
    FakePower p;
    EXPECT_TRUE(PerformAlarmAction(L"monitor", p));
    EXPECT_EQ(p.monitorOffs, 1);
    EXPECT_TRUE(p.exits.empty());
    EXPECT_TRUE(p.states.empty());
}

TEST(PowerActions, UnknownOrDifferentlyCasedWordDoesNothing) {
    FakePower p;
    for (const wchar_t* w : {L"", L"Shutdown", L"reboot", L"monitor "}) EXPECT_FALSE(PerformAlarmAction(w, p)) << w;
    EXPECT_EQ(p.Total(), 0);
}

TEST(PowerActions, DoShutdownBeforeAnyModeRestartsAndForceAddsItsFlag) {
    FakePower p;
    TShutdown s(p);
    s.DoShutdown();
    s.ShutdownForce = true;
    s.DoShutdown();
    EXPECT_EQ(p.exits, (std::vector<unsigned>{2u, 6u}));
    s.ShutdownMode = TShutdownMode::Hibernate;
    s.DoShutdown();
    ASSERT_EQ(p.states.size(), 1u);
    EXPECT_TRUE(p.states[0].force);
}

}  // namespace
