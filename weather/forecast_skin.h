// Forecast skins: a folder under the program's "Forecast\" folder with skin.xml (the fonts of the
// widget's texts) and a picture for every weather condition code.
#pragma once
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/font_styles.h"

namespace vt {

inline constexpr wchar_t kDefaultForecastSkin[] = L"KonfabulatorPLUS";

// The widget's one font; every text is drawn with it as it stands at that moment.
struct ForecastFont {
    std::wstring faceName = L"Verdana";
    COLORREF color = RGB(255, 255, 255);
    FontStyles style = kFontBold;
    int size = 8;   // points
    bool operator==(const ForecastFont&) const = default;
};

// The four font elements the widget reads, in the order it applies them.
enum class SkinFontId { Default, Temperature, ConditionsTitle, DayTitle };
inline constexpr int kSkinFontCount = 4;

// One `font` element: its attributes in document order.
struct SkinFontElement {
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
};

struct ForecastSkin {
    std::array<std::optional<SkinFontElement>, kSkinFontCount> fonts;   // absent: the font stays as it is
    const SkinFontElement* Font(SkinFontId id) const {
        const auto& f = fonts[static_cast<size_t>(id)];
        return f ? &*f : nullptr;
    }
};

struct ForecastSkinResult {
    std::optional<ForecastSkin> skin;
    std::wstring error;
};

inline constexpr size_t kMaxSkinFileBytes = 256 * 1024;

// Reads a skin document; the first `font` child of the root `skin` with each id counts.
ForecastSkinResult ParseForecastSkin(std::string_view bytes);
ForecastSkinResult ReadForecastSkin(const std::wstring& path);
// The skin of `skinName`, or the default skin's when that one cannot be read (why, in `error`), or no
// fonts at all. A `color` that is not #RRGGBB makes a skin unreadable.
ForecastSkin LoadForecastSkin(const std::wstring& forecastDir, const std::wstring& skinName,
                              std::wstring* error = nullptr);

// Applies the attributes "facename", "color", "style" and "size" (exact names); others are ignored, and a
// value that cannot be read leaves its property. No element: nothing changes.
void ApplySkinFont(const SkinFontElement* element, ForecastFont& font);
// "#RRGGBB": the first character is not looked at; a pair cut to one digit reads as that digit. Nothing
// when a pair is missing or not hexadecimal.
std::optional<COLORREF> HtmlColorToColor(std::wstring_view text);
// "Bold,Italic": a non-empty value replaces the whole style; an empty one leaves it.
void ApplySkinFontStyle(std::wstring_view text, ForecastFont& font);
// A size in points that a skin may set; others leave the size.
inline constexpr int kMinSkinFontSize = 1, kMaxSkinFontSize = 72;

// The skins: every sub-folder of the forecast folder, in the order the file system lists them.
std::vector<std::wstring> ListForecastSkins(const std::wstring& forecastDir);
// A skin name names one folder right under the forecast folder: no path separators, drive or "..".
bool IsSafeSkinName(std::wstring_view name);

}  // namespace vt
