// This test program drives the alarm handler and its windows: it must not be able to end the session,
// suspend the machine, make a sound or set the volume. The real devices stay out of what it links.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

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

TEST(AlarmUiImports, ReadsItsOwnImportTable) {
    bool listView = false;
    for (const auto& n : ImportedNames()) listView = listView || n == "CreateDialogParamW";
    EXPECT_TRUE(listView) << "the reader must see what the page and the window import";
}

TEST(AlarmUiImports, NoPowerSoundOrVolumeCall) {
    const char* forbidden[] = {"SetWaitableTimer", "SetSuspendState", "SetSystemPowerState", "ExitWindowsEx",
                               "InitiateSystemShutdown", "InitiateShutdown", "AdjustTokenPrivileges",
                               "mciSendString", "waveOutSetVolume", "PlaySound", "sndPlaySound"};
    for (const auto& n : ImportedNames())
        for (const char* f : forbidden) EXPECT_NE(n.rfind(f, 0), 0u) << n;
}

}  // namespace
