#include "weather/forecast_skin.h"

#include "base/handles.h"
#include "base/text.h"
#include "base/xml.h"

namespace vt {

namespace {

const wchar_t* const kSkinFontIds[kSkinFontCount] = {L"font.default", L"font.temperature", L"font.conditions.title",
                                                     L"font.daytitle"};

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::optional<int> HexPair(std::wstring_view text, size_t at) {
    if (at >= text.size()) return std::nullopt;
    const std::wstring_view pair = text.substr(at, 2);
    int value = 0;
    for (wchar_t c : pair) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + d;
    }
    return value;
}

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? Trim(std::wstring(buffer, n)) : L"Error " + std::to_wstring(code) + L".";
    if (buffer) LocalFree(buffer);
    return text;
}

std::string ReadSmallFile(const std::wstring& path, std::wstring& error) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || file.get() == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        file.release();
        error = L"Cannot open " + path + L": " + SystemErrorText(code);
        return {};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > static_cast<LONGLONG>(kMaxSkinFileBytes)) {
        error = L"The skin file is too large: " + path;
        return {};
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size())) {
        error = L"Cannot read " + path + L".";
        return {};
    }
    return bytes;
}

}  // namespace

ForecastSkinResult ParseForecastSkin(std::string_view bytes) {
    ForecastSkinResult result;
    XmlReading xml;   // the parser is given back once this reading is done
    auto doc = ParseXmlBytes(bytes, result.error, L"skin file");
    if (!doc) return result;
    ForecastSkin skin;
    for (int i = 0; i < kSkinFontCount; ++i) {
        auto node = SelectFirst(doc.get(), std::wstring(L"skin/font[@id=\"") + kSkinFontIds[i] + L"\"]");
        if (!node) continue;
        ComPtr<IXMLDOMNamedNodeMap> attributes;
        if (FAILED(node->get_attributes(attributes.put())) || !attributes) continue;
        long count = 0;
        attributes->get_length(&count);
        SkinFontElement element;
        for (long k = 0; k < count; ++k) {
            ComPtr<IXMLDOMNode> attribute;
            if (attributes->get_item(k, attribute.put()) != S_OK || !attribute) continue;
            Unique<BSTR, SysFreeString> name;
            attribute->get_nodeName(name.put());
            Unique<BSTR, SysFreeString> value;
            attribute->get_text(value.put());
            auto text = [](BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); };
            element.attributes.emplace_back(text(name.get()), StripControls(text(value.get())));
            // A colour that cannot be read makes the skin unreadable, not a font of some other colour.
            const auto& [attributeName, attributeValue] = element.attributes.back();
            if (attributeName == L"color" && !HtmlColorToColor(attributeValue)) {
                result.error = L"\"" + attributeValue + L"\" is not a colour of the form #RRGGBB (font " +
                               kSkinFontIds[i] + L").";
                return result;
            }
        }
        skin.fonts[static_cast<size_t>(i)] = std::move(element);
    }
    result.skin = std::move(skin);
    return result;
}

ForecastSkinResult ReadForecastSkin(const std::wstring& path) {
    ForecastSkinResult result;
    std::string bytes = ReadSmallFile(path, result.error);
    if (!result.error.empty()) return result;
    return ParseForecastSkin(bytes);
}

ForecastSkin LoadForecastSkin(const std::wstring& forecastDir, const std::wstring& skinName, std::wstring* error) {
    if (IsSafeSkinName(skinName)) {
        auto chosen = ReadForecastSkin(forecastDir + skinName + L"\\skin.xml");
        if (chosen.skin) return *chosen.skin;
        if (error) *error = chosen.error;
    }
    // A broken or missing skin still leaves the widget readable in the shipped one.
    auto fallback = ReadForecastSkin(forecastDir + kDefaultForecastSkin + L"\\skin.xml");
    return fallback.skin ? *fallback.skin : ForecastSkin{};
}

std::optional<COLORREF> HtmlColorToColor(std::wstring_view text) {
    const auto r = HexPair(text, 1), g = HexPair(text, 3), b = HexPair(text, 5);
    if (!r || !g || !b) return std::nullopt;
    return RGB(*r, *g, *b);
}

void ApplySkinFontStyle(std::wstring_view text, ForecastFont& font) {
    if (text.empty()) return;
    const std::wstring s = L"," + std::wstring(text);
    FontStyles style = 0;
    if (s.find(L",Bold") != std::wstring::npos) style |= kFontBold;
    if (s.find(L",Italic") != std::wstring::npos) style |= kFontItalic;
    if (s.find(L",Underline") != std::wstring::npos) style |= kFontUnderline;
    if (s.find(L",Strikeout") != std::wstring::npos) style |= kFontStrikeOut;
    font.style = style;
}

void ApplySkinFont(const SkinFontElement* element, ForecastFont& font) {
    if (!element) return;
    for (const auto& [name, value] : element->attributes) {
        if (name == L"facename") {
            // A longer name cannot be a font's face name; GDI would cut it anyway.
            font.faceName = value.substr(0, LF_FACESIZE - 1);
        } else if (name == L"color") {
            if (auto c = HtmlColorToColor(value)) font.color = *c;
        } else if (name == L"style") {
            ApplySkinFontStyle(value, font);
        } else if (name == L"size") {
            // Digits only: a sign, blanks or a unit behind the number leave the size.
            if (value.empty() || value.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
            const auto n = ParseInt(value);
            if (n && *n >= kMinSkinFontSize && *n <= kMaxSkinFontSize) font.size = static_cast<int>(*n);
        }
    }
}

std::vector<std::wstring> ListForecastSkins(const std::wstring& forecastDir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    UniqueFindFile find(FindFirstFileW((forecastDir + L"*.*").c_str(), &found));
    if (!find || find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find.get(), &found));
    return names;
}

bool IsSafeSkinName(std::wstring_view name) {
    if (name.empty() || name.size() > 200 || name == L"." || name == L"..") return false;
    for (wchar_t c : name)
        if (c < 32 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
            c == L'>' || c == L'|')
            return false;
    return true;
}

}  // namespace vt
