#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <optional>

#include "base/text.h"

#include "support/loopback_server.h"
#include "weather/weather_request.h"
#include "base/http_worker.h"

using namespace vt;
using vt::test::HeaderValue;
using vt::test::LoopbackServer;
using vt::test::RequestLine;
using vt::test::Reply;
using vt::test::ServedReply;
using vt::test::Status;
using vt::test::With;

namespace {
HttpRequest RequestTo(const std::wstring& host, const std::wstring& place = L"Paris, France") {
    HttpRequest r;
    r.host = host;
    r.pathAndQuery = WeatherRequestPath(place, kWeatherUser, L"s");
    r.limits.readTimeoutMs = 1000;
    r.limits.deadlineMs = 3000;
    return r;
}
}  // namespace

TEST(HttpRequest, PlaceIsEncodedByteWise) {
    EXPECT_EQ(EncodePlace(L"Paris, France"), L"Paris%2C+France");
    EXPECT_EQ(EncodePlace(L"Z\u00FCrich 8001"), L"Z%C3%BCrich+8001");
    EXPECT_EQ(EncodePlace(L"a-b_c.d~&="), L"a%2Db%5Fc%2Ed%7E%26%3D");
    EXPECT_EQ(WeatherRequestPath(L"Paris, France", L"vantoric", L"m"),
              L"/weather.php?city=Paris%2C+France&user=vantoric&unit=m");
}

