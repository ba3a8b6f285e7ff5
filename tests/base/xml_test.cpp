#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <thread>

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
    XmlReading xml;
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
    XmlReading xml;
    std::wstring error;
    auto doc = ParseXmlText(L"<weather><cc><tmp>7</tmp></cc></weather>", error);
    ASSERT_TRUE(doc) << error;
    auto root = Root(doc);
    EXPECT_FALSE(FindChildNode(root.get(), L"CC"));
    EXPECT_FALSE(FindChildNode(root.get(), L"tmp"));   // only direct children count
    EXPECT_FALSE(FindChildNode(root.get(), L""));
    EXPECT_FALSE(FindChildNode(nullptr, L"cc"));
}

TEST(ParseXml, OnlyInsideAReading) {
    ComApartment program;
    std::wstring error;
    EXPECT_FALSE(ParseXmlText(L"<w/>", error));
    EXPECT_EQ(error, L"The XML parser is not available.");
    EXPECT_FALSE(GetModuleHandleW(L"msxml3.dll"));
}

TEST(ParseXml, RefusesADocumentTypeAndNamesWhatItRead) {
    XmlReading xml;
    std::wstring error;
    EXPECT_FALSE(ParseXmlBytes("<!DOCTYPE w [<!ENTITY e \"x\">]><w>&e;</w>", error, L"reply"));
    EXPECT_EQ(error, L"The reply carries a document type declaration.");
    EXPECT_FALSE(ParseXmlBytes("<w><open></w>", error, L"reply"));
    EXPECT_EQ(error.rfind(L"The reply is not well-formed XML", 0), 0u) << error;
}

// The program keeps COM on its main thread for the whole run; each reading gives the parser back.
TEST(XmlReading, GivesTheParserBackWhenItEnds) {
    ComApartment program;
    for (int round = 0; round < 2; ++round) {
        {
            XmlReading xml;
            std::wstring error;
            auto doc = ParseXmlText(L"<weather><cc><tmp>7</tmp></cc></weather>", error);
            ASSERT_TRUE(doc) << error;
            EXPECT_EQ(SelectValue(doc.get(), L"weather/cc/tmp"), L"7");
            EXPECT_TRUE(GetModuleHandleW(L"msxml3.dll"));
        }
        EXPECT_FALSE(GetModuleHandleW(L"msxml3.dll")) << "round " << round;
    }
}

// Another thread still reading keeps the parser: its document stays usable after this thread's reading.
TEST(XmlReading, LeavesTheParserToAThreadStillReading) {
    ComApartment program;
    UniqueHandle parsed(CreateEventW(nullptr, TRUE, FALSE, nullptr)), read(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::wstring value;
    std::thread other([&] {
        XmlReading xml;
        std::wstring error;
        auto doc = ParseXmlBytes("<w><v>kept</v></w>", error);
        SetEvent(parsed.get());
        WaitForSingleObject(read.get(), 10000);
        if (doc) value = SelectValue(doc.get(), L"w/v").value_or(L"");
    });
    WaitForSingleObject(parsed.get(), 10000);
    {
        XmlReading xml;
        std::wstring error;
        EXPECT_TRUE(ParseXmlText(L"<w/>", error)) << error;
    }
    EXPECT_TRUE(GetModuleHandleW(L"msxml3.dll"));
    SetEvent(read.get());
    other.join();
    EXPECT_EQ(value, L"kept");
}
