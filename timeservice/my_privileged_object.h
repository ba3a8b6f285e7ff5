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

// The reference counting and interface lookup of the library's objects: IUnknown and `Interface`
// (whose identifier is `iid`). A new object holds one reference; the last Release deletes it.
template <class Interface, const IID& iid>
class ComObject : public Interface {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid)) {
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~ComObject() = default;

private:
    LONG refs_ = 1;
};

class TMyPrivilegedObject final : public ComObject<IMyPrivilegedObject, IID_IMyPrivilegedObject> {
public:
    explicit TMyPrivilegedObject(SyncAction action) noexcept;
    HRESULT STDMETHODCALLTYPE SyncTime(BSTR aHost) override;

private:
    ~TMyPrivilegedObject() override;
    SyncAction action_;
};

}  // namespace ascendor
