// TfrmClock: the program's main form and application window (class "TfrmClock"). It starts hidden in the
// notification area, answers the command messages, runs the one-second clock timer, and is shown as the
// main dialog with its pages.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "alarms/alarm_actions.h"
#include "alarms/alarm_devices.h"
#include "alarms/alarm_editor.h"
#include "alarms/alarm_list.h"
#include "alarms/alarm_window.h"
#include "alarms/alarms_page.h"
#include "alarms/calendar2.h"
#include "alarms/wake_timer.h"
#include "app/main_pages.h"
#include "app/atomic_clock_page.h"
#include "app/main_page.h"
#include "app/new_version.h"
#include "app/skins_page.h"
#include "app/tray_icon.h"
#include "clock/command_messages.h"
#include "clock/tray_clock.h"
#include "weather/frm_nimbrel.h"
#include "weather/frm_weather.h"
#include "base/handles.h"
#include "base/now.h"
#include "base/window.h"
#include "clock/options_file.h"
#include "clock/options_model.h"

namespace vt {

// The tray icon's notifications.
inline constexpr UINT WM_TRAYICON = WM_APP + 1;

inline constexpr wchar_t kMainFormClass[] = L"TfrmClock";
inline constexpr wchar_t kProductTitle[] = L"Vantoric";
inline constexpr wchar_t kProductName[] = L"Vantoric";

// Starts the taskbar host Quellix.exe from the program folder.
class IHostLauncher {
public:
    virtual ~IHostLauncher() = default;
    virtual bool Start(const std::wstring& appDir) = 0;
};

class HostProcessLauncher final : public IHostLauncher {
public:
    bool Start(const std::wstring& appDir) override;
};

// The clock painter as the main form uses it.
class IClockPainter {
public:
    virtual ~IClockPainter() = default;
    virtual void InitClockPaint(const std::wstring& skinsDir) = 0;
    virtual void LoadClockOptions(const std::wstring& settingsDir) = 0;
    virtual bool HasTaskbarWindows() = 0;   // the painter found the taskbar and its clock window
    virtual bool IsTaskbarVertical() = 0;
    virtual int CalcClockWidth() = 0;
    virtual int CalcClockHeight() = 0;
    virtual void UpdateClockDigits() = 0;
    virtual bool PictureOutdated() = 0;   // the clock shows something new since its last paint
    virtual void ReleaseWeatherIcon() = 0;
    // dc holds the picture under the clock, which `background` names (see TTrayClock::BackgroundVersion).
    virtual void PaintClock(HDC dc, const RECT& clientRect, std::uint64_t background) = 0;
};

// What the main form asks of the machine and of the user. The program passes SystemServices; tests
// pass fakes that record.
class IMainFormSystem {
public:
    // The sound player, volume, program launcher (programs open owned by `owner`) and power actions.
    virtual AlarmDevices CreateAlarmDevices(const std::wstring& programDir, HWND owner) = 0;
    // The wake timer; null when the machine has none (the implementation reports why).
    virtual std::unique_ptr<IWakeTimer> CreateWakeTimer() = 0;
    // icon: 0 or one of the MB_ICON... flags.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption, HWND owner, UINT icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Confirm(const std::wstring& text, const std::wstring& caption, HWND owner) = 0;
    virtual void OpenWebPage(int page) = 0;   // in the user's browser

protected:
    ~IMainFormSystem() = default;
};

// The machine's own: its devices, wake timer, message boxes and browser.
class SystemServices final : public IMainFormSystem {
public:
    AlarmDevices CreateAlarmDevices(const std::wstring& programDir, HWND owner) override;
    std::unique_ptr<IWakeTimer> CreateWakeTimer() override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption, HWND owner, UINT icon) override;
    bool Confirm(const std::wstring& text, const std::wstring& caption, HWND owner) override;
    void OpenWebPage(int page) override;
};

struct MainFormConfig {
    // The atomic-clock page's roads to the network and the clock; none: the program's own.
    ITimeQuery* timeQuery = nullptr;
    ILocalClockAdjuster* localAdjuster = nullptr;
    ITimeServiceFactory* timeServiceFactory = nullptr;
    OptionsStore store;            // settingsDir empty: InitClock resolves it
    std::wstring appDir;           // empty: the folder of the running program
    IHostLauncher* host = nullptr;
    IClockPainter* painter = nullptr;
    const INow* now = nullptr;
    std::wstring versionShort = L"1.0";
    std::wstring versionFull = L"1.0.0.1";
    RegistryPlace weatherStore;    // where the weather page keeps its values
};

