#include <gtest/gtest.h>

#include "base/locale_text.h"
#include "clock/options_file.h"

#include <windows.h>
#include <commctrl.h>

#include <mutex>

#include "base/text.h"
#include "support/loopback_server.h"
#include "weather/page_fixture.h"
#include "weather/test_data.h"

using namespace vt;
using namespace vt::test;

namespace {
const TDateTime kNow = EncodeDateTime(2026, 3, 14, 19, 40, 0);
const wchar_t kF[] = L"\u00B0F";

// A loopback weather service whose answer the test can change between requests.
class Service {
public:
    Service() : server_([this](const std::string& head) { return Answer(head); }) {
        SetWeatherServiceHost(server_.HostAndPort());
        Serve(Reply(WeatherData(L"golden.xml")));
    }
    ~Service() { SetWeatherServiceHost(L""); }
    void Serve(ServedReply reply) {
        std::lock_guard<std::mutex> l(lock_);
        reply_ = std::move(reply);
    }
    LoopbackServer& server() { return server_; }
private:
    ServedReply Answer(const std::string&) {
        std::lock_guard<std::mutex> l(lock_);
        return reply_;
    }
    std::mutex lock_;
    ServedReply reply_;
    LoopbackServer server_;
};

void FetchGolden(PageUnderTest& t) {
    t.options.placeText = L"Paris, France";
    t.page->onGetWeather();
    ASSERT_TRUE(t.Finish());
    ASSERT_EQ(t.page->State().errorText, L"");
}
}  // namespace

TEST(WeatherPage, GoldenReplyFillsPageOptionsAndStoredValues) {
    Service service;
    PageUnderTest t(kNow);
    FetchGolden(t);
    const auto& s = t.page->State();
    const std::wstring dir = t.pictures.path();

    // Taskbar values and memo.
    EXPECT_EQ(t.options.temper, L"72");
    EXPECT_EQ(t.options.temperSymbol, kF);
    EXPECT_EQ(t.options.engTemp, L"72");
    EXPECT_EQ(t.options.metricTemp, L"");
    EXPECT_EQ(t.options.weatherIcon, L"29");
    EXPECT_EQ(t.options.currentWeather.substr(0, 17), L"Paris, France\r\n\r\n");
    EXPECT_NE(t.options.currentWeather.find(L"\r\nDew Point: 51\u00B0F"), std::wstring::npos);
    // Current conditions.
    EXPECT_EQ(s.hiTemperature, L"72\u00B0F");
    EXPECT_EQ(s.picturePath, dir + L"Weather\\29.png");
    EXPECT_EQ(s.moonPicturePath, dir + L"Moon\\12.png");
    EXPECT_EQ(s.moonHint, L"Waxing Gibbous");
    // Tiles: today is over (high "N/A"), so the night part and the current temperature show.
    EXPECT_EQ(s.tiles[0].title, L"Saturday");
    EXPECT_EQ(s.tiles[0].hi, L"72\u00B0F");
    EXPECT_EQ(s.tiles[0].low, L"58\u00B0F");
    EXPECT_EQ(s.tiles[0].hint, L"Partly Cloudy Night");
    EXPECT_EQ(s.tiles[0].picturePath, dir + L"Weather\\29.png");
    EXPECT_EQ(s.tiles[1].hi, L"75\u00B0F");
    EXPECT_EQ(s.tiles[1].low, L"60\u00B0F");
    EXPECT_EQ(s.tiles[1].picturePath, dir + L"Weather\\na.png");   // no 32.png: the "na" picture
    EXPECT_EQ(s.tiles[4].title, L"Wednesday");
    EXPECT_EQ(s.tiles[5], DailyWeatherState{});
    // Completion: check date, next check, options saved, clock refreshed, widget redrawn.
    EXPECT_DOUBLE_EQ(ReadWeatherCheckDate(t.registry.place()), kNow);
    EXPECT_TRUE(s.schedule.enabled);
    EXPECT_EQ(s.schedule.intervalMs, 30u * 60 * 1000);
    EXPECT_EQ(s.syncLabel, DateTimeToText(kNow + 30 * kOneMinute));
    EXPECT_EQ(t.record.saves, 1);
    EXPECT_EQ(t.record.refreshes, 1);
    EXPECT_EQ(t.record.updates, 1);
    EXPECT_TRUE(s.buttonEnabled);
    EXPECT_EQ(t.Setting(L"Temper"), L"72");
    EXPECT_EQ(t.Setting(L"weatherIcon"), L"29");
    ASSERT_TRUE(t.page->Report());
    EXPECT_EQ(t.page->Report()->days[2].name, L"Monday");
    EXPECT_EQ(s.placeList, L"Paris, France");
    EXPECT_TRUE(service.server().Requested("city=Paris%2C+France&user=vantoric&unit=s"));
}

