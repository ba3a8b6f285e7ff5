#include "app/clock_painter_link.h"

namespace vt {

bool ProgramClockPainter::HasTaskbarWindows() {
    ITaskbar& taskbar = ClockPaint().Taskbar();
    return taskbar.TaskbarWindow() != nullptr && taskbar.ClockWindow() != nullptr;
}

void ProgramClockPainter::ReleaseWeatherIcon() { ClockPaint().Options().WeatherIconPicture = {}; }

}  // namespace vt
