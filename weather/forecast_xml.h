// The forecast widget's small XML layer over MSXML 3: a parsed document that never fetches anything
// (no DTDs, no external resolution) and single-node XPath reads.
#pragma once
#include <windows.h>
#include <msxml2.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/handles.h"

namespace vt {

// Parses bytes (their own encoding declaration honoured) or a wide text. Empty with `error` filled when
// the parser is missing, the text is not well-formed or it carries a document type. Needs COM on the
// calling thread.
ComPtr<IXMLDOMDocument2> ParseXmlBytes(std::string_view bytes, std::wstring& error);
ComPtr<IXMLDOMDocument2> ParseXmlText(std::wstring_view text, std::wstring& error);

// The node value of the first node `path` selects from `context` (text or attribute node), nothing when
// the path selects none.
std::optional<std::wstring> SelectValue(IXMLDOMNode* context, const std::wstring& path);
ComPtr<IXMLDOMNode> SelectFirst(IXMLDOMNode* context, const std::wstring& path);

}  // namespace vt
