#include "app/main_form.h"

#include <commctrl.h>

#include "base/shell_launcher.h"
#include "base/taskbar_locator.h"
#include "clock/webpages.h"
#include "weather/weather_hotkey.h"
#include "resources/resource.h"

// What the main form is asked to do: menu commands, the command messages of other processes, the
// quick menu, and the window's own messages.
namespace vt {

void TfrmClock::HotKeyChanged(WORD hotKey) {
    // "Update Weather" in the tray and quick menu (one menu) shows the weather hot key.
    HMENU menu = GetSubMenu(fastMenu_.get(), 0);
    if (!menu) return;
    std::wstring caption = L"Update Weather";
    std::wstring key = HotKeyText(hotKey);
    if (!key.empty()) caption += L"\t" + key;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menu, IDM_CHECKWEATHER, FALSE, &info);
}

bool TfrmClock::RegisterWeatherHotKey() {
    WORD hk = weather_ ? weather_->HotKey() : kDefaultWeatherHotKey;
    if (vt::RegisterWeatherHotKey(hwnd_, hk)) return true;
    Message(L"Unable to assign Alt-Shift-F9 as hotkey.", L"error", hwnd_);
    return false;
}

void TfrmClock::CheckaNewVersion1Click() {
    if (!newVersion_) newVersion_ = std::make_unique<NewVersionCheck>(hwnd_, kNewVersionAnswer);
    ControlsToModel();
    newVersion_->Start(config_.versionFull, options_.proxy);
}

void TfrmClock::NewVersionAnswered(NewVersionAnswer answer) {
    if (answer == NewVersionAnswer::Available) {
        const wchar_t* text = L"There is a new version available. Go to the download page?";
        if (!system_.Confirm(text, kProductTitle, hwnd_)) return;
        system_.OpenWebPage(kWebPageDownload);
    } else if (answer == NewVersionAnswer::NotAvailable) {
        Message(L"There is no new version available.", kProductTitle, hwnd_, MB_ICONINFORMATION);
    }
}

void TfrmClock::SetSwitch(bool MainOptions::*field, WPARAM wp) {
    ControlsToModel();
    options_.*field = wp == 1;
    ModelToControls();
    SaveOptions();
    RefreshClock();
}

void TfrmClock::ToggleUpTime() {
    ControlsToModel();
    options_.upTime = !options_.upTime;
    ModelToControls();
    SaveOptions();
    RefreshClock();
}

void TfrmClock::ShowUpTime5() {
    if (options_.upTime) return;
    ControlsToModel();
    upTimeCountdown_ = 5;
    options_.upTime = true;
    ModelToControls();
    SaveOptions();
    RefreshClock();
}

