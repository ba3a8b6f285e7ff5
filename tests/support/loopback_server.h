// A small HTTP server on 127.0.0.1 for the weather tests: serves recorded replies, errors and slow
// answers, and records every request it receives. It also stands in for a proxy.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vt::test {

struct ServedReply {
    int status = 200;
    std::string reason = "OK";
    std::string body;
    std::string contentType = "text/xml";
    unsigned delayMs = 0;         // wait before answering at all
    unsigned trickleMs = 0;       // wait between body bytes
    bool trickleHead = false;     // the status line and headers come byte by byte too
    bool sendLength = true;       // Content-Length header (else the end is the closed connection)
    bool closeWithoutReply = false;
    std::string headers;          // further header lines, each ending in "\r\n"
};

inline ServedReply Reply(std::string body) {
    ServedReply r;
    r.body = std::move(body);
    return r;
}
inline ServedReply Status(int status, std::string reason, std::string body) {
    ServedReply r;
    r.status = status;
    r.reason = std::move(reason);
    r.body = std::move(body);
    return r;
}
template <class F>
ServedReply With(ServedReply r, F&& change) {
    change(r);
    return r;
}

class LoopbackServer {
public:
    using Handler = std::function<ServedReply(const std::string& requestHead)>;
    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    unsigned short port() const { return port_; }
    std::wstring HostAndPort() const { return L"127.0.0.1:" + std::to_wstring(port_); }
    std::vector<std::string> Requests() const;   // request heads (request line and headers)
    bool Requested(const std::string& fragment) const;   // some request line contains it

    // A loopback port on which nothing listens.
    static unsigned short UnusedPort();

private:
    void Run();
    void Serve(uintptr_t socket);
    bool SleepUnlessStopped(unsigned ms);
    bool SendAll(uintptr_t socket, const std::string& data);

    Handler handler_;
    uintptr_t listen_ = ~uintptr_t(0);
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// Whether the socket has something to take (a connection, a datagram) within `microseconds`.
bool ReadableWithin(uintptr_t socket, long microseconds);

// The first value of header `name` in a request head ("" when absent); the name is matched without case.
std::string HeaderValue(const std::string& head, const std::string& name);
std::string RequestLine(const std::string& head);

}  // namespace vt::test
