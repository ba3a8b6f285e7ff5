#include <gtest/gtest.h>

#include "alarms/wake_timer.h"
#include "base/now.h"

TEST(SystemLocalToUtc, AgreesWithTheSystemClockNow) {
    // Reads the clock only: the local time now, converted, is the UTC time now.
    vt::TDateTime utc = vt::SystemClock().UtcNow();
    vt::TDateTime converted = vt::SystemLocalToUtc().LocalToUtc(vt::SystemClock().Now());
    EXPECT_NEAR((converted - utc) * vt::kSecondsPerDay, 0.0, 5.0);
}
