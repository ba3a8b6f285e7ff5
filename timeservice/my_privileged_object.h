// The library's COM object: reference counting, interface lookup and SyncTime.
#pragma once
#include <windows.h>

#include "timeservice/ascendor_tlb.h"

namespace ascendor {

// What SyncTime does with the host name. The library's entry points pass the one that sets the
// machine clock; nothing outside this process can choose another.
using SyncAction = HRESULT (*)(const wchar_t* host) noexcept;

// Live objects plus LockServer locks: the library may unload when this is zero.
LONG ServerLockCount() noexcept;
void LockServerModule() noexcept;
void UnlockServerModule() noexcept;

class TMyPrivilegedObject final : public IMyPrivilegedObject {
public:
    explicit TMyPrivilegedObject(SyncAction action) noexcept;
    TMyPrivilegedObject(const TMyPrivilegedObject&) = delete;
    TMyPrivilegedObject& operator=(const TMyPrivilegedObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE SyncTime(BSTR aHost) override;

private:
    ~TMyPrivilegedObject();
    LONG refs_ = 1;
    SyncAction action_;
};

}  // namespace ascendor
