// "About": the program's name and version, and its web site.
#pragma once
#include <string>

#include "app/main_page.h"

namespace vt {

class TAboutPage final : public TMainPage {
public:
    TAboutPage(IMainDialog& dialog, std::wstring programTitle);
    void ModelToControls(const MainOptions&) override {}
    void ControlsToModel(MainOptions&) override {}

private:
    void Init() override;
    void OnCommand(int id, int code, HWND control) override;
    std::wstring programTitle_;
};

}  // namespace vt
