// The SNTP exchange against a server on the loopback interface, and the clock setting that follows
// it, with a setter that only records.
#include <gtest/gtest.h>

#include <chrono>

#include "support/loopback_sntp.h"
#include "timeservice/sntp_client.h"
#include "timeservice/time_sync.h"

namespace {

using namespace ascendor;
using vt::test::Bytes;
using vt::test::LoopbackSntpServer;
using vt::test::ServerReply;

constexpr unsigned kShortTimeoutMs = 300;

SntpSettings At(const LoopbackSntpServer& server) { return SntpSettings{server.port(), kShortTimeoutMs}; }

class RecordingSetter final : public IClockSetter {
public:
    bool SetUtcTime(const SYSTEMTIME& utc) override {
        ++calls;
        set = utc;
        return accept;
    }
    int calls = 0;
    SYSTEMTIME set{};
    bool accept = true;
};

std::int64_t Ticks(const SYSTEMTIME& st) {
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

LoopbackSntpServer Answering(std::function<Bytes(Bytes)> tamper) {
    return LoopbackSntpServer([tamper](const Bytes& request) -> std::optional<Bytes> {
        return tamper(ServerReply(request, 3600));
    });
}

TEST(SntpClient, RequestIs48BytesVersion4ClientWithTheSendTime) {
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return ServerReply(r, 0); });
    std::int64_t before = UtcNowTicks();
    SntpResult r = QuerySntp(L"127.0.0.1", At(server));
    std::int64_t after = UtcNowTicks();
    ASSERT_TRUE(r.ok());
    Bytes request = server.request();
    ASSERT_EQ(request.size(), 48u);
    EXPECT_EQ(request[0], 0x23);
    for (std::size_t i = 1; i < 40; ++i) EXPECT_EQ(request[i], 0) << "byte " << i;
    std::int64_t sent = NtpToFileTime(vt::test::TimestampAt(request, 40), before);
    EXPECT_GE(sent, before - 1);
    EXPECT_LE(sent, after + 1);
}

TEST(SntpClient, MeasuresTheServersOffset) {
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return ServerReply(r, 3600.25); });
    SntpResult r = QuerySntp(L"127.0.0.1", At(server));
    ASSERT_TRUE(r.ok());
    EXPECT_NEAR(static_cast<double>(r.measurement.offsetTicks) / kTicksPerSecond, 3600.25, 0.1);
    EXPECT_GE(r.measurement.delayTicks, 0);
    EXPECT_LT(r.measurement.delayTicks, kTicksPerSecond / 10);
    EXPECT_EQ(r.reply.stratum, 2);
}

TEST(SntpClient, ResolvesHostNames) {
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return ServerReply(r, -60); });
    SntpResult r = QuerySntp(L"localhost", At(server));
    if (r.status == SntpStatus::Timeout) GTEST_SKIP() << "localhost resolves to ::1 only here";
    ASSERT_TRUE(r.ok());
    EXPECT_NEAR(static_cast<double>(r.measurement.offsetTicks) / kTicksPerSecond, -60, 0.1);
}

TEST(SntpClient, RejectsBadReplies) {
    struct Case {
        const char* name;
        std::function<Bytes(Bytes)> tamper;
        SntpStatus expected;
    } cases[] = {
        {"wrong mode", [](Bytes b) { b[0] = (b[0] & ~7) | 3; return b; }, SntpStatus::BadMode},
        {"zero transmit", [](Bytes b) { vt::test::PutTimestampAt(b, 40, 0); return b; }, SntpStatus::ZeroTransmit},
        {"kiss of death", [](Bytes b) { b[1] = 0; b[12] = 'R'; b[13] = 'A'; b[14] = 'T'; b[15] = 'E'; return b; },
         SntpStatus::KissOfDeath},
        {"unsynchronised", [](Bytes b) { b[0] |= 0xC0; return b; }, SntpStatus::Unsynchronised},
        {"short packet", [](Bytes b) { b.resize(40); return b; }, SntpStatus::ShortPacket},
        {"stale originate", [](Bytes b) { vt::test::PutTimestampAt(b, 24, 12345); return b; },
         SntpStatus::OriginateMismatch},
    };
    for (const auto& c : cases) {
        LoopbackSntpServer server = Answering(c.tamper);
        EXPECT_EQ(QuerySntp(L"127.0.0.1", At(server)).status, c.expected) << c.name;
    }
}

TEST(SntpClient, SilentServerTimesOutAfterTheReceiveTimeout) {
    LoopbackSntpServer server([](const Bytes&) -> std::optional<Bytes> { return std::nullopt; });
    auto start = std::chrono::steady_clock::now();
    SntpResult r = QuerySntp(L"127.0.0.1", At(server));
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(r.status, SntpStatus::Timeout);
    EXPECT_GE(waited.count(), kShortTimeoutMs - 20);
    EXPECT_LT(waited.count(), 3000);
    EXPECT_EQ(server.requests(), 1);
}

// The loopback network's broadcast address: the request leaves (nobody answers) rather than the socket
// refusing to send to a broadcast address.
TEST(SntpClient, ABroadcastAddressIsAsked) {
    LoopbackSntpServer server([](const Bytes&) -> std::optional<Bytes> { return std::nullopt; });
    EXPECT_EQ(QuerySntp(L"127.255.255.255", At(server)).status, SntpStatus::Timeout);
}

TEST(SntpClient, EmptyHostIsUnknownWithoutSending) {
    EXPECT_EQ(QuerySntp(L"", SntpSettings{}).status, SntpStatus::UnknownHost);
}

TEST(SyncClockWith, SetsTheLocalClockPlusTheOffset) {
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return ServerReply(r, 3600); });
    RecordingSetter setter;
    std::int64_t before = UtcNowTicks();
    EXPECT_EQ(SyncClockWith(L"127.0.0.1", At(server), setter), S_OK);
    std::int64_t after = UtcNowTicks();
    ASSERT_EQ(setter.calls, 1);
    std::int64_t set = Ticks(setter.set);
    EXPECT_GE(set, before + 3600 * kTicksPerSecond - kTicksPerSecond / 10);
    EXPECT_LE(set, after + 3600 * kTicksPerSecond + kTicksPerSecond / 10);
}

TEST(SyncClockWith, NoValidAnswerIsFailAndSetsNothing) {
    RecordingSetter setter;
    {
        LoopbackSntpServer silent([](const Bytes&) -> std::optional<Bytes> { return std::nullopt; });
        EXPECT_EQ(SyncClockWith(L"127.0.0.1", At(silent), setter), E_FAIL);
    }
    {
        LoopbackSntpServer refusing = Answering([](Bytes b) { b[1] = 0; return b; });
        EXPECT_EQ(SyncClockWith(L"127.0.0.1", At(refusing), setter), E_FAIL);
    }
    EXPECT_EQ(setter.calls, 0);
}

TEST(SyncClockWith, RefusedSettingIsFail) {
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return ServerReply(r, 1); });
    RecordingSetter setter;
    setter.accept = false;
    EXPECT_EQ(SyncClockWith(L"127.0.0.1", At(server), setter), E_FAIL);
    EXPECT_EQ(setter.calls, 1);
}

TEST(SyncClockWith, EmptyHostIsAbort) {
    RecordingSetter setter;
    EXPECT_EQ(SyncClockWith(L"", SntpSettings{}, setter), E_ABORT);
    EXPECT_EQ(setter.calls, 0);
}

}  // namespace
