// "Now" as a seam: the program passes the system clock, tests pass a fake.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/datetime.h"

namespace vt {

class INow {
public:
    virtual ~INow() = default;
    virtual TDateTime Now() const = 0;      // local time
    virtual TDateTime UtcNow() const = 0;
    virtual std::uint64_t TickCount64() const = 0;  // milliseconds since the machine started
};

class SystemNow final : public INow {
public:
    TDateTime Now() const override;
    TDateTime UtcNow() const override;
    std::uint64_t TickCount64() const override { return GetTickCount64(); }
};

const INow& SystemClock();

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
SYSTEMTIME DateTimeToSystemTime(TDateTime value);

}  // namespace vt