class TfrmClock : public Window<TfrmClock>, private IMainDialog, private ISoundPreview, private IWeatherFormHost,
                  private IAlarmEditing, private IAlarmsPageHost, private IAlarmEditorHost, private ICalendarHost,
                  private SystemNimbrelActions, private IAlarmErrors, private IAlarmWindowOpener,
                  private IAlarmWindowMessages {
public:
    TfrmClock(MainFormConfig config, IMainFormSystem& system);
    ~TfrmClock() override;

    // Creates the hidden window and runs FormCreate.
    bool Create();
    // Folders, the start of the taskbar host. False when the host could not start (the form is then gone).
    bool InitClock();
    void LoadOptions();
    void SaveOptions() override;
    void RefreshClock() override;
    void EnableTimer(bool on);
    // Registers hot key id 1 from the weather page's hot-key value; shows the failure message.
    bool RegisterWeatherHotKey();
    void ShowMain();
    // "Check for New Version...": the answer comes back as a message.
    void CheckaNewVersion1Click();
    // The skins page: a chosen skin, and a random one for the quick menu and the click action.
    void ChooseSkin(const std::wstring& name);
    void RandomSkin();

    void SelectPage(int index);

    MainOptions& Options() override { return options_; }
    const OptionsStore& Store() const { return config_.store; }
    bool ReallyQuit() const { return reallyQuit_; }
    int UpTimeCountdown() const { return upTimeCountdown_; }
    bool TrayIconActive() const { return trayIcon_.Active(); }
    int CurrentPage() const { return currentPage_; }
    HMENU FastMenu() const { return GetSubMenu(fastMenu_.get(), 0); }   // the tray and quick menu
    HWND Page(int index) const { return pages_[static_cast<size_t>(index)]; }
    TAlarms* AlarmList() override { return alarmList_.get(); }
    TAlarmsPage* AlarmsPage() { return alarmsPage_.get(); }
    // The one alarm editor; EditAlarm is its one entry.
    TfrmAlarm* AlarmEditor() { return frmAlarm_.get(); }
    void EditAlarm(bool isNew, int id) override;   // also the alarms page's and the calendar's
    TAlarmWindows AlarmWindows;   // the open alarm message windows; not owned
    TTrayClock* TrayClock() { return trayClock_.get(); }
    TfrmWeather* WeatherPage() { return weather_.get(); }
    // Runs tasks on the form's thread between messages (workers' answers).
    IMainThread& MainThread() { return *mainThread_; }
    // The month calendar, made on first use (imnCalendarClick) and closed by btHideCalendarClick.
    void ShowCalendar();
    void CloseCalendar();
    TfrmCalendar2* Calendar() { return calendar_.get(); }
    ForecastWidgetSlot* Forecast() { return frmNimbrel_.get(); }
    // The weather check's timer from the stored check date (start-up, resume).
    void ScheduleWeatherCheck();
    void TimerTimer();

    static void RegisterClass();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    static constexpr UINT_PTR kClockTimer = 1;
    static constexpr UINT_PTR kAlarmTimer = 2;
    static constexpr UINT kRunPostedTask = WM_APP + 2;
    static constexpr UINT kNewVersionAnswer = WM_APP + 3;
    static constexpr UINT kTrayIconId = 1;
    static void RunDateTimeProperties();
    void AlarmFired(const TAlRecord& alarm);
    bool AlarmEditorVisible() override { return frmAlarm_ && frmAlarm_->Visible(); }
    // The taskbar clock window the program is attached to, which RefreshClock repaints; what opens over
    // the clock (the quick menu, the calendar, the forecast widget) keeps its hover from leaving there.
    HWND ClockWindow() override;
    // The alarm list's reports, and the alarm windows it opens with their message boxes.
    void AlarmError(const std::wstring& text) override;
    void OpenAlarmWindow(const AlarmWindowRequest& request) override;
    void AlarmWindowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT icon) override;
    // The alarms page's roads into the form.
    void TestAlarm(int id) override;
    void AlarmsSwitched(bool enabled) override { options_.enAlarms = enabled; }
    void LabelFilterChanged(int index) override;
    bool ConfirmDelete(const std::wstring& text) override;
    // The alarm editor's.
    int CategoryFilter() override { return alarmsPage_->LabelFilter(); }
    int SelectedAlarmRow() override { return alarmsPage_->SelectedIndex(); }
    void SelectAlarmRow(int row) override;
    void ReloadCalendar() override;
    HWND EditorOwner() override { return hwnd_; }
    // The calendar's.
    bool AlarmsEnabled() override { return options_.enAlarms; }
    std::wstring AlarmIconFile(int icon) override;
    void CalendarMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT icon) override;
    // The forecast widget's.
    std::wstring ReplyXml() override;
    bool MetricUnits() override;
    void UpdateWeather() override;
    void ShowWeatherPage() override;
    // The weather page's roads into the form.
    ProxySettings CurrentProxy() override;
    void WeatherUpdated() override;
    void OpenProxyPage() override;
    void HotKeyChanged(WORD hotKey) override;
    HWND HotKeyWindow() override { return hwnd_; }
    // What the pages ask of the dialog.
    bool Loading() const override { return loading_; }
    void ControlsToModel() override;
    void ModelToControls() override;
    void ReloadClockOptions() override;
    void ReportOptionsSaveFailure() override;
    void ProxyChanged(bool enabled) override;
    void BackToTabPage() override;
    TMainPage* OwnPage(int index) const;
    void CreateWeatherPage();
    void MakeTabImages();
    void CreateAlarmEditor();
    // The editor's test play goes through the program's one alarm sound player.
    void SetVolumePercent(int percent) override;
    void Play(const std::wstring& path) override;
    void Stop() override;
    void ShowAtomicClockPage();
    void FormCreate();
    void CreatePages();
    void AnswerSentMessages();
    void LetTheClockShow(DWORD maxMs);
    LRESULT WhileBuilding(UINT msg, WPARAM wp, LPARAM lp);
    void LayoutPages();
    void OnCommand(int id);
    LRESULT DefaultButton() const;
    HWND PageOf(HWND control) const;
    void SetSwitch(bool MainOptions::*field, WPARAM wp);
    void ShowUpTime5();
    void ToggleUpTime();
    void ShowFastMenu();
    void FillFastMenuChecks(HMENU menu);
    void FormClose();
    void FormDestroy();
    void Quit();
    void WriteOptionsFile();
    bool RereadOptions();
    void ReportSaveFailure(const std::wstring& text);
    void ReportSaveResult(OptionsSaveResult saved);
    void HideToTray();
    void SavePlacement();
    void RestorePlacement();
    void ChangeSettingsFolder();
    void NewVersionAnswered(NewVersionAnswer answer);
    std::wstring SkinsDir() const { return config_.appDir + L"\\skins\\"; }
    void CreateTrayClock();
    void TrayClock1Click();
    void TrayClock1MouseOver();
    void TrayClock1MouseLeave();
    void Message(const std::wstring& text, const std::wstring& caption, HWND owner, UINT icon = 0);
    // The quit or the end of the session has begun: no new box opens, whose loop would only hold it up.
    bool Ending() const { return reallyQuit_ || sessionEnding_; }

    MainFormConfig config_;
    std::unique_ptr<TAlarms> alarmList_;
    std::unique_ptr<TAlarmsPage> alarmsPage_;
    AlarmDevices alarmDevices_;
    std::unique_ptr<TAlarmVolume> alarmVolume_;
    AlarmWindowDeps alarmWindowDeps_;
    std::unique_ptr<TAlarmActions> alarmActions_;
    std::unique_ptr<TfrmAlarm> frmAlarm_;
    std::unique_ptr<NewVersionCheck> newVersion_;
    std::unique_ptr<TTrayClock> trayClock_;
    std::unique_ptr<TfrmWeather> weather_;
    std::unique_ptr<ForecastWidgetSlot> frmNimbrel_;   // the widget itself is made on first use
    std::unique_ptr<TfrmCalendar2> calendar_;
    std::unique_ptr<WindowMainThread> mainThread_;
    std::unique_ptr<TDateTimePage> dateTimePage_;
    std::unique_ptr<TSkinsPage> skinsPage_;
    std::unique_ptr<TTimeZonesPage> timeZonesPage_;
    std::unique_ptr<TAtomicClockPage> atomicClockPage_;
    std::unique_ptr<TAboutPage> aboutPage_;
    std::unique_ptr<TProxyPage> proxyPage_;
    IMainFormSystem& system_;
    SystemEditorDialogs editorDialogs_;
    HostProcessLauncher defaultHost_;
    MainOptions options_;
    TrayIcon trayIcon_;
    UniqueMenu fastMenu_;
    UniqueIcon icon_;
    UniqueImageList tabImages_;
    HWND tab_ = nullptr;
    HWND ok_ = nullptr;
    std::array<HWND, 8> pages_{};   // 7: the proxy page, which has no tab
    int currentPage_ = 0;
    int upTimeCountdown_ = 0;
    int lastTickHour_ = -1;
    UINT taskbarCreatedMessage_ = 0;
    bool loading_ = false;        // the controls are being filled from the options
    bool reallyQuit_ = false;     // closing ends the program instead of hiding the dialog
    bool sessionEnding_ = false;  // asked whether the session may end, and not told it goes on
    bool building_ = false;       // the pages are still being made; only the clock answers
    bool hostStarted_ = false;
    bool clockPainted_ = false;
    bool optionsLoaded_ = false;  // nothing is saved before the options were read
    bool saveFailureShown_ = false;
    std::wstring refusedValueShown_;   // the registry value whose refusal was told last
    bool optionsUnread_ = false;  // Setting.ini could not be read: defaults in use, the file is not written
    bool destroyed_ = false;
    bool savedForQuit_ = false;   // FormClose saved just before destroying the window
};

}  // namespace vt
