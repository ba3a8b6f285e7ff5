#include "app/main_form.h"

#include <commctrl.h>
#include <shlobj.h>

#include <utility>

#include "base/folder_browse.h"
#include "base/module_path.h"
#include "base/picture.h"
#include "controls/image_list.h"
#include "base/registry.h"
#include "base/text.h"
#include "clock/timezones.h"
#include "resources/resource.h"

// The frame of the main dialog: its window, tabs and pages, the options and the placement, start and end.
namespace vt {

namespace {
const wchar_t* const kTabCaptions[] = {L"Date / Time", L"Alarms", L"Skins", L"Weather", L"Time Zones", L"Atomic Clock"};
HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
}  // namespace

TfrmClock::TfrmClock(MainFormConfig config, IMainFormSystem& system)
    : config_(std::move(config)), system_(system), trayIcon_(kTrayIconId, WM_TRAYICON) {
    if (!config_.host) config_.host = &defaultHost_;
    if (!config_.now) config_.now = &SystemClock();
    if (config_.appDir.empty()) {
        config_.appDir = ModuleFolder();
        config_.appDir.pop_back();   // kept without the trailing backslash
    }
    config_.store.appDir = config_.appDir;
}

TfrmClock::~TfrmClock() {
    if (hwnd_) {
        reallyQuit_ = true;
        DestroyWindow(hwnd_);
    }
}

void TfrmClock::RegisterClass() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    HICON icon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_MAIN));
    RegisterWindowClass(kMainFormClass, Proc, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                        icon ? icon : LoadIconW(nullptr, IDI_APPLICATION), MAKEINTRESOURCEW(IDM_MAINMENU));
    done = true;
}

bool TfrmClock::Create() {
    // The host process starts first: its start-up runs beside the making of the form.
    hostStarted_ = config_.host->Start(config_.appDir);   // a failure is reported once the form is whole
    TimeZoneList();   // built once, before any window, as the stored zone indexes expect
    RegisterClass();
    std::wstring caption = std::wstring(kProductTitle) + L" - Dorminax";
    HWND w = CreateWindowExW(0, kMainFormClass, caption.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             CW_USEDEFAULT, CW_USEDEFAULT, ScaledToScreen(640), ScaledToScreen(480), nullptr, nullptr,
                             Instance(), this);
    if (!w) return false;
    FormCreate();
    return true;
}

// The clock comes first: the painter is ready before the pages are made, and
// between pages the host's questions are answered, so the taskbar shows the clock while the rest of
// the dialog is still being built.
void TfrmClock::FormCreate() {
    building_ = true;
    if (config_.store.settingsDir.empty()) config_.store.settingsDir = ResolveSettingsDir(config_.store);
    if (config_.painter) {
        config_.painter->InitClockPaint(SkinsDir());
        config_.painter->LoadClockOptions(config_.store.settingsDir);
    }
    icon_.reset(static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    trayIcon_.Setup(hwnd_, icon_ ? icon_.get() : LoadIconW(nullptr, IDI_APPLICATION), kProductTitle);
    fastMenu_.reset(LoadMenuW(Instance(), MAKEINTRESOURCEW(IDM_FASTMENU)));
    SetMenuDefaultItem(GetSubMenu(fastMenu_.get(), 0), IDM_SHOWMAIN, FALSE);
    CreateTrayClock();
    CreatePages();
    AnswerSentMessages();
    CreateAlarmEditor();   // the form's last window: once it exists, sent messages wait for the whole form
    building_ = false;
    reallyQuit_ = false;
}

// Runs what other threads and processes sent (the host asking the clock's size, background and picture)
// and leaves posted messages queued: nothing but the clock is answered before the form is whole.
void TfrmClock::AnswerSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// The host asks three questions in turn before the clock shows (its size, the background, the picture),
// each answered at the next gap between pages: once it has announced itself, the slow weather page waits
// for the clock rather than the clock for it.
void TfrmClock::LetTheClockShow(DWORD maxMs) {
    const DWORD start = GetTickCount();
    while (trayClock_ && trayClock_->HostAnnounced() && !clockPainted_) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= maxMs) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, maxMs - waited, QS_SENDMESSAGE);
        AnswerSentMessages();
    }
}

