#include <gtest/gtest.h>

#include "base/locale_text.h"
#include "clock/options_file.h"
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "resources/weather_res.h"
#include "weather/frm_weather.h"
#include "support/loopback_server.h"
#include "weather/page_fixture.h"
#include "weather/test_data.h"

using namespace vt;
using namespace vt::test;

namespace {
const TDateTime kNow = EncodeDateTime(2026, 3, 14, 19, 40, 0);

std::wstring Text(HWND h) {
    wchar_t buf[4096] = L"";
    GetWindowTextW(h, buf, 4096);
    return buf;
}

template <class F>
bool PumpUntil(F done, DWORD timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    return true;
}

struct FormUnderTest : IWeatherFormHost {
    void SaveOptions() override { ++saves; }
    void RefreshClock() override { ++refreshes; }
    ProxySettings CurrentProxy() override { return {}; }
    void WeatherUpdated() override { ++updates; }
    void OpenProxyPage() override { ++proxyPages; }
    void HotKeyChanged(WORD key) override { shortcut = key; }
    HWND HotKeyWindow() override { return main; }

    FormUnderTest() : clock(kNow) {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 700, 500, nullptr, nullptr, nullptr, nullptr);
        main = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        form = std::make_unique<TfrmWeather>(options, *this, clock, pictures.path(), registry.place());
    }
    ~FormUnderTest() {
        form.reset();
        UnregisterHotKey(main, kWeatherHotKeyId);
        DestroyWindow(main);
        DestroyWindow(parent);
    }
    // A click on one of the settings' group titles, as the mouse makes it.
    void ClickTitle(int id) {
        HWND title = GetDlgItem(form->hwnd(), id);
        SendMessageW(title, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 4));
        SendMessageW(title, WM_LBUTTONUP, 0, MAKELPARAM(20, 4));
    }
    void Command(int id, int code) {
        SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(form->hwnd(), id)));
    }

    FakeNow clock;
    TestRegistryKey registry;
    ProgramFolder pictures;
    MainOptions options;
    HWND parent{}, main{};
    int saves = 0, refreshes = 0, proxyPages = 0, updates = 0;
    WORD shortcut = 0;
    std::unique_ptr<TfrmWeather> form;
};
}  // namespace

