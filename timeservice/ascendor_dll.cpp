// Entry points of Ascendor.dll. The objects this library hands out always set the machine clock from
// the standard SNTP port with the standard receive time-out.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "timeservice/privileged_class_factory.h"
#include "timeservice/time_sync.h"

namespace {

HMODULE g_module = nullptr;

HRESULT SetMachineClock(const wchar_t* host) noexcept {
    ascendor::SystemClockSetter setter;
    return ascendor::SyncClockWith(host, ascendor::SntpSettings{}, setter);
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return ascendor::GetClassObject(rclsid, riid, ppv, &SetMachineClock);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return ascendor::ServerLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer() {
    try {
        std::wstring path = ModulePath();
        return path.empty() ? SELFREG_E_CLASS : ascendor::RegisterServer(path);
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    try {
        std::wstring path = ModulePath();
        return path.empty() ? SELFREG_E_CLASS : ascendor::UnregisterServer(path);
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

}  // extern "C"
