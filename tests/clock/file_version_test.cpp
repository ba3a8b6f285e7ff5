#include <gtest/gtest.h>

#include "base/file_version.h"
#include "support/test_support.h"

using namespace vt;

TEST(FileVersion, ReadsTheProgramsVersionResource) {
    const std::wstring exe = test::DistDir() + L"Vantoric.exe";
    EXPECT_EQ(FileVersionShort(exe), L"1.0");
    EXPECT_EQ(FileVersionFull(exe), L"1.0.0.1");
}

TEST(FileVersion, FileWithoutVersionInformationGivesEmptyTexts) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File(L"plain.txt"), "no resources here");
    EXPECT_EQ(FileVersionShort(dir.File(L"plain.txt")), L"");
    EXPECT_EQ(FileVersionFull(dir.File(L"plain.txt")), L"");
    EXPECT_EQ(FileVersionFull(dir.File(L"missing.exe")), L"");
}

TEST(FileVersion, ProgramVersionComesFromTheRunningExecutable) {
    VersionShort = VersionFull = L"stale";
    ReadProgramVersion();   // the test program carries no version resource
    EXPECT_EQ(VersionShort, L"");
    EXPECT_EQ(VersionFull, L"");
}
