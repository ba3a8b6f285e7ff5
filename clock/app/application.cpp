#include "clock/app/application.h"

#include "alarms/alarm_devices.h"
#include "alarms/wake_timer_win32.h"
#include "clock/app/clock_painter_link.h"
#include "clock/app/main_form.h"
#include "clock/base/window.h"
#include "clock/file_version.h"
#include "clock/timezones.h"

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
    // Posted, never sent: the second process must not wait on the first.
    PostMessageW(FindWindowW(kMainFormClass, nullptr), WM_SHOWMAIN, 0, 0);
}

std::wstring CalendarDir() {
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1) + L"Calendar\\";
}

int RunVantoric() {
    ComApartment com;
    TimeZoneList();  // built once, before any window, as the stored zone indexes expect
    ReadProgramVersion();
    static RegistryZoneClock zones;   // outlives the painter, which lives to the end of the process
    SetZoneClock(&zones);
    ProgramClockPainter painter;
    MainFormConfig config;
    config.versionShort = VersionShort;
    config.versionFull = VersionFull;
    config.painter = &painter;
    MainFormHooks hooks;
    hooks.createAlarmDevices = &CreateSystemAlarmDevices;
    hooks.createWakeTimer = [] {
        std::wstring error;
        auto timer = CreateSystemWakeTimer(error);
        if (!timer)
            MessageBoxW(nullptr, (L"Failed to Create Waitable Timer: " + error).c_str(), kProductTitle, MB_OK | MB_ICONERROR);
        return timer;
    };
    TfrmClock form(std::move(config), std::move(hooks));
    if (!form.Create()) return 1;
    MSG msg;
    if (form.InitClock()) {
        form.LoadOptions();
        form.EnableTimer(true);
        form.RefreshClock();
        form.ScheduleWeatherCheck();
        form.RegisterWeatherHotKey();
    }
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (form.AlarmWindows.PreTranslate(msg)) continue;
        if (form.hwnd() && IsDialogMessageW(form.hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace vt
