// The program file itself carries the three entry points under their plain names.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <set>
#include <string>

#include "support/test_support.h"

namespace vt {
namespace {

// The names in a PE file's export directory, read from the file's bytes; empty when there is none.
std::set<std::string> ExportNames(const std::string& file) {
    std::set<std::string> names;
    auto at = [&](std::size_t offset, std::size_t size) -> const char* {
        return offset + size <= file.size() ? file.data() + offset : nullptr;
    };
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return names;
    const std::size_t nt = static_cast<std::size_t>(dos->e_lfanew);
    auto header = reinterpret_cast<const IMAGE_FILE_HEADER*>(at(nt + 4, sizeof(IMAGE_FILE_HEADER)));
    if (!header) return names;
    const std::size_t optional = nt + 4 + sizeof(IMAGE_FILE_HEADER);
    const char* magic = at(optional, 2);
    if (!magic) return names;
    IMAGE_DATA_DIRECTORY exports{};
    WORD kind = 0;
    std::memcpy(&kind, magic, 2);
    if (kind == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        auto o = reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(at(optional, sizeof(IMAGE_OPTIONAL_HEADER64)));
        if (!o) return names;
        exports = o->DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    } else {
        auto o = reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(at(optional, sizeof(IMAGE_OPTIONAL_HEADER32)));
        if (!o) return names;
        exports = o->DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    }
    auto sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(optional + header->SizeOfOptionalHeader, header->NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
    if (!sections || !exports.VirtualAddress) return names;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < header->NumberOfSections; ++i) {
            const auto& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return file.size();
    };
    auto dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(fileOffset(exports.VirtualAddress), sizeof(IMAGE_EXPORT_DIRECTORY)));
    if (!dir) return names;
    auto table = reinterpret_cast<const DWORD*>(at(fileOffset(dir->AddressOfNames), dir->NumberOfNames * sizeof(DWORD)));
    if (!table) return names;
    for (DWORD i = 0; i < dir->NumberOfNames; ++i) {
        const std::size_t offset = fileOffset(table[i]);
        if (offset >= file.size()) continue;
        const char* name = file.data() + offset;
        names.insert(std::string(name, strnlen(name, file.size() - offset)));
    }
    return names;
}

TEST(ProgramExports, TheProgramExportsTheTaskbarHookEntryPoints) {
    const std::string image = test::ReadFileBytes(test::DistDir() + L"Vantoric.exe");
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(ExportNames(image), (std::set<std::string>{"KillHooks", "RepainClock", "SetVantoric10"}));
}

}  // namespace
}  // namespace vt
