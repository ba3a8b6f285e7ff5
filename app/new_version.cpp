#include "app/new_version.h"

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

bool NewVersionCheck::Start(const std::wstring& versionFull, const ProxyOptions& proxy) {
    HttpRequest request;
    request.host = NewVersionHost();
    request.pathAndQuery = NewVersionPath(versionFull);
    request.proxy = ProxySettings{proxy.address, proxy.PortNumber(), proxy.user, proxy.password, proxy.basicAuth,
                                  proxy.enabled};
    return worker_.Start(std::move(request));
}

std::optional<NewVersionAnswer> NewVersionCheck::TakeAnswer() {
    auto reply = worker_.TakeResult();
    if (!reply) return std::nullopt;
    return ReadNewVersionReply(*reply);   // a failed check says nothing
}

}  // namespace vt
