#include "weather/daily_weather.h"

#include <commctrl.h>

#include "base/text.h"
#include "controls/gradient_panel.h"
#include "weather/weather_picture.h"

namespace vt {

namespace {
constexpr wchar_t kClassName[] = L"TfrDailyWeather";
constexpr wchar_t kDegree[] = L"\u00B0";
const RECT kTitleBox{0, 0, 73, 17};
const RECT kPictureBox{22, 15, 54, 47};
const RECT kHiBox{4, 45, 44, 60};
const RECT kLowBox{44, 46, 81, 60};

UniqueFont ArialFont(int height, bool bold) {
    return UniqueFont(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
}

void Text(HDC dc, const std::wstring& text, RECT box, HFONT font, COLORREF color, UINT format) {
    SelectGuard keep(dc, font);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_SINGLELINE | DT_NOPREFIX);
}

const wchar_t* kStateValues[] = {L"pWeatherTitle.Caption", L"Image2.Hint", L"lbHiTemperature.Caption",
                                 L"lbLoTemperature.Caption", L"tablotRenderKey"};

std::wstring* StateField(DailyWeatherState& s, int i) {
    std::wstring* fields[] = {&s.title, &s.hint, &s.hi, &s.low, &s.picturePath};
    return fields[i];
}
}  // namespace

void LoadFromDay(DailyWeatherState& tile, const WeatherDay& day, const std::wstring& currentTmp,
                 const std::wstring& unitLetter, const std::wstring& programDir) {
    const WeatherDayPart* part = &day.dayPart;
    std::wstring high = day.hi;
    if (high == L"N/A") {
        part = &day.nightPart;
        high = currentTmp;
    }
    tile.picturePath = WeatherPicturePath(programDir, L"Weather", SafeIconCode(part->icon));
    if (!part->text) return;
    tile.hint = *part->text;
    tile.title = day.name;
    tile.hi = high + kDegree + unitLetter;
    tile.low = day.low + kDegree + unitLetter;
}

void SaveDailyWeather(const DailyWeatherState& tile, const RegistryPlace& programKey, const std::wstring& tileName) {
    RegKey key = programKey.Sub(tileName).OpenWrite();
    DailyWeatherState copy = tile;
    for (int i = 0; i < 5; ++i) key.WriteString(kStateValues[i], StripControls(*StateField(copy, i)));
}

void RestoreDailyWeather(DailyWeatherState& tile, const RegistryPlace& programKey, const std::wstring& tileName) {
    RegKey key = programKey.Sub(tileName).OpenRead();
    if (!key) return;
    for (int i = 0; i < 5; ++i)
        if (auto v = key.ReadString(kStateValues[i])) *StateField(tile, i) = *v;
}

void PaintDailyWeather(HDC dc, const DailyWeatherState& tile, const AlphaBitmap& picture) {
    RECT all{0, 0, kDailyWeatherWidth, kDailyWeatherHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PaintBands(dc, kTitleBox, kTitleBeginColour, GetSysColor(COLOR_BTNFACE));
    UniqueFont title = ArialFont(12, false), hi = ArialFont(13, true), low = ArialFont(11, false);
    RECT titleText = kTitleBox;
    titleText.left += 4;
    Text(dc, tile.title, titleText, title.get(), RGB(255, 255, 255), DT_LEFT | DT_VCENTER);
    DrawAlphaBitmap(dc, picture, kPictureBox);
    Text(dc, tile.hi, kHiBox, hi.get(), RGB(0, 0, 0), DT_LEFT | DT_TOP);
    Text(dc, tile.low, kLowBox, low.get(), RGB(0, 0, 0), DT_LEFT | DT_TOP);
}

void TfrDailyWeather::Create(HWND parent, int x, int y, std::wstring name, std::wstring defaultPicture,
                             PictureCache& pictures) {
    RegisterWindowClass(kClassName, Proc);
    pictures_ = &pictures;
    name_ = std::move(name);
    defaultPicture_ = std::move(defaultPicture);
    CreateWindowExW(0, kClassName, name_.c_str(), WS_CHILD | WS_VISIBLE, x, y, kDailyWeatherWidth, kDailyWeatherHeight,
                    parent, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    tips_.Attach(hwnd_);
    SetState(state_);
}

void TfrDailyWeather::SetState(const DailyWeatherState& state) {
    state_ = state;
    UpdateTips();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TfrDailyWeather::Show(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void TfrDailyWeather::UpdateTips() {
    // The condition text over the picture, "Hi" and "Low" over the temperatures.
    tips_.SetArea(0, kPictureBox, state_.hint);
    tips_.SetArea(1, kHiBox, L"Hi");
    tips_.SetArea(2, kLowBox, L"Low");
}

LRESULT TfrDailyWeather::OnMessage(UINT m, WPARAM w, LPARAM l) {
    LRESULT painted = 0;
    const auto paint = [this](HDC dc) {
        const std::wstring& path = state_.picturePath.empty() ? defaultPicture_ : state_.picturePath;
        if (!pictures_) return PaintDailyWeather(dc, state_, NoPicture());
        PictureCache::Drawing drawing(*pictures_);
        PaintDailyWeather(dc, state_, drawing.Load(path));
    };
    if (PaintMessages(hwnd_, m, w, paint, painted)) return painted;
    return Default(m, w, l);
}

}  // namespace vt
