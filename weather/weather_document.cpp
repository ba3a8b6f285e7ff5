#include "weather/weather_document.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <stdexcept>

#include "base/handles.h"
#include "base/text.h"

namespace vt {

namespace {

// Msxml2.DOMDocument.3.0 and IXMLDOMDocument2 (the import library does not carry them).
const CLSID kDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// A failure of the reading, with the text shown after "Can't Get Weather: ".
struct ReplyError : std::runtime_error {
    explicit ReplyError(const std::wstring& text) : std::runtime_error(Narrow(text)), wide(text) {}
    std::wstring wide;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* s) : b_(SysAllocString(s)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }
    BSTR* put() { SysFreeString(b_); b_ = nullptr; return &b_; }
    std::wstring str() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }
private:
    BSTR b_ = nullptr;
};

void Check(HRESULT hr, const wchar_t* what) {
    if (FAILED(hr)) throw ReplyError(std::wstring(what) + L" failed (0x" + [&] {
        wchar_t buf[16];
        swprintf(buf, 16, L"%08lX", static_cast<unsigned long>(hr));
        return std::wstring(buf);
    }() + L").");
}

ComPtr<IXMLDOMNode> SelectNode(IXMLDOMNode* context, const wchar_t* path) {
    ComPtr<IXMLDOMNode> node;
    Bstr query(path);
    if (context->selectSingleNode(query.get(), node.put()) != S_OK) node.reset();
    return node;
}

std::wstring TextOf(IXMLDOMNode* node) {
    Bstr text;
    node->get_text(text.put());
    return StripControls(text.str());
}

std::wstring ValueOf(IXMLDOMNode* node) {
    VARIANT v;
    VariantInit(&v);
    std::wstring r;
    if (SUCCEEDED(node->get_nodeValue(&v)) && v.vt == VT_BSTR && v.bstrVal) r.assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    return StripControls(r);
}

// The value of the first node the path selects, or nothing.
std::optional<std::wstring> NodeTextByPath(IXMLDOMNode* context, const std::wstring& path) {
    auto node = SelectNode(context, path.c_str());
    if (!node) return std::nullopt;
    return ValueOf(node.get());
}

std::wstring Missing(const std::wstring& what) { return L"The reply has no " + what + L"."; }

std::wstring RequiredPath(IXMLDOMNode* context, const std::wstring& path) {
    auto node = SelectNode(context, path.c_str());
    if (!node) throw ReplyError(Missing(path));
    return TextOf(node.get());
}

class Reader {
public:
    explicit Reader(IXMLDOMDocument* doc) : doc_(doc) {}

    ComPtr<IXMLDOMNode> FirstTag(const wchar_t* tag) const {
        ComPtr<IXMLDOMNodeList> list;
        ComPtr<IXMLDOMNode> node;
        Bstr name(tag);
        if (SUCCEEDED(doc_->getElementsByTagName(name.get(), list.put())) && list) list->get_item(0, node.put());
        return node;
    }
    ComPtr<IXMLDOMNode> RequiredTag(const wchar_t* tag) const {
        auto node = FirstTag(tag);
        if (!node) throw ReplyError(Missing(std::wstring(L"<") + tag + L"> element"));
        return node;
    }
    std::wstring TagText(const wchar_t* tag) const { return TextOf(RequiredTag(tag).get()); }
    std::wstring PathText(const wchar_t* path) const {
        return NodeTextByPath(doc_, path).value_or(std::wstring());
    }

private:
    IXMLDOMDocument* doc_;
};

WeatherDayPart ReadPart(IXMLDOMNode* day, const wchar_t* which) {
    std::wstring part = std::wstring(L"part[@p=\"") + which + L"\"]";
    WeatherDayPart r;
    r.icon = SafeIconCode(RequiredPath(day, part + L"/icon"));
    r.text = NodeTextByPath(day, part + L"/t/text()");
    return r;
}

