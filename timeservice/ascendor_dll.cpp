// Entry points of Ascendor.dll. The objects this library hands out always set the machine clock from
// the standard SNTP port with the standard receive time-out.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "base/module_path.h"
#include "timeservice/privileged_class_factory.h"
#include "timeservice/time_sync.h"

namespace {

HMODULE g_module = nullptr;

HRESULT SetMachineClock(const wchar_t* host) noexcept {
    ascendor::SystemClockSetter setter;
    return ascendor::SyncClockWith(host, ascendor::SntpSettings{}, setter);
}


// Registration runs with this library's own path; a library whose path cannot be read registers nothing.
HRESULT WithModulePath(HRESULT (*action)(const std::wstring& modulePath) noexcept) {
    try {
        const std::wstring path = vt::ModuleFilePath(g_module);
        return path.empty() ? SELFREG_E_CLASS : action(path);
    } catch (...) {
        return SELFREG_E_CLASS;
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

HRESULT STDAPICALLTYPE DllRegisterServer() { return WithModulePath(ascendor::RegisterServer); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return WithModulePath(ascendor::UnregisterServer); }

}  // extern "C"
