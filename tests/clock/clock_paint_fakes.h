// Fakes for painting the clock at any instant on any taskbar shape.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <optional>

#include "clock/clock_paint.h"

namespace vt::test {

class FakeNow final : public INow {
public:
    TDateTime local = 0;
    TDateTime utc = 0;
    std::uint64_t ticks = 0;
    TDateTime Now() const override { return local; }
    TDateTime UtcNow() const override { return utc; }
    std::uint64_t TickCount64() const override { return ticks; }
    void Set(TDateTime localTime, double utcOffsetHours = 0) {
        local = localTime;
        utc = localTime - utcOffsetHours / 24.0;
    }
};

class FakeTaskbar final : public ITaskbar {
public:
    RECT clockClient{0, 0, 200, 40};
    SIZE taskbarSize{1024, 40};
    std::optional<UINT> edge = ABE_BOTTOM;
    bool shown = true;
    int locates = 0;

    void Locate() override { ++locates; }
    HWND TaskbarWindow() const override { return nullptr; }
    HWND ClockWindow() const override { return nullptr; }
    bool ClockWindowShown() const override { return shown; }
    RECT ClockClientRect() const override { return clockClient; }
    SIZE TaskbarClientSize() const override { return taskbarSize; }
    std::optional<UINT> TaskbarEdge() const override { return edge; }
};

// Zones at whole-hour offsets from UTC, by index.
class FakeZones final : public IZoneClock {
public:
    std::map<int, double> offsetHours;
    std::optional<TDateTime> ZoneTimeFromUtc(int zoneIndex, TDateTime utcNow) const override {
        auto it = offsetHours.find(zoneIndex);
        if (it == offsetHours.end()) return std::nullopt;
        return utcNow + it->second / 24.0;
    }
};

}  // namespace vt::test
