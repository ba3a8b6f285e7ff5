// The program's one XML reader, over MSXML 3: a parsed document that never fetches anything (no DTDs, no
// external resolution, no document type at all) and single-node XPath reads. Every text read is stripped
// of control characters, so no value can start a new line in a settings file.
#pragma once
#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/handles.h"
#include "base/late_library.h"

namespace vt {

using UniqueBstr = Unique<BSTR, SysFreeString>;
UniqueBstr MakeBstr(std::wstring_view s);
std::wstring ToString(BSTR b);

// One reading of XML on the calling thread: COM for it and the parser's library for as long as it lasts,
// given back when it ends (MSXML brings urlmon and wininet with it; a 32-bit process pays their relocated
// pages for as long as they stay loaded, and a reply is read only now and then). Declare it before the
// documents it reads: every document and node must be released before it ends. Another thread's reading
// holds the library by a reference of its own.
class XmlReading {
public:
    XmlReading();
    ~XmlReading();
    XmlReading(const XmlReading&) = delete;
    XmlReading& operator=(const XmlReading&) = delete;
    HRESULT NewDocument(const IID& iid, void** document) const { return parser_.Create(iid, document); }

private:
    ComApartment apartment_;   // S_FALSE or another model: COM is usable either way
    BorrowedComClass parser_;
    const XmlReading* outer_;
};

// Parses bytes (their own encoding declaration honoured) or a wide text. Empty with `error` filled when
// the parser is missing, the text is not well-formed or it carries a document type; the error calls the
// text `what` ("The reply is not well-formed XML"). Only inside an XmlReading on the calling
// thread (without one: "The XML parser is not available.").
ComPtr<IXMLDOMDocument2> ParseXmlBytes(std::string_view bytes, std::wstring& error, std::wstring_view what = L"document");
ComPtr<IXMLDOMDocument2> ParseXmlText(std::wstring_view text, std::wstring& error, std::wstring_view what = L"document");

// The node value of the first node `path` selects from `context` (text or attribute node), nothing when
// the path selects none.
std::optional<std::wstring> SelectValue(IXMLDOMNode* context, const std::wstring& path);
ComPtr<IXMLDOMNode> SelectFirst(IXMLDOMNode* context, const std::wstring& path);
// The first child of `node` whose node name equals `name` exactly (case-sensitive); empty when none has it
// or `node` is null.
ComPtr<IXMLDOMNode> FindChildNode(IXMLDOMNode* node, std::wstring_view name);
// A node's text (an element's: all its text together) and its own value (empty for an element).
std::wstring NodeText(IXMLDOMNode* node);
std::wstring NodeValue(IXMLDOMNode* node);

}  // namespace vt
