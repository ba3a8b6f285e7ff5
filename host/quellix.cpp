// Quellix: the taskbar host. Stays until the program sends "Quellix-quit".
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const UINT quit = RegisterWindowMessageW(L"Quellix-quit");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == quit) break;
        DispatchMessageW(&msg);
    }
    return 0;
}
