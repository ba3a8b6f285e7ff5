// A UDP server on 127.0.0.1 at a free port that answers one SNTP request with a packet the test makes
// from the request, or stays silent.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "timeservice/sntp.h"

namespace vt::test {

using Bytes = std::vector<std::uint8_t>;
// Returns the reply to send; nullopt sends nothing.
using Responder = std::function<std::optional<Bytes>(const Bytes& request)>;

class LoopbackSntpServer {
public:
    explicit LoopbackSntpServer(Responder responder);
    ~LoopbackSntpServer();
    LoopbackSntpServer(const LoopbackSntpServer&) = delete;
    LoopbackSntpServer& operator=(const LoopbackSntpServer&) = delete;

    std::uint16_t port() const { return port_; }
    // The last request received (empty until one came); valid after the client returned.
    Bytes request() const;
    int requests() const { return requests_.load(); }

private:
    void Serve();
    Responder responder_;
    SOCKET socket_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    mutable std::atomic_flag lock_ = ATOMIC_FLAG_INIT;
    Bytes request_;
    std::thread thread_;
    bool winsock_ = false;
};

// A well-formed server reply to `request`: version 4, server mode, stratum 2, the request's transmit
// time echoed as originate, and receive and transmit times `offsetSeconds` ahead of the client's.
Bytes ServerReply(const Bytes& request, double offsetSeconds);
ascendor::NtpTimestamp TimestampAt(const Bytes& packet, std::size_t at);
void PutTimestampAt(Bytes& packet, std::size_t at, ascendor::NtpTimestamp ts);

}  // namespace vt::test
