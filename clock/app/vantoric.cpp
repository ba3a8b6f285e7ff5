// Program entry: single instance, then the main form's start-up and the message loop.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Vantoric");
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        PostMessageW(FindWindowW(L"TfrmClock", nullptr), WM_USER + 101, 0, 0);
        ExitProcess(255);
    }
    return 0;
}
