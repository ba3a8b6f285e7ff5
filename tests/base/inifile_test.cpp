#include <gtest/gtest.h>

#include <stdexcept>

#include "base/file_save.h"
#include "base/files.h"
#include "base/handles.h"
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

namespace {

// Fails (or, with `crash`, abandons by throwing) the save step numbered `at`; counts the renames.
struct FaultySteps : FileSaveSteps {
    int at = -1, step = 0, replaces = 0;
    bool crash = false;
    bool Fail() {
        if (step++ != at) return false;
        if (crash) throw std::runtime_error("power lost");
        return true;
    }
    void* Create(const std::wstring& p, unsigned long a) override { return Fail() ? nullptr : FileSaveSteps::Create(p, a); }
    bool Write(void* f, std::string_view b) override {
        if (step == at) {   // half the bytes reach the temporary file before the failure
            FileSaveSteps::Write(f, b.substr(0, b.size() / 2));
        }
        return !Fail() && FileSaveSteps::Write(f, b);
    }
    bool Flush(void* f) override { return !Fail() && FileSaveSteps::Flush(f); }
    bool Close(void* f) override {
        const bool fail = Fail();
        return FileSaveSteps::Close(f) && !fail;
    }
    bool Replace(const std::wstring& a, const std::wstring& b) override {
        ++replaces;
        return !Fail() && FileSaveSteps::Replace(a, b);
    }
};

const std::string kHandWritten =
    "; written by hand\n[Options]\nShowDate = 1\n  Prefix=\"  x \"\n\n[Alarm1]\nMessage=caf\xE9\nType=Once";

}  // namespace

TEST(IniFile, UnchangedLinesAreWrittenBackByteForByte) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File(L"h.ini"), kHandWritten);
    IniFile ini(dir.File(L"h.ini"));
    EXPECT_EQ(ini.ReadString(L"options", L"PREFIX", L""), L"  x ");
    EXPECT_EQ(ini.ReadString(L"Alarm1", L"Message", L""), L"caf\u00E9");
    ASSERT_TRUE(ini.WriteString(L"Options", L"ShowDate", L"1"));   // the same value: nothing to write
    EXPECT_EQ(test::ReadFileBytes(ini.path()), kHandWritten);
    ASSERT_TRUE(ini.WriteString(L"Options", L"ShowDate", L"0"));
    ASSERT_TRUE(ini.WriteString(L"Alarm1", L"Enabled", L"1"));
    EXPECT_EQ(test::ReadFileBytes(ini.path()),
              "; written by hand\n[Options]\nShowDate=0\n  Prefix=\"  x \"\n\n[Alarm1]\nMessage=caf\xE9\nType=Once\n"
              "Enabled=1\n");
}

TEST(IniFile, TextTheCodePageCannotHoldMovesTheFileToUtf16) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File(L"h.ini"), kHandWritten);
    IniFile ini(dir.File(L"h.ini"));
    ASSERT_TRUE(ini.WriteString(L"Alarm2", L"Message", L"\u03A9 \u6642\u8A08"));
    EXPECT_EQ(test::ReadFileBytes(ini.path()).substr(0, 2), "\xFF\xFE");
    IniFile again(ini.path());
    EXPECT_EQ(again.ReadString(L"Alarm2", L"Message", L""), L"\u03A9 \u6642\u8A08");
    EXPECT_EQ(again.ReadString(L"Alarm1", L"Message", L""), L"caf\u00E9");
    EXPECT_EQ(again.SectionNames(), (std::vector<std::wstring>{L"Options", L"Alarm1", L"Alarm2"}));
}

TEST(IniFile, AFailedOrInterruptedSaveLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::wstring path = dir.File(L"alarms.ini");
    test::WriteFileBytes(path, kHandWritten);
    for (bool crash : {false, true}) {
        for (int at = 0; at < 5; ++at) {
            SCOPED_TRACE(testing::Message() << (crash ? "crash" : "failure") << " at step " << at);
            FaultySteps steps;
            steps.at = at;
            steps.crash = crash;
            IniFile ini(path, steps);
            if (crash) {
                EXPECT_THROW(ini.WriteString(L"Alarm1", L"Type", L"Daily"), std::runtime_error);
            } else {
                EXPECT_FALSE(ini.WriteString(L"Alarm1", L"Type", L"Daily"));
                EXPECT_FALSE(FileExists(SavingPathFor(path)));
                EXPECT_EQ(ini.ReadString(L"Alarm1", L"Type", L""), L"Once");   // reads what is on disk
            }
            EXPECT_EQ(test::ReadFileBytes(path), kHandWritten);
        }
    }
    // The temporary file a crash left behind is written over by the next save.
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString(L"Alarm1", L"Type", L"Daily"));
    EXPECT_EQ(IniFile(path).ReadString(L"Alarm1", L"Type", L""), L"Daily");
    EXPECT_FALSE(FileExists(SavingPathFor(path)));
}

TEST(IniFile, WritesBetweenBeginAndEndUpdateAreSavedOnce) {
    test::TempDir dir;
    FaultySteps steps;
    IniFile ini(dir.File(L"b.ini"), steps);
    ini.BeginUpdate();
    for (int i = 0; i < 30; ++i) ini.WriteInteger(L"Alarm1", L"Key" + std::to_wstring(i), i);
    EXPECT_FALSE(FileExists(ini.path()));
    EXPECT_EQ(ini.ReadInteger(L"Alarm1", L"Key29", -1), 29);
    EXPECT_TRUE(ini.EndUpdate());
    EXPECT_EQ(steps.replaces, 1);
    EXPECT_EQ(IniFile(ini.path()).KeyNames(L"Alarm1").size(), 30u);
}

TEST(IniFile, AChangeMadeByHandIsReadAndNotWrittenOver) {
    test::TempDir dir;
    IniFile ini(dir.File(L"c.ini"));
    ASSERT_TRUE(ini.WriteString(L"Options", L"A", L"1"));
    EXPECT_EQ(ini.ReadString(L"Options", L"A", L""), L"1");
    test::WriteFileBytes(ini.path(), "[Options]\r\nA=1\r\nB=hand\r\n");
    EXPECT_EQ(ini.ReadString(L"Options", L"B", L""), L"hand");
    ASSERT_TRUE(ini.WriteString(L"Options", L"A", L"2"));
    EXPECT_EQ(test::ReadFileBytes(ini.path()), "[Options]\r\nA=2\r\nB=hand\r\n");
}

TEST(IniFile, AFileThatCannotBeReadIsNeverWrittenOver) {
    test::TempDir dir;
    const std::wstring path = dir.File(L"locked.ini");
    test::WriteFileBytes(path, "[Options]\r\nA=1\r\n");
    {
        UniqueHandle lock(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
        IniFile ini(path);
        EXPECT_FALSE(ini.WriteString(L"Options", L"B", L"2"));
    }
    EXPECT_EQ(test::ReadFileBytes(path), "[Options]\r\nA=1\r\n");
}

TEST(IniFile, ARepeatedSectionIsErasedWhole) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File(L"d.ini"), "[Alarm1]\r\nType=Once\r\n[Alarm2]\r\nType=Daily\r\n[ALARM1]\r\nType=Weekly\r\n");
    IniFile ini(dir.File(L"d.ini"));
    EXPECT_EQ(ini.ReadString(L"Alarm1", L"Type", L""), L"Once");
    ASSERT_TRUE(ini.EraseSection(L"alarm1"));
    EXPECT_FALSE(ini.SectionExists(L"Alarm1"));
    EXPECT_EQ(test::ReadFileBytes(ini.path()), "[Alarm2]\r\nType=Daily\r\n");
}
