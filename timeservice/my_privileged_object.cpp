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

HRESULT STDMETHODCALLTYPE TMyPrivilegedObject::SyncTime(BSTR aHost) {
    if (!action_) return E_FAIL;
    // A null BSTR is the empty string by COM's rules.
    return action_(aHost ? aHost : L"");
}

}  // namespace ascendor
