#include "support/gdi_object_count.h"

#include <vector>

#include "base/handles.h"

namespace vt::test {

namespace {

bool RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine keeps the table the PEB points to (GdiSharedHandleTable, PEB offset 0xF8, or 0x94 in a 32-bit
// process): 0x10000 entries of 24 bytes in both (Wine 8 keeps the object and user pointers 64 bits wide
// for 32-bit processes too) whose type byte (offset 14) is 0 for a free entry.
DWORD CountWineHandleTable(HANDLE process) {
#ifdef _WIN64
    const size_t tableOffset = 0xF8;
#else
    const size_t tableOffset = 0x94;
#endif
    const std::uint8_t* peb = PebOf(process);
    if (!peb) return 0;
    const auto* table = ReadFrom<const std::uint8_t*>(process, peb + tableOffset);
    if (!table) return 0;
    constexpr size_t kEntry = 24;
    std::vector<std::uint8_t> entries(0x10000 * kEntry);
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &got)) return 0;
    DWORD n = 0;
    for (size_t i = 0; i + kEntry <= got; i += kEntry)
        if (entries[i + 14] != 0) ++n;
    return n;
}

}  // namespace

const std::uint8_t* PebOf(HANDLE process) {
    using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    struct BasicInformation {
        LONG_PTR exitStatus;
        const std::uint8_t* peb;
        ULONG_PTR affinity, basePriority, processId, parentProcessId;
    } info{};
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query || query(process, 0, &info, sizeof info, nullptr) != 0) return nullptr;
    return info.peb;
}

DWORD GuiResourcesGdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

DWORD LiveGdiObjects() { return LiveGdiObjects(GetCurrentProcess()); }

DWORD LiveGdiObjects(HANDLE process) {
    if (DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return n;
    return RunsUnderWine() ? CountWineHandleTable(process) : 0;
}

bool GdiCountIsLive() {
    constexpr DWORD kMade = 16;
    const DWORD before = LiveGdiObjects();
    std::vector<UniqueBrush> made;
    for (DWORD i = 0; i < kMade; ++i) made.emplace_back(CreateSolidBrush(RGB(i, 2, 3)));
    const DWORD during = LiveGdiObjects();
    made.clear();
    return before > 0 && during == before + kMade && LiveGdiObjects() == before;
}

}  // namespace vt::test
