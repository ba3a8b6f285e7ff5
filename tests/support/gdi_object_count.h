// The GDI objects a process holds. GetGuiResources answers on Windows; Wine leaves it a stub that
// answers 0, so there the live entries of the process's GDI handle table are counted instead.
#pragma once
#include <windows.h>

#include <cstdint>

namespace vt::test {

DWORD GuiResourcesGdiObjects();   // GetGuiResources as is (0 under Wine)
DWORD LiveGdiObjects();           // GetGuiResources, or the handle table count under Wine
// The same for another process, opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
DWORD LiveGdiObjects(HANDLE process);

// Whether the count follows brushes made and deleted right now. A leak check whose count cannot see
// objects proves nothing: each one asserts this first.
bool GdiCountIsLive();

// The process environment block of a process: an address in that process, nullptr when it cannot be
// asked.
const std::uint8_t* PebOf(HANDLE process);

// A value in a process's memory; T{} when it cannot be read.
template <class T>
T ReadFrom(HANDLE process, const void* at) {
    T value{};
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, at, &value, sizeof value, &got) || got != sizeof value) return T{};
    return value;
}

}  // namespace vt::test
