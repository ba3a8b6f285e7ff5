// The main form's road to the program's one clock painter.
#pragma once
#include "app/main_form.h"
#include "clock/clock_paint.h"

namespace vt {

class ProgramClockPainter final : public IClockPainter {
public:
    void InitClockPaint(const std::wstring& skinsDir) override { vt::InitClockPaint(skinsDir); }
    void LoadClockOptions(const std::wstring& settingsDir) override { vt::LoadClockOptions(settingsDir); }
    bool HasTaskbarWindows() override;
    bool IsTaskbarVertical() override { return vt::IsTaskbarVertical(); }
    int CalcClockWidth() override { return vt::CalcClockWidth(); }
    int CalcClockHeight() override { return vt::CalcClockHeight(); }
    void UpdateClockDigits() override { vt::UpdateClockDigits(); }
    bool PictureOutdated() override { return vt::ClockPaint().PictureOutdated(); }
    void ReleaseWeatherIcon() override;
    void PaintClock(HDC dc, const RECT& clientRect, std::uint64_t background) override {
        vt::ClockPaint().PaintClockCached(dc, clientRect, background);
    }
};

}  // namespace vt
