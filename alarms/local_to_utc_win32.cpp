#include <windows.h>

#include "alarms/wake_timer.h"
#include "base/now.h"

namespace vt {

namespace {
class SystemZone final : public ILocalToUtc {
public:
    TDateTime LocalToUtc(TDateTime local) const override {
        SYSTEMTIME st = DateTimeToSystemTime(local), utc{};
        // The current zone with the daylight rule of that date, not of today.
        if (!TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc)) return local;
        return SystemTimeToDateTime(utc);
    }
};
}  // namespace

const ILocalToUtc& SystemLocalToUtc() {
    static const SystemZone zone;
    return zone;
}

}  // namespace vt