TEST(WeatherPage, MetricUnitsAskForMetricAndSetCelsius) {
    Service service;
    PageUnderTest t(kNow);
    t.options.places = {L"Oslo"};
    t.options.placeText = L"Oslo";
    t.page->SetEnglishUnits(false);
    ASSERT_TRUE(t.Finish());
    EXPECT_TRUE(service.server().Requested("city=Oslo&user=vantoric&unit=m"));
    EXPECT_EQ(t.options.temperSymbol, L"\u00B0C");
    EXPECT_EQ(t.options.metricTemp, L"72");
    EXPECT_EQ(t.options.engTemp, L"");
    // The unit letter of the captions comes from the reply.
    EXPECT_EQ(t.page->State().hiTemperature, L"72\u00B0F");
}

TEST(WeatherPage, EveryFailureKeepsTheStoredWeatherAndReportsIt) {
    const std::string golden = WeatherData(L"golden.xml");
    struct Case {
        const char* name;
        ServedReply reply;
        bool refused;
    };
    const Case cases[] = {
        {"error status", Status(500, "Internal Server Error", golden), false},
        {"not found", Status(404, "Not Found", ""), false},
        {"empty body", Reply(""), false},
        {"truncated", Reply(golden.substr(0, golden.size() / 2)), false},
        {"document type", Reply(Replaced(golden, "<weather ver", "<!DOCTYPE weather [<!ENTITY e \"x\">]><weather ver")), false},
        {"too large", Reply(std::string((1 << 20) + 10, ' ')), false},
        {"closed", With(Reply(""), [](ServedReply& r) { r.closeWithoutReply = true; }), false},
        {"time-out", With(Reply(golden), [](ServedReply& r) { r.delayMs = 2500; }), false},
        {"refused", Reply(golden), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Service service;
        PageUnderTest t(kNow);
        FetchGolden(t);
        const MainOptions before = t.options;
        const WeatherPageState stateBefore = t.page->State();
        const int saves = t.record.saves;

        service.Serve(c.reply);
        if (c.refused) SetWeatherServiceHost(L"127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort()));
        t.clock.Set(kNow + kOneHour);   // the next check is overdue
        t.page->btnGetWeatherComClick();
        EXPECT_FALSE(t.page->State().buttonEnabled);
        ASSERT_TRUE(t.Finish());

        const auto& s = t.page->State();
        EXPECT_EQ(s.errorText.rfind(L"Can't Get Weather: ", 0), 0u) << Narrow(s.errorText);
        EXPECT_GT(s.errorText.size(), 19u);
        EXPECT_TRUE(s.buttonEnabled);
        EXPECT_EQ(t.options.temper, before.temper);
        EXPECT_EQ(t.options.weatherIcon, before.weatherIcon);
        EXPECT_EQ(t.options.currentWeather, before.currentWeather);
        EXPECT_EQ(s.tiles, stateBefore.tiles);
        EXPECT_EQ(s.hiTemperature, stateBefore.hiTemperature);
        EXPECT_EQ(s.picturePath, stateBefore.picturePath);
        EXPECT_EQ(s.weatherXml, stateBefore.weatherXml);
        EXPECT_EQ(t.record.saves, saves);
        EXPECT_EQ(t.Setting(L"Temper"), L"72");
        EXPECT_DOUBLE_EQ(ReadWeatherCheckDate(t.registry.place()), kNow);
        // Retried 5 seconds later, since the last success is still the last check.
        EXPECT_TRUE(s.schedule.enabled);
        EXPECT_EQ(s.schedule.intervalMs, 5000u);
    }
}

TEST(WeatherPage, AReplyWithoutATemperatureEndsTheCheckAndKeepsTheWeather) {
    const std::string golden = WeatherData(L"golden.xml");
    for (const std::string& body : {WeatherData(L"error.xml"), std::string("<weather/>"),
                                    Replaced(golden, "<tmp>72</tmp>", "<tmp/>")}) {
        Service service;
        PageUnderTest t(kNow);
        FetchGolden(t);
        service.Serve(Reply(body));
        t.clock.Set(kNow + kOneHour);
        t.page->btnGetWeatherComClick();
        ASSERT_TRUE(t.Finish());
        EXPECT_EQ(t.page->State().errorText, L"The weather service has no weather for \"Paris, France\".");
        EXPECT_EQ(t.Setting(L"Temper"), L"72");
        // Checked all the same: the next check comes after the chosen 30 minutes, not in 5 seconds.
        EXPECT_DOUBLE_EQ(ReadWeatherCheckDate(t.registry.place()), kNow + kOneHour);
        EXPECT_EQ(t.page->State().schedule.intervalMs, 30u * 60 * 1000);
    }
}

TEST(WeatherPage, ExternalEntitiesAreNeverFetched) {
    Service service;
    const std::string base = "http://127.0.0.1:" + std::to_string(service.server().port());
    const std::string golden = WeatherData(L"golden.xml");
    const std::string attacks[] = {
        Replaced(Replaced(golden, "<weather ver", "<!DOCTYPE weather [<!ENTITY ext SYSTEM \"" + base +
                                                   "/entity.txt\">]>\n<weather ver"),
                 "<tmp>72</tmp>", "<tmp>&ext;</tmp>"),
        Replaced(golden, "<weather ver", "<!DOCTYPE weather SYSTEM \"" + base + "/entity.dtd\">\n<weather ver"),
    };
    for (const std::string& body : attacks) {
        PageUnderTest t(kNow);
        service.Serve(Reply(body));
        t.options.placeText = L"Paris, France";
        t.page->onGetWeather();
        ASSERT_TRUE(t.Finish());
        EXPECT_NE(t.page->State().errorText, L"");
        EXPECT_EQ(t.options.temper, L"0");
    }
    Sleep(200);   // a parser fetching on its own would have asked by now
    EXPECT_FALSE(service.server().Requested("/entity"));
    EXPECT_EQ(service.server().Requests().size(), 2u);
}

TEST(WeatherPage, LineBreaksInTheReplyInjectNoKey) {
    Service service;
    std::string body = Replaced(WeatherData(L"golden.xml"), "<tmp>72</tmp>", "<tmp>72&#13;&#10;Injected=1</tmp>");
    body = Replaced(body, "<icon>29</icon>", "<icon>29&#10;Evil=1</icon>");
    body = Replaced(body, "<t>Waxing Gibbous</t>", "<t>Waxing&#13;&#10;[Options]&#13;&#10;Bad=1</t>");
    service.Serve(Reply(body));
    PageUnderTest t(kNow);
    t.options.placeText = L"Paris, France";
    t.page->onGetWeather();
    ASSERT_TRUE(t.Finish());
    t.page->SavePlacement();

    for (const auto& key : IniFile(t.settings.File(L"Setting.ini")).KeyNames(L"Options")) {
        EXPECT_NE(key, L"Injected");
        EXPECT_NE(key, L"Evil");
        EXPECT_NE(key, L"Bad");
    }
    EXPECT_EQ(t.Setting(L"Temper"), L"72Injected=1");
    EXPECT_EQ(t.Setting(L"weatherIcon"), L"na");   // no longer a plain picture code
    RegKey key = t.registry.place().OpenRead();
    for (const auto& name : key.ValueNames()) EXPECT_EQ(name.find(L"Injected"), std::wstring::npos);
    EXPECT_EQ(key.ReadString(L"imgMoon.Hint").value_or(L""), L"Waxing[Options]Bad=1");
    EXPECT_EQ(StripControls(key.ReadString(L"CurrentWeather").value_or(L"")).find(L"\r"), std::wstring::npos);
}

TEST(WeatherPage, ProxyRoadSendsBasicCredentials) {
    std::string seenAuth;
    LoopbackServer proxy([&](const std::string& head) {
        seenAuth = HeaderValue(head, "Proxy-Authorization");
        if (seenAuth.empty()) return Status(407, "Proxy Authentication Required", "");
        return Reply(WeatherData(L"golden.xml"));
    });
    // The service itself is unreachable: only the proxy can answer.
    SetWeatherServiceHost(L"127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort()));
    PageUnderTest t(kNow);
    t.record.proxy = ProxySettings{L"127.0.0.1", proxy.port(), L"user", L"pass", true, true};
    t.options.placeText = L"Paris, France";
    t.page->onGetWeather();
    ASSERT_TRUE(t.Finish());
    SetWeatherServiceHost(L"");
    EXPECT_EQ(t.page->State().errorText, L"");
    EXPECT_EQ(seenAuth, "Basic dXNlcjpwYXNz");
    EXPECT_EQ(t.options.temper, L"72");
}

TEST(WeatherPage, PlacesAreMostRecentFirstAndAtMostEight) {
    Service service;
    PageUnderTest t(kNow);
    for (int i = 0; i < 10; ++i) t.options.places.push_back(L"Place " + std::to_wstring(i));
    t.options.placeText = L"place 6";   // another letter case: the listed spelling is requested
    t.page->onGetWeather();
    ASSERT_TRUE(t.Finish());
    ASSERT_EQ(t.options.places.size(), 8u);
    EXPECT_EQ(t.options.places[0], L"Place 6");
    EXPECT_EQ(t.options.places[1], L"Place 0");
    EXPECT_EQ(t.options.places[7], L"Place 7");
    EXPECT_EQ(t.options.placeIndex, 0);
    EXPECT_EQ(t.options.placeText, L"Place 6");
    EXPECT_TRUE(service.server().Requested("city=Place+6&"));

    t.options.placeText = L"Bergen";   // a new place joins at the top
    t.page->onGetWeather();
    ASSERT_TRUE(t.Finish());
    EXPECT_EQ(t.options.places.size(), 8u);
    EXPECT_EQ(t.options.places[0], L"Bergen");
    EXPECT_EQ(t.options.places[1], L"Place 6");
}

TEST(WeatherPage, EmptyPlaceStartsNothing) {
    Service service;
    PageUnderTest t(kNow);
    t.options.placeText = L"   ";
    t.page->onGetWeather();
    t.page->btnGetWeatherComClick();
    t.page->TimerWeatherTimer();
    t.options.places = {L""};
    t.page->btnGetWeatherComClick();
    EXPECT_FALSE(t.page->Busy());
    EXPECT_TRUE(t.page->State().buttonEnabled);
    EXPECT_EQ(WaitForSingleObject(t.done.get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(service.server().Requests().empty());
}

TEST(WeatherPage, OnlyOneRequestRunsAtATime) {
    Service service;
    service.Serve(With(Reply(WeatherData(L"golden.xml")), [](ServedReply& r) { r.delayMs = 400; }));
    PageUnderTest t(kNow);
    t.options.placeText = L"Paris, France";
    t.page->onGetWeather();
    EXPECT_TRUE(t.page->Busy());
    t.options.placeText = L"Lyon";
    t.page->onGetWeather();   // the hot key during the request: the list changes, no second request
    EXPECT_EQ(t.options.places[0], L"Lyon");
    EXPECT_FALSE(t.page->State().buttonEnabled);
    ASSERT_TRUE(t.Finish());
    EXPECT_TRUE(t.page->State().buttonEnabled);
    EXPECT_EQ(service.server().Requests().size(), 1u);
    EXPECT_FALSE(t.page->Busy());
}

TEST(WeatherPage, ShutdownStopsASlowRequestPromptly) {
    Service service;
    service.Serve(With(Reply(WeatherData(L"golden.xml")), [](ServedReply& r) { r.trickleMs = 20; }));
    PageUnderTest t(kNow);
    HttpLimits limits;
    limits.readTimeoutMs = 1000;
    limits.deadlineMs = 60000;
    t.page->SetRequestLimits(limits);
    t.options.placeText = L"Paris, France";
    t.page->onGetWeather();
    Sleep(200);
    auto start = GetTickCount64();
    t.page->Shutdown();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_FALSE(t.page->Busy());
    t.page->OnRequestDone();   // a hand-over message still queued finds nothing
    EXPECT_EQ(t.options.temper, L"0");
}

TEST(WeatherPage, SilentServerPastTheDeadlineNeverLeavesTheButtonStuck) {
    Service service;
    // The server takes the request and never answers: only the deadline ends the wait.
    service.Serve(With(Reply(WeatherData(L"golden.xml")), [](ServedReply& r) { r.delayMs = 120000; }));
    PageUnderTest t(kNow);
    HttpLimits limits;
    limits.readTimeoutMs = 120000;
    limits.deadlineMs = 1000;
    t.page->SetRequestLimits(limits);
    t.options.placeText = L"Paris, France";
    t.page->onGetWeather();
    ASSERT_TRUE(t.Finish());   // the deadline's time-out
    EXPECT_NE(t.page->State().errorText, L"");
    EXPECT_TRUE(t.page->State().buttonEnabled);
    ASSERT_FALSE(t.record.timers.empty());
    EXPECT_EQ(t.record.timers.back(), std::make_pair(true, 5000u));
    for (int recheck = 0; recheck < 2; ++recheck) {
        t.page->TimerWeatherTimer();   // the check 5 s later, while the given-up exchange may still hang
        if (t.page->Busy()) {
            ASSERT_TRUE(t.Finish());   // a completion on its way
        }
        EXPECT_TRUE(t.page->State().buttonEnabled) << recheck;
        EXPECT_EQ(t.record.timers.back(), std::make_pair(true, 5000u)) << recheck;
    }
}

TEST(WeatherPage, PlacementIsStoredAndRestored) {
    Service service;
    PageUnderTest t(kNow);
    FetchGolden(t);
    t.page->SelectPage(1);
    t.page->SetHotKey(MAKEWORD(VK_F9, HOTKEYF_ALT | HOTKEYF_SHIFT));
    t.page->SavePlacement();

    MainOptions fresh;
    WeatherPage restored(fresh, t, t.clock, t.pictures.path(), [] {}, t.registry.place());
    restored.RestorePlacement();
    const auto& a = t.page->State();
    const auto& b = restored.State();
    EXPECT_EQ(b.picturePath, a.picturePath);
    EXPECT_EQ(b.moonPicturePath, a.moonPicturePath);
    EXPECT_EQ(b.moonHint, L"Waxing Gibbous");
    EXPECT_EQ(b.hiTemperature, L"72\u00B0F");
    EXPECT_EQ(b.placeList, L"Paris, France");
    EXPECT_EQ(b.shownPage, 1);
    EXPECT_EQ(b.hotKey, MAKEWORD(VK_F9, HOTKEYF_ALT | HOTKEYF_SHIFT));
    EXPECT_EQ(b.tiles, a.tiles);
    EXPECT_EQ(fresh.places, t.options.places);
    EXPECT_EQ(fresh.placeIndex, 0);
    EXPECT_EQ(fresh.placeText, L"Paris, France");
    ASSERT_TRUE(restored.Report());
    EXPECT_EQ(restored.Report()->days[1].hi, L"75");
}

TEST(WeatherPage, NothingStoredShowsNoSubPageAndDefaultTiles) {
    PageUnderTest t(kNow);
    t.page->RestorePlacement();
    EXPECT_EQ(t.page->State().shownPage, 3);
    EXPECT_EQ(t.page->State().tiles[9], DailyWeatherState{});
    EXPECT_EQ(t.page->State().hotKey, kDefaultWeatherHotKey);
    EXPECT_FALSE(t.page->Report());
}

TEST(WeatherPage, IntervalListAndSchedule) {
    PageUnderTest t(kNow);
    t.page->SetWeatherEvery(kWeatherNever);
    EXPECT_EQ(t.page->State().syncLabel, L"Never");
    EXPECT_EQ(t.record.timers.back(), std::make_pair(false, 0u));

    // No stored check date: the first check starts 5 seconds after scheduling.
    t.page->SetWeatherEvery(kWeather1Hour);
    EXPECT_EQ(t.record.timers.back(), std::make_pair(true, 5000u));
    EXPECT_EQ(t.page->State().syncLabel, L"Never");   // a due check keeps the label

    // A resume 10 minutes after a check with a one-hour interval waits the remaining 50 minutes.
    WriteWeatherCheckDate(kNow - 10 * kOneMinute, t.registry.place());
    t.page->OnResume();
    EXPECT_EQ(t.record.timers.back(), std::make_pair(true, 50u * 60 * 1000));
    EXPECT_EQ(t.page->State().syncLabel, DateTimeToText(kNow + 50 * kOneMinute));

    // "1 minute" comes and goes with a click on the group's title; removing the chosen item stops checks.
    EXPECT_FALSE(t.options.everyAdded);
    t.page->SetWeatherEvery(kWeather1Minute);
    EXPECT_EQ(t.options.weatherEvery, kWeather1Hour);   // not in the list yet
    t.page->ToggleOneMinute();
    EXPECT_TRUE(t.options.everyAdded);
    t.page->SetWeatherEvery(kWeather1Minute);
    EXPECT_EQ(t.options.weatherEvery, kWeather1Minute);
    t.page->ToggleOneMinute();
    EXPECT_FALSE(t.options.everyAdded);
    EXPECT_EQ(t.options.weatherEvery, kWeatherNever);
    EXPECT_FALSE(t.page->State().schedule.enabled);
}

TEST(WeatherPage, SwitchesSaveAndRefreshTheClock) {
    PageUnderTest t(kNow);
    t.page->SetShowWeather(false);
    t.page->SetShowLocation(true);
    t.page->SetShowWeatherIcon(false);
    EXPECT_FALSE(t.options.showWeather);
    EXPECT_TRUE(t.options.showLocation);
    EXPECT_FALSE(t.options.showWeatherIcon);
    EXPECT_EQ(t.record.saves, 3);
    EXPECT_EQ(t.record.refreshes, 3);
}

TEST(WeatherPage, UnitButtonsFollowTheStoredSymbol) {
    PageUnderTest t(kNow);
    t.options.temperSymbol = L"\u00B0C";
    t.page->LoadFromOptions();
    EXPECT_FALSE(t.page->State().englishUnits);
    t.options.temperSymbol = L"K";
    t.page->LoadFromOptions();
    EXPECT_FALSE(t.page->State().englishUnits);
    t.options.temperSymbol = kF;
    t.page->LoadFromOptions();
    EXPECT_TRUE(t.page->State().englishUnits);
}

TEST(WeatherPage, StoredLatinOneReplyReadsBackAfterARestart) {
    Service service;
    service.Serve(Reply(Replaced(Replaced(WeatherData(L"golden.xml"), "UTF-8", "ISO-8859-1"), "Paris, France</dnam>",
                                 "Z\xFCrich</dnam>")));
    PageUnderTest t(kNow);
    FetchGolden(t);
    ASSERT_TRUE(t.page->Report());
    ASSERT_EQ(t.page->Report()->memo.at(0), L"Z\u00FCrich");
    t.page->SavePlacement();

    MainOptions fresh;
    WeatherPage restored(fresh, t, t.clock, t.pictures.path(), [] {}, t.registry.place());
    restored.RestorePlacement();
    ASSERT_TRUE(restored.Report());
    EXPECT_EQ(restored.Report()->memo.at(0), L"Z\u00FCrich");
}
