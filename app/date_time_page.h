// "Date / Time": what the clock shows, what a click and the hover do, start-up and the taskbar clock.
#pragma once
#include "app/main_page.h"

namespace vt {

class TDateTimePage final : public TMainPage {
public:
    explicit TDateTimePage(IMainDialog& dialog);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // The date and week choices follow their boxes; none of them while the uptime shows.
    void UpdateTimeOptionControls();

private:
    void Init() override;
    void OnCommand(int id, int code, HWND control) override;
};

}  // namespace vt
