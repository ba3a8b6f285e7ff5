// Child lookup in an MSXML DOM, as the weather reply reader walks the document.
#pragma once
#include <windows.h>
#include <msxml2.h>

#include <string_view>

#include "base/handles.h"

namespace vt {

// The first child of `node` whose node name equals `name` exactly (case-sensitive); empty when none has it
// or `node` is null.
ComPtr<IXMLDOMNode> FindChildNode(IXMLDOMNode* node, std::wstring_view name);

}  // namespace vt
