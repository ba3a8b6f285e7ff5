#include <gtest/gtest.h>

#include "base/text.h"
#include "weather/test_data.h"
#include "weather/weather_document.h"

using namespace vt;
using vt::test::Replaced;
using vt::test::WeatherData;

namespace {
WeatherReport Golden() {
    std::string body = WeatherData(L"golden.xml");
    EXPECT_FALSE(body.empty());
    auto r = ParseWeatherReply(body);
    EXPECT_TRUE(r.report) << Narrow(r.error);
    return r.report.value_or(WeatherReport{});
}

std::wstring FailureOf(const std::string& body) {
    auto r = ParseWeatherReply(body);
    EXPECT_FALSE(r.report);
    EXPECT_FALSE(r.error.empty());
    return r.error;
}
}  // namespace

TEST(WeatherDocument, GoldenReplyGivesCurrentConditionsAndMemo) {
    WeatherReport r = Golden();
    EXPECT_EQ(r.unitLetter, L"F");
    EXPECT_EQ(r.temperature, L"72");
    EXPECT_EQ(r.currentTmp, L"72");
    EXPECT_EQ(r.iconName, L"29");
    EXPECT_EQ(r.currentIcon, L"29");
    EXPECT_EQ(r.moonIcon, L"12");
    EXPECT_EQ(r.moonText, L"Waxing Gibbous");
    std::vector<std::wstring> memo = {
        L"Paris, France",
        L"",
        L"Last Updated on 03/14/26 7:00 PM Local Time",
        L"Observed at Montsouris Park",
        L"Feels Like: 70\u00B0F",
        L"Temperature: 72\u00B0F",
        L"Partly Cloudy",
        L"UV Index: 4 Moderate",
        L"Pressure: 30.12 in.",
        L"Wind: WSW at 9 mph",
        L"Humidity: 48%",
        L"Visibility: 10.0 mi",
        L"Dew Point: 51\u00B0F",
    };
    EXPECT_EQ(r.memo, memo);
    EXPECT_NE(r.xml.find(L"<weather"), std::wstring::npos);
}

TEST(WeatherDocument, GoldenReplyGivesFiveDays) {
    WeatherReport r = Golden();
    EXPECT_EQ(r.days[0].name, L"Saturday");
    EXPECT_EQ(r.days[0].hi, L"N/A");
    EXPECT_EQ(r.days[0].nightPart.icon, L"29");
    EXPECT_EQ(r.days[0].nightPart.text.value_or(L"?"), L"Partly Cloudy Night");
    EXPECT_EQ(r.days[1].name, L"Sunday");
    EXPECT_EQ(r.days[1].hi, L"75");
    EXPECT_EQ(r.days[1].low, L"60");
    EXPECT_EQ(r.days[1].dayPart.icon, L"32");
    EXPECT_EQ(r.days[1].dayPart.text.value_or(L"?"), L"Sunny");
    EXPECT_EQ(r.days[4].name, L"Wednesday");
    EXPECT_EQ(r.days[4].low, L"49");
}

TEST(WeatherDocument, EmptyFirstLsupKeepsOnlyTheFirstTwoMemoLines) {
    std::string body = Replaced(WeatherData(L"golden.xml"), "<lsup>Last Updated on 03/14/26 7:00 PM Local Time</lsup>",
                                "<lsup></lsup>");
    // The lines after it are not needed then: a reply without them is still whole.
    body = Replaced(body, "<obst>Observed at Montsouris Park</obst>", "");
    auto r = ParseWeatherReply(body);
    ASSERT_TRUE(r.report) << Narrow(r.error);
    EXPECT_EQ(r.report->memo, (std::vector<std::wstring>{L"Paris, France", L""}));
    EXPECT_EQ(r.report->days[3].hi, L"64");
}

TEST(WeatherDocument, DashAndUnsafeIconCodesBecomeNa) {
    EXPECT_EQ(SafeIconCode(L"-"), L"na");
    EXPECT_EQ(SafeIconCode(L""), L"na");
    EXPECT_EQ(SafeIconCode(L"..\\..\\evil"), L"na");
    EXPECT_EQ(SafeIconCode(L"a/b"), L"na");
    EXPECT_EQ(SafeIconCode(L"C:x"), L"na");
    EXPECT_EQ(SafeIconCode(std::wstring(33, L'a')), L"na");
    EXPECT_EQ(SafeIconCode(std::wstring(32, L'a')), std::wstring(32, L'a'));
    EXPECT_EQ(SafeIconCode(L"night_rain-2"), L"night_rain-2");

    std::string body = Replaced(WeatherData(L"golden.xml"), "<icon>29</icon>", "<icon>-</icon>");
    body = Replaced(body, "<icon>12</icon>", "<icon>../../../Windows/evil</icon>");
    body = Replaced(body, "<icon>32</icon>", "<icon>-</icon>");
    auto r = ParseWeatherReply(body);
    ASSERT_TRUE(r.report) << Narrow(r.error);
    EXPECT_EQ(r.report->iconName, L"na");
    EXPECT_EQ(r.report->currentIcon, L"na");
    EXPECT_EQ(r.report->moonIcon, L"na");
    EXPECT_EQ(r.report->days[1].dayPart.icon, L"na");
}

