// TAlarmsPage: the "Alarms" page of the main dialog. A child dialog that lists the alarms (check box
// = enabled), filters them by label, sorts them by the clicked column, and creates, edits, tests and
// deletes them. TAlarms fills its list and reads its switches through IAlarmListSink / IAlarmSwitches.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "alarms/alarm_list.h"
#include "base/handles.h"
#include "base/registry.h"
#include "base/window.h"
#include "controls/gradient_panel.h"

namespace vt {

// What the page asks of the main form.
class IAlarmsPageHost {
public:
    virtual void EditAlarm(bool isNew, int id) = 0;             // the alarm editor (modal)
    virtual void TestAlarm(int id) = 0;                         // TAlarmActions::Test
    virtual void AlarmsSwitched(bool enabled) = 0;              // chbEnAlarms clicked: option "EnAlarms"
    virtual void LabelFilterChanged(int index) = 0;             // cbAlarmsCategory changed: store its index
    // The delete question ("Delete", Yes/No); true for Yes.
    virtual bool ConfirmDelete(const std::wstring& text) = 0;

protected:
    ~IAlarmsPageHost() = default;
};

class TAlarmsPage final : public Dialog, public IAlarmListSink, public IAlarmSwitches {
public:
    explicit TAlarmsPage(IAlarmsPageHost& host);
    ~TAlarmsPage() override;

    // Creates the page as a hidden child of `parent` (the main form shows and places it).
    HWND Create(HWND parent);
    // The model, once it exists (it is built with this page as its list and switches).
    void SetAlarmList(TAlarms* alarms) { alarms_ = alarms; }
    // The alarm editor's icon list as the list's small images (not owned).
    void SetImageList(HIMAGELIST icons);

    // IAlarmListSink
    void Clear() override;
    void Add(const AlarmListItem& item) override;
    // IAlarmSwitches
    bool AlarmsEnabled() const override;
    int LabelFilter() const override;

    // Options and placement: "EnAlarms", "ColumnToSort", "cbAlarmsCategory.ItemIndex".
    void SetAlarmsEnabled(bool on);     // no notification; the controls follow
    void SetLabelFilter(int index);     // no refresh
    int ColumnToSort = 0;
    bool SortAscending = true;
    // The main form's placement storage: "ColumnToSort" and "cbAlarmsCategory.ItemIndex".
    void SavePlacement(RegKey& key) const;
    void RestorePlacement(const RegKey& key);   // refreshes the list when the label filter changed

    // Commands (buttons, popup menu, WM_NEWALARM).
    void bNewClick();
    void bEditClick();
    void bTestClick();
    void bDeleteClick();
    void lvAlarmsDblClick();
    void ColumnClick(int column);
    void chbEnAlarmsClick();
    // Buttons and menu items follow the selection and the enable switch.
    void lvAlarmsChange();

    // Read by tests and the lead.
    HWND chbEnAlarms{}, lvAlarms{}, cbAlarmsCategory{}, bNew{}, bEdit{}, bTest{}, bDelete{}, grpnAlarms{};
    int SelectedId() const;      // 0 when nothing is selected
    int SelectedIndex() const;   // -1 when nothing is selected
    HMENU PopupMenu() const;

private:
    INT_PTR OnMessage(UINT m, WPARAM w, LPARAM l) override;
    void OnInitDialog() override;
    bool TakesFocus() const override { return false; }
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(const NMHDR& nm) override;
    LRESULT CustomDraw(NMLVCUSTOMDRAW& cd);
    void Sort();
    const AlarmScheduleEntry* EntryOf(int id) const;
    std::wstring ItemText(int index, int column) const;
    void ShowPopup(int x, int y);
    void RefreshList();
    void ApplyEnabled();

    IAlarmsPageHost& host_;
    TAlarms* alarms_ = nullptr;
    int filling_ = 0;                 // changes made by Refresh are not the user's
    bool enabledDefault_ = true;      // before the window exists
    int labelDefault_ = 0;
    UniqueMenu pmAlarms_;
    UniqueFont boldFont_;
    std::unique_ptr<TgradientPanel> panel_;
    bool sorted_ = false;             // a column was clicked: refills keep that order
};

}  // namespace vt
