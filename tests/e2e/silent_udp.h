// A UDP port on 127.0.0.1 for the end-to-end tests: the time server that never answers.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>

namespace vt::test {

// A UDP port on 127.0.0.1 that takes requests and never answers them.
class SilentUdpServer {
public:
    SilentUdpServer() {
        WSADATA data;
        winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof at;
        if (socket_ != INVALID_SOCKET && bind(socket_, reinterpret_cast<sockaddr*>(&at), size) == 0 &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&at), &size) == 0)
            port_ = ntohs(at.sin_port);
    }
    ~SilentUdpServer() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        if (winsock_) WSACleanup();
    }
    SilentUdpServer(const SilentUdpServer&) = delete;
    SilentUdpServer& operator=(const SilentUdpServer&) = delete;
    unsigned short port() const { return port_; }
    // True once a datagram came within `ms`; it is read and left unanswered.
    bool Received(DWORD ms) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval wait{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
        if (select(0, &readable, nullptr, nullptr, &wait) != 1) return false;
        char buffer[512];
        return recv(socket_, buffer, sizeof buffer, 0) > 0;
    }

private:
    bool winsock_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    unsigned short port_ = 0;
};

}  // namespace vt::test