TEST(TfrmWeather, ChildDialogWithTheNamedControls) {
    FormUnderTest t;
    HWND page = t.form->Create(t.parent);
    ASSERT_TRUE(page);
    EXPECT_EQ(GetParent(page), t.parent);
    EXPECT_TRUE(GetWindowLongW(page, GWL_STYLE) & WS_CHILD);
    TfrmWeather& f = *t.form;
    for (HWND h : {f.pbtCurrent, f.pbtDaily, f.pbtSettings, f.lbError, f.Image2, f.lbHiTemperature, f.imgMoon,
                   f.mmWeather, f.lbTemperature, f.lbTemperSymbol, f.chbShowWeather, f.cbFoundPlaces,
                   f.btnGetWeatherCom, f.cbShowLocation, f.cbShowWeatherIcon, f.rbEnglishUnits, f.rbMetricUnits,
                   f.gradientPanel9, f.cbWeatherEvery, f.lbWeatherSync, f.btSetProxy, f.HotKey1})
        EXPECT_TRUE(h);
    EXPECT_EQ(Text(f.btnGetWeatherCom), L"Get Weather");
    EXPECT_EQ(Text(f.Label1), L"Enter city or zip code in format: \r\nCity, Country or City, Zip Code(USA)");
    EXPECT_EQ(Text(f.Label7), L"Updating Weather Hot Key:");
    EXPECT_EQ(Text(f.lbWeatherSync), L"Never");
    EXPECT_EQ(Text(f.lbHiTemperature), L"N/A");
    EXPECT_EQ(SendMessageW(f.cbWeatherEvery, CB_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(f.cbWeatherEvery, CB_GETCURSEL, 0, 0), kWeather30Min);
    EXPECT_EQ(static_cast<WORD>(SendMessageW(f.HotKey1, HKM_GETHOTKEY, 0, 0)), kDefaultWeatherHotKey);
    for (auto& tile : f.frDailyWeather) EXPECT_TRUE(tile.hwnd());
    // Nothing stored: none of the three sub-pages shows.
    EXPECT_FALSE(GetWindowLongW(f.mmWeather, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(f.cbFoundPlaces, GWL_STYLE) & WS_VISIBLE);

    t.form->SetProxyCaption(true);
    EXPECT_EQ(Text(f.btSetProxy), L"Proxy (Enabled)... ");
    t.Command(IDC_BTSETPROXY, BN_CLICKED);
    EXPECT_EQ(t.proxyPages, 1);
}

TEST(TfrmWeather, ButtonsSwitchSubPagesAndTiles) {
    FormUnderTest t;
    t.form->Create(t.parent);
    TfrmWeather& f = *t.form;
    auto visible = [](HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; };
    t.Command(IDC_PBTDAILY, BN_CLICKED);
    EXPECT_EQ(f.Page().State().shownPage, 1);
    for (int i = 0; i < kWeatherTileCount; ++i) EXPECT_EQ(visible(f.frDailyWeather[i].hwnd()), i < 4) << i;
    EXPECT_FALSE(visible(f.mmWeather));
    t.Command(IDC_PBTSETTINGS, BN_CLICKED);
    EXPECT_TRUE(visible(f.cbFoundPlaces));
    EXPECT_FALSE(visible(f.frDailyWeather[0].hwnd()));
    t.Command(IDC_PBTCURRENT, BN_CLICKED);
    EXPECT_TRUE(visible(f.mmWeather));
    EXPECT_FALSE(visible(f.lbTemperature));   // a hidden carrier of the option value
    EXPECT_FALSE(visible(f.cbFoundPlaces));
}

TEST(TfrmWeather, GetWeatherButtonFillsThePage) {
    LoopbackServer server([](const std::string&) { return Reply(WeatherData(L"golden.xml")); });
    SetWeatherServiceHost(server.HostAndPort());
    FormUnderTest t;
    t.form->Create(t.parent);
    TfrmWeather& f = *t.form;
    SetWindowTextW(f.cbFoundPlaces, L"Paris, France");
    t.Command(IDC_CBFOUNDPLACES, CBN_EDITCHANGE);
    t.Command(IDC_BTNGETWEATHERCOM, BN_CLICKED);
    EXPECT_FALSE(IsWindowEnabled(f.btnGetWeatherCom));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(f.btnGetWeatherCom) != FALSE; }));
    SetWeatherServiceHost(L"");

    EXPECT_EQ(Text(f.lbError), L"");
    EXPECT_EQ(Text(f.lbHiTemperature), L"72\u00B0F");
    EXPECT_EQ(Text(f.lbTemperature), L"72");
    EXPECT_EQ(Text(f.lbTemperSymbol), L"\u00B0F");
    EXPECT_EQ(Text(f.mmWeather).substr(0, 13), L"Paris, France");
    EXPECT_EQ(f.frDailyWeather[1].State().hi, L"75\u00B0F");
    EXPECT_EQ(SendMessageW(f.cbFoundPlaces, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Text(f.lbWeatherSync), DateTimeToText(kNow + 30 * kOneMinute));
    EXPECT_EQ(t.saves, 1);
    EXPECT_EQ(t.refreshes, 1);
}

