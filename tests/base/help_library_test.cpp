// The help viewer's library comes from the system folder, whatever lies elsewhere under its name.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>

#include "base/shell_launcher.h"
#include "support/test_support.h"

namespace vt {
namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

TEST(HelpLibrary, IsTheSystemFoldersCopyNotOneOfTheSameNameOnTheSearchPath) {
    // A library of another kind under the help library's name, where a search by bare name looks first.
    test::TempDir decoyDir;
    const std::wstring decoy = decoyDir.File(L"hhctrl.ocx");
    test::WriteFileBytes(decoy, test::ReadFileBytes(test::DistDir() + L"QuellixHook.dll"));
    ASSERT_NE(GetFileAttributesW(decoy.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(SetDllDirectoryW(decoyDir.path().c_str()));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(decoyDir.path().c_str());

    HMODULE help = HelpLibrary();

    SetCurrentDirectoryW(previous);
    SetDllDirectoryW(nullptr);
    ASSERT_NE(help, nullptr);
    wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(help, path, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(Lower(path), Lower(std::wstring(system) + L"\\hhctrl.ocx"));
    EXPECT_NE(GetProcAddress(help, "HtmlHelpW"), nullptr);
    EXPECT_EQ(GetModuleHandleW(decoy.c_str()), nullptr) << "the decoy was loaded";
    EXPECT_EQ(HelpLibrary(), help) << "loaded once and kept";
}

}  // namespace
}  // namespace vt
