#include "weather/weather_document.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <stdexcept>

#include "base/handles.h"
#include "base/text.h"
#include "base/xml.h"

namespace vt {

namespace {

// A failure of the reading, with the text shown after "Can't Get Weather: ".
struct ReplyError : std::runtime_error {
    explicit ReplyError(const std::wstring& text) : std::runtime_error(Narrow(text)), wide(text) {}
    std::wstring wide;
};

std::wstring Missing(const std::wstring& what) { return L"The reply has no " + what + L"."; }

std::wstring RequiredPath(IXMLDOMNode* context, const std::wstring& path) {
    auto node = SelectFirst(context, path);
    if (!node) throw ReplyError(Missing(path));
    return NodeText(node.get());
}

// The text of the first child element of that name.
std::wstring RequiredChild(IXMLDOMNode* parent, const wchar_t* name) {
    auto node = FindChildNode(parent, name);
    if (!node) throw ReplyError(Missing(name));
    return NodeText(node.get());
}

class Reader {
public:
    explicit Reader(IXMLDOMDocument* doc) : doc_(doc) {}

    ComPtr<IXMLDOMNode> FirstTag(const wchar_t* tag) const {
        ComPtr<IXMLDOMNodeList> list;
        ComPtr<IXMLDOMNode> node;
        UniqueBstr name = MakeBstr(tag);
        if (SUCCEEDED(doc_->getElementsByTagName(name.get(), list.put())) && list) list->get_item(0, node.put());
        return node;
    }
    ComPtr<IXMLDOMNode> RequiredTag(const wchar_t* tag) const {
        auto node = FirstTag(tag);
        if (!node) throw ReplyError(Missing(std::wstring(L"<") + tag + L"> element"));
        return node;
    }
    std::wstring TagText(const wchar_t* tag) const { return NodeText(RequiredTag(tag).get()); }
    std::wstring PathText(const wchar_t* path) const { return SelectValue(doc_, path).value_or(std::wstring()); }

private:
    IXMLDOMDocument* doc_;
};

WeatherDayPart ReadPart(IXMLDOMNode* day, const wchar_t* which) {
    std::wstring part = std::wstring(L"part[@p=\"") + which + L"\"]";
    WeatherDayPart r;
    r.icon = SafeIconCode(RequiredPath(day, part + L"/icon"));
    r.text = SelectValue(day, part + L"/t/text()");
    return r;
}

// No report when the document holds no current temperature: the service's answer for a place it has no
// weather for (its error document among them).
std::optional<WeatherReport> Read(IXMLDOMDocument* doc) {
    Reader in(doc);
    ComPtr<IXMLDOMNode> tmp = in.FirstTag(L"tmp"), first;
    if (!tmp || tmp->get_firstChild(first.put()) != S_OK || !first) return std::nullopt;

    ComPtr<IXMLDOMElement> root;
    if (doc->get_documentElement(root.put()) != S_OK || !root) throw ReplyError(L"The reply is empty.");
    UniqueBstr rootName;
    root->get_nodeName(rootName.put());
    if (ToString(rootName.get()) != L"weather") throw ReplyError(L"The reply is no weather document.");

    WeatherReport r;
    UniqueBstr xml;
    doc->get_xml(xml.put());
    r.xml = ToString(xml.get());
    r.temperature = NodeValue(first.get());
    r.iconName = SafeIconCode(in.TagText(L"icon"));
    r.unitLetter = in.PathText(L"weather/head/ut/text()");

    for (int n = 0; n < 5; ++n) {
        std::wstring path = L"weather/dayf/day[@d=\"" + std::to_wstring(n) + L"\"]";
        auto day = SelectFirst(doc, path);
        if (!day) throw ReplyError(Missing(L"forecast day " + std::to_wstring(n)));
        WeatherDay& d = r.days[static_cast<size_t>(n)];
        d.name = SelectValue(day.get(), L"@t").value_or(std::wstring());
        d.hi = RequiredPath(day.get(), L"hi");
        d.low = RequiredPath(day.get(), L"low");
        d.dayPart = ReadPart(day.get(), L"d");
        if (d.hi == L"N/A") d.nightPart = ReadPart(day.get(), L"n");
    }

    r.currentIcon = SafeIconCode(in.PathText(L"weather/cc/icon/text()"));
    r.currentTmp = in.PathText(L"weather/cc/tmp/text()");
    r.moonIcon = SafeIconCode(RequiredPath(doc, L"weather/cc/moon/icon"));
    r.moonText = RequiredPath(doc, L"weather/cc/moon/t");
    const std::wstring degree = L"\u00B0" + in.TagText(L"ut");

    r.memo.push_back(in.PathText(L"weather/loc/dnam/text()"));
    r.memo.push_back(L"");
    ComPtr<IXMLDOMNode> lsupText;
    if (in.RequiredTag(L"lsup")->get_firstChild(lsupText.put()) != S_OK || !lsupText) return r;
    r.memo.push_back(NodeValue(lsupText.get()));
    r.memo.push_back(in.TagText(L"obst"));
    r.memo.push_back(L"Feels Like: " + in.TagText(L"flik") + degree);
    r.memo.push_back(L"Temperature: " + in.TagText(L"tmp") + degree);
    r.memo.push_back(in.PathText(L"weather/cc/t/text()"));
    auto uv = in.RequiredTag(L"uv");
    r.memo.push_back(L"UV Index: " + RequiredChild(uv.get(), L"i") + L" " + RequiredChild(uv.get(), L"t"));
    r.memo.push_back(L"Pressure: " + in.TagText(L"r") + L" " + in.TagText(L"up") + L".");
    r.memo.push_back(in.PathText(L"weather/cc/wind/t/text()"));
    r.memo.push_back(in.TagText(L"hmid"));
    r.memo.push_back(L"Visibility: " + in.TagText(L"vis") + L" " + in.TagText(L"ud"));
    r.memo.push_back(L"Dew Point: " + in.TagText(L"dewp") + degree);
    return r;
}

}  // namespace

std::wstring SafeIconCode(std::wstring_view code) {
    if (code.empty() || code.size() > 32 || code == L"-") return L"na";
    for (wchar_t c : code) {
        bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
                  c == L'-';
        if (!ok) return L"na";
    }
    return std::wstring(code);
}

WeatherParseResult ParseWeatherReply(std::string_view body) {
    WeatherParseResult result;
    try {
        if (body.empty()) throw ReplyError(L"The reply is empty.");
        if (body.size() > kMaxWeatherReplyBytes) throw ReplyError(L"The reply is too large.");
        XmlReading xml;   // the parser is given back once this reading is done
        // Loaded as bytes so the document's own encoding declaration is honoured.
        std::wstring error;
        ComPtr<IXMLDOMDocument2> doc = ParseXmlBytes(body, error, L"reply");
        if (!doc) throw ReplyError(error);
        result.report = Read(doc.get());
        result.noTemperature = !result.report;
    } catch (const ReplyError& e) {
        result.report.reset();
        result.error = e.wide;
    } catch (const std::exception& e) {
        result.report.reset();
        result.error = Widen(e.what());
    }
    return result;
}

WeatherParseResult ParseWeatherText(std::wstring_view text) {
    const size_t start = text.find_first_not_of(L" \t\r\n\uFEFF");
    if (start != std::wstring_view::npos && text.substr(start, 5) == L"<?xml") {
        const size_t end = text.find(L"?>", start);
        if (end != std::wstring_view::npos) text.remove_prefix(end + 2);
    }
    return ParseWeatherReply(Narrow(text));   // no declaration: read as UTF-8, as Narrow writes it
}

}  // namespace vt
