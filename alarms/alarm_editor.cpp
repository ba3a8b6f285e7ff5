#include "alarms/alarm_editor.h"

#include "alarms/alarm_sound.h"

#include <commdlg.h>

#include <algorithm>

#include "base/locale_text.h"
#include "base/text.h"
#include "base/window.h"
#include "base/unwind.h"
#include "base/folder_browse.h"
#include "alarms/alarm_editor_controls.h"
#include "controls/image_list.h"
#include "resources/alarm_editor_res.h"
#include "base/files.h"
#include "base/late_library.h"

namespace vt {

using namespace alarm_editor;

// ---- form --------------------------------------------------------------------------------------------

bool SystemEditorDialogs::BrowseFolder(HWND owner, std::wstring& folder) {
    return vt::BrowseFolder(owner, L"", folder);
}

bool SystemEditorDialogs::OpenFile(HWND owner, std::wstring& file, const std::wstring& startFolder) {
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"All files (*.*)\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // The file dialog's library brings the printer spooler with it: loaded when a user first opens it.
    static const auto openFile = LateFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (!openFile || !openFile(&ofn)) return false;
    file = buffer.c_str();
    return true;
}

int SystemEditorDialogs::Ask(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

TfrmAlarm::TfrmAlarm(const INow& now, std::wstring programDir, IAlarmEditorHost& host, IEditorDialogs& dialogs,
                     ISoundPreview& sound)
    : now_(now), programDir_(WithSlash(std::move(programDir))), host_(host), dialogs_(dialogs), sound_(sound) {}

TfrmAlarm::~TfrmAlarm() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool TfrmAlarm::Create() {
    if (hwnd_) return true;
    return CreateModeless(host_.EditorOwner(), IDD_ALARM,
                          ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES) != nullptr;
}

INT_PTR TfrmAlarm::OnMessage(UINT m, WPARAM w, LPARAM l) {
    return FormMessage(m, w, l);
}

INT_PTR CALLBACK TfrmAlarm::PageProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    if (m == WM_INITDIALOG) {
        SetWindowLongPtrW(h, DWLP_USER, l);
        return FALSE;
    }
    auto* self = reinterpret_cast<TfrmAlarm*>(GetWindowLongPtrW(h, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    Guarded([&] { result = self->FormMessage(m, w, l); });
    return result;
}

void TfrmAlarm::FormCreate() {
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    PageControl = GetDlgItem(hwnd_, IDC_PAGECONTROL);
    bDelete = GetDlgItem(hwnd_, IDC_BDELETE);
    bOK = GetDlgItem(hwnd_, IDOK);
    bCancel = GetDlgItem(hwnd_, IDCANCEL);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    TabSheet1 = CreateDialogParamW(inst, MAKEINTRESOURCEW(IDD_ALARM_TAB1), hwnd_, PageProc, self);
    TabSheet2 = CreateDialogParamW(inst, MAKEINTRESOURCEW(IDD_ALARM_TAB2), hwnd_, PageProc, self);
    TabSheet3 = CreateDialogParamW(inst, MAKEINTRESOURCEW(IDD_ALARM_TAB3), hwnd_, PageProc, self);
    const wchar_t* tabs[] = {L"Alarm", L"Sound", L"Actions"};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(tabs[i]);
        SendMessageW(PageControl, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    FindControls();
    PlaceDropDown();
    // The white shape lies under the icon and the memo and clips them out of its own painting.
    SetWindowPos(shpMessage, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MakeHeaders();

    for (auto label : AlarmLabelNames) AddItem(cbAlarmsCategory, label);
    for (auto name : ReminderNames) AddItem(cbReminder, name);
    for (auto name : WindowStyleNames) AddItem(cbWinStyle, name);
    struct Spin { int updown; HWND edit; int low, high; } spins[] = {
        {IDC_UDMONTHLY, sedMonthly, 1, 31},          {IDC_UDANNUALY, sedAnnualy, 1, 31},
        {IDC_UDREGULAR, sedRegular, 1, kMaxRegularMinutes}, {IDC_UDHOURLY, sedHourly, 0, 59},
        {IDC_UDREPEAT, sedRepeat, 1, kMaxRepeat},    {IDC_UDREPEATPAUSE, sedRepeatPause, 0, kMaxRepeatPause}};
    for (const Spin& s : spins) {
        HWND ud = GetDlgItem(GetParent(s.edit), s.updown);
        SendMessageW(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(s.edit), 0);
        SendMessageW(ud, UDM_SETRANGE32, static_cast<WPARAM>(s.low), static_cast<LPARAM>(s.high));
    }
    SendMessageW(trbVolume, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(trbVolume, TBM_SETTICFREQ, 6, 0);
    SendMessageW(dtOnceDate, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"MMMM dd,  yyyy"));
    ListView_SetExtendedListViewStyle(lvSound, LVS_EX_DOUBLEBUFFER);
    MakeSoundImages();

    LayOut();
    icons_.Load(programDir_ + L"Icons\\");   // the icons and their menu are made when first asked for
    // Filled here as well as by the main form's start-up, so the weekday and month lists are never empty.
    FillMonthAndDayNames();
    ShowTab(0);
}

void TfrmAlarm::FindControls() {
    auto at = [](HWND page, int id) { return GetDlgItem(page, id); };
    HWND p = TabSheet1;
    chbMessage = at(p, IDC_CHBMESSAGE);
    lAlarmCategory = at(p, IDC_LALARMCATEGORY);
    cbAlarmsCategory = at(p, IDC_CBALARMSCATEGORY);
    shpMessage = at(p, IDC_SHPMESSAGE);
    imgIcon = at(p, IDC_IMGICON);
    imgDropDown = at(p, IDC_IMGDROPDOWN);
    mmMessage = at(p, IDC_MMMESSAGE);
    chbReminder = at(p, IDC_CHBREMINDER);
    cbReminder = at(p, IDC_CBREMINDER);
    chbAlarm = at(p, IDC_CHBALARM);
    rbOnce = at(p, IDC_RBONCE);
    rbHourly = at(p, IDC_RBHOURLY);
    rbDaily = at(p, IDC_RBDAILY);
    rbWeekly = at(p, IDC_RBWEEKLY);
    rbMonthly = at(p, IDC_RBMONTHLY);
    rbAnnualy = at(p, IDC_RBANNUALY);
    rbRegular = at(p, IDC_RBREGULAR);
    lbTime = at(p, IDC_LBTIME);
    dtTime = at(p, IDC_DTTIME);
    pnOnce = at(p, IDC_PNONCE);
    dtOnceDate = at(p, IDC_DTONCEDATE);
    pnDaily = at(p, IDC_PNDAILY);
    chbSun = at(p, IDC_CHBSUN);
    chbMon = at(p, IDC_CHBMON);
    chbTue = at(p, IDC_CHBTUE);
    chbWed = at(p, IDC_CHBWED);
    chbThu = at(p, IDC_CHBTHU);
    chbFri = at(p, IDC_CHBFRI);
    chbSat = at(p, IDC_CHBSAT);
    pnWeekly = at(p, IDC_PNWEEKLY);
    cbWeekly = at(p, IDC_CBWEEKLY);
    pnMonthly = at(p, IDC_PNMONTHLY);
    sedMonthly = at(p, IDC_SEDMONTHLY);
    pnAnnualy = at(p, IDC_PNANNUALY);
    sedAnnualy = at(p, IDC_SEDANNUALY);
    cbAnnualy = at(p, IDC_CBANNUALY);
    pnRegular = at(p, IDC_PNREGULAR);
    sedRegular = at(p, IDC_SEDREGULAR);
    dtRegular = at(p, IDC_DTREGULAR);
    pnHourly = at(p, IDC_PNHOURLY);
    sedHourly = at(p, IDC_SEDHOURLY);
    pnHourly2 = at(p, IDC_PNHOURLY2);
    chbActiveTime = at(p, IDC_CHBACTIVETIME);
    dtAfter = at(p, IDC_DTAFTER);
    dtBefore = at(p, IDC_DTBEFORE);
    chbAutoDelete = at(p, IDC_CHBAUTODELETE);
    cbWakeup = at(p, IDC_CBWAKEUP);
    p = TabSheet2;
    chbSound = at(p, IDC_CHBSOUND);
    edPathSound = at(p, IDC_EDPATHSOUND);
    bOpenSound = at(p, IDC_BOPENSOUND);
    lvSound = at(p, IDC_LVSOUND);
    bPlay = at(p, IDC_BPLAY);
    bStop = at(p, IDC_BSTOP);
    rbRepeatSpec = at(p, IDC_RBREPEATSPEC);
    sedRepeat = at(p, IDC_SEDREPEAT);
    rbRepeatClose = at(p, IDC_RBREPEATCLOSE);
    sedRepeatPause = at(p, IDC_SEDREPEATPAUSE);
    chbCustVol = at(p, IDC_CHBCUSTVOL);
    lbVolume = at(p, IDC_LBVOLUME);
    trbVolume = at(p, IDC_TRBVOLUME);
    p = TabSheet3;
    chbActions = at(p, IDC_CHBACTIONS);
    rbOpenDoc = at(p, IDC_RBOPENDOC);
    rbShutdown = at(p, IDC_RBSHUTDOWN);
    pnOpenApp = at(p, IDC_PNOPENAPP);
    edFileName = at(p, IDC_EDFILENAME);
    bOpenFile = at(p, IDC_BOPENFILE);
    edParam = at(p, IDC_EDPARAM);
    cbWinStyle = at(p, IDC_CBWINSTYLE);
    bOpenVideoFile = at(p, IDC_BOPENVIDEOFILE);
    bOpenMyMusicFile = at(p, IDC_BOPENMYMUSICFILE);
    pnShutdown = at(p, IDC_PNSHUTDOWN);
    rbAcShutdown = at(p, IDC_RBACSHUTDOWN);
    rbAcRestart = at(p, IDC_RBACRESTART);
    rbAcStandby = at(p, IDC_RBACSTANDBY);
    rbAcHibernate = at(p, IDC_RBACHIBERNATE);
    rbAcLogon = at(p, IDC_RBACLOGON);
    rbAcMonitor = at(p, IDC_RBACMONITOR);
    chbForceClose = at(p, IDC_CHBFORCECLOSE);
}

// The templates hold a text placeholder where each header goes; the header takes its place, caption and
// id, and lies under its check box.
void TfrmAlarm::MakeHeaders() {
    struct Header { TgradientPanel* panel; HWND page; int id; HWND box; } headers[] = {
        {&grpnMessage, TabSheet1, IDC_GRPNMESSAGE, chbMessage},  {&grpnAlarm, TabSheet1, IDC_GRPNALARM, chbAlarm},
        {&grpnDateTime, TabSheet1, IDC_GRPNDATETIME, nullptr},   {&grpnSound, TabSheet2, IDC_GRPNSOUND, chbSound},
        {&grpnSoundSet, TabSheet2, IDC_GRPNSOUNDSET, nullptr},   {&grpnActions, TabSheet3, IDC_GRPNACTIONS, chbActions},
        {&grpnAppDoc, TabSheet3, IDC_GRPNAPPDOC, nullptr}};
    for (const Header& h : headers) {
        h.panel->Font.colour = clWhite;
        h.panel->CreateTitle(GetDlgItem(h.page, h.id));
        if (h.box) {
            SetWindowPos(h.panel->hwnd(), h.box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            HWND box = h.box;
            h.panel->OnClick = [this, box] {
                Check(box, !Checked(box));
                ApplyEnabling();
            };
        }
    }
}

void TfrmAlarm::LayOut() {
    auto px = ScaledToScreen;
    const int width = px(kClientWidth), height = px(kClientHeight);
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
                 w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(PageControl, nullptr, px(4), px(4), width - px(8), height - px(40), SWP_NOZORDER);
    SetWindowPos(bDelete, nullptr, px(6), height - px(31), px(75), px(25), SWP_NOZORDER);
    SetWindowPos(bOK, nullptr, width - px(164), height - px(31), px(75), px(25), SWP_NOZORDER);
    SetWindowPos(bCancel, nullptr, width - px(83), height - px(31), px(75), px(25), SWP_NOZORDER);
    RECT display{px(4), px(4), width - px(4), height - px(36)};
    SendMessageW(PageControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (HWND page : {TabSheet1, TabSheet2, TabSheet3})
        SetWindowPos(page, HWND_TOP, display.left, display.top, display.right - display.left,
                     display.bottom - display.top, 0);
}

void TfrmAlarm::ShowTab(int index) {
    SendMessageW(PageControl, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    HWND pages[] = {TabSheet1, TabSheet2, TabSheet3};
    for (int i = 0; i < 3; ++i) ShowWindow(pages[i], i == index ? SW_SHOW : SW_HIDE);
}

void TfrmAlarm::BuildIconMenu() {
    pmIcons_.reset(CreatePopupMenu());
    const int count = std::min(std::max(kDefinedIconItems, icons_.Count()), IDM_ICON_LAST - IDM_ICON_FIRST + 1);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
        mi.fType = (i > 0 && i % kIconMenuColumn == 0) ? MFT_MENUBREAK : 0;
        mi.wID = static_cast<UINT>(IDM_ICON_FIRST + i);
        mi.dwItemData = static_cast<ULONG_PTR>(i);   // the item's Tag: the icon index
        std::wstring number = std::to_wstring(i);
        if (const AlphaBitmap& icon = icons_.Icon(i)) {
            mi.fMask |= MIIM_BITMAP;
            mi.hbmpItem = icon.bitmap.get();
        } else {
            mi.fMask |= MIIM_STRING;
            mi.dwTypeData = number.data();
        }
        InsertMenuItemW(pmIcons_.get(), static_cast<UINT>(i), TRUE, &mi);
    }
}

void TfrmAlarm::FillMonthAndDayNames() {
    SendMessageW(cbAnnualy, CB_RESETCONTENT, 0, 0);
    SendMessageW(cbWeekly, CB_RESETCONTENT, 0, 0);
    for (int m = 0; m < 12; ++m) AddItem(cbAnnualy, LocaleText(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(m)));
    AddItem(cbWeekly, LocaleText(LOCALE_SDAYNAME7));   // Sunday first
    for (int d = 0; d < 6; ++d) AddItem(cbWeekly, LocaleText(LOCALE_SDAYNAME1 + static_cast<LCTYPE>(d)));
    Select(cbAnnualy, 0);
    Select(cbWeekly, 0);
}

void TfrmAlarm::ShowSchedulePanel(int n) {
    if (n < 1 || n > kEditorKindCount) return;
    auto showPanel = [&](int marker, bool on) {
        for (int id = marker; id < marker + kPanelSpan; ++id)
            if (HWND c = GetDlgItem(TabSheet1, id)) ShowWindow(c, on ? SW_SHOWNA : SW_HIDE);
    };
    for (int k = 1; k <= kEditorKindCount; ++k) showPanel(kPanelOf[k], k == n);
    const bool window = n == static_cast<int>(EditorKind::Regular) || n == static_cast<int>(EditorKind::Hourly);
    showPanel(IDC_PNHOURLY2, window);
    ShowWindow(chbAutoDelete, n == static_cast<int>(EditorKind::Once) ? SW_SHOWNA : SW_HIDE);
}

void TfrmAlarm::SelectIcon(int index) {
    selectedAlarmIcon_ = index;
    InvalidateRect(imgIcon, nullptr, TRUE);
}

// ImageListSounds: the one small picture every sound file shows, a note.
void TfrmAlarm::MakeSoundImages() {
    AlphaBitmap note = CreateAlphaBitmap(16, 16);
    const PixelView px = PixelsOf(note);
    if (px.empty()) return;
    const Bgra ink{120, 60, 20, 255};
    auto dot = [&](int x, int y) { px.at(x, y) = ink; };
    for (int y = 2; y <= 11; ++y) dot(10, y), dot(11, y);          // the stem
    for (int x = 12; x <= 14; ++x) dot(x, 2), dot(x, 3);          // the flag
    for (int y = 10; y <= 13; ++y)
        for (int x = 5; x <= 10; ++x)
            if ((x - 7.5) * (x - 7.5) / 9.0 + (y - 11.5) * (y - 11.5) / 3.0 <= 1.2) dot(x, y);   // the head
    std::vector<AlphaBitmap> pictures;
    pictures.push_back(std::move(note));
    soundImages_ = MakeImageList(16, pictures);
    ListView_SetImageList(lvSound, soundImages_.get(), LVSIL_SMALL);
}

void TfrmAlarm::ReloadSoundList(const std::wstring& folder) {
    ListView_DeleteAllItems(lvSound);
    int n = 0;
    for (const std::wstring& name : ListSounds(folder)) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = n++;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        item.iImage = 0;
        SendMessageW(lvSound, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    shownSoundFolder_ = folder;
}

void TfrmAlarm::SetEnabled(std::initializer_list<int> ids, HWND page, bool on) {
    for (int id : ids)
        if (HWND c = GetDlgItem(page, id)) EnableWindow(c, on);
}

void TfrmAlarm::EnableAlarmGroup(bool on) {
    SetEnabled({IDC_RBONCE, IDC_RBHOURLY, IDC_RBDAILY, IDC_RBWEEKLY, IDC_RBMONTHLY, IDC_RBANNUALY, IDC_RBREGULAR,
                IDC_LBTIME, IDC_DTTIME, IDC_CHBAUTODELETE, IDC_CHBACTIVETIME},
               TabSheet1, on);
    for (int k = 1; k <= kEditorKindCount; ++k)
        for (int id = kPanelOf[k] + 1; id < kPanelOf[k] + kPanelSpan; ++id)
            if (HWND c = GetDlgItem(TabSheet1, id)) EnableWindow(c, on);
    const bool window = on && Checked(chbActiveTime);
    SetEnabled({IDC_LAFTER, IDC_DTAFTER, IDC_LBEFORE, IDC_DTBEFORE}, TabSheet1, window);
}

void TfrmAlarm::EnableMessageGroup(bool on) {
    SetEnabled({IDC_IMGICON, IDC_IMGDROPDOWN, IDC_MMMESSAGE}, TabSheet1, on);
}

void TfrmAlarm::EnableSoundGroup(bool on) {
    SetEnabled({IDC_EDPATHSOUND, IDC_BOPENSOUND, IDC_LVSOUND, IDC_BPLAY, IDC_BSTOP, IDC_RBREPEATSPEC, IDC_SEDREPEAT,
                IDC_UDREPEAT, IDC_RBREPEATCLOSE, IDC_SEDREPEATPAUSE, IDC_UDREPEATPAUSE, IDC_CHBCUSTVOL},
               TabSheet2, on);
    EnableVolumeControls(on && Checked(chbCustVol));
}

void TfrmAlarm::EnableVolumeControls(bool on) { SetEnabled({IDC_LBVOLUME, IDC_TRBVOLUME}, TabSheet2, on); }

void TfrmAlarm::EnableActionsGroup(bool on) {
    SetEnabled({IDC_RBOPENDOC, IDC_RBSHUTDOWN, IDC_EDFILENAME, IDC_BOPENFILE, IDC_EDPARAM, IDC_CBWINSTYLE,
                IDC_RBACSHUTDOWN, IDC_RBACRESTART, IDC_RBACSTANDBY, IDC_RBACHIBERNATE, IDC_RBACLOGON, IDC_RBACMONITOR,
                IDC_CHBFORCECLOSE},
               TabSheet3, on);
}

// Every switch, kind and action button leads here: the model says what is shown and enabled.
void TfrmAlarm::ApplyEnabling() {
    const AlarmEditorFields f = ControlsToFields();
    const EditorEnabling e = EnablingOf(f);
    ShowSchedulePanel(static_cast<int>(f.kind));
    EnableAlarmGroup(e.alarmGroup);
    EnableMessageGroup(e.messageGroup);
    EnableSoundGroup(e.soundGroup);
    EnableVolumeControls(e.volumeControls);
    EnableActionsGroup(e.actionsGroup);
    EnableWindow(cbReminder, e.reminderList);
    for (int id = IDC_PNOPENAPP; id < IDC_PNOPENAPP + kPanelSpan; ++id)
        if (HWND c = GetDlgItem(TabSheet3, id); c && id != IDC_BOPENVIDEOFILE && id != IDC_BOPENMYMUSICFILE)
            ShowWindow(c, e.openAppInFront ? SW_SHOWNA : SW_HIDE);
    for (int id = IDC_PNSHUTDOWN; id < IDC_PNSHUTDOWN + kPanelSpan; ++id)
        if (HWND c = GetDlgItem(TabSheet3, id)) ShowWindow(c, e.openAppInFront ? SW_HIDE : SW_SHOWNA);
    if (grpnAppDoc.Caption != e.appDocCaption) {
        grpnAppDoc.Caption = e.appDocCaption;
        InvalidateRect(grpnAppDoc.hwnd(), nullptr, FALSE);
    }
    SetText(lbVolume, VolumeCaption(f.volume));
}

bool TfrmAlarm::Open(bool isNew, int id) {
    if (!Create() || Visible()) return false;
    const TDateTime now = now_.Now();
    const std::wstring sounds = SoundsFolder();
    // The program's sounds are listed first: a new alarm, and an alarm whose sound file is gone, take the
    // first of them (the list is sorted by name).
    ReloadSoundList(sounds);
    std::vector<std::wstring> listed;
    if (ListView_GetItemCount(lvSound) > 0) {
        wchar_t name[MAX_PATH * 2] = L"";
        ListView_GetItemText(lvSound, 0, 0, name, MAX_PATH * 2);
        listed.push_back(name);
    }
    AlarmEditorFields f = DefaultEditorFields(now, sounds, listed);
    f.reminderIndex = Selected(cbReminder);   // a stored reminder outside every band keeps the shown entry
    if (f.reminderIndex < 0) f.reminderIndex = kDefaultReminderIndex;
    if (isNew) {
        const int filter = host_.CategoryFilter();
        if (filter >= 0 && filter < static_cast<int>(AlarmLabelNames.size())) f.category = filter;
    } else {
        TAlarms* list = host_.AlarmList();
        if (!list) return false;
        const TAlRecord alarm = list->ReadAlarm(id);   // an unreadable number reaches the caller's display
        FieldsFromRecord(alarm, !alarm.SoundFile.empty() && FileExists(alarm.SoundFile), f);
    }
    editingNewAlarm_ = isNew;
    editedAlarmId_ = isNew ? 0 : id;
    ShowTab(0);
    FieldsToControls(f);
    ShowWindow(bDelete, isNew ? SW_HIDE : SW_SHOW);
    closed_ = false;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    return true;
}

void TfrmAlarm::RunModal() {
    if (inModal_) return;   // one loop at a time
    OwnCodeScope running;   // whatever the loop frees of this editor waits until it has returned
    inModal_ = true;
    HWND owner = host_.EditorOwner();
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    MSG msg;
    while (!closed_ && hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));   // the outer loop must see it too
            Close();
            break;
        }
        if (got == -1) break;
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    inModal_ = false;
}

void TfrmAlarm::EditAlarm(bool isNew, int id) {
    if (Open(isNew, id)) RunModal();
}

void TfrmAlarm::Close() {
    closed_ = true;
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

int TfrmAlarm::Message(const std::wstring& text, const std::wstring& caption, UINT flags) {
    return dialogs_.Ask(hwnd_, text, caption, flags);
}

void TfrmAlarm::bOKClick() {
    EditorResult result = RecordFromFields(ControlsToFields(), now_.Now());
    if (result.error) {
        Message(result.error->text, result.error->caption, MB_OK | MB_ICONSTOP);
        return;
    }
    TAlarms* list = host_.AlarmList();
    if (!list) return;
    TAlRecord alarm = std::move(*result.record);
    bool stored;
    if (editingNewAlarm_) {
        stored = list->AddAlarm(alarm) != 0;
    } else {
        alarm.id = editedAlarmId_;
        // The alarm may have been deleted while the editor was open (from its message window): the
        // user's input is kept as a new alarm rather than dropped. A section still there that could not
        // be written gets no copy beside it: the failure is reported and the input stays.
        stored = list->UpdateAlarm(alarm) || (!list->AlarmExists(alarm.id) && list->AddAlarm(alarm) != 0);
    }
    if (!stored) {
        Message(L"The alarm could not be saved to " + list->Path() + L".", kProgramCaption, MB_OK | MB_ICONSTOP);
        return;
    }
    list->Refresh();
    Close();
    host_.ReloadCalendar();
}

void TfrmAlarm::bDeleteClick() {
    if (editingNewAlarm_) return;
    if (Message(DeleteQuestion(TextOf(mmMessage)), L"Delete", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    TAlarms* list = host_.AlarmList();
    if (!list) return;
    const int row = host_.SelectedAlarmRow();
    list->DeleteAlarm(editedAlarmId_);
    list->Refresh();
    if (row > 0) host_.SelectAlarmRow(row - 1);
    Close();
    // The calendar marks alarm days: a deleted alarm must not stay marked.
    host_.ReloadCalendar();
}

void TfrmAlarm::bPlayClick() {
    const AlarmEditorFields f = ControlsToFields();
    if (f.sound.empty()) return;
    if (f.customVolume) sound_.SetVolumePercent(f.volume);
    sound_.Play(f.soundFolder + f.sound);
}

void TfrmAlarm::bOpenSoundClick() {
    std::wstring folder;
    const bool chosen = dialogs_.BrowseFolder(hwnd_, folder);
    if (!chosen || !FolderExists(folder)) return;
    folder = WithSlash(folder);
    SetText(edPathSound, folder);
    ReloadSoundList(folder);
}

void TfrmAlarm::bOpenFileClick(const std::wstring& startFolder) {
    std::wstring file = TextOf(edFileName);
    const bool chosen = dialogs_.OpenFile(hwnd_, file, startFolder);
    if (chosen) SetText(edFileName, file);
}

void TfrmAlarm::ShowIconMenu() {
    if (!pmIcons_) BuildIconMenu();
    POINT pt{};
    GetCursorPos(&pt);
    TrackPopupMenu(pmIcons_.get(), TPM_LEFTALIGN | TPM_TOPALIGN, pt.x, pt.y, 0, hwnd_, nullptr);
}

// The arrow under the icon looks pressed (one pixel right and down) while its menu is open, and goes
// back under the icon when the menu closes.
void TfrmAlarm::PressDropDown() {
    RECT arrow{};
    GetWindowRect(imgDropDown, &arrow);
    MapWindowPoints(nullptr, GetParent(imgDropDown), reinterpret_cast<POINT*>(&arrow), 2);
    SetWindowPos(imgDropDown, nullptr, arrow.left + 1, arrow.top + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(GetParent(imgDropDown));
    ShowIconMenu();
    PlaceDropDown();
}

void TfrmAlarm::PlaceDropDown() {
    RECT icon{};
    GetWindowRect(imgIcon, &icon);
    MapWindowPoints(nullptr, GetParent(imgIcon), reinterpret_cast<POINT*>(&icon), 2);
    SetWindowPos(imgDropDown, nullptr, icon.left, icon.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmAlarm::DrawIcon(const DRAWITEMSTRUCT& d) {
    const RECT rc = d.rcItem;
    FillRect(d.hDC, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (d.hwndItem == imgDropDown) {
        // A small arrow under the icon.
        const int cx = (rc.left + rc.right) / 2, top = rc.top + 1;
        UniqueBrush ink(CreateSolidBrush(GetSysColor(IsWindowEnabled(imgDropDown) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT)));
        for (int row = 0; row < 4 && top + row < rc.bottom; ++row) {
            RECT line{cx - 3 + row, top + row, cx + 4 - row, top + row + 1};
            FillRect(d.hDC, &line, ink.get());
        }
        return;
    }
    const AlphaBitmap& icon = icons_.Icon(selectedAlarmIcon_);
    if (!icon) return;
    UniqueMemDC mem(CreateCompatibleDC(d.hDC));
    SelectGuard keep(mem.get(), icon.bitmap.get());
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(d.hDC, rc.left, rc.top, std::min<int>(kIconSize, rc.right - rc.left), std::min<int>(kIconSize, rc.bottom - rc.top),
               mem.get(), 0, 0, std::min(icon.width, kIconSize), std::min(icon.height, kIconSize), bf);
}

void TfrmAlarm::OnCommand(int id, int code, HWND) {
    if (id >= IDM_ICON_FIRST && id <= IDM_ICON_LAST) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(pmIcons_.get(), static_cast<UINT>(id), FALSE, &mi))
            SelectIcon(static_cast<int>(mi.dwItemData));
        return;
    }
    switch (id) {
        case IDOK: bOKClick(); return;
        case IDCANCEL: Close(); return;
        case IDC_BDELETE: bDeleteClick(); return;
        case IDC_IMGICON:
            if (code == STN_CLICKED) ShowIconMenu();
            return;
        case IDC_IMGDROPDOWN:
            if (code == STN_CLICKED) PressDropDown();
            return;
        case IDC_MMMESSAGE:
            if (code == EN_SETFOCUS) SendMessageW(mmMessage, EM_SETSEL, 0, -1);
            return;
        case IDC_BPLAY: bPlayClick(); return;
        case IDC_BSTOP:
            sound_.Stop();
            return;
        case IDC_BOPENSOUND: bOpenSoundClick(); return;
        case IDC_BOPENFILE: bOpenFileClick(L""); return;
        case IDC_BOPENVIDEOFILE: bOpenFileClick(GetSpecialFolderPath(14)); return;
        case IDC_BOPENMYMUSICFILE: bOpenFileClick(GetSpecialFolderPath(13)); return;
        default: break;
    }
    if (code != BN_CLICKED) return;
    for (int k = 1; k <= kEditorKindCount; ++k) {
        if (id == kKindButtons[k]) {
            CheckRadioButton(TabSheet1, IDC_RBONCE, IDC_RBREGULAR, id);
            ApplyEnabling();
            return;
        }
    }
    switch (id) {
        case IDC_RBOPENDOC:
        case IDC_RBSHUTDOWN: CheckRadioButton(TabSheet3, IDC_RBOPENDOC, IDC_RBSHUTDOWN, id); break;
        case IDC_RBREPEATSPEC:
        case IDC_RBREPEATCLOSE: CheckRadioButton(TabSheet2, IDC_RBREPEATSPEC, IDC_RBREPEATCLOSE, id); return;
        case IDC_RBACSHUTDOWN:
        case IDC_RBACRESTART:
        case IDC_RBACSTANDBY:
        case IDC_RBACHIBERNATE:
        case IDC_RBACLOGON:
        case IDC_RBACMONITOR: CheckRadioButton(TabSheet3, IDC_RBACSHUTDOWN, IDC_RBACMONITOR, id); return;
        case IDC_CHBALARM:
        case IDC_CHBMESSAGE:
        case IDC_CHBSOUND:
        case IDC_CHBCUSTVOL:
        case IDC_CHBACTIONS:
        case IDC_CHBREMINDER:
        case IDC_CHBACTIVETIME: break;
        default: return;
    }
    ApplyEnabling();
}

LRESULT TfrmAlarm::OnNotify(const NMHDR& nm) {
    if (nm.hwndFrom == PageControl && nm.code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendMessageW(PageControl, TCM_GETCURSEL, 0, 0)));
    } else if (nm.hwndFrom == lvSound && nm.code == NM_DBLCLK) {
        bPlayClick();
    }
    return 0;
}

INT_PTR TfrmAlarm::FormMessage(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_COMMAND:   // from the tab sheets, which hand their messages on
            OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
            return TRUE;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(l));
            return FALSE;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(l) == trbVolume)
                SetText(lbVolume, VolumeCaption(static_cast<int>(SendMessageW(trbVolume, TBM_GETPOS, 0, 0))));
            return TRUE;
        case WM_DRAWITEM: {
            const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (d.hwndItem != imgIcon && d.hwndItem != imgDropDown) return FALSE;
            DrawIcon(d);
            return TRUE;
        }
        case WM_CLOSE:
            Close();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace vt