WeatherReport Read(IXMLDOMDocument* doc) {
    ComPtr<IXMLDOMElement> root;
    if (doc->get_documentElement(root.put()) != S_OK || !root) throw ReplyError(L"The reply is empty.");
    Bstr rootName;
    root->get_nodeName(rootName.put());
    if (rootName.str() != L"weather") throw ReplyError(L"The reply is no weather document.");

    Reader in(doc);
    WeatherReport r;
    Bstr xml;
    doc->get_xml(xml.put());
    r.xml = xml.str();

    ComPtr<IXMLDOMNode> tmp = in.RequiredTag(L"tmp"), first;
    if (tmp->get_firstChild(first.put()) != S_OK || !first) throw ReplyError(Missing(L"current temperature"));
    r.temperature = ValueOf(first.get());
    r.iconName = SafeIconCode(in.TagText(L"icon"));
    r.unitLetter = in.PathText(L"weather/head/ut/text()");

    for (int n = 0; n < 5; ++n) {
        std::wstring path = L"weather/dayf/day[@d=\"" + std::to_wstring(n) + L"\"]";
        auto day = SelectNode(doc, path.c_str());
        if (!day) throw ReplyError(Missing(L"forecast day " + std::to_wstring(n)));
        WeatherDay& d = r.days[static_cast<size_t>(n)];
        d.name = NodeTextByPath(day.get(), L"@t").value_or(std::wstring());
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
    r.memo.push_back(ValueOf(lsupText.get()));
    r.memo.push_back(in.TagText(L"obst"));
    r.memo.push_back(L"Feels Like: " + in.TagText(L"flik") + degree);
    r.memo.push_back(L"Temperature: " + in.TagText(L"tmp") + degree);
    r.memo.push_back(in.PathText(L"weather/cc/t/text()"));
    auto uv = in.RequiredTag(L"uv");
    r.memo.push_back(L"UV Index: " + RequiredPath(uv.get(), L"i") + L" " + RequiredPath(uv.get(), L"t"));
    r.memo.push_back(L"Pressure: " + in.TagText(L"r") + L" " + in.TagText(L"up") + L".");
    r.memo.push_back(in.PathText(L"weather/cc/wind/t/text()"));
    r.memo.push_back(in.TagText(L"hmid"));
    r.memo.push_back(L"Visibility: " + in.TagText(L"vis") + L" " + in.TagText(L"ud"));
    r.memo.push_back(L"Dew Point: " + in.TagText(L"dewp") + degree);
    return r;
}

bool ContainsNoCase(std::string_view text, std::string_view what) {
    for (size_t i = 0; i + what.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < what.size() && std::toupper(static_cast<unsigned char>(text[i + k])) == what[k]) ++k;
        if (k == what.size()) return true;
    }
    return false;
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
        // The parser is told to refuse DTDs too, but not every parser honours that: a document type or
        // entity declaration never reaches it. A NUL means a wide encoding this check could not see into.
        if (body.find('\0') != std::string_view::npos || ContainsNoCase(body, "<!DOCTYPE") ||
            ContainsNoCase(body, "<!ENTITY"))
            throw ReplyError(L"The reply carries a document type declaration.");

        ComApartment apartment;   // S_FALSE or a different model: COM is usable either way
        ComPtr<IXMLDOMDocument2> doc;
        Check(CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument2, doc.put_void()),
              L"Creating the XML parser");
        doc->put_async(VARIANT_FALSE);
        doc->put_validateOnParse(VARIANT_FALSE);
        doc->put_resolveExternals(VARIANT_FALSE);
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BOOL;
        v.boolVal = VARIANT_TRUE;
        Bstr prohibit(L"ProhibitDTD");
        doc->setProperty(prohibit.get(), v);
        Bstr language(L"SelectionLanguage"), xpath(L"XPath");
        VARIANT lang;
        VariantInit(&lang);
        lang.vt = VT_BSTR;
        lang.bstrVal = xpath.get();
        Check(doc->setProperty(language.get(), lang), L"Choosing XPath");

        // Loaded as bytes so the document's own encoding declaration is honoured.
        SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(body.size()));
        if (!bytes) throw ReplyError(L"Out of memory.");
        void* data = nullptr;
        SafeArrayAccessData(bytes, &data);
        memcpy(data, body.data(), body.size());
        SafeArrayUnaccessData(bytes);
        VARIANT source;
        VariantInit(&source);
        source.vt = VT_ARRAY | VT_UI1;
        source.parray = bytes;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        HRESULT hr = doc->load(source, &loaded);
        VariantClear(&source);
        if (FAILED(hr) || loaded != VARIANT_TRUE) {
            std::wstring reason;
            ComPtr<IXMLDOMParseError> error;
            if (SUCCEEDED(doc->get_parseError(error.put())) && error) {
                Bstr text;
                error->get_reason(text.put());
                reason = Trim(StripControls(text.str()));
            }
            throw ReplyError(L"The reply is not well-formed XML" + (reason.empty() ? L"." : L": " + reason));
        }
        result.report = Read(doc.get());
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
