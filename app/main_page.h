// The pages of the main dialog that are made from a dialog template of their own. Each page reads and
// writes its part of the options; what it needs of the dialog around it goes through IMainDialog.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/window.h"
#include "controls/gradient_panel.h"
#include "controls/hints.h"
#include "clock/options_model.h"

namespace vt {

class IMainDialog {
public:
    virtual MainOptions& Options() = 0;
    // True while the dialog fills its controls from the options: the controls' notifications change nothing.
    virtual bool Loading() const = 0;
    virtual void ControlsToModel() = 0;    // every page's controls into the options
    virtual void ModelToControls() = 0;    // and back, after a change made outside the controls
    virtual void SaveOptions() = 0;
    virtual void RefreshClock() = 0;
    virtual void ReloadClockOptions() = 0;   // the painter reads the settings file again
    // A write to Setting.ini failed: shown as a failed SaveOptions is (once until a save succeeds).
    virtual void ReportOptionsSaveFailure() = 0;
    virtual void ProxyChanged(bool enabled) = 0;
    virtual void BackToTabPage() = 0;        // the proxy page has no tab of its own

protected:
    ~IMainDialog() = default;
};

class TMainPage : public Dialog {
public:
    // A check box and the option it shows.
    struct CheckOption {
        int id;
        bool MainOptions::*option;
    };
    TMainPage(IMainDialog& dialog, int templateId) : dialog_(dialog), templateId_(templateId) {}

    // The page window, hidden, as a child of the dialog; null when the template cannot be made.
    HWND Create(HWND parent) { return CreateModeless(parent, templateId_); }

    virtual void ModelToControls(const MainOptions& o) = 0;
    virtual void ControlsToModel(MainOptions& o) = 0;
    // The page came to the front.
    virtual void Shown() {}

protected:
    // The page's controls, while the dialog is not filling them from the options.
    virtual void OnPageCommand(int id, int code, HWND control) = 0;
    virtual void OnPageNotify(const NMHDR&) {}
    virtual bool OnDrawItem(DRAWITEMSTRUCT*) { return false; }
    virtual bool OnTimer(UINT_PTR) { return false; }
    // The colours of a static control: its text, and the ground it stands on; nothing: the system's.
    struct LabelLook {
        COLORREF text;
        COLORREF ground;
    };
    virtual std::optional<LabelLook> LabelStyle(HWND) { return std::nullopt; }

    // A title panel with a white caption in place of the template's placeholder `id`. A check box `box`
    // on it stays above it, and a click on the panel clicks the box.
    void MakeTitle(TgradientPanel& panel, int id, int box = 0);
    // A label that opens a web page: blue, underlined, with the hand cursor.
    void MakeLink(int id);
    // A label in the bold face of the page's font.
    void MakeBold(int id);
    THints hints_;

    template <std::size_t N>
    void ShowChecks(const CheckOption (&boxes)[N], const MainOptions& o) {
        for (const CheckOption& b : boxes) Check(b.id, o.*b.option);
    }
    template <std::size_t N>
    void ReadChecks(const CheckOption (&boxes)[N], MainOptions& o) const {
        for (const CheckOption& b : boxes) o.*b.option = Checked(b.id);
    }
    bool Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
    void Check(int id, bool on) { CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); }
    void Enable(int id, bool on) { EnableWindow(GetDlgItem(hwnd_, id), on ? TRUE : FALSE); }
    std::wstring Text(int id) const;
    // Sets the text only when it differs, so an edit being typed in keeps its caret.
    void SetTextIfChanged(int id, const std::wstring& text);
    // The combo box's chosen index; `fallback` when nothing is chosen.
    int Selection(int id, int fallback) const;
    void Select(int id, int index);
    void FillCombo(int id, const wchar_t* const* items, std::size_t count);
    // Options changed by a control: saved, and the clock shows them.
    void SaveAndRefresh() {
        dialog_.SaveOptions();
        dialog_.RefreshClock();
    }

    IMainDialog& dialog_;

private:
    void OnCommand(int id, int code, HWND control) final;
    LRESULT OnNotify(const NMHDR& nm) final;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Attached() override { hints_.Attach(hwnd_); }
    UniqueFont& FontVariant(bool underline, bool bold);
    int templateId_;
    std::vector<HWND> links_;
    UniqueFont underlined_, bold_;
    std::map<COLORREF, UniqueBrush> grounds_;
};

}  // namespace vt
