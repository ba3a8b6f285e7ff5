// The small pages of the main dialog: Date / Time, Time Zones, Proxy and About.
#pragma once
#include <string>

#include "app/main_page.h"

namespace vt {

// "Date / Time": what the clock shows, what a click and the hover do, start-up and the taskbar clock.
class TDateTimePage final : public TMainPage {
public:
    explicit TDateTimePage(IMainDialog& dialog);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // The date and week choices follow their boxes; none of them while the uptime shows.
    void UpdateTimeOptionControls();

private:
    void OnInitDialog() override;
    void OnPageCommand(int id, int code, HWND control) override;
};

// "Time Zones": the second zone the clock shows, with its prefix and date.
class TTimeZonesPage final : public TMainPage {
public:
    explicit TTimeZonesPage(IMainDialog& dialog);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // The zone list is read again each time the page opens; the stored index selects in it.
    void Shown() override;

private:
    void OnInitDialog() override;
    void OnPageCommand(int id, int code, HWND control) override;
    TgradientPanel title_;   // gradientPanel5, with chbShowTimeZone on it
};

// The proxy page, reached from the weather page's "Proxy..." and the menu; it has no tab.
class TProxyPage final : public TMainPage {
public:
    explicit TProxyPage(IMainDialog& dialog);
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // cbEnableProxyClick: enables the proxy fields, greys their labels and hands the settings on.
    void ApplyProxy();

private:
    void OnInitDialog() override;
    void OnPageCommand(int id, int code, HWND control) override;
    std::optional<LabelLook> LabelStyle(HWND label) override;
    TgradientPanel title_;   // pnEnableProxy, with cbEnableProxy on it
};

// "About": the program's name and version, and its web site.
class TAboutPage final : public TMainPage {
public:
    TAboutPage(IMainDialog& dialog, std::wstring programTitle);
    void ModelToControls(const MainOptions&) override {}
    void ControlsToModel(MainOptions&) override {}

private:
    void OnInitDialog() override;
    void OnPageCommand(int id, int code, HWND control) override;
    static constexpr int kPictureSize = 128;
    std::wstring programTitle_;
    UniqueIcon picture_;
};

}  // namespace vt
