#include "weather/weather_page.h"

#include <algorithm>

#include "base/text.h"
#include "weather/weather_picture.h"

namespace vt {

namespace {
constexpr wchar_t kDegree[] = L"\u00B0";
constexpr wchar_t kFahrenheit[] = L"\u00B0F";
constexpr wchar_t kCelsius[] = L"\u00B0C";

// The place box's own search: exact text, letter case ignored (in any script, not only ASCII).
int FindPlace(const std::vector<std::wstring>& places, const std::wstring& text) {
    for (size_t i = 0; i < places.size(); ++i)
        if (CompareStringOrdinal(places[i].c_str(), static_cast<int>(places[i].size()), text.c_str(),
                                 static_cast<int>(text.size()), TRUE) == CSTR_EQUAL)
            return static_cast<int>(i);
    return -1;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += L"\r\n";
        text += lines[i];
    }
    return text;
}
}  // namespace

WeatherPage::WeatherPage(MainOptions& options, IWeatherPageHost& host, const INow& now, std::wstring programDir,
                         std::function<void()> notifyMain, RegistryPlace store)
    : options_(options),
      host_(host),
      now_(now),
      programDir_(std::move(programDir)),
      store_(std::move(store)),
      worker_(std::move(notifyMain)) {
    LoadFromOptions();
}

WeatherPage::~WeatherPage() { Shutdown(); }

void WeatherPage::Shutdown() { worker_.Stop(); }

void WeatherPage::LoadFromOptions() {
    if (options_.temperSymbol == kFahrenheit) state_.englishUnits = true;
    if (options_.temperSymbol == kCelsius) state_.englishUnits = false;
    Changed();
}

void WeatherPage::Changed() {
    host_.ViewChanged();
}

void WeatherPage::SaveAndRefresh() {
    host_.SaveOptions();
    host_.RefreshClock();
}

void WeatherPage::onGetWeather() {
    std::wstring text = Trim(StripControls(options_.placeText));
    if (text.empty()) return;   // an empty place box makes every trigger a no-op
    state_.placeList = text;
    int index = FindPlace(options_.places, text);
    if (index < 0) {
        options_.places.push_back(text);
        index = static_cast<int>(options_.places.size()) - 1;
    }
    // A place typed in another letter case is requested with its listed spelling.
    options_.placeIndex = index;
    options_.placeText = options_.places[static_cast<size_t>(index)];
    btnGetWeatherComClick();
}

void WeatherPage::btnGetWeatherComClick() {
    auto& places = options_.places;
    if (places.empty()) return;
    int& index = options_.placeIndex;
    if (index < 0 || index >= static_cast<int>(places.size())) index = 0;
    if (Trim(places[static_cast<size_t>(index)]).empty()) return;

    state_.errorText.clear();
    state_.buttonEnabled = false;
    // Most recent first, at most eight places.
    std::rotate(places.begin(), places.begin() + index, places.begin() + index + 1);
    if (places.size() > kMaxWeatherPlaces) places.resize(kMaxWeatherPlaces);
    index = 0;
    options_.placeText = places[0];

    if (!worker_.Running()) {
        // Everything the worker needs is taken here, on the main thread.
        HttpRequest request;
        request.host = WeatherServiceHost();
        request.pathAndQuery = WeatherRequestPath(places[0], kWeatherUser, state_.englishUnits ? L"s" : L"m");
        request.proxy = host_.CurrentProxy();
        request.limits = limits_;
        requestEnglish_ = state_.englishUnits;
        requestPlace_ = places[0];
        state_.schedule.enabled = false;
        host_.SetWeatherTimer(false, 0);
        bool started = false;
        std::wstring refusal = L"the last request has not let go of its connection yet";
        try {
            started = worker_.Start(std::move(request));
        } catch (const std::exception& e) {
            refusal = Widen(e.what());
        }
        // No completion will come: the button comes back and the check is scheduled again.
        if (!started) return Fail(refusal);
    }
    // While a request runs a second trigger only updates the place list; its completion re-enables the button.
    Changed();
}

void WeatherPage::TimerWeatherTimer() {
    state_.schedule.enabled = false;
    host_.SetWeatherTimer(false, 0);
    btnGetWeatherComClick();
}

