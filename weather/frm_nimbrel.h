// TfrmNimbrel: the desktop forecast widget, a borderless layered window showing the forecast picture,
// dragged with the mouse, with a popup menu for the weather choice, the wind, the shadow and "Always On
// Top". It owns no weather: it reads the weather page's last reply each time it draws.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/alpha_bitmap.h"
#include "controls/hints.h"
#include "base/handles.h"
#include "base/unwind.h"
#include "base/window.h"
#include "weather/forecast_draw.h"
#include "weather/weather_store.h"

namespace vt {

// What the widget reaches elsewhere.
class INimbrelHost {
public:
    virtual std::wstring ReplyXml() = 0;     // the weather page's last reply, empty when there is none
    virtual bool MetricUnits() = 0;          // the weather page's "Metric Units" is chosen
    virtual void UpdateWeather() = 0;        // "Update Now": the weather page's onGetWeather
    virtual void ShowWeatherPage() = 0;      // "Enter Location...": main dialog on its weather page
    // The clock window the program is attached to: moves over the widget keep its hover from leaving.
    virtual HWND ClockWindow() = 0;
    virtual void DragWindow(HWND widget) = 0;                    // the move loop
    virtual void ForecastMessage(const std::wstring& text) = 0;  // a message box
    virtual void EditFile(const std::wstring& file) = 0;         // "Edit current skin..."

protected:
    ~INimbrelHost() = default;
};

// The desktop's share of a widget host: the system's move loop, a plain message box, the shell's "edit" verb.
class SystemNimbrelActions : public INimbrelHost {
public:
    void DragWindow(HWND widget) override;
    void ForecastMessage(const std::wstring& text) override;
    void EditFile(const std::wstring& file) override;

protected:
    ~SystemNimbrelActions() = default;
};

class ForecastWidgetSlot;

// The stored values under the widget's registry key ("Forecast" under the program key).
struct NimbrelSettings {
    bool hasPosition = false;
    POINT position{491, 125};
    int SelectedWeather = kWeatherCurrent;
    int weatherMark = kWeatherCurrent;   // the radio item checked in the menu; -1 none. Ctrl+N leaves it.
    std::wstring sSkinName = kDefaultForecastSkin;
    std::wstring foundPlace;
    bool showWind = true, onTop = true, displayShadow = true;
};
NimbrelSettings LoadNimbrelSettings(const RegistryPlace& place);
void SaveNimbrelSettings(const RegistryPlace& place, const NimbrelSettings& settings);
// The position moved so that at least a corner of a width x height window lies on the screens.
POINT VisiblePosition(POINT wanted, int width, int height, const RECT& screens);

inline RegistryPlace DefaultForecastStore() { return RegistryPlace{}.Sub(L"Forecast"); }

class TfrmNimbrel : public Window<TfrmNimbrel> {
public:
    // Menu commands.
    enum Command : UINT {
        kShowWind1 = 1, kGetWeather1, kwCurrent, kwToday, kwTomorrow, kUpdateNow1, kOnTop1, kDisplayShadow1, kExit1,
        kEditCurrentSkin1, kSkinFirst = 100
    };
    // The slot frees the widget when its close button closes it.
    TfrmNimbrel(INimbrelHost& host, ForecastWidgetSlot& slot, std::wstring programDir,
                RegistryPlace store = DefaultForecastStore());
    ~TfrmNimbrel() override;

    // FormCreate: the hidden layered window, drawn once with the initial values. A window that cannot be
    // made, or made layered, is reported in a message box.
    bool Create();
    // Restores the stored values and position, draws, and shows the widget in front. This and
    // OnDrawWidget count as the program's code while they run (they may show a message box): a widget
    // closed meanwhile goes once they have returned.
    void Show();
    // "Close" in the menu: hidden, kept alive; the values are stored.
    void Exit1Click();
    // Closing (close button, or the main form when the hover leaves): stores, hides and minimises, so
    // the next window is activated. The owner frees it, through DeleteWhenUnwound: its menu, move loop
    // or message box may be what delivered the close.
    void FormClose();
    // Recomposes the picture from the weather page's reply and hands it to the window.
    void OnDrawWidget();

