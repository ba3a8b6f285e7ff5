// "Check for New Version...": asks the maker's site whether a newer version exists, off the main thread.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "clock/options_model.h"
#include "base/http.h"
#include "base/http_worker.h"

namespace vt {

inline constexpr wchar_t kNewVersionHost[] = L"www.dorminax.com";

enum class NewVersionAnswer { Available, NotAvailable, Silent };

// "/vantoric/checknewversion.php?vrxversion=" + the four-part version.
std::wstring NewVersionPath(const std::wstring& versionFull);
// Exactly "true" means a newer version; any other body means none; a failed exchange says nothing.
NewVersionAnswer ReadNewVersionReply(const HttpResult& reply);
// The host asked: VANTORIC_UPDATE_HOST when set (tests), else the maker's site.
std::wstring NewVersionHost();

// One check at a time, through the weather's worker (so quitting never waits on the network): when the
// answer is ready, `message` is posted to `window`, and the main thread then calls TakeAnswer.
class NewVersionCheck {
public:
    NewVersionCheck(HWND window, UINT message)
        : worker_([window, message] { PostMessageW(window, message, 0, 0); }) {}
    NewVersionCheck(const NewVersionCheck&) = delete;
    NewVersionCheck& operator=(const NewVersionCheck&) = delete;
    // The proxy is taken here, on the main thread. False while a check runs.
    bool Start(const std::wstring& versionFull, const ProxyOptions& proxy);
    std::optional<NewVersionAnswer> TakeAnswer();

private:
    HttpWorker worker_;
};

}  // namespace vt
