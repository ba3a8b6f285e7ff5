#include "clock/app/new_version.h"

namespace vt {

std::wstring NewVersionPath(const std::wstring& versionFull) {
    return L"/vantoric/checknewversion.php?vrxversion=" + versionFull;
}

NewVersionAnswer ReadNewVersionReply(const HttpResult& reply) {
    if (!reply.ok) return NewVersionAnswer::Silent;
    return reply.body == "true" ? NewVersionAnswer::Available : NewVersionAnswer::NotAvailable;
}

std::wstring NewVersionHost() {
    wchar_t buf[256];
    DWORD n = GetEnvironmentVariableW(L"VANTORIC_UPDATE_HOST", buf, 256);
    return n && n < 256 ? std::wstring(buf, n) : std::wstring(kNewVersionHost);
}

NewVersionCheck::~NewVersionCheck() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

bool NewVersionCheck::Start(const std::wstring& versionFull, const ProxyOptions& proxy) {
    if (running_) return false;
    if (worker_.joinable()) worker_.join();
    WeatherRequest request;
    request.host = NewVersionHost();
    request.pathAndQuery = NewVersionPath(versionFull);
    request.proxy = ProxySettings{proxy.address, proxy.PortNumber(), proxy.user, proxy.password, proxy.basicAuth,
                                  proxy.enabled};
    running_ = true;
    worker_ = std::thread([this, request] {
        NewVersionAnswer answer = NewVersionAnswer::Silent;
        try {
            answer = ReadNewVersionReply(PerformWeatherRequest(request, &cancel_));
        } catch (...) {
            answer = NewVersionAnswer::Silent;   // a failed check shows nothing
        }
        running_ = false;
        if (!cancel_) PostMessageW(window_, message_, static_cast<WPARAM>(answer), 0);
    });
    return true;
}

}  // namespace vt
