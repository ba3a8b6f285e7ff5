// "Check for New Version...": asks the maker's site whether a newer version exists, off the main thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "clock/options_model.h"
#include "weather/weather_request.h"

namespace vt {

inline constexpr wchar_t kNewVersionHost[] = L"www.dorminax.com";

enum class NewVersionAnswer { Available, NotAvailable, Silent };

// "/vantoric/checknewversion.php?vrxversion=" + the four-part version.
std::wstring NewVersionPath(const std::wstring& versionFull);
// Exactly "true" means a newer version; any other body means none; a failed exchange says nothing.
NewVersionAnswer ReadNewVersionReply(const HttpResult& reply);
// The host asked: VANTORIC_UPDATE_HOST when set (tests), else the maker's site.
std::wstring NewVersionHost();

// One check at a time; the answer is posted to `window` as `message` with the NewVersionAnswer in wParam.
class NewVersionCheck {
public:
    NewVersionCheck(HWND window, UINT message) : window_(window), message_(message) {}
    ~NewVersionCheck();
    NewVersionCheck(const NewVersionCheck&) = delete;
    NewVersionCheck& operator=(const NewVersionCheck&) = delete;
    // The proxy is taken here, on the main thread. False while a check runs.
    bool Start(const std::wstring& versionFull, const ProxyOptions& proxy);

private:
    HWND window_;
    UINT message_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> running_{false};
};

}  // namespace vt
