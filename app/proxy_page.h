// The proxy page, reached from the weather page's "Proxy..." and the menu; it has no tab.
#pragma once
#include "app/main_page.h"

namespace vt {

class TProxyPage final : public TMainPage {
public:
    explicit TProxyPage(IMainDialog& dialog);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // cbEnableProxyClick: enables the proxy fields and hands the settings on.
    void ApplyProxy();

private:
    void OnCommand(int id, int code, HWND control) override;
};

}  // namespace vt
