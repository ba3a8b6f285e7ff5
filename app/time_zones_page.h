// "Time Zones": the second zone the clock shows, with its prefix and date.
#pragma once
#include "app/main_page.h"

namespace vt {

class TTimeZonesPage final : public TMainPage {
public:
    explicit TTimeZonesPage(IMainDialog& dialog);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // The zone list is read again each time the page opens; the stored index selects in it.
    void Shown() override;

private:
    void OnCommand(int id, int code, HWND control) override;
};

}  // namespace vt
