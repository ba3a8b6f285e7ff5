#include "support/loopback_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <chrono>

namespace vt::test {

namespace {
struct WinsockInit {
    WinsockInit() { WSADATA d; WSAStartup(MAKEWORD(2, 2), &d); }
    ~WinsockInit() { WSACleanup(); }
};
WinsockInit& Winsock() {
    static WinsockInit init;
    return init;
}

SOCKET ListenOnLoopback(unsigned short& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(s, 8);
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return s;
}

}  // namespace

// A client that stops reading (a reply refused as too large) must not hold the server: sends are
// bounded by the socket's send time-out and end when the server stops.
bool LoopbackServer::SendAll(uintptr_t socket, const std::string& data) {
    SOCKET s = static_cast<SOCKET>(socket);
    size_t sent = 0;
    while (sent < data.size() && !stop_) {
        int chunk = static_cast<int>(std::min<size_t>(data.size() - sent, 65536));
        int n = send(s, data.data() + sent, chunk, 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return sent == data.size();
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    Winsock();
    listen_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
    stop_ = true;
    thread_.join();
    closesocket(listen_);
}

unsigned short LoopbackServer::UnusedPort() {
    Winsock();
    unsigned short port = 0;
    closesocket(ListenOnLoopback(port));
    return port;
}

std::vector<std::string> LoopbackServer::Requests() const {
    std::lock_guard<std::mutex> l(lock_);
    return requests_;
}

bool LoopbackServer::Requested(const std::string& fragment) const {
    for (const auto& r : Requests())
        if (RequestLine(r).find(fragment) != std::string::npos) return true;
    return false;
}

bool LoopbackServer::SleepUnlessStopped(unsigned ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (stop_) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !stop_;
}

bool ReadableWithin(uintptr_t socket, long microseconds) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<SOCKET>(socket), &set);
    timeval wait{0, microseconds};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
}

void LoopbackServer::Run() {
    while (!stop_) {
        if (!ReadableWithin(listen_, 50000)) continue;
        SOCKET client = accept(listen_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        Serve(client);
        closesocket(client);
    }
}

void LoopbackServer::Serve(uintptr_t socket) {
    SOCKET s = static_cast<SOCKET>(socket);
    DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    DWORD sendTimeout = 2000;
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout);
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) return;
        head.append(buf, static_cast<size_t>(n));
    }
    head.resize(head.find("\r\n\r\n") + 4);
    {
        std::lock_guard<std::mutex> l(lock_);
        requests_.push_back(head);
    }
    ServedReply reply = handler_(head);
    if (reply.closeWithoutReply) return;
    if (reply.delayMs && !SleepUnlessStopped(reply.delayMs)) return;
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
    out += "Content-Type: " + reply.contentType + "\r\n";
    if (reply.sendLength) out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    out += reply.headers;
    out += "Connection: close\r\n\r\n";
    if (!reply.trickleMs) {
        SendAll(socket, out + reply.body);
    } else {
        if (!reply.trickleHead) SendAll(socket, out);
        else
            for (char c : out)
                if (!SleepUnlessStopped(reply.trickleMs) || !SendAll(socket, std::string(1, c))) return;
        for (char c : reply.body)
            if (!SleepUnlessStopped(reply.trickleMs) || !SendAll(socket, std::string(1, c))) break;
    }
    shutdown(s, SD_SEND);
}

std::string RequestLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

std::string HeaderValue(const std::string& head, const std::string& name) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    std::string want = lower(name) + ":";
    size_t pos = head.find("\r\n");
    while (pos != std::string::npos && pos + 2 < head.size()) {
        size_t end = head.find("\r\n", pos + 2);
        std::string line = head.substr(pos + 2, end - pos - 2);
        if (lower(line.substr(0, want.size())) == want) {
            size_t b = want.size();
            while (b < line.size() && line[b] == ' ') ++b;
            return line.substr(b);
        }
        pos = end;
    }
    return {};
}

}  // namespace vt::test