TEST(HttpRequest, HostPortAndProxyPortRules) {
    std::wstring host;
    unsigned short port = 0;
    SplitHostPort(L"weather.example", host, port);
    EXPECT_EQ(host, L"weather.example");
    EXPECT_EQ(port, 80);
    SplitHostPort(L"127.0.0.1:8123", host, port);
    EXPECT_EQ(host, L"127.0.0.1");
    EXPECT_EQ(port, 8123);
    EXPECT_EQ(ProxyPort(0), 80);
    EXPECT_EQ(ProxyPort(-5), 80);
    EXPECT_EQ(ProxyPort(65536), 80);
    EXPECT_EQ(ProxyPort(65535), 65535);
    EXPECT_EQ(ProxyPort(3128), 3128);
    EXPECT_EQ(Base64("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(Base64("ab"), "YWI=");
}

TEST(HttpRequest, ServiceHostHasOneDefaultAndAnOverride) {
    SetWeatherServiceHost(L"");
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
    EXPECT_EQ(WeatherServiceHost(), kDefaultWeatherHost);
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", L"127.0.0.1:9");
    EXPECT_EQ(WeatherServiceHost(), L"127.0.0.1:9");
    SetWeatherServiceHost(L"127.0.0.1:10");
    EXPECT_EQ(WeatherServiceHost(), L"127.0.0.1:10");
    SetWeatherServiceHost(L"");
    SetEnvironmentVariableW(L"VANTORIC_WEATHER_HOST", nullptr);
}

TEST(HttpRequest, SendsTheExactRequestLineAndHeaders) {
    LoopbackServer server([](const std::string&) { return Reply("<weather/>"); });
    HttpResult r = PerformHttpGet(RequestTo(server.HostAndPort()));
    ASSERT_TRUE(r.ok) << Narrow(r.error);
    EXPECT_EQ(r.body, "<weather/>");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    EXPECT_EQ(RequestLine(head), "GET /weather.php?city=Paris%2C+France&user=vantoric&unit=s HTTP/1.1");
    EXPECT_EQ(HeaderValue(head, "Accept"), "text/html, */*");
    EXPECT_EQ(HeaderValue(head, "User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(HeaderValue(head, "Content-Type"), "text/html");
    EXPECT_EQ(HeaderValue(head, "Cache-Control"), "no-cache");
    EXPECT_EQ(HeaderValue(head, "Pragma"), "no-cache");
    EXPECT_EQ(HeaderValue(head, "Host"), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(HeaderValue(head, "Proxy-Authorization"), "");
}

TEST(HttpRequest, AnErrorStatusFailsWithTheStatusLine) {
    LoopbackServer server([](const std::string&) {
        return Status(404, "Not Found", "<weather><cc><tmp>1</tmp></cc></weather>");
    });
    HttpResult r = PerformHttpGet(RequestTo(server.HostAndPort()));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 404);
    EXPECT_EQ(r.error, L"HTTP/1.1 404 Not Found");
    EXPECT_TRUE(r.body.empty());
}

TEST(HttpRequest, RefusedConnectionFails) {
    HttpResult r = PerformHttpGet(RequestTo(L"127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort())));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

TEST(HttpRequest, SilentServerTimesOut) {
    LoopbackServer server([](const std::string&) { return With(Reply("<weather/>"), [](ServedReply& r) { r.delayMs = 4000; }); });
    auto start = GetTickCount64();
    HttpResult r = PerformHttpGet(RequestTo(server.HostAndPort()));
    EXPECT_FALSE(r.ok);
    EXPECT_LT(GetTickCount64() - start, 3500u) << Narrow(r.error);
}

TEST(HttpRequest, TricklingServerMissesTheOverallDeadline) {
    LoopbackServer server(
        [](const std::string&) { return With(Reply(std::string(200, 'x')), [](ServedReply& r) { r.trickleMs = 50; }); });
    HttpRequest request = RequestTo(server.HostAndPort());
    request.limits.deadlineMs = 1500;
    auto start = GetTickCount64();
    HttpResult r = PerformHttpGet(request);
    EXPECT_FALSE(r.ok);
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

TEST(HttpRequest, RepliesOverTheSizeLimitFailWithOrWithoutLength) {
    for (bool withLength : {true, false}) {
        LoopbackServer server([&](const std::string&) {
            return With(Reply(std::string((1 << 20) + 1, 'x')), [&](ServedReply& r) { r.sendLength = withLength; });
        });
        HttpResult r = PerformHttpGet(RequestTo(server.HostAndPort()));
        EXPECT_FALSE(r.ok) << withLength;
        EXPECT_NE(r.error.find(L"larger"), std::wstring::npos);
        EXPECT_TRUE(r.body.empty());
    }
    LoopbackServer exact([](const std::string&) { return Reply(std::string(1 << 20, 'x')); });
    EXPECT_TRUE(PerformHttpGet(RequestTo(exact.HostAndPort())).ok);
}

TEST(HttpRequest, EnabledProxyCarriesBasicCredentials) {
    LoopbackServer proxy([](const std::string& head) {
        if (HeaderValue(head, "Proxy-Authorization") != "Basic " + Base64("ann:s3cret:x"))
            return Status(407, "Proxy Authentication Required", "");
        return Reply("<weather/>");
    });
    // Nothing listens on the target: only a request through the proxy can succeed.
    HttpRequest request = RequestTo(L"127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort()));
    request.proxy = ProxySettings{L"127.0.0.1", proxy.port(), L"ann", L"s3cret:x", true, true};
    HttpResult r = PerformHttpGet(request);
    ASSERT_TRUE(r.ok) << Narrow(r.error);
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_NE(RequestLine(proxy.Requests()[0]).find("/weather.php?city=Paris%2C+France&user=vantoric&unit=s"),
              std::string::npos);
}

// Without Basic chosen the credentials wait for the proxy's challenge and answer it in the scheme offered;
// without credentials the challenge stays unanswered.
TEST(HttpRequest, ProxyChallengeIsAnsweredInTheOfferedScheme) {
    LoopbackServer proxy([](const std::string& head) {
        if (HeaderValue(head, "Proxy-Authorization") == "Basic " + Base64("ann:pw")) return Reply("<weather/>");
        return With(Status(407, "Proxy Authentication Required", ""),
                    [](ServedReply& r) { r.headers = "Proxy-Authenticate: Basic realm=\"loopback\"\r\n"; });
    });
    HttpRequest request = RequestTo(L"127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort()));
    request.proxy = ProxySettings{L"127.0.0.1", proxy.port(), L"ann", L"pw", false, true};
    HttpResult r = PerformHttpGet(request);
    ASSERT_TRUE(r.ok) << Narrow(r.error);
    const auto asked = proxy.Requests();
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(HeaderValue(asked.front(), "Proxy-Authorization"), "") << "nothing before the challenge";

    request.proxy.user = request.proxy.password = L"";
    r = PerformHttpGet(request);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 407);
    EXPECT_EQ(proxy.Requests().size(), asked.size() + 1);
}

TEST(HttpRequest, DisabledProxyGoesDirect) {
    LoopbackServer proxy([](const std::string&) { return Reply("<proxy/>"); });
    LoopbackServer server([](const std::string&) { return Reply("<weather/>"); });
    HttpRequest request = RequestTo(server.HostAndPort());
    request.proxy = ProxySettings{L"127.0.0.1", proxy.port(), L"ann", L"pw", true, false};
    HttpResult r = PerformHttpGet(request);
    ASSERT_TRUE(r.ok) << Narrow(r.error);
    EXPECT_EQ(r.body, "<weather/>");
    EXPECT_TRUE(proxy.Requests().empty());
    EXPECT_EQ(HeaderValue(server.Requests().at(0), "Proxy-Authorization"), "");
}

namespace {

ServedReply TrickledHead() {
    return With(Reply("<weather/>"), [](ServedReply& r) {
        r.trickleMs = 1000;   // even the status line comes one byte a second
        r.trickleHead = true;
    });
}

}  // namespace

TEST(HttpWorker, StopReturnsAtOnceWhileTheServerTricklesItsStatusLine) {
    LoopbackServer server([](const std::string&) { return TrickledHead(); });
    HttpRequest request = RequestTo(server.HostAndPort());
    request.limits.readTimeoutMs = 10000;   // no time-out of the exchange's own ends this
    request.limits.deadlineMs = 60000;
    std::atomic<int> notified{0};
    {
        HttpWorker worker([&] { ++notified; });
        ASSERT_TRUE(worker.Start(request));
        Sleep(700);   // connected and waiting for the headers
        const ULONGLONG asked = GetTickCount64();
        worker.Stop();
        EXPECT_LT(GetTickCount64() - asked, 1500u);
        EXPECT_FALSE(worker.Running());
        EXPECT_FALSE(worker.TakeResult());
    }
    EXPECT_EQ(notified, 0);   // nothing is handed over after a stop
}

TEST(HttpWorker, DeadlineCountsFromTheStartWhateverStageHoldsTheExchange) {
    LoopbackServer server([](const std::string&) { return TrickledHead(); });
    HttpRequest request = RequestTo(server.HostAndPort());
    request.limits.readTimeoutMs = 10000;   // each byte comes well within the read time-out
    request.limits.deadlineMs = 1500;
    std::atomic<int> notified{0};
    HttpWorker worker([&] { ++notified; });
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(worker.Start(request));
    std::optional<HttpResult> r;
    while (!(r = worker.TakeResult()) && GetTickCount64() - start < 10000) Sleep(20);
    ASSERT_TRUE(r);
    EXPECT_LT(GetTickCount64() - start, 4000u);
    EXPECT_FALSE(r->ok);
    EXPECT_FALSE(r->error.empty());
    EXPECT_EQ(notified, 1);
    // The given-up exchange may still hold its connection: no second one beside it.
    if (worker.Start(request)) worker.Stop();
}
