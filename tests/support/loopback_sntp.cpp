#include "support/loopback_sntp.h"

#include <cmath>

#include "support/loopback_server.h"

namespace vt::test {

LoopbackSntpServer::LoopbackSntpServer(Responder responder) : responder_(std::move(responder)) {
    WSADATA data;
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackSntpServer::~LoopbackSntpServer() {
    stop_ = true;
    thread_.join();
    closesocket(socket_);
    if (winsock_) WSACleanup();
}

Bytes LoopbackSntpServer::request() const {
    while (lock_.test_and_set()) {}
    Bytes copy = request_;
    lock_.clear();
    return copy;
}

void LoopbackSntpServer::Serve() {
    while (!stop_) {
        if (!ReadableWithin(socket_, 20000)) continue;
        char buffer[512];
        sockaddr_in from{};
        int fromSize = sizeof from;
        int got = recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got < 0) continue;
        Bytes request(buffer, buffer + got);
        while (lock_.test_and_set()) {}
        request_ = request;
        lock_.clear();
        ++requests_;
        if (auto reply = responder_(request))
            sendto(socket_, reinterpret_cast<const char*>(reply->data()), static_cast<int>(reply->size()), 0,
                   reinterpret_cast<sockaddr*>(&from), fromSize);
    }
}

ascendor::NtpTimestamp TimestampAt(const Bytes& packet, std::size_t at) {
    ascendor::NtpTimestamp ts = 0;
    for (int i = 0; i < 8; ++i) ts = (ts << 8) | packet.at(at + i);
    return ts;
}

void PutTimestampAt(Bytes& packet, std::size_t at, ascendor::NtpTimestamp ts) {
    for (int i = 0; i < 8; ++i) packet.at(at + i) = static_cast<std::uint8_t>(ts >> (56 - 8 * i));
}

Bytes ServerReply(const Bytes& request, double offsetSeconds) {
    Bytes reply(48, 0);
    reply[0] = (0 << 6) | (4 << 3) | 4;
    reply[1] = 2;
    ascendor::NtpTimestamp sent = TimestampAt(request, 40);
    auto shift = static_cast<std::int64_t>(std::llround(offsetSeconds * 4294967296.0));
    PutTimestampAt(reply, 24, sent);
    PutTimestampAt(reply, 32, sent + static_cast<std::uint64_t>(shift));
    PutTimestampAt(reply, 40, sent + static_cast<std::uint64_t>(shift));
    return reply;
}

}  // namespace vt::test
