#include "app/main_form.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/registry.h"
#include "base/taskbar_locator.h"
#include "clock/timezones.h"
#include "resources/resource.h"

// The main form's roads to the taskbar clock, the calendar, the alarms and the weather.
namespace vt {

void TfrmClock::RunDateTimeProperties() {
    ShellExecuteW(nullptr, L"open", L"control.exe", L"timedate.cpl", nullptr, SW_SHOW);
}

// Started as a process of its own, not through the shell: its path is known, and the shell's road
// adds a good part of a second's start-up under some shells.
bool HostProcessLauncher::Start(const std::wstring& appDir) {
    const std::wstring file = appDir + L"\\Quellix.exe";
    std::wstring command = L"\"" + file + L"\" TTrayClock";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(file.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, appDir.c_str(), &startup,
                        &started))
        return false;
    UniqueHandle process(started.hProcess), thread(started.hThread);
    return true;
}

void TfrmClock::CreateAlarmEditor() {
    IAlarmEditorHost& host = *this;
    ISoundPreview& preview = *this;
    frmAlarm_ = std::make_unique<TfrmAlarm>(*config_.now, config_.appDir + L"\\", host, editorDialogs_, preview);
    frmAlarm_->Create();   // hidden; also fills the month and day names
}

void TfrmClock::SelectAlarmRow(int row) {
    ListView_SetItemState(alarmsPage_->lvAlarms, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void TfrmClock::ReloadCalendar() {
    if (calendar_ && calendar_->IsShown()) calendar_->btReloadClick();
}

void TfrmClock::TestAlarm(int id) {
    if (alarmActions_) alarmActions_->Test(id);
}

// Kept at once with the main form's placement values, where the next start reads it.
void TfrmClock::LabelFilterChanged(int index) {
    RegKey::Create(config_.store.root, config_.store.programKey)
        .WriteDword(L"cbAlarmsCategory.ItemIndex", static_cast<std::uint32_t>(index));
}

bool TfrmClock::ConfirmDelete(const std::wstring& text) { return system_.Confirm(text, L"Delete", hwnd_); }

// The calendar marks days with the editor's own icon list: icon n is the same picture everywhere.
std::wstring TfrmClock::AlarmIconFile(int icon) { return frmAlarm_ ? frmAlarm_->Icons().File(icon) : std::wstring(); }

void TfrmClock::CalendarMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT icon) {
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | icon);
}

std::wstring TfrmClock::ReplyXml() {
    const auto& r = weather_->Page().Report();
    return r ? r->xml : std::wstring();
}

bool TfrmClock::MetricUnits() { return !weather_->Page().State().englishUnits; }

void TfrmClock::UpdateWeather() { weather_->onGetWeather(); }

void TfrmClock::ShowWeatherPage() {
    ShowMain();
    SelectPage(3);
}

HWND TfrmClock::ClockWindow() {
    return trayClock_ && trayClock_->ClockWindow() ? trayClock_->ClockWindow() : FindTaskbarClockWindow();
}

void TfrmClock::AlarmError(const std::wstring& text) { Message(text, kProductTitle, hwnd_); }

void TfrmClock::OpenAlarmWindow(const AlarmWindowRequest& request) {
    IAlarmEditing& editing = *this;
    IAlarmWindowMessages& messages = *this;
    if (frmAlarm_) frmAlarm_->Icons().Decode();   // the window shows the alarm's icon
    TfrmOnAlarm::Open(alarmWindowDeps_, editing, messages, AlarmWindows, request);
}

void TfrmClock::AlarmWindowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT icon) {
    Message(text, caption, owner, icon);
}

void TfrmClock::EditAlarm(bool isNew, int id) {
    if (frmAlarm_) frmAlarm_->EditAlarm(isNew, id);
}

void TfrmClock::SetVolumePercent(int percent) {
    if (alarmVolume_) alarmVolume_->SetVolumePercent(percent);
}

void TfrmClock::Play(const std::wstring& path) {
    if (alarmDevices_.sound) alarmDevices_.sound->PlayAlarmSound(path, false, 0, 1);
}

void TfrmClock::Stop() {
    if (alarmDevices_.sound) alarmDevices_.sound->StopAlarmSound();
}

void TfrmClock::CreateTrayClock() {
    trayClock_ = std::make_unique<TTrayClock>(SystemTray());
    TTrayClock& t = *trayClock_;
    t.OnPaint = [this](HDC dc, const RECT& client) {
        clockPainted_ = true;
        if (config_.painter) config_.painter->PaintClock(dc, client, trayClock_->BackgroundVersion());
    };
    t.OnInit = [this] {
        if (config_.painter) config_.painter->InitClockPaint(SkinsDir());
    };
    t.OnCalcClockSize = [this] {
        if (!config_.painter) return;
        trayClock_->SetClockWidth(config_.painter->CalcClockWidth());
        trayClock_->SetClockHeight(config_.painter->CalcClockHeight());
    };
    // The clock shows before the pages are made: what a click or hover opens waits for them.
    t.OnClick = [this](MouseButton, ShiftState, int, int) {
        if (!building_) TrayClock1Click();
    };
    t.OnMouseOver = [this](ShiftState, int, int) {
        if (!building_) TrayClock1MouseOver();
    };
    t.OnMouseLeave = [this](ShiftState, int, int) {
        if (!building_) TrayClock1MouseLeave();
    };
    // The quick menu comes on the right button's release: what the hover opened must not cover it.
    t.OnMouseDown = [this](MouseButton button, ShiftState, int, int) {
        if (button == MouseButton::Right && !building_) TrayClock1MouseLeave();
    };
    t.SetPopupMenu(GetSubMenu(fastMenu_.get(), 0), hwnd_);
    t.Loaded();
}

