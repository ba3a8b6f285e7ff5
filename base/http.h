// The program's one HTTP core: a blocking GET over WinHTTP with a proxy, limits and cancellation from
// another thread. The weather service and the new-version check both ask through it.
#pragma once
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace vt {

// The proxy page's settings, taken on the main thread when a request starts.
struct ProxySettings {
    std::wstring host;
    int port = 0;
    std::wstring user;
    std::wstring password;
    bool basicAuth = false;
    bool enabled = false;
};

struct HttpLimits {
    unsigned readTimeoutMs = 10000;   // one read (and connect) may wait this long
    unsigned deadlineMs = 30000;      // the whole exchange, so a trickling server cannot hold the worker
    std::size_t maxBytes = 1 << 20;   // a larger reply is refused
};

struct HttpRequest {
    std::wstring host;                // may carry ":port"
    std::wstring pathAndQuery;
    ProxySettings proxy;
    HttpLimits limits;
};

struct HttpResult {
    bool ok = false;          // status 200 and a body read whole within the limits
    int status = 0;
    std::string body;
    std::wstring error;       // the failure's own text when !ok
};

inline constexpr wchar_t kHttpUserAgent[] = L"Mozilla/3.0 (compatible; Indy Library)";

// Ends a blocking exchange from another thread at any stage (connecting, sending, waiting for the
// headers, reading): Cancel closes the request's handle, which makes the call in progress fail at once.
class HttpCancel {
public:
    void Cancel();
    bool Cancelled() const { return cancelled_; }
    void Reset();   // before the next exchange; only while none runs

    // Used by the exchange itself.
    bool Attach(void* request);   // false when already cancelled
    bool Detach();                // false when Cancel closed the handle (the caller must not close it)

private:
    std::atomic<bool> cancelled_{false};
    std::mutex lock_;
    void* request_ = nullptr;
};

// Performs one GET over WinHTTP; blocking. Reading ends at the deadline counted from the start (the
// worker also holds the whole exchange to it). Where the system lets a closed handle end the
// call in progress, `cancel` ends it at once; elsewhere the worker stops waiting for it.
HttpResult PerformHttpGet(const HttpRequest& request, HttpCancel* cancel = nullptr);

// Splits "host:port" (port 80 when absent or outside 1..65535).
void SplitHostPort(std::wstring_view hostAndPort, std::wstring& host, unsigned short& port);
// The proxy's port as used: outside 1..65535 means 80.
unsigned short ProxyPort(int port);
std::string Base64(std::string_view bytes);

}  // namespace vt
