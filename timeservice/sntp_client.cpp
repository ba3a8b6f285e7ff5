#include "timeservice/sntp_client.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>


namespace ascendor {

namespace {

class WinsockSession {
public:
    WinsockSession() noexcept { WSADATA data; ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0; }
    ~WinsockSession() { if (ok_) WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool ok() const noexcept { return ok_; }
private:
    bool ok_ = false;
};

class UniqueSocket {
public:
    explicit UniqueSocket(SOCKET s) noexcept : s_(s) {}
    ~UniqueSocket() { if (s_ != INVALID_SOCKET) closesocket(s_); }
    UniqueSocket(const UniqueSocket&) = delete;
    UniqueSocket& operator=(const UniqueSocket&) = delete;
    SOCKET get() const noexcept { return s_; }
private:
    SOCKET s_;
};

class UniqueAddrInfo {
public:
    UniqueAddrInfo() = default;
    ~UniqueAddrInfo() { if (p_) FreeAddrInfoW(p_); }
    UniqueAddrInfo(const UniqueAddrInfo&) = delete;
    UniqueAddrInfo& operator=(const UniqueAddrInfo&) = delete;
    ADDRINFOW** put() noexcept { return &p_; }
    const ADDRINFOW* get() const noexcept { return p_; }
private:
    ADDRINFOW* p_ = nullptr;
};

SntpResult Fail(SntpStatus status) {
    SntpResult r;
    r.status = status;
    return r;
}

SntpResult Exchange(const std::wstring& host, const SntpSettings& settings) {
    if (host.empty()) return Fail(SntpStatus::UnknownHost);
    WinsockSession winsock;
    if (!winsock.ok()) return Fail(SntpStatus::SocketError);

    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    UniqueAddrInfo addresses;
    std::wstring port = std::to_wstring(settings.port);
    // The wide resolver takes international host names as they were typed.
    if (GetAddrInfoW(host.c_str(), port.c_str(), &hints, addresses.put()) != 0 || !addresses.get())
        return Fail(SntpStatus::UnknownHost);
    const ADDRINFOW* address = addresses.get();

    UniqueSocket sock(socket(address->ai_family, address->ai_socktype, address->ai_protocol));
    if (sock.get() == INVALID_SOCKET) return Fail(SntpStatus::SocketError);
    // A broadcast address as the server is allowed, as the time service always allowed it.
    const BOOL broadcast = TRUE;
    if (setsockopt(sock.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast),
                   sizeof broadcast) != 0)
        return Fail(SntpStatus::SocketError);
    // A connected datagram socket receives only from the server it asked.
    if (connect(sock.get(), address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0)
        return Fail(SntpStatus::SocketError);

    NtpTimestamp t1 = FileTimeToNtp(UtcNowTicks());
    SntpPacket request = BuildSntpRequest(t1);
    if (send(sock.get(), reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0) !=
        static_cast<int>(request.size()))
        return Fail(SntpStatus::SocketError);

    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(sock.get(), &readable);
    timeval wait{};
    wait.tv_sec = static_cast<long>(settings.receiveTimeoutMs / 1000);
    wait.tv_usec = static_cast<long>((settings.receiveTimeoutMs % 1000) * 1000);
    int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == 0) return Fail(SntpStatus::Timeout);
    if (ready < 0) return Fail(SntpStatus::SocketError);

    std::uint8_t buffer[512];
    int got = recv(sock.get(), reinterpret_cast<char*>(buffer), sizeof buffer, 0);
    FileTimeTicks arrived = UtcNowTicks();
    if (got < 0) {
        // A refused port shows up as a reset on the datagram socket: no server there, as good as silence.
        return Fail(WSAGetLastError() == WSAECONNRESET ? SntpStatus::Timeout : SntpStatus::SocketError);
    }

    SntpResult result;
    result.status = ReadSntpReply(buffer, static_cast<std::size_t>(got), result.reply);
    if (result.status != SntpStatus::Ok) return result;
    result.status = CheckSntpReply(result.reply, t1);
    if (result.status != SntpStatus::Ok) return result;
    result.measurement = MeasureSntp(t1, result.reply.receive, result.reply.transmit, FileTimeToNtp(arrived));
    return result;
}

}  // namespace

FileTimeTicks UtcNowTicks() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return static_cast<FileTimeTicks>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

SntpResult QuerySntp(const std::wstring& host, const SntpSettings& settings) noexcept {
    try {
        return Exchange(host, settings);
    } catch (...) {
        return Fail(SntpStatus::SocketError);
    }
}

}  // namespace ascendor