// A message another process sends the form while it is being built: commands wait in the queue until
// the form is whole; closing and ending the session are not acted on half-built.
LRESULT TfrmClock::WhileBuilding(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_USER || msg == WM_CLOSE) {
        PostMessageW(hwnd_, msg, wp, lp);
        return 0;
    }
    switch (msg) {
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
    case WM_SYSCOMMAND:
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_TIMER:
    case WM_INITMENUPOPUP:
        return 0;
    default: return Default(msg, wp, lp);
    }
}

void TfrmClock::CreatePages() {
    tab_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 10, 10,
                           hwnd_, reinterpret_cast<HMENU>(IDC_TABCONTROL1), Instance(), nullptr);
    SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    for (int i = 0; i < 6; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.iImage = i;
        item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
        SendMessageW(tab_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    ok_ = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 75, 25, hwnd_,
                          reinterpret_cast<HMENU>(IDC_BOK), Instance(), nullptr);
    SendMessageW(ok_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    IMainDialog& dialog = *this;
    mainThread_ = std::make_unique<WindowMainThread>(hwnd_, kRunPostedTask);
    dateTimePage_ = std::make_unique<TDateTimePage>(dialog);
    skinsPage_ = std::make_unique<TSkinsPage>(dialog, config_.store, SkinsDir());
    timeZonesPage_ = std::make_unique<TTimeZonesPage>(dialog);
    atomicClockPage_ = std::make_unique<TAtomicClockPage>(
        dialog, config_.store, *config_.now, *mainThread_,
        AtomicClockSeams{config_.timeQuery, config_.localAdjuster, config_.timeServiceFactory});
    aboutPage_ = std::make_unique<TAboutPage>(dialog, std::wstring(kProductTitle) + L" v" + config_.versionShort);
    proxyPage_ = std::make_unique<TProxyPage>(dialog);
    const std::array<TMainPage*, 8> ownPages = {dateTimePage_.get(), nullptr, skinsPage_.get(), nullptr,
                                                timeZonesPage_.get(), atomicClockPage_.get(), aboutPage_.get(),
                                                proxyPage_.get()};
    // The weather page, the slowest to make, comes last: by then the host has mostly shown the clock.
    static constexpr std::array<size_t, 8> kMakingOrder = {0, 1, 2, 4, 5, 6, 7, 3};
    static_assert(kMakingOrder.size() == std::tuple_size_v<decltype(pages_)>);
    for (size_t i : kMakingOrder) {
        if (ownPages[i]) {
            pages_[i] = ownPages[i]->Create(hwnd_);
        } else if (i == 1) {
            IAlarmsPageHost& host = *this;
            alarmsPage_ = std::make_unique<TAlarmsPage>(host);
            pages_[i] = alarmsPage_->Create(hwnd_);
        } else {
            LetTheClockShow(250);
            CreateWeatherPage();
            pages_[i] = weather_->Create(hwnd_);
        }
        if (!pages_[i])  // a page whose template failed: an empty one keeps the tabs working
            pages_[i] = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, hwnd_, nullptr,
                                        Instance(), nullptr);
        AnswerSentMessages();
    }
    LayoutPages();
    ModelToControls();
    SelectPage(0);
}

// The tabs' 24 x 24 pictures, taken from the program's own pictures; one that is missing leaves its
// tab's place empty. Decoded when the dialog is first shown: a user who never opens it never pays for them.
void TfrmClock::MakeTabImages() {
    static const wchar_t* const kTabPictures[] = {L"Icons\\15-calendar.png", L"Icons\\00-bell.png",
                                                  L"Icons\\08-star.png",     L"Weather\\32.png",
                                                  L"Icons\\12-plane.png",    L"Icons\\01-alarm-clock.png"};
    std::vector<AlphaBitmap> pictures;
    PictureDecoding decoding;   // one load of the decoder for all of them
    for (const wchar_t* file : kTabPictures) pictures.push_back(LoadPicture(config_.appDir + L"\\" + file));
    tabImages_ = MakeImageList(24, pictures);
    SendMessageW(tab_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(tabImages_.get()));
}

void TfrmClock::CreateWeatherPage() {
    IWeatherFormHost& host = *this;
    weather_ = std::make_unique<TfrmWeather>(options_, host, *config_.now, config_.appDir + L"\\", config_.weatherStore);
    INimbrelHost& forecast = *this;
    frmNimbrel_ = std::make_unique<ForecastWidgetSlot>(
        forecast, config_.appDir + L"\\",
        RegistryPlace{config_.store.root, config_.store.programKey + L"\\Forecast"});
}

