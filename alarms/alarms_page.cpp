#include "alarms/alarms_page.h"

#include <windowsx.h>

#include <map>

#include "base/locale_text.h"
#include "base/window.h"
#include "resources/alarms_page_res.h"

namespace vt {

namespace {

constexpr UINT kApplyCheck = WM_APP + 0x41;   // wParam id, lParam new check state
constexpr UINT kResort = WM_APP + 0x42;       // a refill from outside the page: sort it again

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void AddColumn(HWND lv, int index, const wchar_t* caption, int width) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = const_cast<wchar_t*>(caption);
    c.cx = width;
    c.iSubItem = index;
    ListView_InsertColumn(lv, index, &c);
}

// Counts a scope in which list changes are the program's own, not the user's.
class Filling {
public:
    explicit Filling(int& n) : n_(n) { ++n_; }
    ~Filling() { --n_; }
    Filling(const Filling&) = delete;
    Filling& operator=(const Filling&) = delete;

private:
    int& n_;
};

// What the order reads of one row. Taken before the sort: the list view must not be asked about its
// items while it sorts them.
struct SortKey {
    bool checked = false;
    std::wstring text;                           // the "Alarm" column
    const AlarmScheduleEntry* entry = nullptr;   // none only when the table is empty
};

struct SortKeys {
    std::map<LPARAM, SortKey> rows;   // by the row's data, the alarm's id
    int column = 0;
    bool ascending = true;
};

int CompareKeys(const SortKey& a, const SortKey& b, int column) {
    switch (column) {
    case 0: return (a.checked ? 1 : 0) - (b.checked ? 1 : 0);
    case 1: return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.text.c_str(), -1, b.text.c_str(), -1) - 2;
    case 2:
        if (!a.entry || !b.entry) return 0;
        return a.entry->DateTime < b.entry->DateTime ? -1 : (a.entry->DateTime > b.entry->DateTime ? 1 : 0);
    case 3: return a.entry && b.entry ? a.entry->Kind - b.entry->Kind : 0;
    default: return 0;
    }
}

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM keys) noexcept {
    const auto& k = *reinterpret_cast<const SortKeys*>(keys);
    auto ka = k.rows.find(a), kb = k.rows.find(b);
    if (ka == k.rows.end() || kb == k.rows.end()) return 0;
    const int r = CompareKeys(ka->second, kb->second, k.column);
    return k.ascending ? r : -r;
}

}  // namespace

TAlarmsPage::TAlarmsPage(IAlarmsPageHost& host) : host_(host) {}

TAlarmsPage::~TAlarmsPage() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND TAlarmsPage::Create(HWND parent) {
    return CreateModeless(parent, IDD_ALARMS_PAGE, ICC_LISTVIEW_CLASSES);
}

INT_PTR TAlarmsPage::OnMessage(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(w) != lvAlarms) return FALSE;
        ShowPopup(GET_X_LPARAM(l), GET_Y_LPARAM(l));
        return TRUE;
    case kApplyCheck:
        // Posted from the list's own notification: the refresh that follows rebuilds the list.
        if (alarms_) {
            alarms_->SetAlarmEnabled(static_cast<int>(w), l != 0);
            if (sorted_) Sort();
            lvAlarmsChange();
        }
        return TRUE;
    case kResort:
        if (sorted_) Sort();
        return TRUE;
    default:
        return FALSE;
    }
}