    void OnSelectWeather(int tag);
    // Ctrl+N and Ctrl+Click: current, today, tomorrow, current...
    void AdvanceWeather();
    void ChooseSkin(const std::wstring& name);   // inmSkinsClick
    void ShowWind1Click();
    void DisplayShadow1Click();
    void OnTop1Click();
    void imgCloseClick();

    // The popup menu as it opens (the skin list rebuilt each time).
    UniqueMenu BuildPopupMenu();
    void OnMenuCommand(UINT id);

    const ForecastFields& Fields() const { return fields_; }
    const NimbrelSettings& Settings() const { return settings_; }
    const ForecastFont& Font() const { return font_; }
    const ForecastPicture& Picture() const { return picture_; }

    static void RegisterClass();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    friend class Window<TfrmNimbrel>;
    void SavePlacement();
    void RestorePlacement();
    void ShowPopupMenu(POINT screen);
    void Present();
    void Message(const std::wstring& text);
    void ReportSkinError();
    bool InCloseButton(LPARAM lp) const;
    // Dragging with the right or middle button (the system's move loop follows the left one only).
    void BeginButtonDrag(UINT button);
    void DragTo(POINT screen);
    bool EndButtonDrag();   // whether the widget moved
    void ShowMenuHint(HMENU menu, UINT item, UINT flags);
    std::wstring ForecastDir() const { return programDir_ + L"Forecast\\"; }

    INimbrelHost& host_;
    ForecastWidgetSlot& slot_;
    std::wstring programDir_;
    RegistryPlace store_;
    NimbrelSettings settings_;
    ForecastFields fields_;
    ForecastFont font_;
    PictureCache pictures_;   // decoded once for all the widget's drawings
    ForecastPicture picture_;
    std::vector<std::wstring> menuSkins_;
    UniqueMenu skinsMenu_;   // rebuilt as the menu opens, but not offered in it
    THints* menuHints_ = nullptr;   // the item hints while the menu is up
    struct ButtonDrag {
        UINT button = 0;   // MK_RBUTTON or MK_MBUTTON while a drag runs
        POINT start{}, origin{};
        bool moved = false;
    } drag_;
    bool closePressed_ = false;
};

// The main form's one widget: none until first use, freed by the main form, or by the widget's own
// close button through the slot.
class ForecastWidgetSlot {
public:
    ForecastWidgetSlot(INimbrelHost& host, std::wstring programDir, RegistryPlace store = DefaultForecastStore());
    ForecastWidgetSlot(const ForecastWidgetSlot&) = delete;
    ForecastWidgetSlot& operator=(const ForecastWidgetSlot&) = delete;

    // Create on first use, then show (WeatherForecast1Click, the hover action).
    void Show();
    // Close and free when it exists (the hover leaving the taskbar clock). Freeing waits until no code of
    // ours runs (base/unwind.h): get() is null at once, the widget itself goes after its loops.
    void Close();
    // Redraw when it exists (after every successful weather update).
    void Redraw();
    // The main form's end.
    void Free();
    TfrmNimbrel* get() const { return widget_.get(); }

private:
    friend class TfrmNimbrel;
    // The widget's close button; a widget already let go (its click still unwinding) frees nothing more.
    void Released(const TfrmNimbrel* widget) {
        if (widget_.get() == widget) DeleteWhenUnwound(std::move(widget_));
    }

    INimbrelHost& host_;
    std::wstring programDir_;
    RegistryPlace store_;
    std::unique_ptr<TfrmNimbrel> widget_;
    // The last skin failure reported: kept here, not in a widget, so that however a widget goes the
    // next one does not report it again.
    std::wstring reportedSkinError_;
};

}  // namespace vt
