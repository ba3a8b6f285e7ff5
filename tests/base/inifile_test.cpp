#include <gtest/gtest.h>

#include "base/inifile.h"
#include "support/test_support.h"

using namespace vt;

TEST(IniFile, CreatedFilesAreUtf16WithByteOrderMark) {
    test::TempDir dir;
    IniFile ini(dir.File(L"Setting.ini"));
    ASSERT_TRUE(ini.WriteString(L"Options", L"Prefix", L"Zürich Ω"));
    std::string bytes = test::ReadFileBytes(ini.path());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    EXPECT_EQ(IniFile(ini.path()).ReadString(L"Options", L"Prefix", L""), L"Zürich Ω");
}

TEST(IniFile, ExistingAnsiFileIsReadAsItIs) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File(L"a.ini"), "[Options]\r\nShowDate=0\r\nColor1=255\r\n");
    IniFile ini(dir.File(L"a.ini"));
    EXPECT_FALSE(ini.ReadBool(L"Options", L"ShowDate", true));
    EXPECT_EQ(ini.ReadInteger(L"Options", L"Color1", 0), 255);
    ini.WriteInteger(L"Options", L"Color2", 7);
    EXPECT_EQ(test::ReadFileBytes(ini.path()).substr(0, 9), "[Options]");
}

TEST(IniFile, LongValuesAreReadWhole) {
    test::TempDir dir;
    IniFile ini(dir.File(L"long.ini"));
    std::wstring path = L"C:\\" + std::wstring(3000, L'x') + L"\\file.wav";
    ini.WriteString(L"Alarm1", L"Sound", path);
    EXPECT_EQ(ini.ReadString(L"Alarm1", L"Sound", L""), path);
}

TEST(IniFile, MissingAndMalformedValuesTakeTheDefault) {
    test::TempDir dir;
    IniFile ini(dir.File(L"m.ini"));
    ini.WriteString(L"Options", L"ShowDate", L"yes");
    EXPECT_TRUE(ini.ReadBool(L"Options", L"ShowDate", true));
    EXPECT_FALSE(ini.ReadBool(L"Options", L"ShowDate", false));
    EXPECT_EQ(ini.ReadString(L"Options", L"Nope", L"dflt"), L"dflt");
    EXPECT_FALSE(ini.KeyExists(L"Options", L"Nope"));
    EXPECT_TRUE(ini.KeyExists(L"Options", L"ShowDate"));
    ini.WriteString(L"Options", L"Empty", L"");
    EXPECT_TRUE(ini.KeyExists(L"Options", L"Empty"));
    EXPECT_EQ(ini.ReadString(L"Options", L"Empty", L"dflt"), L"");
}

TEST(IniFile, SectionsAndKeysAreListed) {
    test::TempDir dir;
    IniFile ini(dir.File(L"s.ini"));
    ini.WriteString(L"Alarm1", L"A", L"1");
    ini.WriteString(L"Alarm2", L"B", L"2");
    ini.WriteString(L"Alarm2", L"C", L"3");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::wstring>{L"Alarm1", L"Alarm2"}));
    EXPECT_EQ(ini.KeyNames(L"Alarm2"), (std::vector<std::wstring>{L"B", L"C"}));
    ini.EraseSection(L"Alarm1");
    EXPECT_FALSE(ini.SectionExists(L"Alarm1"));
    EXPECT_TRUE(ini.SectionExists(L"alarm2"));
}