void TfrmClock::LayoutPages() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int margin = ScaledToScreen(6), okHeight = ScaledToScreen(25), okWidth = ScaledToScreen(75);
    MoveWindow(tab_, margin, margin, rc.right - 2 * margin, rc.bottom - 3 * margin - okHeight, TRUE);
    MoveWindow(ok_, rc.right - margin - okWidth, rc.bottom - margin - okHeight, okWidth, okHeight, TRUE);
    RECT page;
    GetWindowRect(tab_, &page);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&page), 2);
    SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    for (HWND p : pages_)
        if (p) SetWindowPos(p, HWND_TOP, page.left, page.top, page.right - page.left, page.bottom - page.top, SWP_NOACTIVATE);
}

void TfrmClock::SelectPage(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    if (pages_[static_cast<size_t>(currentPage_)]) ShowWindow(pages_[static_cast<size_t>(currentPage_)], SW_HIDE);
    if (currentPage_ == 5 && atomicClockPage_) atomicClockPage_->Hidden();
    currentPage_ = index;
    if (index < 6) SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetWindowPos(pages_[static_cast<size_t>(index)], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (TMainPage* page = OwnPage(index)) page->Shown();
}

TMainPage* TfrmClock::OwnPage(int index) const {
    switch (index) {
    case 0: return dateTimePage_.get();
    case 2: return skinsPage_.get();
    case 4: return timeZonesPage_.get();
    case 5: return atomicClockPage_.get();
    case 6: return aboutPage_.get();
    case 7: return proxyPage_.get();
    default: return nullptr;
    }
}

void TfrmClock::ModelToControls() {
    loading_ = true;
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
        if (TMainPage* page = OwnPage(i)) page->ModelToControls(options_);
    alarmsPage_->SetAlarmsEnabled(options_.enAlarms);
    loading_ = false;
}

void TfrmClock::ControlsToModel() {
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
        if (TMainPage* page = OwnPage(i)) page->ControlsToModel(options_);
    options_.enAlarms = alarmsPage_->AlarmsEnabled();
}

void TfrmClock::ProxyChanged(bool enabled) {
    if (weather_) weather_->SetProxyCaption(enabled);
}

void TfrmClock::ReloadClockOptions() {
    if (config_.painter) config_.painter->LoadClockOptions(config_.store.settingsDir);
}

void TfrmClock::BackToTabPage() { SelectPage(static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0))); }

bool TfrmClock::InitClock() {
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (!CreateFolderTree(config_.store.settingsDir))
        ReportSaveFailure(L"The settings folder " + config_.store.settingsDir + L" could not be created: " +
                          SystemErrorText(GetLastError()));
    TAlarmsSeams seams;
    seams.list = alarmsPage_.get();
    seams.switches = alarmsPage_.get();
    seams.wakeTimer = system_.CreateWakeTimer();
    if (seams.wakeTimer) seams.localToUtc = &SystemLocalToUtc();
    IAlarmErrors& errors = *this;
    alarmList_ = std::make_unique<TAlarms>(config_.store.settingsDir + L"alarms.ini", *config_.now,
                                           [this](const TAlRecord& a) { AlarmFired(a); }, errors, std::move(seams));
    // A damaged alarms file is reported in a message box, whose loop may carry a quit: the form is then gone.
    if (destroyed_ || !hwnd_) return false;
    alarmsPage_->SetAlarmList(alarmList_.get());
    // The list's icons are decoded when a window first shows them (ShowMain, an alarm's window).
    HIMAGELIST icons = frmAlarm_ ? frmAlarm_->Icons().ListHandle() : nullptr;
    alarmsPage_->SetImageList(icons);
    // The alarm editor's window owns what an alarm's program shows.
    alarmDevices_ = system_.CreateAlarmDevices(config_.appDir + L"\\", frmAlarm_ ? frmAlarm_->hwnd() : hwnd_);
    if (alarmDevices_.volume) alarmVolume_ = std::make_unique<TAlarmVolume>(*alarmDevices_.volume);
    alarmWindowDeps_ = {alarmList_.get(), alarmDevices_.sound.get(), alarmVolume_.get(), icons};
    IAlarmWindowOpener& windows = *this;
    alarmActions_ = std::make_unique<TAlarmActions>(
        AlarmActionsDeps{alarmList_.get(), alarmDevices_.sound.get(), alarmVolume_.get(), alarmDevices_.launcher.get(),
                         alarmDevices_.power.get()},
        windows);
    // The handler is connected above, before the check timer starts.
    SetTimer(hwnd_, kAlarmTimer, 900, nullptr);
    if (!hostStarted_) {
        Message(L"Can't run Quellix.exe", L"Can't run Quellix.exe", nullptr);
        reallyQuit_ = true;
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return false;
    }
    // The host may not have its window yet: it announces itself to the component when it has.
    if (trayClock_) trayClock_->Show();
    return true;
}