void WeatherPage::SetEnglishUnits(bool english) {
    state_.englishUnits = english;
    btnGetWeatherComClick();
    Changed();
}

void WeatherPage::ScheduleWeatherCheck() {
    WeatherSchedule s = vt::ScheduleWeatherCheck(options_.weatherEvery, ReadWeatherCheckDate(store_), now_.Now());
    state_.schedule = s;
    state_.syncLabel = WeatherSyncLabel(s, state_.syncLabel);
    host_.SetWeatherTimer(s.enabled, s.intervalMs);
    Changed();
}

void WeatherPage::OnRequestDone() {
    std::optional<HttpResult> result = worker_.TakeResult();
    if (!result) return;
    if (!result->ok) return Fail(result->error);
    WeatherParseResult parsed = ParseWeatherReply(result->body);
    if (parsed.report) {
        Apply(*parsed.report, requestEnglish_);
    } else if (parsed.noTemperature) {
        // An answer all the same: asking again in 5 seconds would get the same one. The stored weather
        // stays, and the check is done until the next interval.
        state_.errorText = L"The weather service has no weather for \"" + requestPlace_ + L"\".";
    } else {
        return Fail(parsed.error);
    }

    WriteWeatherCheckDate(now_.Now(), store_);
    ScheduleWeatherCheck();
    SaveAndRefresh();
    state_.buttonEnabled = true;
    host_.WeatherUpdated();
    Changed();
}

void WeatherPage::Fail(const std::wstring& message) {
    // The stored weather stays as it was: a failed request neither blanks nor replaces it, and the
    // check date is not written, so an overdue check is tried again 5 seconds from now.
    state_.errorText = L"Can't Get Weather: " + message;
    state_.buttonEnabled = true;
    ScheduleWeatherCheck();
    Changed();
}

void WeatherPage::Apply(const WeatherReport& report, bool english) {
    // Everything is computed first and assigned together, so the page never shows half an update.
    WeatherPageState next = state_;
    for (int i = 0; i < 5; ++i)
        LoadFromDay(next.tiles[static_cast<size_t>(i)], report.days[static_cast<size_t>(i)], report.currentTmp,
                    report.unitLetter, programDir_);
    next.picturePath = WeatherPicturePath(programDir_, L"Weather", report.currentIcon);
    next.hiTemperature = report.currentTmp + kDegree + report.unitLetter;
    next.moonPicturePath = WeatherPicturePath(programDir_, L"Moon", report.moonIcon);
    next.moonHint = report.moonText;
    next.weatherXml = report.xml;
    std::wstring memo = JoinLines(report.memo);
    std::optional<WeatherReport> kept = report;

    (english ? options_.engTemp : options_.metricTemp) = report.temperature;
    options_.temper = report.temperature;
    options_.temperSymbol = english ? kFahrenheit : kCelsius;
    options_.weatherIcon = report.iconName;
    options_.currentWeather = std::move(memo);
    state_ = std::move(next);
    report_ = std::move(kept);
}

void WeatherPage::SetSwitch(bool MainOptions::*option, bool on) {
    options_.*option = on;
    SaveAndRefresh();
    Changed();
}

void WeatherPage::SetShowWeather(bool show) { SetSwitch(&MainOptions::showWeather, show); }

void WeatherPage::SetShowLocation(bool show) { SetSwitch(&MainOptions::showLocation, show); }

void WeatherPage::SetShowWeatherIcon(bool show) { SetSwitch(&MainOptions::showWeatherIcon, show); }

void WeatherPage::SetWeatherEvery(int index) {
    if (index < 0 || index >= options_.WeatherEveryCount()) return;
    options_.weatherEvery = index;
    ScheduleWeatherCheck();
}

void WeatherPage::ToggleOneMinute() {
    if (!options_.everyAdded) {
        options_.everyAdded = true;
        Changed();
        return;
    }
    options_.everyAdded = false;
    // The chosen item itself went away: no interval is chosen, so no check may stay pending on it.
    if (options_.weatherEvery >= options_.WeatherEveryCount()) {
        options_.weatherEvery = kWeatherNever;
        ScheduleWeatherCheck();
    }
    Changed();
}

