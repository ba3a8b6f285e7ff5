// Seams of the wake-from-standby timer: the timer itself and the local-to-UTC conversion it needs.
#pragma once
#include <string>

#include "base/datetime.h"

namespace vt {

// A timer that brings the machine out of standby or hibernation at a given time.
class IWakeTimer {
public:
    virtual ~IWakeTimer() = default;
    // Arms for an absolute UTC time (replacing any earlier arming); false on failure.
    virtual bool Arm(TDateTime utcDue) = 0;
    virtual bool Cancel() = 0;
    // The system's text for the last failure.
    virtual std::wstring LastErrorText() const = 0;
};

// Local wall-clock time to UTC by the daylight rule in force on that local date.
class ILocalToUtc {
public:
    virtual ~ILocalToUtc() = default;
    virtual TDateTime LocalToUtc(TDateTime local) const = 0;
};

// The machine's own time-zone rules (TzSpecificLocalTimeToSystemTime).
const ILocalToUtc& SystemLocalToUtc();

}  // namespace vt
