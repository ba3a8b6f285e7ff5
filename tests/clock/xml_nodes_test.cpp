#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include "base/handles.h"
#include "base/xml_nodes.h"

using namespace vt;

namespace {
class XmlDocument {
public:
    explicit XmlDocument(const wchar_t* text) {
        CLSID clsid{};
        if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &clsid))) return;
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                    doc_.put_void())))
            return;
        BSTR xml = SysAllocString(text);
        VARIANT_BOOL ok = VARIANT_FALSE;
        doc_->loadXML(xml, &ok);
        SysFreeString(xml);
        if (ok != VARIANT_TRUE) doc_.reset();
    }
    IXMLDOMNode* root() {
        if (!doc_) return nullptr;
        root_.reset();
        doc_->get_documentElement(reinterpret_cast<IXMLDOMElement**>(root_.put()));
        return root_.get();
    }
private:
    ComPtr<IXMLDOMDocument> doc_;
    ComPtr<IXMLDOMNode> root_;
};

std::wstring Text(const ComPtr<IXMLDOMNode>& node) {
    BSTR b = nullptr;
    node->get_text(&b);
    std::wstring s(b ? b : L"");
    SysFreeString(b);
    return s;
}
}  // namespace

TEST(FindChildNode, FirstChildWithThatExactName) {
    ComApartment com;
    ASSERT_TRUE(com.ok());
    XmlDocument doc(L"<weather><Loc>no</Loc><loc>first</loc><cc><tmp>7</tmp></cc><loc>second</loc></weather>");
    IXMLDOMNode* root = doc.root();
    ASSERT_NE(root, nullptr);
    auto loc = FindChildNode(root, L"loc");
    ASSERT_TRUE(loc);
    EXPECT_EQ(Text(loc), L"first");
    auto cc = FindChildNode(root, L"cc");
    ASSERT_TRUE(cc);
    EXPECT_EQ(Text(FindChildNode(cc.get(), L"tmp")), L"7");
}

TEST(FindChildNode, NothingForMissingNamesGrandchildrenOrNoNode) {
    ComApartment com;
    XmlDocument doc(L"<weather><cc><tmp>7</tmp></cc></weather>");
    IXMLDOMNode* root = doc.root();
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(FindChildNode(root, L"CC"));
    EXPECT_FALSE(FindChildNode(root, L"tmp"));   // only direct children count
    EXPECT_FALSE(FindChildNode(root, L""));
    EXPECT_FALSE(FindChildNode(nullptr, L"cc"));
}