void TfrmClock::LoadOptions() {
    if (weather_) weather_->RestorePlacement();
    optionsUnread_ = !vt::LoadOptions(config_.store, options_).fileRead;
    optionsLoaded_ = true;
    ModelToControls();
    if (weather_) weather_->LoadFromOptions();
    SelectPage(options_.activePage);
    RestorePlacement();
    proxyPage_->ApplyProxy();
    atomicClockPage_->Start(hwnd_);
    if (optionsUnread_)
        ShowException((L"The options could not be read from " + config_.store.SettingsFile() +
                       L". The defaults are in use; the file is left as it is and read again when it can be.")
                          .c_str());
}

// Setting.ini could not be read at start: once it can, its options replace the defaults in use.
bool TfrmClock::RereadOptions() {
    MainOptions read = options_;
    if (!vt::LoadOptions(config_.store, read).fileRead) return false;
    optionsUnread_ = false;
    options_ = read;   // as at start-up: a zone beyond the list stays as stored
    if (hwnd_ && !destroyed_) {
        ModelToControls();
        if (weather_) weather_->LoadFromOptions();
    }
    if (config_.painter) config_.painter->LoadClockOptions(config_.store.settingsDir);
    return true;
}

void TfrmClock::SaveOptions() {
    // Options never read are never written: a start-up that failed early must not replace the user's file.
    if (!optionsLoaded_) return;
    if (hwnd_ && !destroyed_) ControlsToModel();
    if (currentPage_ < 6) options_.activePage = currentPage_;
    WriteOptionsFile();
    if (config_.painter) config_.painter->LoadClockOptions(config_.store.settingsDir);
}

void TfrmClock::WriteOptionsFile() {
    // Defaults never replace a file that was not read.
    if (optionsUnread_ && !RereadOptions()) return;
    ReportSaveResult(vt::SaveOptions(config_.store, options_));
}

// Saves come with every change and every countdown tick: each failure is told once, until what failed is
// saved again.
void TfrmClock::ReportSaveResult(OptionsSaveResult saved) {
    if (saved.fileSaved) saveFailureShown_ = false;
    else if (std::exchange(saveFailureShown_, true)) saved.fileSaved = true;
    if (std::exchange(refusedValueShown_, saved.refusedValue) == saved.refusedValue) saved.refusedValue.clear();
    const std::wstring text = saved.Report(config_.store);
    // A box once the end has begun would hold the end up until someone answered it.
    if (!text.empty() && !Ending()) ShowException(text.c_str());
}

void TfrmClock::ReportOptionsSaveFailure() {
    ReportSaveFailure(L"The options could not be saved to " + config_.store.SettingsFile() + L": " +
                      SystemErrorText(GetLastError()));
}

void TfrmClock::ReportSaveFailure(const std::wstring& text) {
    // Saves come with every change and every countdown tick: one report until a save succeeds again.
    if (saveFailureShown_ || Ending()) return;
    saveFailureShown_ = true;
    ShowException(text.c_str());
}

void TfrmClock::Message(const std::wstring& text, const std::wstring& caption, HWND owner, UINT icon) {
    if (Ending()) return;
    system_.ShowMessage(text, caption, owner, icon);
}

void TfrmClock::ShowMain() {
    if (!tabImages_) MakeTabImages();
    if (frmAlarm_) frmAlarm_->Icons().Decode();   // the alarm list's icons
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    // FormShow
    SetWindowPos(hwnd_, options_.onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd_);
    alarmsPage_->lvAlarmsChange();
    if (alarmList_) alarmList_->Refresh();
}

void TfrmClock::ChangeSettingsFolder() {
    BrowseStartFolder = config_.store.settingsDir;
    std::wstring path;
    BrowseForSettingsFolder(hwnd_, L"Select a folder", BIF_RETURNONLYFSDIRS, path);
    if (path.empty()) return;
    ControlsToModel();
    auto r = vt::ChangeSettingsFolder(config_.store, options_, path);
    if (!r.error.empty()) MessageBoxW(hwnd_, r.error.c_str(), kProductTitle, MB_OK | MB_ICONERROR);
    if (r.changed) {
        if (alarmList_) alarmList_->Reopen(config_.store.settingsDir + L"alarms.ini");
        if (config_.painter) config_.painter->LoadClockOptions(config_.store.settingsDir);
        ReportSaveResult(r.saved);
    }
}