void WeatherPage::SetPlaceText(std::wstring text) {
    options_.placeText = std::move(text);
    const int i = options_.placeIndex;
    if (i < 0 || i >= static_cast<int>(options_.places.size()) || options_.places[static_cast<size_t>(i)] != options_.placeText)
        options_.placeIndex = -1;
}

void WeatherPage::SelectPlace(int index) {
    if (index < 0 || index >= static_cast<int>(options_.places.size())) return;
    options_.placeIndex = index;
    options_.placeText = options_.places[static_cast<size_t>(index)];
    Changed();
}

void WeatherPage::SelectPage(int index) {
    state_.shownPage = index;
    Changed();
}

void WeatherPage::SavePlacement() const {
    RegKey key = store_.OpenWrite();
    if (!key) return;
    key.WriteString(L"tablotRenderKey", StripControls(state_.picturePath));
    key.WriteString(L"moonPictureFilePath", StripControls(state_.moonPicturePath));
    key.WriteString(L"kvMarsoLup", StripControls(state_.placeList));
    key.WriteDword(L"vornitedGlaskerBunt", static_cast<std::uint32_t>(state_.shownPage));
    key.WriteString(L"WeatherXML", StripControls(state_.weatherXml));
    key.WriteString(L"cbFoundPlaces.Text", StripControls(options_.placeText));
    key.WriteDword(L"cbFoundPlaces.ItemIndex", static_cast<std::uint32_t>(options_.placeIndex));
    const size_t count = std::min(options_.places.size(), kMaxWeatherPlaces);
    key.WriteDword(L"cbFoundPlaces.Count", static_cast<std::uint32_t>(count));
    for (size_t i = 0; i < count; ++i)
        key.WriteString(L"cbFoundPlaces.Item" + std::to_wstring(i), StripControls(options_.places[i]));
    key.WriteString(L"lbHiTemperature.Caption", StripControls(state_.hiTemperature));
    key.WriteString(L"imgMoon.Hint", StripControls(state_.moonHint));
    key.WriteDword(L"HotKey1.HotKey", state_.hotKey);
    for (int i = 0; i < kWeatherTileCount; ++i)
        SaveDailyWeather(state_.tiles[static_cast<size_t>(i)], store_, TileName(i));
}

void WeatherPage::RestorePlacement() {
    RegKey key = store_.OpenRead();
    auto text = [&](const wchar_t* name, std::wstring& into) {
        if (auto v = key.ReadString(name)) into = *v;
    };
    text(L"tablotRenderKey", state_.picturePath);
    text(L"moonPictureFilePath", state_.moonPicturePath);
    text(L"kvMarsoLup", state_.placeList);
    text(L"WeatherXML", state_.weatherXml);
    text(L"lbHiTemperature.Caption", state_.hiTemperature);
    text(L"imgMoon.Hint", state_.moonHint);
    state_.shownPage = static_cast<int>(key.ReadDword(L"vornitedGlaskerBunt").value_or(3));
    if (auto hotKey = key.ReadDword(L"HotKey1.HotKey")) state_.hotKey = static_cast<WORD>(*hotKey);
    if (auto count = key.ReadDword(L"cbFoundPlaces.Count")) {
        options_.places.clear();
        for (std::uint32_t i = 0; i < std::min<std::uint32_t>(*count, kMaxWeatherPlaces); ++i)
            if (auto place = key.ReadString(L"cbFoundPlaces.Item" + std::to_wstring(i))) options_.places.push_back(*place);
    }
    text(L"cbFoundPlaces.Text", options_.placeText);
    if (auto index = key.ReadDword(L"cbFoundPlaces.ItemIndex")) options_.placeIndex = static_cast<int>(*index);
    if (options_.placeIndex >= static_cast<int>(options_.places.size())) options_.placeIndex = -1;
    for (int i = 0; i < kWeatherTileCount; ++i)
        RestoreDailyWeather(state_.tiles[static_cast<size_t>(i)], store_, TileName(i));
    // The forecast widget reads the last reply; it survives a restart as the stored text.
    if (!state_.weatherXml.empty()) report_ = ParseWeatherText(state_.weatherXml).report;
    Changed();
}

}  // namespace vt
