#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include "base/handles.h"
#include "base/xml.h"

using namespace vt;

namespace {

// The document element of a parsed text.
ComPtr<IXMLDOMNode> Root(const ComPtr<IXMLDOMDocument2>& doc) {
    ComPtr<IXMLDOMNode> root;
    if (doc) doc->get_documentElement(reinterpret_cast<IXMLDOMElement**>(root.put()));
    return root;
}

}  // namespace

TEST(FindChildNode, FirstChildWithThatExactName) {
    ComApartment com;
    std::wstring error;
    auto doc = ParseXmlText(L"<weather><Loc>no</Loc><loc>first</loc><cc><tmp>7</tmp></cc><loc>second</loc></weather>",
                            error);
    ASSERT_TRUE(doc) << error;
    auto root = Root(doc);
    auto loc = FindChildNode(root.get(), L"loc");
    ASSERT_TRUE(loc);
    EXPECT_EQ(NodeText(loc.get()), L"first");
    auto cc = FindChildNode(root.get(), L"cc");
    ASSERT_TRUE(cc);
    EXPECT_EQ(NodeText(FindChildNode(cc.get(), L"tmp").get()), L"7");
}

TEST(FindChildNode, NothingForMissingNamesGrandchildrenOrNoNode) {
    ComApartment com;
    std::wstring error;
    auto doc = ParseXmlText(L"<weather><cc><tmp>7</tmp></cc></weather>", error);
    ASSERT_TRUE(doc) << error;
    auto root = Root(doc);
    EXPECT_FALSE(FindChildNode(root.get(), L"CC"));
    EXPECT_FALSE(FindChildNode(root.get(), L"tmp"));   // only direct children count
    EXPECT_FALSE(FindChildNode(root.get(), L""));
    EXPECT_FALSE(FindChildNode(nullptr, L"cc"));
}

TEST(ParseXml, RefusesADocumentTypeAndNamesWhatItRead) {
    ComApartment com;
    std::wstring error;
    EXPECT_FALSE(ParseXmlBytes("<!DOCTYPE w [<!ENTITY e \"x\">]><w>&e;</w>", error, L"reply"));
    EXPECT_EQ(error, L"The reply carries a document type declaration.");
    EXPECT_FALSE(ParseXmlBytes("<w><open></w>", error, L"reply"));
    EXPECT_EQ(error.rfind(L"The reply is not well-formed XML", 0), 0u) << error;
}