TEST(TfrmWeather, FailureShowsTheErrorAndKeepsTheMemo) {
    LoopbackServer server([](const std::string&) { return Status(404, "Not Found", ""); });
    SetWeatherServiceHost(server.HostAndPort());
    FormUnderTest t;
    t.options.currentWeather = L"Earlier weather";
    t.options.places = {L"Oslo"};
    t.options.placeIndex = 0;
    t.options.placeText = L"Oslo";
    t.form->Create(t.parent);
    TfrmWeather& f = *t.form;
    t.Command(IDC_BTNGETWEATHERCOM, BN_CLICKED);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(f.btnGetWeatherCom) != FALSE; }));
    SetWeatherServiceHost(L"");
    EXPECT_EQ(Text(f.lbError), L"Can't Get Weather: HTTP/1.1 404 Not Found");
    EXPECT_EQ(Text(f.mmWeather), L"Earlier weather");
    // Never checked: the retry comes 5 seconds later and the label stays.
    EXPECT_EQ(Text(f.lbWeatherSync), L"Never");
    EXPECT_TRUE(f.Page().State().schedule.enabled);
    EXPECT_EQ(f.Page().State().schedule.intervalMs, 5000u);
}

TEST(TfrmWeather, HotKeyControlReRegistersIdOne) {
    FormUnderTest t;
    t.form->Create(t.parent);
    const WORD key = MAKEWORD(VK_F14, HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_ALT);
    SendMessageW(t.form->HotKey1, HKM_SETHOTKEY, key, 0);
    t.Command(IDC_HOTKEY1, EN_CHANGE);
    EXPECT_EQ(t.form->HotKey(), key);
    EXPECT_EQ(t.shortcut, key);
    // Hot key id 1 now belongs to the main window: another window cannot take the same key.
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(RegisterWeatherHotKey(other, key));
    DestroyWindow(other);
}

TEST(TfrmWeather, IntervalChoiceAndOneMinuteItem) {
    FormUnderTest t;
    t.form->Create(t.parent);
    TfrmWeather& f = *t.form;
    t.ClickTitle(IDC_GRADIENTPANEL9);
    EXPECT_EQ(SendMessageW(f.cbWeatherEvery, CB_GETCOUNT, 0, 0), 7);
    EXPECT_TRUE(t.options.everyAdded);
    SendMessageW(f.cbWeatherEvery, CB_SETCURSEL, kWeatherNever, 0);
    t.Command(IDC_CBWEATHEREVERY, CBN_SELCHANGE);
    EXPECT_EQ(t.options.weatherEvery, kWeatherNever);
    EXPECT_EQ(Text(f.lbWeatherSync), L"Never");
    t.ClickTitle(IDC_GRADIENTPANEL9);
    EXPECT_EQ(SendMessageW(f.cbWeatherEvery, CB_GETCOUNT, 0, 0), 6);
}

// The check's one-shot timer is the page window's own: a schedule sets it there, its tick asks for the
// weather, and the answer tells the main form and sets it again.
TEST(TfrmWeather, ScheduledCheckRunsOnThePageWindowsTimer) {
    LoopbackServer server([](const std::string&) { return Reply(WeatherData(L"golden.xml")); });
    SetWeatherServiceHost(server.HostAndPort());
    FormUnderTest t;
    t.options.places = {L"Oslo"};
    t.options.placeIndex = 0;
    t.options.placeText = L"Oslo";
    HWND page = t.form->Create(t.parent);
    t.form->ScheduleWeatherCheck();
    // Never checked: due now, so the timer runs.
    EXPECT_TRUE(KillTimer(page, TfrmWeather::kTimerWeather));
    SendMessageW(page, WM_TIMER, TfrmWeather::kTimerWeather, 0);
    EXPECT_FALSE(IsWindowEnabled(t.form->btnGetWeatherCom));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(t.form->btnGetWeatherCom) != FALSE; }));
    SetWeatherServiceHost(L"");
    EXPECT_EQ(Text(t.form->lbError), L"");
    EXPECT_EQ(t.updates, 1);
    EXPECT_EQ(t.saves, 1);
    EXPECT_TRUE(KillTimer(page, TfrmWeather::kTimerWeather)) << "the next check is scheduled";
}
