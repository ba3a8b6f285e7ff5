#include "weather/forecast_draw.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <stdexcept>

#include "base/text.h"
#include "weather/forecast_resample.h"
#include "base/xml.h"
#include "weather/weather_document.h"

namespace vt {

const std::array<const wchar_t*, 16> CompassPoints = {L"E", L"ESE", L"SE", L"SSE", L"S",  L"SSW", L"SW", L"WSW",
                                                      L"W", L"WNW", L"NW", L"NNW", L"N", L"NNE", L"NE", L"ENE"};

namespace {

constexpr wchar_t kDegree[] = L"\u00B0";
constexpr std::uint8_t kRoseAlpha = 175;
constexpr COLORREF kNightlyColor = RGB(0xC0, 0xC0, 0xC0);

// A value the widget needs is not in the reply: the reading stops there.
struct MissingValue {};

std::wstring Need(IXMLDOMNode* doc, const std::wstring& path) {
    auto value = SelectValue(doc, path);
    if (!value) throw MissingValue{};
    return *value;
}

std::wstring DayPath(int i) { return L"weather/dayf/day[@d=\"" + std::to_wstring(i) + L"\"]"; }
std::wstring PartPath(int i, const wchar_t* p) { return DayPath(i) + L"/part[@p=\"" + p + L"\"]"; }

// The unit symbol: the reply's own unit letter where it names one, else the chosen units.
std::wstring UnitSymbol(IXMLDOMNode* doc, const std::wstring& unitLetter) {
    const std::wstring ut = UpperAscii(Trim(SelectValue(doc, L"weather/head/ut/text()").value_or(L"")));
    if (ut == L"F" || ut == L"C") return kDegree + ut;
    return unitLetter == L"m" ? L"\u00B0C" : L"\u00B0F";
}

void ReadSelected(IXMLDOMNode* doc, int selected, const std::wstring& unit, ForecastFields& f) {
    if (!SelectFirst(doc, L"weather/loc/dnam/text()")) return;
    f.LocationText = Need(doc, L"weather/loc/dnam/text()");
    switch (selected) {
    case kWeatherCurrent:
        f.ConditionsText = Need(doc, L"weather/cc/t/text()");
        f.TemperatureText = Need(doc, L"weather/cc/tmp/text()") + unit;
        f.IconCode = SafeIconCode(Need(doc, L"weather/cc/icon/text()"));
        f.WindDirection = Need(doc, L"weather/cc/wind/t/text()");
        break;
    case kWeatherToday: {
        const wchar_t* p = L"d";
        f.TemperatureText = Need(doc, DayPath(0) + L"/hi/text()");
        if (f.TemperatureText == L"N/A") {
            p = L"n";
            f.TemperatureText = Need(doc, DayPath(0) + L"/low/text()");
        }
        f.TemperatureText += unit;
        f.ConditionsText = Need(doc, PartPath(0, p) + L"/t/text()");
        f.IconCode = SafeIconCode(Need(doc, PartPath(0, p) + L"/icon/text()"));
        f.WindDirection = Need(doc, PartPath(0, p) + L"/wind/t/text()");
        break;
    }
    case kWeatherTomorrow:
        f.ConditionsText = Need(doc, PartPath(1, L"d") + L"/t/text()");
        f.TemperatureText = Need(doc, DayPath(1) + L"/hi/text()") + unit;
        f.IconCode = SafeIconCode(Need(doc, PartPath(1, L"d") + L"/icon/text()"));
        f.WindDirection = Need(doc, PartPath(1, L"d") + L"/wind/t/text()");
        break;
    default: break;
    }
}

ForecastDayRow ReadDay(IXMLDOMNode* doc, int i) {
    ForecastDayRow row;
    const wchar_t* p = L"d";
    row.high = Need(doc, DayPath(i) + L"/hi/text()");
    if (row.high == L"N/A") {
        p = L"n";
        row.high = Need(doc, DayPath(i) + L"/low/text()");
    }
    row.name = Need(doc, DayPath(i) + L"/@t");
    row.high += kDegree;
    row.dayIcon = SafeIconCode(Need(doc, PartPath(i, p) + L"/icon/text()"));
    row.low = Need(doc, DayPath(i) + L"/low/text()") + kDegree;
    row.nightIcon = SafeIconCode(Need(doc, PartPath(i, L"n") + L"/icon/text()"));
    row.name = ShortDayName(row.name);
    return row;
}

// The canvas and the record of what was laid where.
class Composer {
public:
    Composer(int width, int height) : canvas_(CreateAlphaBitmap(width, height)) {
        if (!canvas_) throw std::runtime_error("Cannot create the forecast picture.");
        view_ = PixelsOf(canvas_);
    }
    void Lay(const wchar_t* name, const PixelView& image, int x, int y, std::uint8_t alpha = 255) {
        if (image.empty()) return;
        GdiFlush();
        BlendAt(view_, image, x, y, alpha);
        layers_.push_back({name, RECT{x, y, x + image.width, y + image.height}});
    }
    void Lay(const std::wstring& name, const AlphaBitmap& image, int x, int y, std::uint8_t alpha = 255) {
        Lay(name.c_str(), PixelsOf(image), x, y, alpha);
    }
    ForecastPicture Finish() { return {std::move(canvas_), std::move(layers_)}; }

private:
    AlphaBitmap canvas_;
    PixelView view_;
    std::vector<ForecastLayer> layers_;
};

const AlphaBitmap& LoadFirst(PictureCache::Drawing& pictures, std::initializer_list<std::wstring> paths) {
    for (const auto& path : paths)
        if (const AlphaBitmap& picture = pictures.Load(path)) return picture;
    return NoPicture();
}

int WidthOr(const AlphaBitmap& b, int fallback) { return b ? b.width : fallback; }
int HeightOr(const AlphaBitmap& b, int fallback) { return b ? b.height : fallback; }

class TextMaker {
public:
    TextMaker(ForecastFont& font, bool shadow) : font_(font), shadow_(shadow) {}
    AlphaBitmap operator()(const std::wstring& text) {
        UniqueFont gdi = CreateForecastFont(font_);
        AlphaBitmap image = MakeTextBitmap(text, gdi.get(), font_.color, shadow_, RGB(0, 0, 0));
        if (!image) throw std::runtime_error("Cannot draw the forecast's texts.");
        return image;
    }

private:
    ForecastFont& font_;
    bool shadow_;
};

}  // namespace

std::optional<int> CompassIndex(std::wstring_view windText) {
    auto find = [](std::wstring_view word) -> std::optional<int> {
        const std::wstring upper = UpperAscii(word);
        for (size_t i = 0; i < CompassPoints.size(); ++i)
            if (upper == CompassPoints[i]) return static_cast<int>(i);
        return std::nullopt;
    };
    const std::wstring whole = Trim(windText);
    if (auto i = find(whole)) return i;
    size_t at = 0;
    while (at < whole.size()) {
        while (at < whole.size() && !std::iswalpha(whole[at])) ++at;
        size_t end = at;
        while (end < whole.size() && std::iswalpha(whole[end])) ++end;
        if (end > at)
            if (auto i = find(std::wstring_view(whole).substr(at, end - at))) return i;
        at = end;
    }
    return std::nullopt;
}

std::wstring ShortDayName(std::wstring_view name) {
    static const wchar_t* const kLong[] = {L"MONDAY", L"TUESDAY", L"WEDNESDAY", L"THURSDAY",
                                           L"FRIDAY", L"SATURDAY", L"SUNDAY"};
    std::wstring upper = UpperAscii(name);
    for (const wchar_t* day : kLong)
        if (upper == day) return upper.substr(0, 3);
    return upper;
}

ForecastReading ReadForecastWeather(const std::wstring& replyXml, int selectedWeather, bool englishUnits,
                                    ForecastFields& fields) {
    ForecastReading reading;
    if (replyXml.empty()) return reading;
    reading.hasDocument = true;
    XmlReading xml;   // the parser is given back once this reading is done
    std::wstring error;
    auto doc = ParseXmlText(replyXml, error);
    if (!doc) return reading;
    reading.parsed = true;

    fields.UnitLetter = englishUnits ? L"s" : L"m";
    reading.hasPlace = static_cast<bool>(SelectFirst(doc.get(), L"weather/loc/dnam/text()"));
    try {
        ReadSelected(doc.get(), selectedWeather, UnitSymbol(doc.get(), fields.UnitLetter), fields);
    } catch (const MissingValue&) {
    }
    try {
        for (int i = 0; i < kForecastDays; ++i) reading.days.push_back(ReadDay(doc.get(), i));
        reading.rowComplete = true;
    } catch (const MissingValue&) {
    }
    return reading;
}

const ForecastLayer* ForecastPicture::Layer(std::wstring_view name) const {
    for (const auto& layer : layers)
        if (layer.name == name) return &layer;
    return nullptr;
}

UniqueFont CreateForecastFont(const ForecastFont& font) {
    int dpi = 96;
    if (WindowDC screen(nullptr); screen) dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return UniqueFont(CreateFontW(-MulDiv(font.size, dpi, 72), 0, 0, 0, (font.style & kFontBold) ? FW_BOLD : FW_NORMAL,
                                  (font.style & kFontItalic) != 0, (font.style & kFontUnderline) != 0,
                                  (font.style & kFontStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  font.faceName.c_str()));
}

ForecastPicture DrawForecast(ForecastFields& fields, const ForecastReading& reading, const ForecastDrawOptions& options,
                             ForecastFont& font, PictureCache& cache) {
    PictureCache::Drawing pictures(cache);   // every picture below stays valid to the end
    const std::wstring forecastDir = options.programDir + L"Forecast\\";
    const std::wstring skinName = IsSafeSkinName(options.skinName) ? options.skinName : kDefaultForecastSkin;
    const std::wstring skinDir = forecastDir + skinName + L"\\";
    const std::wstring dayIconDir = forecastDir + kDefaultForecastSkin + L"\\";
    const std::wstring iconCode = SafeIconCode(fields.IconCode);

    const AlphaBitmap& close = pictures.Load(forecastDir + L"close.png");
    const AlphaBitmap& needle = pictures.Load(forecastDir + L"arrow.png");
    const AlphaBitmap& rose = pictures.Load(forecastDir + L"compass.png");
    const AlphaBitmap& icon = LoadFirst(pictures, {skinDir + iconCode + L".png", skinDir + L"na.png",
                                                   dayIconDir + iconCode + L".png", dayIconDir + L"na.png"});
    const AlphaBitmap& panel = pictures.Load(forecastDir + L"forecast.png");

    TextMaker text(font, options.shadow);
    const ForecastSkin skin = LoadForecastSkin(forecastDir, skinName);
    ApplySkinFont(skin.Font(SkinFontId::Default), font);
    AlphaBitmap L = text(fields.LocationText);
    ApplySkinFont(skin.Font(SkinFontId::Temperature), font);
    AlphaBitmap T = text(fields.TemperatureText);
    ApplySkinFont(skin.Font(SkinFontId::ConditionsTitle), font);
    AlphaBitmap K2;
    if (const size_t slash = fields.ConditionsText.find(L'/'); slash != std::wstring::npos) {
        K2 = text(fields.ConditionsText.substr(slash + 1));
        fields.ConditionsText.resize(slash);
    }
    AlphaBitmap K = text(fields.ConditionsText);
    ApplySkinFont(skin.Font(SkinFontId::DayTitle), font);

    const int Cw = WidthOr(icon, kNominalIconSize), Ch = HeightOr(icon, kNominalIconSize);
    const int Pw = WidthOr(panel, kNominalPanelSize.cx), Ph = HeightOr(panel, kNominalPanelSize.cy);
    const int a = Cw / 2 - 10;
    const int cx = a + Pw / 2;
    Composer canvas(std::max(L.width, 2 * Pw + 2 * Cw), Ph + Ch);

    const RECT iconAt{cx - Cw / 2, 0, cx + Cw / 2, Ch};
    const bool drawRose = options.showWind && rose;
    const RECT roseAt = drawRose ? RECT{cx - rose.width / 2, Ch / 2 - rose.height / 2, cx - rose.width / 2 + rose.width,
                                        Ch / 2 - rose.height / 2 + rose.height}
                                 : iconAt;
    POINT atL{std::max(0, cx - L.width / 2), a + T.height - 2}, atT{cx + Cw / 2, a + 5};
    POINT atK{cx - Cw / 2 - K.width, 30}, atK2{Cw, 30 + K.height};
    if (!reading.hasPlace && reading.days.empty()) {
        // No weather yet: the prompts stand clear of the icon and the rose around it, the place below
        // them where the day row would be, and the temperature below the close button when it would
        // reach it.
        RECT art{};
        UnionRect(&art, &iconAt, &roseAt);
        atK = {art.left - K.width, 30};
        atK2 = {art.left - K2.width, 30 + K.height};
        atL = {std::max(0, cx - L.width / 2), static_cast<int>(art.bottom)};
        atT = {static_cast<int>(art.right), a + 5};
        const RECT closeAt{kCloseButtonAt.x, kCloseButtonAt.y, kCloseButtonAt.x + kCloseButtonSize.cx,
                           kCloseButtonAt.y + kCloseButtonSize.cy};
        const RECT temperatureAt{atT.x, atT.y, atT.x + T.width, atT.y + T.height};
        RECT meet{};
        if (close && IntersectRect(&meet, &temperatureAt, &closeAt)) atT.y = closeAt.bottom;
    }
    canvas.Lay(L"panel", PixelsOf(panel), Ch / 2 - 10, a);
    canvas.Lay(L"location", L, atL.x, atL.y);
    canvas.Lay(L"icon", icon, iconAt.left, iconAt.top);
    canvas.Lay(L"close", close, kCloseButtonAt.x, kCloseButtonAt.y);
    canvas.Lay(L"temperature", T, atT.x, atT.y);
    canvas.Lay(L"conditions", K, atK.x, atK.y);
    if (K2) canvas.Lay(L"conditions2", K2, atK2.x, atK2.y);
    if (drawRose) canvas.Lay(L"rose", rose, roseAt.left, roseAt.top, kRoseAlpha);

    // The rest needs a reply that parsed.
    if (reading.hasDocument && !reading.parsed) return canvas.Finish();
    if (reading.hasDocument) {
        const auto point = CompassIndex(fields.WindDirection);
        if (options.showWind && needle && point) {
            PixelBuffer source = CopyPixels(PixelsOf(needle));
            ClearFrame(source.View());
            PixelBuffer turned = Rotate(source.View(), 22.5 * *point, needle.width / 2, needle.height / 2);
            canvas.Lay(L"needle", turned.View(), cx - turned.width / 2, Ch / 2 - turned.height / 2);
        }
        for (size_t i = 0; i < reading.days.size(); ++i) {
            const ForecastDayRow& day = reading.days[i];
            const std::wstring n = std::to_wstring(i);
            const int x0 = 40 + 55 * static_cast<int>(i);
            font.size = 7;
            font.color = RGB(255, 255, 255);
            canvas.Lay(L"day" + n, text(day.name), x0, 75);
            font.size = 10;
            AlphaBitmap high = text(day.high);
            const AlphaBitmap& dayIcon = LoadFirst(pictures, {dayIconDir + day.dayIcon + L".png", dayIconDir + L"na.png"});
            const int Dw = WidthOr(dayIcon, kNominalIconSize), Dh = HeightOr(dayIcon, kNominalIconSize);
            canvas.Lay(L"high" + n, high, x0, 110 + Dh / 2);
            if (dayIcon) {
                PixelBuffer scaled = Resample(PixelsOf(dayIcon), static_cast<int>(std::nearbyint(0.75 * Dw)),
                                              static_cast<int>(std::nearbyint(0.75 * Dh)));
                canvas.Lay((L"dayicon" + n).c_str(), scaled.View(), x0 - 8, 97);
            }
            AlphaBitmap low = text(day.low);
            const AlphaBitmap& nightIcon =
                LoadFirst(pictures, {dayIconDir + day.nightIcon + L".png", dayIconDir + L"na.png"});
            const int Nh = HeightOr(nightIcon, kNominalIconSize);
            canvas.Lay(L"low" + n, low, x0, 180 + Nh / 2);
            if (nightIcon) {
                PixelBuffer scaled = Resample(PixelsOf(nightIcon), nightIcon.width / 2, nightIcon.height / 2);
                canvas.Lay((L"nighticon" + n).c_str(), scaled.View(), x0, 180);
            }
        }
        if (!reading.rowComplete) return canvas.Finish();
    }
    font.color = kNightlyColor;
    font.size = 8;
    canvas.Lay(L"nightly", text(L"Nightly"), 140, 163);
    return canvas.Finish();
}

}  // namespace vt
