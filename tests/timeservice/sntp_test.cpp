// The SNTP packet rules without a socket: the request bytes, reading and checking replies, and the
// offset and delay arithmetic, also across the 2036 era wrap.
#include <gtest/gtest.h>

#include "timeservice/sntp.h"

namespace {

using namespace ascendor;

constexpr NtpTimestamp Seconds(std::uint64_t s, std::uint32_t fraction = 0) { return (s << 32) | fraction; }
constexpr std::int64_t kTick = kTicksPerSecond;

SntpPacket Reply(std::uint8_t first, std::uint8_t stratum, NtpTimestamp originate, NtpTimestamp receive,
                 NtpTimestamp transmit) {
    SntpPacket p{};
    p[0] = first;
    p[1] = stratum;
    auto put = [&](std::size_t at, NtpTimestamp ts) {
        for (int i = 0; i < 8; ++i) p[at + i] = static_cast<std::uint8_t>(ts >> (56 - 8 * i));
    };
    put(24, originate);
    put(32, receive);
    put(40, transmit);
    return p;
}

TEST(SntpRequest, IsVersion4ClientModeWithTransmitTimeAndNothingElse) {
    SntpPacket p = BuildSntpRequest(0x0102030405060708ull);
    EXPECT_EQ(p[0], 0x23);   // leap 0, version 4, mode 3
    for (std::size_t i = 1; i < 40; ++i) EXPECT_EQ(p[i], 0) << "byte " << i;
    const std::uint8_t transmit[] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p[40 + i], transmit[i]);
}

TEST(SntpReply, ReadsEveryField) {
    SntpPacket p = Reply(0xDC /* leap 3, version 3, mode 4 */, 7, Seconds(10, 1), Seconds(20, 2), Seconds(30, 3));
    SntpReply r;
    ASSERT_EQ(ReadSntpReply(p.data(), p.size(), r), SntpStatus::Ok);
    EXPECT_EQ(r.leap, 3);
    EXPECT_EQ(r.version, 3);
    EXPECT_EQ(r.mode, 4);
    EXPECT_EQ(r.stratum, 7);
    EXPECT_EQ(r.originate, Seconds(10, 1));
    EXPECT_EQ(r.receive, Seconds(20, 2));
    EXPECT_EQ(r.transmit, Seconds(30, 3));
}

TEST(SntpReply, ShorterThan48BytesIsRejected) {
    SntpPacket p = Reply(0x24, 2, 1, 2, 3);
    SntpReply r;
    EXPECT_EQ(ReadSntpReply(p.data(), 47, r), SntpStatus::ShortPacket);
    EXPECT_EQ(ReadSntpReply(nullptr, 0, r), SntpStatus::ShortPacket);
}

struct CheckCase {
    const char* name;
    std::uint8_t first;
    std::uint8_t stratum;
    NtpTimestamp originate, receive, transmit;
    SntpStatus expected;
};

TEST(SntpReply, ChecksBeforeTrusting) {
    const NtpTimestamp sent = Seconds(1000, 5);
    const CheckCase cases[] = {
        {"good v4", 0x24, 2, sent, Seconds(1001), Seconds(1001), SntpStatus::Ok},
        {"good v3", 0x1C, 1, sent, Seconds(1001), Seconds(1001), SntpStatus::Ok},
        {"leap warning is fine", 0x64, 2, sent, Seconds(1001), Seconds(1001), SntpStatus::Ok},
        {"alarm", 0xE4, 2, sent, Seconds(1001), Seconds(1001), SntpStatus::Unsynchronised},
        {"version 2", 0x14, 2, sent, Seconds(1001), Seconds(1001), SntpStatus::BadVersion},
        {"client mode", 0x23, 2, sent, Seconds(1001), Seconds(1001), SntpStatus::BadMode},
        {"broadcast mode", 0x25, 2, sent, Seconds(1001), Seconds(1001), SntpStatus::BadMode},
        {"kiss of death", 0x24, 0, sent, Seconds(1001), Seconds(1001), SntpStatus::KissOfDeath},
        {"stratum 16", 0x24, 16, sent, Seconds(1001), Seconds(1001), SntpStatus::BadStratum},
        {"zero transmit", 0x24, 2, sent, Seconds(1001), 0, SntpStatus::ZeroTransmit},
        {"zero receive", 0x24, 2, sent, 0, Seconds(1001), SntpStatus::ZeroReceive},
        {"not our request", 0x24, 2, Seconds(999), Seconds(1001), Seconds(1001), SntpStatus::OriginateMismatch},
    };
    for (const auto& c : cases) {
        SntpPacket p = Reply(c.first, c.stratum, c.originate, c.receive, c.transmit);
        SntpReply r;
        ASSERT_EQ(ReadSntpReply(p.data(), p.size(), r), SntpStatus::Ok) << c.name;
        EXPECT_EQ(CheckSntpReply(r, sent), c.expected) << c.name;
    }
}

