// The weather service's reply: an XML document with the root `weather`, read into one value on the
// main thread. Either the whole value is there or the reading fails; nothing is applied half-way.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt {

struct WeatherDayPart {
    std::wstring icon;                 // a safe picture code (see SafeIconCode)
    std::optional<std::wstring> text;  // the condition text; absent ends a tile's filling early
};

struct WeatherDay {
    std::wstring name;   // attribute t
    std::wstring hi;     // "N/A" when the day is over
    std::wstring low;
    WeatherDayPart dayPart;
    WeatherDayPart nightPart;
};

struct WeatherReport {
    std::wstring xml;            // the document's text
    std::wstring unitLetter;     // weather/head/ut, empty when absent
    std::wstring temperature;    // the first tmp: the current temperature
    std::wstring currentTmp;     // weather/cc/tmp, empty when absent
    std::wstring iconName;       // the first icon: the taskbar clock's picture code
    std::wstring currentIcon;    // weather/cc/icon: the page's picture code
    std::wstring moonIcon;
    std::wstring moonText;
    std::vector<std::wstring> memo;   // the detail lines of the current conditions
    std::array<WeatherDay, 5> days;   // forecast days 0 (today) to 4
};

struct WeatherParseResult {
    std::optional<WeatherReport> report;
    bool noTemperature = false;   // a readable document without a current temperature: no weather for the place
    std::wstring error;           // when neither
};

inline constexpr std::size_t kMaxWeatherReplyBytes = 1 << 20;

// Reads a reply body. Refuses DTDs and entities, bodies over 1 MiB, and documents with a current
// temperature whose root is not `weather` or that lack an element the update needs. Every text is
// stripped of control characters, so no value can start a new line in Setting.ini. Needs COM on the
// calling thread (it starts an apartment for itself when there is none).
WeatherParseResult ParseWeatherReply(std::string_view body);
// The same for a reply kept as text (the stored last reply): its declaration named the encoding of the
// bytes it came as, which the text no longer is, so it is not heeded.
WeatherParseResult ParseWeatherText(std::wstring_view text);

// A picture code as used in file names: "-" and anything but 1..32 letters, digits, '_' or '-' become "na".
std::wstring SafeIconCode(std::wstring_view code);

}  // namespace vt
