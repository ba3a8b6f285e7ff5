#include "app/application.h"

#include "alarms/alarm_devices.h"
#include "alarms/wake_timer_win32.h"
#include "app/clock_painter_link.h"
#include "app/main_form.h"
#include "base/shell_launcher.h"
#include "base/text.h"
#include "base/window.h"
#include "base/file_version.h"
#include "clock/timezones.h"
#include "clock/webpages.h"
#include "resources/resource.h"

namespace vt {

bool CheckSingleInstance(const std::wstring& name, UniqueHandle& mutex) {
    mutex.reset(CreateMutexW(nullptr, TRUE, name.c_str()));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        mutex.reset();
        return false;
    }
    return true;
}

void SignalRunningInstance() {
    HWND running = FindWindowW(kMainFormClass, nullptr);
    // This process was just started by the user, so it may set the foreground window; the running
    // instance may not, and without this leave its dialog would open behind the active window.
    DWORD process = 0;
    if (running && GetWindowThreadProcessId(running, &process) && process) AllowSetForegroundWindow(process);
    // Posted, never sent: the second process must not wait on the first.
    PostMessageW(running, WM_SHOWMAIN, 0, 0);
}

bool ProgramMessage(TfrmClock& form, HACCEL accelerators, MSG& msg) {
    if (form.AlarmWindows.PreTranslate(msg)) return true;
    HWND main = form.hwnd();
    if (!main) return false;
    // The menu's shortcuts belong to the main dialog: keys typed in another window stay its own.
    if (accelerators && (msg.hwnd == main || IsChild(main, msg.hwnd)) && TranslateAcceleratorW(main, accelerators, &msg))
        return true;
    return IsDialogMessageW(main, &msg) != FALSE;
}

AlarmDevices SystemServices::CreateAlarmDevices(const std::wstring& programDir, HWND owner) {
    return CreateSystemAlarmDevices(programDir, owner);
}

std::unique_ptr<IWakeTimer> SystemServices::CreateWakeTimer() {
    std::wstring error;
    auto timer = CreateSystemWakeTimer(error);
    if (!timer)
        MessageBoxW(nullptr, (L"Failed to Create Waitable Timer: " + error).c_str(), kProductTitle, MB_OK | MB_ICONERROR);
    return timer;
}

void SystemServices::ShowMessage(const std::wstring& text, const std::wstring& caption, HWND owner, UINT icon) {
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | icon);
}

bool SystemServices::Confirm(const std::wstring& text, const std::wstring& caption, HWND owner) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void SystemServices::OpenWebPage(int page) { vt::OpenWebPage(page, SystemShellLauncher()); }

int RunMainForm(MainFormConfig config, IMainFormSystem& system) {
    // A failure of the start-up reaches the standard display and ends the run; the form, if it exists,
    // is destroyed on the way out without saving options it never read.
    try {
        TfrmClock form(std::move(config), system);
        if (!form.Create()) {
            ShowException((L"The main window could not be created: " + SystemErrorText(GetLastError())).c_str());
            return 1;
        }
        // Each step may show a message box whose loop carries a quit: the next runs only while the form lives.
        if (form.InitClock() && form.hwnd()) {
            form.LoadOptions();
            if (form.hwnd()) {
                form.EnableTimer(true);
                form.RefreshClock();
                form.ScheduleWeatherCheck();
                form.RegisterWeatherHotKey();
            }
        }
        // A resource table: freed with the module.
        HACCEL accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (ProgramMessage(form, accelerators, msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 0;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(L"Unknown error");
    }
    // The form's destruction posted a quit message that no loop will read.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return 1;
}

int RunVantoric() {
    try {
        ComApartment com;
        ReadProgramVersion();
        ProgramClockPainter painter;
        MainFormConfig config;
        config.versionShort = VersionShort;
        config.versionFull = VersionFull;
        config.painter = &painter;
        SystemServices system;
        return RunMainForm(std::move(config), system);
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(L"Unknown error");
    }
    return 1;
}

}  // namespace vt