TEST(WeatherDocument, ControlCharactersAreRemovedFromValues) {
    std::string body = Replaced(WeatherData(L"golden.xml"), "<tmp>72</tmp>", "<tmp>72&#13;&#10;Injected=1</tmp>");
    body = Replaced(body, "<dnam>Paris, France</dnam>", "<dnam>Paris&#10;[Options]&#9;x</dnam>");
    auto r = ParseWeatherReply(body);
    ASSERT_TRUE(r.report) << Narrow(r.error);
    EXPECT_EQ(r.report->temperature, L"72Injected=1");
    EXPECT_EQ(r.report->memo[0], L"Paris[Options]x");
}

TEST(WeatherDocument, IncompleteOrForeignRepliesFail) {
    std::string golden = WeatherData(L"golden.xml");
    FailureOf("");
    FailureOf("   ");
    FailureOf(golden.substr(0, golden.size() / 2));
    FailureOf(Replaced(Replaced(golden, "<weather ver", "<other ver"), "</weather>", "</other>"));
    FailureOf(Replaced(golden, "<day d=\"3\"", "<day d=\"9\""));
    FailureOf(Replaced(golden, "<low>55</low>", ""));
    FailureOf(Replaced(golden, "<t>Waxing Gibbous</t>", ""));
    FailureOf(Replaced(golden, "<dewp>51</dewp>", ""));
    // Today is over: the night part is needed, and its icon with it.
    FailureOf(Replaced(golden, "<icon>29</icon>\n        <t>Partly Cloudy Night</t>", "<t>x</t>"));
    EXPECT_NE(FailureOf(Replaced(golden, "<ut>F</ut>", "")).find(L"ut"), std::wstring::npos);
}

TEST(WeatherDocument, DocumentTypeDeclarationsAndHugeRepliesAreRefused) {
    std::string golden = WeatherData(L"golden.xml");
    FailureOf(Replaced(golden, "<weather ver", "<!DOCTYPE weather [<!ENTITY x \"y\">]>\n<weather ver"));
    FailureOf(Replaced(golden, "<weather ver", "<!doctype weather SYSTEM \"w.dtd\">\n<weather ver"));
    std::string wide;
    for (char c : std::string("<weather/>")) { wide += c; wide += '\0'; }
    FailureOf("\xFF\xFE" + wide);
    std::string padded = Replaced(golden, "</weather>", "<pad>" + std::string(kMaxWeatherReplyBytes, 'p') + "</pad></weather>");
    FailureOf(padded);
}

TEST(WeatherDocument, EncodingDeclarationIsHonoured) {
    std::string body = Replaced(WeatherData(L"golden.xml"), "encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\"");
    body = Replaced(body, "<dnam>Paris, France</dnam>", "<dnam>Z\xFCrich</dnam>");
    auto r = ParseWeatherReply(body);
    ASSERT_TRUE(r.report) << Narrow(r.error);
    EXPECT_EQ(r.report->memo[0], L"Z\u00FCrich");
}

TEST(WeatherDocument, StoredLatinOneReplyReadsBackUnchanged) {
    std::string body = Replaced(Replaced(WeatherData(L"golden.xml"), "UTF-8", "ISO-8859-1"), "Montsouris Park",
                                "Z\xFCrich");
    auto fetched = ParseWeatherReply(body);
    ASSERT_TRUE(fetched.report) << Narrow(fetched.error);
    auto mentions = [](const WeatherReport& r) {
        for (const auto& line : r.memo)
            if (line.find(L"Z\u00FCrich") != std::wstring::npos) return true;
        return false;
    };
    ASSERT_TRUE(mentions(*fetched.report));
    // The next start reads the text kept in the registry.
    auto restored = ParseWeatherText(fetched.report->xml);
    ASSERT_TRUE(restored.report) << Narrow(restored.error);
    EXPECT_TRUE(mentions(*restored.report));
}
