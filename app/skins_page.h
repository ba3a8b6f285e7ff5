// "Skins": the skin list, the transparent clock and the gradient behind the digits.
#pragma once
#include <string>

#include "app/main_page.h"
#include "clock/options_file.h"

namespace vt {

class TSkinsPage final : public TMainPage {
public:
    // `store` names the options file the painter reads; `skinsDir` ends with a backslash.
    TSkinsPage(IMainDialog& dialog, const OptionsStore& store, std::wstring skinsDir);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    void Shown() override;
    // A chosen skin, with the gradient colours its key colour suggests.
    void ChooseSkin(const std::wstring& name);
    // lvSkins' click and key release: the selected skin again; nothing without a selection.
    void ApplySelectedSkin();
    // The quick menu's and the click action's random skin, transparent or not at random.
    void RandomSkin();

private:
    void OnInitDialog() override;
    void OnPageCommand(int id, int code, HWND control) override;
    void OnPageNotify(const NMHDR& nm) override;
    bool OnDrawItem(DRAWITEMSTRUCT* item) override;
    void UpdateGradientControls();
    void ChooseShapeColor(int id);

    UniqueImageList images_;       // the list's small picture
    TgradientPanel currentSkin_;   // gradientPanel4: "Current skin: " and the skin's name
    const OptionsStore& store_;   // follows a change of the settings folder
    std::wstring skinsDir_;
};

}  // namespace vt