void TfrmClock::SavePlacement() {
    if (!optionsLoaded_) return;   // nothing was restored, so nothing of the user's is overwritten
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(hwnd_, &wp)) return;
    RegKey key = RegKey::Create(config_.store.root, config_.store.programKey);
    key.WriteBinary(L"fsMain.Placement", &wp.rcNormalPosition, sizeof wp.rcNormalPosition);
    // The folder in use is recorded with the placement, also when it is the default one.
    key.WriteString(L"AppDataDir", config_.store.settingsDir);
    alarmsPage_->SavePlacement(key);
    atomicClockPage_->SavePlacement(key);
    if (weather_) weather_->SavePlacement();
}

void TfrmClock::RestorePlacement() {
    RegKey key = RegKey::Open(config_.store.root, config_.store.programKey, KEY_READ);
    alarmsPage_->RestorePlacement(key);
    atomicClockPage_->RestorePlacement(key);
    auto data = key.ReadBinary(L"fsMain.Placement");
    if (!data || data->size() != sizeof(RECT)) return;
    RECT r;
    memcpy(&r, data->data(), sizeof r);
    // Only a position that is still on some monitor is restored.
    if (r.right - r.left < 100 || r.bottom - r.top < 100 || !MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return;
    SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmClock::HideToTray() {
    // Hidden without the minimise animation, which is put back as it was.
    ANIMATIONINFO ai{sizeof ai, 0};
    bool got = SystemParametersInfoW(SPI_GETANIMATION, sizeof ai, &ai, 0);
    if (got && ai.iMinAnimate) {
        ANIMATIONINFO off{sizeof off, 0};
        SystemParametersInfoW(SPI_SETANIMATION, sizeof off, &off, 0);
    }
    ShowWindow(hwnd_, SW_MINIMIZE);
    ShowWindow(hwnd_, SW_HIDE);
    if (got && ai.iMinAnimate) SystemParametersInfoW(SPI_SETANIMATION, sizeof ai, &ai, 0);
    // The taskbar drops the dialog's button, which on some desktops blanks the clock window.
    if (trayClock_) trayClock_->WindowHidden();
}

void TfrmClock::FormClose() {
    SaveOptions();
    SavePlacement();
    if (!reallyQuit_) {
        HideToTray();
        return;
    }
    savedForQuit_ = true;   // the destruction need not write the same file again
    Quit();
}

// A quit may come from inside a message box, a menu or a modal dialog whose caller still runs: those
// loops end, and the form with everything it owns goes once that code has returned.
void TfrmClock::Quit() {
    reallyQuit_ = true;
    EndNestedLoops();
    DestroyWindowWhenUnwound(hwnd_);
}

void TfrmClock::FormDestroy() {
    destroyed_ = true;
    if (optionsLoaded_ && !savedForQuit_) WriteOptionsFile();
    UnregisterHotKey(hwnd_, kWeatherHotKeyId);
    EnableTimer(false);
    KillTimer(hwnd_, kAlarmTimer);
    calendar_.reset();   // saves its placement; it reads the alarm list, so it goes first
    AlarmWindows.CloseAll();
    // Its modal loop may be what dispatched the end: the editor goes once that loop has returned.
    if (frmAlarm_) frmAlarm_->Close();
    DeleteWhenUnwound(std::move(frmAlarm_));
    alarmActions_.reset();
    if (alarmsPage_) alarmsPage_->SetAlarmList(nullptr);
    alarmList_.reset();
    alarmDevices_ = {};
    trayClock_.reset();   // tells the host to quit, with a time-out
    newVersion_.reset();   // a running check is cancelled and joined
    if (frmNimbrel_) frmNimbrel_->Free();
    if (weather_) weather_->Shutdown();   // stops and joins a running request
    if (atomicClockPage_) atomicClockPage_->Shutdown();   // leaves a request still waiting on its server
    if (config_.painter) config_.painter->ReleaseWeatherIcon();
    trayIcon_.Deactivate();
    PostQuitMessage(0);
}

}  // namespace vt
