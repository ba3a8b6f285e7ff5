#include "timeservice/elevation_utils.h"

#include "base/handles.h"
#include "base/text.h"

namespace vt {

namespace {

std::string HResultText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? Trim(std::wstring(buffer, n)) : std::wstring();
    if (buffer) LocalFree(buffer);
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return Narrow(text.empty() ? std::wstring(L"COM error ") + code : text + L" (" + code + L")");
}

class SystemCreator final : public IComObjectCreator {
public:
    bool IsElevated() override { return vt::IsElevated(); }
    HRESULT GetObjectByMoniker(const std::wstring& moniker, BIND_OPTS3& options, REFIID iid, void** obj) override {
        return CoGetObject(moniker.c_str(), reinterpret_cast<BIND_OPTS*>(&options), iid, obj);
    }
    HRESULT CreateInstance(REFCLSID clsid, DWORD context, REFIID iid, void** obj) override {
        return CoCreateInstance(clsid, nullptr, context, iid, obj);
    }
};

}  // namespace

HResultError::HResultError(HRESULT hr) : std::runtime_error(HResultText(hr)), hr_(hr) {}

bool IsElevated() noexcept {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return false;
    return elevation.TokenIsElevated != 0;
}

IComObjectCreator& SystemComObjectCreator() {
    static SystemCreator creator;
    return creator;
}

std::wstring ElevationMonikerFor(REFCLSID clsid) {
    wchar_t text[40] = L"";
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"Elevation:Administrator!new:") + text;
}

void CoCreateInstanceAsAdmin(IComObjectCreator& creator, HWND wnd, REFCLSID clsid, REFIID iid, void** obj) {
    HRESULT hr;
    if (!creator.IsElevated()) {
        BIND_OPTS3 options{};
        options.cbStruct = sizeof options;
        options.dwClassContext = CLSCTX_LOCAL_SERVER;
        options.hwnd = wnd;   // the elevation prompt's owner
        hr = creator.GetObjectByMoniker(ElevationMonikerFor(clsid), options, iid, obj);
    } else {
        hr = creator.CreateInstance(clsid, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, iid, obj);
    }
    if (FAILED(hr)) throw HResultError(hr);
}

}  // namespace vt
