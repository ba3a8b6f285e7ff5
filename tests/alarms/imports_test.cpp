// The test program must not be able to wake, suspend or shut down the machine: the real wake timer and
// the power calls stay out of everything the tests link.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Names of the functions this running program imports by name, read from its own import directory.
std::vector<std::string> ImportedNames() {
    auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> names;
    if (!dir.VirtualAddress) return names;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        DWORD table = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        for (auto* t = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + table); t->u1.AddressOfData; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData);
            names.emplace_back(reinterpret_cast<const char*>(byName->Name));
        }
    }
    return names;
}

TEST(TestProgramImports, ReadsItsOwnImportTable) {
    auto names = ImportedNames();
    bool profile = false;
    for (const auto& n : names) profile = profile || n == "GetPrivateProfileStringW";
    EXPECT_TRUE(profile) << "the reader must see what the alarm file code imports";
}

TEST(TestProgramImports, NoWakeTimerOrPowerCall) {
    const char* forbidden[] = {"SetWaitableTimer", "SetSuspendState", "SetSystemPowerState", "ExitWindowsEx",
                               "InitiateSystemShutdown", "InitiateShutdown"};
    for (const auto& n : ImportedNames())
        for (const char* f : forbidden) EXPECT_NE(n.rfind(f, 0), 0u) << n;
}

}  // namespace
