// Program entry.
#include <windows.h>

#include "app/application.h"
#include "app/main_form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Held, never closed, until the process ends: the name exists exactly while an instance runs.
    static vt::UniqueHandle mutex;
    if (!vt::CheckSingleInstance(vt::kProductName, mutex)) {
        vt::SignalRunningInstance();
        ExitProcess(255);
    }
    return vt::RunVantoric();
}
