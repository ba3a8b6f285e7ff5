// One SNTP exchange over UDP: resolve the host, send the request, wait for the reply, check it.
#pragma once
#include <cstdint>
#include <string>

#include "timeservice/sntp.h"

namespace ascendor {

inline constexpr std::uint16_t kSntpPort = 123;
inline constexpr unsigned kSntpReceiveTimeoutMs = 5000;

struct SntpSettings {
    std::uint16_t port = kSntpPort;
    unsigned receiveTimeoutMs = kSntpReceiveTimeoutMs;
};

struct SntpResult {
    SntpStatus status = SntpStatus::SocketError;
    SntpReply reply;
    SntpMeasurement measurement;
    bool ok() const { return status == SntpStatus::Ok; }
};

// The local clock as UTC ticks since 1601; the time the request leaves and the reply arrives.
FileTimeTicks UtcNowTicks();

// Blocks for at most the name resolution plus the receive time-out. Never throws.
SntpResult QuerySntp(const std::wstring& host, const SntpSettings& settings = {}) noexcept;

}  // namespace ascendor