void TAlarmsPage::OnInitDialog() {
    auto item = [this](int id) { return GetDlgItem(hwnd_, id); };
    chbEnAlarms = item(IDC_AL_CHBENALARMS);
    lvAlarms = item(IDC_AL_LVALARMS);
    cbAlarmsCategory = item(IDC_CBALARMSCATEGORY);
    bNew = item(IDC_AL_BNEW);
    bEdit = item(IDC_AL_BEDIT);
    bTest = item(IDC_AL_BTEST);
    bDelete = item(IDC_AL_BDELETE);

    // The header panel behind the check box; a click on it works the check box.
    panel_ = std::make_unique<TgradientPanel>();
    if (panel_->CreateTitle(item(IDC_GRPNALARMS))) {
        grpnAlarms = panel_->hwnd();
        panel_->OnClick = [this] {
            SendMessageW(chbEnAlarms, BM_SETCHECK, IsChecked(chbEnAlarms) ? BST_UNCHECKED : BST_CHECKED, 0);
            chbEnAlarmsClick();
        };
        SetWindowPos(chbEnAlarms, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }

    ListView_SetExtendedListViewStyle(lvAlarms, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT client;
    GetClientRect(lvAlarms, &client);
    const int alarmWidth = std::max(80, static_cast<int>(client.right) - 64 - 135 - 120 - GetSystemMetrics(SM_CXVSCROLL));
    AddColumn(lvAlarms, 0, L"", 64);
    AddColumn(lvAlarms, 1, L"Alarm", alarmWidth);
    AddColumn(lvAlarms, 2, L"Date / Time", 135);
    AddColumn(lvAlarms, 3, L"Frequency", 120);

    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    boldFont_.reset(CreateFontIndirectW(&lf));
    SendMessageW(cbAlarmsCategory, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);
    for (auto name : AlarmLabelNames) {
        std::wstring text(name);
        SendMessageW(cbAlarmsCategory, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(cbAlarmsCategory, CB_SETCURSEL, static_cast<WPARAM>(labelDefault_), 0);
    SendMessageW(chbEnAlarms, BM_SETCHECK, enabledDefault_ ? BST_CHECKED : BST_UNCHECKED, 0);

    pmAlarms_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_PMALARMS)));
    SetMenuDefaultItem(PopupMenu(), IDM_AL_EDIT, FALSE);
    ApplyEnabled();
}

void TAlarmsPage::SetImageList(HIMAGELIST icons) {
    if (lvAlarms) ListView_SetImageList(lvAlarms, icons, LVSIL_SMALL);
}

HMENU TAlarmsPage::PopupMenu() const { return GetSubMenu(pmAlarms_.get(), 0); }

void TAlarmsPage::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_AL_CHBENALARMS:
        if (code == BN_CLICKED) chbEnAlarmsClick();
        return;
    case IDC_CBALARMSCATEGORY:
        if (code != CBN_SELCHANGE) return;
        host_.LabelFilterChanged(LabelFilter());
        RefreshList();
        lvAlarmsChange();
        return;
    case IDC_AL_BNEW: case IDM_AL_NEW: bNewClick(); return;
    case IDC_AL_BEDIT: case IDM_AL_EDIT: bEditClick(); return;
    case IDC_AL_BTEST: case IDM_AL_TEST: bTestClick(); return;
    case IDC_AL_BDELETE: case IDM_AL_DELETE: bDeleteClick(); return;
    default: return;
    }
}

LRESULT TAlarmsPage::OnNotify(const NMHDR& nm) {
    if (nm.hwndFrom != lvAlarms) return 0;
    switch (nm.code) {
    case LVN_ITEMCHANGED: {
        const auto& v = reinterpret_cast<const NMLISTVIEW&>(nm);
        if (!(v.uChanged & LVIF_STATE)) return 0;
        // Only the user's own click on a check box writes the alarm; a refill writes nothing.
        if (!filling_ && ((v.uNewState ^ v.uOldState) & LVIS_STATEIMAGEMASK) && (v.uOldState & LVIS_STATEIMAGEMASK)) {
            bool checked = ((v.uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
            PostMessageW(hwnd_, kApplyCheck, static_cast<WPARAM>(v.lParam), checked ? 1 : 0);
        }
        if ((v.uNewState ^ v.uOldState) & LVIS_SELECTED) lvAlarmsChange();
        return 0;
    }
    case NM_CUSTOMDRAW:
        return CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&nm)));
    case LVN_COLUMNCLICK:
        ColumnClick(reinterpret_cast<const NMLISTVIEW&>(nm).iSubItem);
        return 0;
    case NM_DBLCLK:
        lvAlarmsDblClick();
        return 0;
    case LVN_KEYDOWN:
        switch (reinterpret_cast<const NMLVKEYDOWN&>(nm).wVKey) {
        case VK_F2: bEditClick(); break;
        case VK_INSERT: bNewClick(); break;
        case VK_DELETE: bDeleteClick(); break;
        case 'T': bTestClick(); break;
        default: break;
        }
        return 0;
    default:
        return 0;
    }
}