TEST(SntpTime, FileTimeAndNtpMeetAt1900) {
    const std::int64_t at1900 = kNtpEpochSeconds * kTick;
    EXPECT_EQ(FileTimeToNtp(at1900), 0u);
    EXPECT_EQ(FileTimeToNtp(at1900 + kTick / 2), Seconds(0, 0x80000000u));
    // 2000-01-01 00:00:00 UTC is 3155673600 seconds into era 0.
    const std::int64_t at2000 = (kNtpEpochSeconds + 3155673600LL) * kTick;
    EXPECT_EQ(FileTimeToNtp(at2000), Seconds(3155673600u));
    EXPECT_EQ(NtpToFileTime(Seconds(3155673600u), at2000 + 10 * kTick), at2000);
}

TEST(SntpTime, TimestampAfterTheEraWrapLandsInEra1) {
    // Era 0 ends 2036-02-07 06:28:16 UTC; a server answering just after it sends small seconds.
    const std::int64_t eraEnd = (kNtpEpochSeconds + (std::int64_t{1} << 32)) * kTick;
    const std::int64_t before = eraEnd - 3 * kTick;
    EXPECT_EQ(FileTimeToNtp(before), Seconds(0xFFFFFFFDu));
    EXPECT_EQ(FileTimeToNtp(eraEnd + 2 * kTick), Seconds(2));
    EXPECT_EQ(NtpToFileTime(Seconds(2), before), eraEnd + 2 * kTick);
    EXPECT_EQ(NtpToFileTime(Seconds(0xFFFFFFFEu), eraEnd + 5 * kTick), eraEnd - 2 * kTick);
}

TEST(SntpMeasure, OffsetAndDelayOfASymmetricExchange) {
    // Local clock 100 s behind; 0.2 s each way; the server takes 0.1 s.
    const NtpTimestamp t1 = Seconds(5000);
    const NtpTimestamp t2 = Seconds(5100, 0x33333333u);   // +100.2 s
    const NtpTimestamp t3 = Seconds(5100, 0x4CCCCCCCu);   // +100.3 s
    const NtpTimestamp t4 = Seconds(5000, 0x80000000u);   // +0.5 s
    SntpMeasurement m = MeasureSntp(t1, t2, t3, t4);
    EXPECT_NEAR(static_cast<double>(m.offsetTicks), 100.0 * kTick, 2);
    EXPECT_NEAR(static_cast<double>(m.delayTicks), 0.4 * kTick, 2);
}

TEST(SntpMeasure, NegativeOffsetWhenTheLocalClockIsAhead) {
    SntpMeasurement m = MeasureSntp(Seconds(9000), Seconds(8000), Seconds(8000), Seconds(9000));
    EXPECT_EQ(m.offsetTicks, -1000 * kTick);
    EXPECT_EQ(m.delayTicks, 0);
}

TEST(SntpMeasure, OffsetAcrossTheEraWrap) {
    // The client still in era 0, the server already in era 1: 10 s ahead, not 136 years behind.
    const NtpTimestamp t1 = Seconds(0xFFFFFFFAu);   // 6 s before the wrap
    const NtpTimestamp t2 = Seconds(4);             // t1 + 10 s
    const NtpTimestamp t3 = Seconds(4);
    const NtpTimestamp t4 = Seconds(0xFFFFFFFAu);
    SntpMeasurement m = MeasureSntp(t1, t2, t3, t4);
    EXPECT_EQ(m.offsetTicks, 10 * kTick);
    EXPECT_EQ(m.delayTicks, 0);
    // And the other way round: the client in era 1, the server not yet.
    m = MeasureSntp(Seconds(3), Seconds(0xFFFFFFFFu), Seconds(0xFFFFFFFFu), Seconds(3));
    EXPECT_EQ(m.offsetTicks, -4 * kTick);
}

}  // namespace
