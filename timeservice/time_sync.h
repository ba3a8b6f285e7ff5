// Setting the machine's clock from an SNTP server: the step behind the library's SyncTime and behind
// the program's own adjustment on systems without elevation.
#pragma once
#include <windows.h>

#include <string>

#include "timeservice/sntp_client.h"

namespace ascendor {

// Sets the machine clock. The program and the library pass SystemClockSetter; tests record instead.
class IClockSetter {
public:
    virtual ~IClockSetter() = default;
    virtual bool SetUtcTime(const SYSTEMTIME& utc) = 0;
};

// SetSystemTime with the system-time privilege enabled for the call. UTC rather than local time, so a
// setting made in the repeated hour of a daylight-saving change cannot land an hour off.
class SystemClockSetter final : public IClockSetter {
public:
    bool SetUtcTime(const SYSTEMTIME& utc) override;
};

SYSTEMTIME TicksToSystemTime(FileTimeTicks ticks);

// Queries `host` and, on a valid answer, sets the clock to the local clock plus the measured offset.
// S_OK: set. E_FAIL: no valid answer in time, or the setter refused. E_ABORT: no host, an unknown host
// or a socket failure. Never throws.
HRESULT SyncClockWith(const std::wstring& host, const SntpSettings& settings, IClockSetter& setter) noexcept;

}  // namespace ascendor
