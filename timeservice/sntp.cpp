#include "timeservice/sntp.h"

namespace ascendor {

namespace {

void PutTimestamp(SntpPacket& p, std::size_t at, NtpTimestamp ts) {
    for (int i = 0; i < 8; ++i) p[at + i] = static_cast<std::uint8_t>(ts >> (56 - 8 * i));
}

NtpTimestamp GetTimestamp(const std::uint8_t* data, std::size_t at) {
    NtpTimestamp ts = 0;
    for (int i = 0; i < 8; ++i) ts = (ts << 8) | data[at + i];
    return ts;
}

// Fixed-point seconds to ticks without a 128-bit product: whole seconds and the fraction apart.
std::int64_t FixedToTicks(std::int64_t fixed) {
    std::int64_t seconds = fixed >> 32;   // floor, so the fraction below is never negative
    std::uint64_t fraction = static_cast<std::uint64_t>(fixed) & 0xFFFFFFFFu;
    return seconds * kTicksPerSecond + static_cast<std::int64_t>((fraction * kTicksPerSecond) >> 32);
}

}  // namespace

SntpPacket BuildSntpRequest(NtpTimestamp transmit) {
    SntpPacket p{};
    p[0] = static_cast<std::uint8_t>((0 << 6) | (kSntpVersion << 3) | kModeClient);
    PutTimestamp(p, 40, transmit);
    return p;
}

SntpStatus ReadSntpReply(const std::uint8_t* data, std::size_t size, SntpReply& reply) {
    if (!data || size < kSntpPacketSize) return SntpStatus::ShortPacket;
    reply.leap = data[0] >> 6;
    reply.version = (data[0] >> 3) & 7;
    reply.mode = data[0] & 7;
    reply.stratum = data[1];
    reply.originate = GetTimestamp(data, 24);
    reply.receive = GetTimestamp(data, 32);
    reply.transmit = GetTimestamp(data, 40);
    return SntpStatus::Ok;
}

SntpStatus CheckSntpReply(const SntpReply& r, NtpTimestamp sent) {
    if (r.leap == kLeapAlarm) return SntpStatus::Unsynchronised;
    if (r.version < 3 || r.version > 4) return SntpStatus::BadVersion;
    if (r.mode != kModeServer) return SntpStatus::BadMode;
    if (r.stratum == 0) return SntpStatus::KissOfDeath;
    if (r.stratum > kMaxStratum) return SntpStatus::BadStratum;
    if (r.transmit == 0) return SntpStatus::ZeroTransmit;
    if (r.receive == 0) return SntpStatus::ZeroReceive;
    if (r.originate != sent) return SntpStatus::OriginateMismatch;
    return SntpStatus::Ok;
}

NtpTimestamp FileTimeToNtp(FileTimeTicks ticks) {
    std::int64_t seconds = ticks / kTicksPerSecond;
    std::int64_t rest = ticks % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    // The era wraps every 2^32 seconds; the unsigned cast keeps the seconds modulo that.
    std::uint64_t eraSeconds = static_cast<std::uint64_t>(seconds - kNtpEpochSeconds) & 0xFFFFFFFFu;
    std::uint64_t fraction = (static_cast<std::uint64_t>(rest) << 32) / kTicksPerSecond;
    return (eraSeconds << 32) | fraction;
}

std::int64_t NtpDifferenceTicks(NtpTimestamp a, NtpTimestamp b) {
    return FixedToTicks(static_cast<std::int64_t>(a - b));
}

FileTimeTicks NtpToFileTime(NtpTimestamp ts, FileTimeTicks reference) {
    return reference + NtpDifferenceTicks(ts, FileTimeToNtp(reference));
}

SntpMeasurement MeasureSntp(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3, NtpTimestamp t4) {
    std::int64_t there = NtpDifferenceTicks(t2, t1);
    std::int64_t back = NtpDifferenceTicks(t3, t4);
    SntpMeasurement m;
    m.offsetTicks = there / 2 + back / 2 + (there % 2 + back % 2) / 2;
    m.delayTicks = NtpDifferenceTicks(t4, t1) - NtpDifferenceTicks(t3, t2);
    return m;
}

}  // namespace ascendor
