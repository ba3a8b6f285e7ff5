// The SNTP packet: the client's request and the reading and checking of a server's reply. Plain
// arithmetic over byte buffers, so every rule is testable without a socket.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace ascendor {

// 32.32 fixed-point seconds since the start of the timestamp's NTP era (1900-01-01 for era 0).
using NtpTimestamp = std::uint64_t;

inline constexpr std::size_t kSntpPacketSize = 48;
inline constexpr int kSntpVersion = 4;
inline constexpr int kModeClient = 3;
inline constexpr int kModeServer = 4;
inline constexpr int kLeapAlarm = 3;          // the server's clock is not synchronised
inline constexpr int kMaxStratum = 15;

using SntpPacket = std::array<std::uint8_t, kSntpPacketSize>;

// A client request: everything zero but the first byte (no leap warning, version 4, client mode) and
// the transmit timestamp, which the server echoes as the reply's originate timestamp.
SntpPacket BuildSntpRequest(NtpTimestamp transmit);

struct SntpReply {
    int leap = 0;
    int version = 0;
    int mode = 0;
    int stratum = 0;
    NtpTimestamp originate = 0;
    NtpTimestamp receive = 0;
    NtpTimestamp transmit = 0;
};

enum class SntpStatus {
    Ok,
    ShortPacket,        // fewer than 48 bytes
    Unsynchronised,     // leap indicator 3
    BadVersion,         // neither 3 nor 4
    BadMode,            // not a server reply
    KissOfDeath,        // stratum 0: the server refuses to serve us
    BadStratum,         // above 15
    ZeroTransmit,
    ZeroReceive,
    OriginateMismatch,  // not the answer to our request
    Timeout,            // no answer within the receive time-out
    UnknownHost,        // empty or unresolvable host name
    SocketError,
};

// The fields of a reply; ShortPacket when the buffer cannot hold one.
SntpStatus ReadSntpReply(const std::uint8_t* data, std::size_t size, SntpReply& reply);
// The checks a client makes before trusting a reply to the request it sent with `sent` as transmit time.
SntpStatus CheckSntpReply(const SntpReply& reply, NtpTimestamp sent);

// 100-nanosecond ticks since 1601-01-01 (the FILETIME scale).
using FileTimeTicks = std::int64_t;

inline constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1900-01-01, the start of NTP era 0.
inline constexpr std::int64_t kNtpEpochSeconds = 9'435'484'800;

NtpTimestamp FileTimeToNtp(FileTimeTicks ticks);
// The one instant within 68 years of `reference` that `ts` names: the era comes from the reference,
// so a timestamp read after the 2036 wrap-around still lands in the right era.
FileTimeTicks NtpToFileTime(NtpTimestamp ts, FileTimeTicks reference);
// A signed difference a - b of two timestamps, taken modulo the era, in ticks.
std::int64_t NtpDifferenceTicks(NtpTimestamp a, NtpTimestamp b);

struct SntpMeasurement {
    std::int64_t offsetTicks = 0;   // server clock minus local clock
    std::int64_t delayTicks = 0;    // round trip, less the server's own processing time
};
// t1: request sent (local), t2: request received (server), t3: reply sent (server), t4: reply received (local).
SntpMeasurement MeasureSntp(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3, NtpTimestamp t4);

}  // namespace ascendor
