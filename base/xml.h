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

namespace vt {

using UniqueBstr = Unique<BSTR, SysFreeString>;
UniqueBstr MakeBstr(std::wstring_view s);
std::wstring ToString(BSTR b);

// Parses bytes (their own encoding declaration honoured) or a wide text. Empty with `error` filled when
// the parser is missing, the text is not well-formed or it carries a document type; the error calls the
// text `what` ("The reply is not well-formed XML"). Needs COM on the calling thread.
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
