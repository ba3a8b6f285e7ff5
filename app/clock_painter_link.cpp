#include "app/clock_painter_link.h"

#include "clock/timezones.h"

namespace vt {

bool ProgramClockPainter::HasTaskbarWindows() {
    ITaskbar& taskbar = ClockPaint().Taskbar();
    return taskbar.TaskbarWindow() != nullptr && taskbar.ClockWindow() != nullptr;
}

void ProgramClockPainter::ReleaseWeatherIcon() { ClockPaint().Options().WeatherIconPicture = {}; }

std::optional<TDateTime> RegistryZoneClock::ZoneTimeFromUtc(int zoneIndex, TDateTime utcNow) const {
    return vt::ZoneTimeFromUtc(zoneIndex, utcNow);
}

}  // namespace vt