void TfrmClock::TrayClock1Click() {
    switch (options_.click) {
    case 0: ShowMain(); break;
    case 1: RunDateTimeProperties(); break;
    case 2: RandomSkin(); break;
    case 3: ToggleUpTime(); break;
    case 4: ShowUpTime5(); break;   // nothing while the uptime already shows
    case 5: ShowCalendar(); break;
    default: break;                 // 6: the quick menu comes with the right button
    }
}

void TfrmClock::TrayClock1MouseOver() {
    if (options_.hoverMouse == 1 || options_.hoverMouse == 3) ShowCalendar();
    if ((options_.hoverMouse == 2 || options_.hoverMouse == 3) && frmNimbrel_) frmNimbrel_->Show();
}

void TfrmClock::TrayClock1MouseLeave() {
    if (options_.hoverMouse == 1 || options_.hoverMouse == 3) CloseCalendar();
    if ((options_.hoverMouse == 2 || options_.hoverMouse == 3) && frmNimbrel_) frmNimbrel_->Close();
}

void TfrmClock::AlarmFired(const TAlRecord& alarm) {
    if (alarmActions_) alarmActions_->AlarmFired(alarm);
}

void TfrmClock::ShowAtomicClockPage() {
    ShowMain();
    SelectPage(5);
    atomicClockPage_->ShowAtomicClockPage();
}

void TfrmClock::ShowCalendar() {
    if (!calendar_) {
        CalendarConfig cc;
        cc.appDir = config_.appDir;
        cc.store = {config_.store.root, config_.store.programKey + L"\\Calendar"};
        cc.now = config_.now;
        ICalendarHost& host = *this;
        IAlarmEditing& editing = *this;
        calendar_ = std::make_unique<TfrmCalendar2>(std::move(cc), host, editing);
    }
    calendar_->ShowCalendar();
}

// Closes the window only: the calendar's own menu may be open when the mouse leaves the clock.
void TfrmClock::CloseCalendar() {
    if (calendar_) calendar_->Close();
}

ProxySettings TfrmClock::CurrentProxy() {
    const ProxyOptions& p = options_.proxy;
    return ProxySettings{p.address, p.PortNumber(), p.user, p.password, p.basicAuth, p.enabled};
}

void TfrmClock::WeatherUpdated() {
    if (frmNimbrel_) frmNimbrel_->Redraw();
}

void TfrmClock::OpenProxyPage() { SelectPage(7); }

void TfrmClock::ScheduleWeatherCheck() {
    if (weather_) weather_->ScheduleWeatherCheck();
}

void TfrmClock::RefreshClock() {
    if (!options_.replaceClock) {
        trayIcon_.Activate();
        return;
    }
    HWND clock = ClockWindow();
    if (clock && IsWindowVisible(clock) && config_.painter) {
        bool sizeDiffers = false;
        if (config_.painter->HasTaskbarWindows()) {
            RECT rc;
            GetClientRect(clock, &rc);
            sizeDiffers = config_.painter->IsTaskbarVertical() ? config_.painter->CalcClockHeight() != rc.bottom
                                                               : config_.painter->CalcClockWidth() != rc.right;
        }
        config_.painter->UpdateClockDigits();
        // A second that changes nothing on the clock costs no paint in this process or the host's.
        if (sizeDiffers || config_.painter->PictureOutdated()) RefreshTaskbarClockWindow(clock, sizeDiffers);
        trayIcon_.Deactivate();
    } else {
        // Nothing paints our clock: the tray icon keeps the program reachable.
        trayIcon_.Activate();
    }
}

void TfrmClock::EnableTimer(bool on) {
    if (on) SetTimer(hwnd_, kClockTimer, 1000, nullptr);
    else KillTimer(hwnd_, kClockTimer);
}

void TfrmClock::TimerTimer() {
    if (upTimeCountdown_ != 0) {
        --upTimeCountdown_;
        if (upTimeCountdown_ <= 0) {
            upTimeCountdown_ = 0;
            ControlsToModel();
            options_.upTime = false;
            ModelToControls();
            SaveOptions();
            RefreshClock();
        }
    }
    RefreshClock();
    int hour = DecodeDateTime(config_.now->Now()).hour;
    if (hour != lastTickHour_) RefreshClock();
    lastTickHour_ = hour;
}

}  // namespace vt