LRESULT TAlarmsPage::CustomDraw(NMLVCUSTOMDRAW& cd) {
    switch (cd.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT: break;
    default: return CDRF_DODEFAULT;
    }
    // A message wider than its column is drawn again over two lines, ending in an ellipsis; the rows
    // are as tall as the alarm icons, so two lines fit.
    const int index = static_cast<int>(cd.nmcd.dwItemSpec);
    HDC dc = cd.nmcd.hdc;
    RECT cell{};
    if (!ListView_GetSubItemRect(lvAlarms, index, 1, LVIR_BOUNDS, &cell)) return CDRF_DODEFAULT;
    std::wstring text = ItemText(index, 1);
    SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(lvAlarms, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx <= cell.right - cell.left) return CDRF_DODEFAULT;
    cell.left += 1;
    cell.top += 1;
    cell.bottom -= 1;
    const bool selected = ListView_GetItemState(lvAlarms, index, LVIS_SELECTED) != 0;
    const bool highlight = selected && (GetFocus() == lvAlarms || (GetWindowLongW(lvAlarms, GWL_STYLE) & LVS_SHOWSELALWAYS));
    FillRect(dc, &cell, GetSysColorBrush(highlight ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(highlight ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    cell.bottom = std::min(cell.bottom, cell.top + 2 * extent.cy);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
    return CDRF_DODEFAULT;
}

void TAlarmsPage::Clear() {
    Filling f(filling_);
    if (!lvAlarms) return;
    ListView_DeleteAllItems(lvAlarms);
    if (sorted_ && hwnd_) PostMessageW(hwnd_, kResort, 0, 0);
}

void TAlarmsPage::Add(const AlarmListItem& a) {
    if (!lvAlarms) return;
    Filling f(filling_);
    LVITEMW it{};
    it.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    it.iItem = ListView_GetItemCount(lvAlarms);
    it.pszText = const_cast<wchar_t*>(L"");
    it.lParam = a.id;
    it.iImage = a.Icon;
    int index = ListView_InsertItem(lvAlarms, &it);
    if (index < 0) return;
    std::wstring when = a.DateTime ? DateTimeToText(*a.DateTime) : std::wstring();
    ListView_SetItemText(lvAlarms, index, 1, const_cast<wchar_t*>(a.Message.c_str()));
    ListView_SetItemText(lvAlarms, index, 2, when.data());
    ListView_SetItemText(lvAlarms, index, 3, const_cast<wchar_t*>(a.Type.c_str()));
    ListView_SetCheckState(lvAlarms, index, a.Checked ? TRUE : FALSE);
}

bool TAlarmsPage::AlarmsEnabled() const { return chbEnAlarms ? IsChecked(chbEnAlarms) : enabledDefault_; }

int TAlarmsPage::LabelFilter() const {
    if (!cbAlarmsCategory) return labelDefault_;
    auto v = static_cast<int>(SendMessageW(cbAlarmsCategory, CB_GETCURSEL, 0, 0));
    return v < 0 ? 0 : v;
}

void TAlarmsPage::SetAlarmsEnabled(bool on) {
    enabledDefault_ = on;
    if (!chbEnAlarms) return;
    SendMessageW(chbEnAlarms, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    ApplyEnabled();
}

void TAlarmsPage::SetLabelFilter(int index) {
    if (index < 0 || index >= static_cast<int>(AlarmLabelNames.size())) index = 0;
    labelDefault_ = index;
    if (cbAlarmsCategory) SendMessageW(cbAlarmsCategory, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TAlarmsPage::SavePlacement(RegKey& key) const {
    key.WriteDword(L"ColumnToSort", static_cast<std::uint32_t>(ColumnToSort));
    key.WriteDword(L"cbAlarmsCategory.ItemIndex", static_cast<std::uint32_t>(LabelFilter()));
}

void TAlarmsPage::RestorePlacement(const RegKey& key) {
    auto column = key.ReadDword(L"ColumnToSort").value_or(0);
    ColumnToSort = column <= 3 ? static_cast<int>(column) : 0;
    const int before = LabelFilter();
    // A stored index outside the list (a hand-edited value) means no filter.
    auto label = key.ReadDword(L"cbAlarmsCategory.ItemIndex").value_or(0);
    SetLabelFilter(label < AlarmLabelNames.size() ? static_cast<int>(label) : 0);
    if (LabelFilter() != before) RefreshList();
}

void TAlarmsPage::ApplyEnabled() {
    bool on = AlarmsEnabled();
    EnableWindow(lvAlarms, on);
    EnableWindow(bNew, on);
    lvAlarmsChange();
}

void TAlarmsPage::chbEnAlarmsClick() {
    ApplyEnabled();
    host_.AlarmsSwitched(AlarmsEnabled());
}

void TAlarmsPage::lvAlarmsChange() {
    if (!hwnd_) return;
    bool on = AlarmsEnabled() && SelectedIndex() >= 0;
    for (HWND b : {bEdit, bDelete, bTest}) EnableWindow(b, on);
    for (UINT id : {IDM_AL_EDIT, IDM_AL_DELETE, IDM_AL_TEST})
        EnableMenuItem(PopupMenu(), id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

int TAlarmsPage::SelectedIndex() const {
    return lvAlarms ? ListView_GetNextItem(lvAlarms, -1, LVNI_SELECTED) : -1;
}

int TAlarmsPage::SelectedId() const {
    int index = SelectedIndex();
    if (index < 0) return 0;
    LVITEMW it{};
    it.mask = LVIF_PARAM;
    it.iItem = index;
    ListView_GetItem(lvAlarms, &it);
    return static_cast<int>(it.lParam);
}

std::wstring TAlarmsPage::ItemText(int index, int column) const {
    wchar_t buf[1024] = {};
    ListView_GetItemText(lvAlarms, index, column, buf, static_cast<int>(std::size(buf)));
    return buf;
}

void TAlarmsPage::RefreshList() {
    if (!alarms_) return;
    alarms_->Refresh();
    if (sorted_) Sort();
}

void TAlarmsPage::bNewClick() {
    host_.EditAlarm(true, 0);
}

void TAlarmsPage::bEditClick() {
    int id = SelectedId();
    if (SelectedIndex() < 0) return;
    host_.EditAlarm(false, id);
}

void TAlarmsPage::lvAlarmsDblClick() {
    if (SelectedIndex() < 0) bNewClick();
    bEditClick();
}

void TAlarmsPage::bTestClick() {
    if (SelectedIndex() < 0) return;
    host_.TestAlarm(SelectedId());
}

void TAlarmsPage::bDeleteClick() {
    int index = SelectedIndex();
    if (index < 0 || !alarms_) return;
    std::wstring text = L"Delete Alarm \"" + ItemText(index, 1) + L"\" ?";
    if (!host_.ConfirmDelete(text)) return;
    alarms_->DeleteAlarm(SelectedId());
    RefreshList();
    if (index > 0) {
        ListView_SetItemState(lvAlarms, index - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(lvAlarms, index - 1, FALSE);
    }
    lvAlarmsChange();
}

void TAlarmsPage::ShowPopup(int x, int y) {
    if (x == -1 && y == -1) {   // the keyboard's menu key: under the selected row
        RECT r{};
        int index = SelectedIndex();
        if (index >= 0) ListView_GetItemRect(lvAlarms, index, &r, LVIR_LABEL);
        POINT pt{r.left, r.bottom};
        ClientToScreen(lvAlarms, &pt);
        x = pt.x;
        y = pt.y;
    }
    lvAlarmsChange();
    TrackPopupMenu(PopupMenu(), TPM_RIGHTBUTTON, x, y, 0, hwnd_, nullptr);
}

void TAlarmsPage::ColumnClick(int column) {
    if (column < 0 || column > 3) return;
    ColumnToSort = column;
    // Every click reverses, also the first on another column.
    SortAscending = !SortAscending;
    sorted_ = true;
    Sort();
}

void TAlarmsPage::Sort() {
    if (!alarms_ || !lvAlarms) return;
    Filling f(filling_);
    SortKeys keys;
    keys.column = ColumnToSort;
    keys.ascending = SortAscending;
    const int count = ListView_GetItemCount(lvAlarms);
    for (int i = 0; i < count; ++i) {
        LVITEMW it{};
        it.mask = LVIF_PARAM;
        it.iItem = i;
        if (!ListView_GetItem(lvAlarms, &it)) continue;
        // A repeated id: the first row counts, as a search by id would find it.
        keys.rows.try_emplace(it.lParam, SortKey{ListView_GetCheckState(lvAlarms, i) != FALSE, ItemText(i, 1),
                                                 EntryOf(static_cast<int>(it.lParam))});
    }
    ListView_SortItems(lvAlarms, CompareRows, reinterpret_cast<LPARAM>(&keys));
}

const AlarmScheduleEntry* TAlarmsPage::EntryOf(int id) const {
    const auto& table = alarms_->AlarmSchedule();
    const AlarmScheduleEntry* found = nullptr;
    for (const auto& e : table)
        if (e.id == id) found = &e;   // the last matching entry counts
    if (!found && !table.empty()) found = &table[0];
    return found;
}

}  // namespace vt