void TfrmClock::FillFastMenuChecks(HMENU menu) {
    auto mark = [&](UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
    mark(IDM_SHOWDATE, options_.showDate);
    mark(IDM_SHOWWEEK, options_.weekShow);
    mark(IDM_SHOWSECONDS, options_.showSeconds);
    mark(IDM_USE12HOUR, options_.englishTime);
    mark(IDM_REPLACECLOCK, options_.replaceClock);
    mark(IDM_TRANSPARENT, options_.transparentClock);
}

void TfrmClock::ShowFastMenu() {
    TrayClock1MouseLeave();   // what the hover opened closes: the menu comes first
    HMENU menu = GetSubMenu(fastMenu_.get(), 0);
    ControlsToModel();
    FillFastMenuChecks(menu);
    POINT pt;
    GetCursorPos(&pt);
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (HWND clock = ClockWindow()) PostMessageW(clock, WM_CLOCKCANCELLEAVE, 0, 0);
}

void TfrmClock::OnCommand(int id) {
    switch (id) {
    case IDM_PROXY:
        ShowMain();
        SelectPage(7);
        return;
    case IDM_NEWALARM:
        SetForegroundWindow(hwnd_);
        alarmsPage_->bNewClick();
        return;
    case IDC_BOK: case IDM_HIDE: case IDCANCEL:   // IDCANCEL: Esc in the dialog
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    case IDM_EXIT:
        reallyQuit_ = true;
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    case IDM_SHOWMAIN: ShowMain(); return;
    case IDM_CALENDAR: ShowCalendar(); return;
    case IDM_FORECAST: if (frmNimbrel_) frmNimbrel_->Show(); return;
    case IDM_SYNCTIME: case IDM_ATOM: ShowAtomicClockPage(); return;
    case IDM_DATETIMEPROPS: case IDM_DT: RunDateTimeProperties(); return;
    case IDM_CHANGEFOLDER: ChangeSettingsFolder(); return;
    case IDM_HELP: ShowHelp(SystemShellLauncher(), hwnd_, config_.appDir); return;
    case IDM_NEWVERSION: CheckaNewVersion1Click(); return;
    case IDM_FEEDBACK: SendFeedbackMail(SystemShellLauncher(), hwnd_); return;
    case IDM_ABOUT:
        ShowMain();
        SelectPage(6);
        return;
    case IDM_REPLACECLOCK:
        ControlsToModel();
        options_.replaceClock = !options_.replaceClock;
        ModelToControls();
        RefreshClock();
        return;
    case IDM_SHOWDATE: SetSwitch(&MainOptions::showDate, options_.showDate ? 0 : 1); return;
    case IDM_SHOWWEEK: SetSwitch(&MainOptions::weekShow, options_.weekShow ? 0 : 1); return;
    case IDM_SHOWSECONDS: SetSwitch(&MainOptions::showSeconds, options_.showSeconds ? 0 : 1); return;
    case IDM_USE12HOUR: SetSwitch(&MainOptions::englishTime, options_.englishTime ? 0 : 1); return;
    case IDM_TRANSPARENT: SetSwitch(&MainOptions::transparentClock, options_.transparentClock ? 0 : 1); return;
    case IDM_UPTIME: ToggleUpTime(); return;
    case IDM_UPTIME5: ShowUpTime5(); return;
    case IDM_CHECKWEATHER: if (weather_) weather_->onGetWeather(); return;
    case IDM_RANDOMSKIN: RandomSkin(); return;
    case IDM_WEATHERSETTINGS:
        SelectPage(3);
        ShowMain();
        return;
    default: return;
    }
}

// The dialog manager asks which button Enter presses: the focused push button, else the default button
// of the page in front ("Get Time" on the atomic clock page), else OK.
LRESULT TfrmClock::DefaultButton() const {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
    if (HWND page = pages_[static_cast<size_t>(currentPage_)]) {
        // A page without a default button answers IDOK, which names none of its controls.
        const LRESULT id = SendMessageW(page, DM_GETDEFID, 0, 0);
        if (HIWORD(id) == DC_HASDEFID && GetDlgItem(page, LOWORD(id))) return id;
    }
    return MAKELRESULT(IDC_BOK, DC_HASDEFID);
}

// The dialog whose control sent a command to the form: the dialog manager sends Enter's button to the
// form, while the button belongs to a page.
HWND TfrmClock::PageOf(HWND control) const {
    for (HWND page : pages_)
        if (page && IsChild(page, control)) return GetParent(control);
    return nullptr;
}

void TfrmClock::ChooseSkin(const std::wstring& name) { skinsPage_->ChooseSkin(name); }

void TfrmClock::RandomSkin() { skinsPage_->RandomSkin(); }

LRESULT TfrmClock::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (building_ && InSendMessage()) return WhileBuilding(msg, wp, lp);
    if (msg == taskbarCreatedMessage_ && msg != 0) {
        // The shell restarted: the icon and the clock must be attached to the new taskbar.
        EnableTimer(false);
        trayIcon_.Readd();
        if (trayClock_) trayClock_->Show();
        RefreshClock();
        EnableTimer(true);
        return Default(msg, wp, lp);
    }
    switch (msg) {
    case WM_QUITPROGRAM:
        reallyQuit_ = true;
        FormClose();
        return 0;
    case WM_SHOWMAIN: ShowMain(); return 0;
    case WM_SYNCTIME: ShowAtomicClockPage(); return 0;
    case kRunPostedTask:   // its values are never read: another process may send the number too
        if (mainThread_) mainThread_->RunPostedTasks();
        return 0;
    case kNewVersionAnswer:
        if (newVersion_)
            if (auto answer = newVersion_->TakeAnswer()) NewVersionAnswered(*answer);
        return 0;
    case WM_RANDOMSKIN: RandomSkin(); return 0;
    case WM_TOGGLEUPTIME: ToggleUpTime(); return 0;
    case WM_SHOWUPTIME5: ShowUpTime5(); return 0;
    case WM_SETSHOWDATE: SetSwitch(&MainOptions::showDate, wp); return 0;
    case WM_SETWEEKSHOW: SetSwitch(&MainOptions::weekShow, wp); return 0;
    case WM_SETSHOWSECONDS: SetSwitch(&MainOptions::showSeconds, wp); return 0;
    case WM_SET12HOUR: SetSwitch(&MainOptions::englishTime, wp); return 0;
    case WM_SETTRANSPARENT: SetSwitch(&MainOptions::transparentClock, wp); return 0;
    case WM_CALENDAR:
        if (wp == 1) CloseCalendar();
        else if (wp != 2) ShowCalendar();
        return 0;
    case WM_FASTMENU: ShowFastMenu(); return 0;
    case WM_NEWALARM: alarmsPage_->bNewClick(); return 0;
    case WM_WEATHERSETTINGS:
        ShowMain();
        SelectPage(3);
        return 0;
    case WM_INITMENUPOPUP:
        // pmFastMenuPopup: the marks follow the dialog, also when the taskbar clock opens the menu.
        ControlsToModel();
        FillFastMenuChecks(reinterpret_cast<HMENU>(wp));
        return Default(msg, wp, lp);
    case WM_TRAYICON:
        if (lp == WM_LBUTTONUP) ShowMain();
        else if (lp == WM_RBUTTONUP) ShowFastMenu();
        return 0;
    case WM_TIMER:
        if (wp == kClockTimer) TimerTimer();
        else if (wp == kAlarmTimer) {
            if (optionsUnread_) RereadOptions();
            if (alarmList_) alarmList_->Tick();
        }
        return 0;
    case WM_TIMECHANGE:
        // Also after our own synchronisation: future alarms are recomputed, due ones still fire.
        if (alarmList_) {
            alarmList_->RecalcAll();
            alarmList_->Refresh();
        }
        return 0;
    case WM_POWERBROADCAST:
        if (wp == PBT_APMRESUMESUSPEND || wp == PBT_APMRESUMESTANDBY || wp == PBT_APMRESUMEAUTOMATIC)
            if (weather_) weather_->OnResume();
        return TRUE;
    case WM_HOTKEY:
        if (wp == kWeatherHotKeyId && weather_) weather_->onGetWeather();
        return 0;
    case WM_QUERYENDSESSION:
        // Save now: the session may end without another message.
        sessionEnding_ = true;
        SaveOptions();
        SavePlacement();
        return TRUE;
    case WM_ENDSESSION:
        sessionEnding_ = wp != 0;   // a session that goes on may show boxes again
        if (wp) {
            SaveOptions();
            SavePlacement();
            Quit();
        }
        return 0;
    case DM_GETDEFID: return DefaultButton();
    case WM_COMMAND: {
        const auto control = reinterpret_cast<HWND>(lp);
        if (!control || control == ok_) OnCommand(LOWORD(wp));
        else if (HWND page = PageOf(control)) SendMessageW(page, WM_COMMAND, wp, lp);
        return 0;
    }
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == tab_ && nm->code == TCN_SELCHANGE)
            SelectPage(static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE: FormClose(); return 0;
    case WM_DESTROY: FormDestroy(); return 0;
    default: return Default(msg, wp, lp);
    }
}

}  // namespace vt
