#include "base/xml_nodes.h"

#include <oleauto.h>

namespace vt {

namespace {
using UniqueBstr = Unique<BSTR, SysFreeString>;
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

}  // namespace vt
