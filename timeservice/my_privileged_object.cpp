#include "timeservice/my_privileged_object.h"

#include <string>

namespace ascendor {

namespace {
LONG g_serverLocks = 0;
}  // namespace

LONG ServerLockCount() noexcept { return InterlockedCompareExchange(&g_serverLocks, 0, 0); }
void LockServerModule() noexcept { InterlockedIncrement(&g_serverLocks); }
void UnlockServerModule() noexcept { InterlockedDecrement(&g_serverLocks); }

TMyPrivilegedObject::TMyPrivilegedObject(SyncAction action) noexcept : action_(action) { LockServerModule(); }

TMyPrivilegedObject::~TMyPrivilegedObject() { UnlockServerModule(); }

HRESULT STDMETHODCALLTYPE TMyPrivilegedObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMyPrivilegedObject)) {
        *ppv = static_cast<IMyPrivilegedObject*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TMyPrivilegedObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG STDMETHODCALLTYPE TMyPrivilegedObject::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE TMyPrivilegedObject::SyncTime(BSTR aHost) {
    if (!action_) return E_FAIL;
    // A null BSTR is the empty string by COM's rules.
    return action_(aHost ? aHost : L"");
}

}  // namespace ascendor
