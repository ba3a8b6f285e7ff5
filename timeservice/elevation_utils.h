// Creating the time-service object with administrator rights: through the elevation moniker when the
// program runs without them, directly when it already has them.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <stdexcept>
#include <string>

namespace vt {

// A failed COM call, carrying its HRESULT; the text is the system's message for it.
class HResultError : public std::runtime_error {
public:
    explicit HResultError(HRESULT hr);
    HRESULT hr() const noexcept { return hr_; }
private:
    HRESULT hr_;
};

// True when the process token reads as elevated; false when it cannot be opened or read.
bool IsElevated() noexcept;

// The calls that create the object. The moniker exists only on real Windows from Vista on, so the
// program passes SystemComObjectCreator() and tests pass a recorder.
class IComObjectCreator {
public:
    virtual ~IComObjectCreator() = default;
    virtual bool IsElevated() = 0;
    virtual HRESULT GetObjectByMoniker(const std::wstring& moniker, BIND_OPTS3& options, REFIID iid, void** obj) = 0;
    virtual HRESULT CreateInstance(REFCLSID clsid, DWORD context, REFIID iid, void** obj) = 0;
};
IComObjectCreator& SystemComObjectCreator();

// "Elevation:Administrator!new:" followed by the braced class identifier.
std::wstring ElevationMonikerFor(REFCLSID clsid);

// Throws HResultError when the creation fails (the user declined the prompt, the class is not registered).
void CoCreateInstanceAsAdmin(IComObjectCreator& creator, HWND wnd, REFCLSID clsid, REFIID iid, void** obj);

}  // namespace vt
