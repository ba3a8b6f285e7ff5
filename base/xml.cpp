#include "base/xml.h"

#include <oleauto.h>

#include <cctype>
#include <cstring>

#include "base/text.h"

namespace vt {

namespace {

// Msxml2.DOMDocument.3.0 and IXMLDOMDocument2 (the import library does not carry them).
const CLSID kDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

thread_local const XmlReading* currentReading = nullptr;   // the innermost reading of this thread

template <class Text>
bool MentionsDoctype(Text text) {
    // Upper-cased copies would cost more than this scan on the small documents read here.
    auto contains = [&](const char* what) {
        const size_t n = std::strlen(what);
        for (size_t i = 0; i + n <= text.size(); ++i) {
            size_t k = 0;
            while (k < n && text[i + k] < 128 && std::toupper(static_cast<int>(text[i + k])) == what[k]) ++k;
            if (k == n) return true;
        }
        return false;
    };
    return contains("<!DOCTYPE") || contains("<!ENTITY");
}

ComPtr<IXMLDOMDocument2> NewDocument(std::wstring& error) {
    ComPtr<IXMLDOMDocument2> doc;
    // Only inside a reading: a document made through COM would keep the parser loaded for good.
    if (!currentReading || FAILED(currentReading->NewDocument(kIXMLDOMDocument2, doc.put_void()))) {
        error = L"The XML parser is not available.";
        return {};
    }
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    VARIANT on;
    VariantInit(&on);
    on.vt = VT_BOOL;
    on.boolVal = VARIANT_TRUE;
    UniqueBstr prohibit = MakeBstr(L"ProhibitDTD");
    doc->setProperty(prohibit.get(), on);
    UniqueBstr language = MakeBstr(L"SelectionLanguage"), xpath = MakeBstr(L"XPath");
    VARIANT lang;
    VariantInit(&lang);
    lang.vt = VT_BSTR;
    lang.bstrVal = xpath.get();
    doc->setProperty(language.get(), lang);
    return doc;
}

std::wstring ParseErrorText(IXMLDOMDocument2* doc, std::wstring_view what) {
    std::wstring reason;
    ComPtr<IXMLDOMParseError> parseError;
    if (SUCCEEDED(doc->get_parseError(parseError.put())) && parseError) {
        UniqueBstr text;
        parseError->get_reason(text.put());
        reason = Trim(StripControls(ToString(text.get())));
    }
    return L"The " + std::wstring(what) + L" is not well-formed XML" + (reason.empty() ? std::wstring(L".") : L": " + reason);
}

std::wstring DoctypeError(std::wstring_view what) {
    return L"The " + std::wstring(what) + L" carries a document type declaration.";
}

}  // namespace

XmlReading::XmlReading() : parser_(L"msxml3.dll", kDomDocument30), outer_(currentReading) { currentReading = this; }

XmlReading::~XmlReading() { currentReading = outer_; }

UniqueBstr MakeBstr(std::wstring_view s) {
    return UniqueBstr(SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
}

std::wstring ToString(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

ComPtr<IXMLDOMDocument2> ParseXmlBytes(std::string_view bytes, std::wstring& error, std::wstring_view what) {
    // Not every parser honours ProhibitDTD: a document type never reaches it.
    if (bytes.find('\0') != std::string_view::npos || MentionsDoctype(bytes)) {
        error = DoctypeError(what);
        return {};
    }
    auto doc = NewDocument(error);
    if (!doc) return {};
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) {
        error = L"Out of memory.";
        return {};
    }
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_ARRAY | VT_UI1;
    source.parray = array;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = doc->load(source, &loaded);
    VariantClear(&source);
    if (FAILED(hr) || loaded != VARIANT_TRUE) {
        error = ParseErrorText(doc.get(), what);
        return {};
    }
    return doc;
}

ComPtr<IXMLDOMDocument2> ParseXmlText(std::wstring_view text, std::wstring& error, std::wstring_view what) {
    if (MentionsDoctype(text)) {
        error = DoctypeError(what);
        return {};
    }
    auto doc = NewDocument(error);
    if (!doc) return {};
    // The text is already wide: a declaration naming a byte encoding would only make the parser refuse it.
    const size_t start = text.find_first_not_of(L" \t\r\n\uFEFF");
    if (start != std::wstring_view::npos && text.substr(start, 5) == L"<?xml") {
        const size_t end = text.find(L"?>", start);
        if (end != std::wstring_view::npos) text.remove_prefix(end + 2);
    }
    UniqueBstr source = MakeBstr(text);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = doc->loadXML(source.get(), &loaded);
    if (FAILED(hr) || loaded != VARIANT_TRUE) {
        error = ParseErrorText(doc.get(), what);
        return {};
    }
    return doc;
}

ComPtr<IXMLDOMNode> SelectFirst(IXMLDOMNode* context, const std::wstring& path) {
    ComPtr<IXMLDOMNode> node;
    if (!context) return node;
    UniqueBstr query = MakeBstr(path);
    if (context->selectSingleNode(query.get(), node.put()) != S_OK) node.reset();
    return node;
}

ComPtr<IXMLDOMNode> FindChildNode(IXMLDOMNode* node, std::wstring_view name) {
    ComPtr<IXMLDOMNode> child;
    if (!node || FAILED(node->get_firstChild(child.put()))) return {};
    while (child) {
        UniqueBstr nodeName;
        if (SUCCEEDED(child->get_nodeName(nodeName.put())) && nodeName &&
            std::wstring_view(nodeName.get(), SysStringLen(nodeName.get())) == name)
            return child;
        ComPtr<IXMLDOMNode> next;
        if (FAILED(child->get_nextSibling(next.put()))) break;
        child = next;
    }
    return {};
}

std::wstring NodeText(IXMLDOMNode* node) {
    UniqueBstr text;
    if (!node || FAILED(node->get_text(text.put()))) return {};
    return StripControls(ToString(text.get()));
}

std::wstring NodeValue(IXMLDOMNode* node) {
    VARIANT v;
    VariantInit(&v);
    std::wstring value;
    if (node && SUCCEEDED(node->get_nodeValue(&v)) && v.vt == VT_BSTR) value = ToString(v.bstrVal);
    VariantClear(&v);
    return StripControls(value);
}

std::optional<std::wstring> SelectValue(IXMLDOMNode* context, const std::wstring& path) {
    auto node = SelectFirst(context, path);
    if (!node) return std::nullopt;
    VARIANT v;
    VariantInit(&v);
    std::wstring value;
    if (SUCCEEDED(node->get_nodeValue(&v)) && v.vt == VT_BSTR) value = ToString(v.bstrVal);
    else {
        // An element: its text.
        UniqueBstr text;
        if (SUCCEEDED(node->get_text(text.put()))) value = ToString(text.get());
    }
    VariantClear(&v);
    return StripControls(value);
}

}  // namespace vt
