// What the program holds at rest, beside a trivial one-second clock program started the same way: for
// Vantoric.exe, Quellix.exe and the trivial program, private bytes, working set, GDI and USER objects,
// heap and the loaded modules with their sizes, once the clock shows and again after the main dialog, the
// calendar and the forecast were opened and closed once; also CPU at rest and start to the first painted
// clock. Run beside the program folder (VT_DIST) or give it:
//   bench_memory [program folder] [seconds of CPU at rest]
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "resources/resource.h"
#include "support/gdi_object_count.h"
#include "support/real_program.h"
#include "support/test_support.h"
#include "support/desktop.h"

using namespace vt;
using namespace vt::bench;
using namespace vt::test;

namespace {

constexpr UINT kCalendar = WM_USER + 111;   // wParam 1 closes, else shows

#ifdef _WIN64
constexpr size_t kPebProcessHeap = 0x30, kPebHeapCount = 0xE8, kPebHeaps = 0xF0;
#else
constexpr size_t kPebProcessHeap = 0x18, kPebHeapCount = 0x88, kPebHeaps = 0x90;
#endif

double Kb(SIZE_T bytes) { return double(bytes) / 1024.0; }

std::uint64_t Read64(const std::uint8_t* at, size_t bytes) {
    std::uint64_t v = 0;
    std::memcpy(&v, at, bytes);
    return v;
}

// GetGuiResources, or under Wine (a stub there) the windows the process owns.
DWORD UserObjects(HANDLE process, DWORD pid) {
    if (DWORD n = GetGuiResources(process, GR_USEROBJECTS)) return n;
    return WindowCountOf(pid);
}

struct Module {
    std::wstring name;
    DWORD size = 0;
};

struct Figures {
    SIZE_T privateBytes = 0, committedPrivate = 0, workingSet = 0, heap = 0, images = 0;
    DWORD gdi = 0, user = 0, heaps = 0;
    std::vector<Module> modules;
};

// The committed private memory of the process and, of it, what lies in the regions its heaps began with.
void WalkMemory(HANDLE process, Figures& f) {
    std::vector<const void*> heapBases;
    if (const std::uint8_t* peb = PebOf(process)) {
        f.heaps = ReadFrom<DWORD>(process, peb + kPebHeapCount);
        const auto* heaps = ReadFrom<const void* const*>(process, peb + kPebHeaps);
        for (DWORD i = 0; heaps && i < f.heaps && i < 64; ++i) heapBases.push_back(ReadFrom<const void*>(process, heaps + i));
        // Wine keeps no list in the PEB: its process heap at least.
        if (heapBases.empty()) heapBases.push_back(ReadFrom<const void*>(process, peb + kPebProcessHeap));
        f.heaps = DWORD(heapBases.size());
    }
    MEMORY_BASIC_INFORMATION m{};
    for (const std::uint8_t* at = nullptr; VirtualQueryEx(process, at, &m, sizeof m) == sizeof m;
         at = static_cast<const std::uint8_t*>(m.BaseAddress) + m.RegionSize) {
        if (m.State != MEM_COMMIT) continue;
        if (m.Type == MEM_PRIVATE) {
            f.committedPrivate += m.RegionSize;
            if (std::find(heapBases.begin(), heapBases.end(), m.AllocationBase) != heapBases.end()) f.heap += m.RegionSize;
        }
        if (m.Type == MEM_IMAGE) f.images += m.RegionSize;
    }
}

Figures Measure(DWORD pid) {
    Figures f;
    UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return f;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    if (K32GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        // Wine leaves PrivateUsage at 0; its pagefile figure counts the same private pages (resident anonymous).
        f.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        f.workingSet = counters.WorkingSetSize;
    }
    f.gdi = LiveGdiObjects(process.get());
    f.user = UserObjects(process.get(), pid);
    WalkMemory(process.get(), f);
    HMODULE modules[512];
    DWORD needed = 0;
    if (K32EnumProcessModulesEx(process.get(), modules, sizeof modules, &needed, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < std::min<DWORD>(needed / sizeof(HMODULE), 512); ++i) {
            Module m;
            wchar_t name[MAX_PATH] = L"";
            K32GetModuleBaseNameW(process.get(), modules[i], name, MAX_PATH);
            MODULEINFO info{};
            K32GetModuleInformation(process.get(), modules[i], &info, sizeof info);
            m.name = name;
            std::transform(m.name.begin(), m.name.end(), m.name.begin(), ::towlower);
            m.size = info.SizeOfImage;
            f.modules.push_back(m);
        }
    }
    return f;
}

// Kernel and user time of another process. Wine answers GetProcessTimes with zeros for any process but the
// caller's; the system's process list carries the times of each process's threads.
double CpuMs(DWORD pid) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    FILETIME c, e, k, u;
    auto ms = [](FILETIME t) { return double((std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0; };
    if (process && GetProcessTimes(process.get(), &c, &e, &k, &u) && ms(k) + ms(u) > 0) return ms(k) + ms(u);
    using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<std::uint8_t> buffer(1 << 20);
    ULONG got = 0;
    if (!query || query(5 /* SystemProcessInformation */, buffer.data(), ULONG(buffer.size()), &got) != 0) return 0;
    // 64-bit: the process entry is 0x100 bytes (times at 0x28 user, 0x30 kernel, id at 0x50), each thread's
    // 0x50 (kernel at 0, user at 8); 32-bit: 0xB8 and 0x40, id at 0x44.
#ifdef _WIN64
    constexpr size_t kEntry = 0x100, kThread = 0x50, kId = 0x50;
#else
    constexpr size_t kEntry = 0xB8, kThread = 0x40, kId = 0x44;
#endif
    for (size_t at = 0; at < got;) {
        const std::uint8_t* e = buffer.data() + at;
        if (Read64(e + kId, sizeof(void*)) == pid) {
            double total = double(Read64(e + 0x28, 8) + Read64(e + 0x30, 8)) / 10000.0;
            if (total > 0) return total;
            const ULONG threads = ULONG(Read64(e + 4, 4));
            for (ULONG i = 0; i < threads; ++i) {
                const std::uint8_t* t = e + kEntry + i * kThread;
                total += double(Read64(t, 8) + Read64(t + 8, 8)) / 10000.0;
            }
            return total;
        }
        const ULONG next = ULONG(Read64(e, 4));
        if (!next) break;
        at += next;
    }
    return 0;
}

struct Column {
    const wchar_t* name;
    DWORD pid;
};

void PrintTable(const char* title, const std::vector<Column>& columns, std::vector<Figures>& figures) {
    std::printf("--- %s\n%-34s", title, "");
    for (const Column& c : columns) std::printf(" %14ls", c.name);
    std::printf(" %14s\n", "V + Q");
    auto row = [&](const char* what, auto value) {
        std::printf("%-34s", what);
        for (const Figures& f : figures) std::printf(" %14.0f", double(value(f)));
        std::printf(" %14.0f\n", double(value(figures[0]) + value(figures[1])));
    };
    row("private bytes, KB", [](const Figures& f) { return Kb(f.privateBytes); });
    row("committed private memory, KB", [](const Figures& f) { return Kb(f.committedPrivate); });
    row("  of it in the heaps' first regions, KB", [](const Figures& f) { return Kb(f.heap); });
    row("working set, KB", [](const Figures& f) { return Kb(f.workingSet); });
    row("mapped images, KB", [](const Figures& f) { return Kb(f.images); });
    row("GDI objects", [](const Figures& f) { return f.gdi; });
    row("USER objects (windows under Wine)", [](const Figures& f) { return f.user; });
    row("heaps", [](const Figures& f) { return f.heaps; });
    row("modules", [](const Figures& f) { return f.modules.size(); });
    // Each module once, with the processes that hold it; the trivial program's set is the floor.
    std::map<std::wstring, std::pair<DWORD, std::string>> all;
    for (size_t i = 0; i < figures.size(); ++i)
        for (const Module& m : figures[i].modules) {
            auto& entry = all[m.name];
            entry.first = m.size;
            if (entry.second.empty()) entry.second = std::string(figures.size(), '.');
            entry.second[i] = "VQT"[i];
        }
    std::printf("modules beyond the trivial program's (V Vantoric, Q Quellix), image size in KB:\n");
    for (const auto& [name, entry] : all)
        if (entry.second.back() == '.') std::printf("  %-32ls %8.0f  %s\n", name.c_str(), Kb(entry.first), entry.second.c_str());
}

std::vector<Figures> MeasureAll(const std::vector<Column>& columns) {
    std::vector<Figures> figures;
    for (const Column& c : columns) figures.push_back(Measure(c.pid));
    return figures;
}

// What each library the program loads beyond the trivial program's costs alone: the trivial program
// started with it loaded, against the trivial program as it is.
void PrintModuleCosts(const std::vector<Figures>& figures, double trivialKb) {
    std::map<std::wstring, DWORD> beyond;
    for (size_t i = 0; i + 1 < figures.size(); ++i)
        for (const Module& m : figures[i].modules) beyond[m.name] = m.size;
    for (const Module& m : figures.back().modules) beyond.erase(m.name);
    std::printf("--- private bytes each library adds alone to the trivial program (it loads it first), KB\n");
    for (const auto& [name, size] : beyond) {
        if (name.size() > 4 && name.substr(name.size() - 4) == L".exe") continue;
        (void)size;
        Process p = Launch(TrivialExe(), name);
        if (!p.process || !WaitUntil([] { return ShownTrivial() != nullptr; }, 30000, 1)) continue;
        Sleep(1500);
        const Figures f = Measure(p.id);
        std::printf("  %-32ls %8.0f\n", name.c_str(), Kb(f.privateBytes) - trivialKb);
        CloseTrivial();
        if (WaitForSingleObject(p.process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(p.process.get(), 1);
    }
}

// Opens and closes the main dialog, the calendar and the forecast, each once; the dialog's first open
// (the message to the window shown) is timed.
bool OpenAndClose(HWND form, double& firstOpenMs) {
    const LARGE_INTEGER t0 = Now();
    PostMessageW(form, kShowMain, 0, 0);
    bool ok = WaitUntil([&] { return IsWindowVisible(form) != FALSE; }, 10000, 1);
    firstOpenMs = Ms(t0, Now());
    Sleep(500);
    PostMessageW(form, WM_COMMAND, IDM_HIDE, 0);
    ok = WaitUntil([&] { return !IsWindowVisible(form); }, 10000, 1) && ok;
    PostMessageW(form, kCalendar, 0, 0);
    ok = WaitUntil([] { return ShownWindow(L"TfrmCalendar2") != nullptr; }, 10000, 1) && ok;
    Sleep(500);
    PostMessageW(form, kCalendar, 1, 0);
    ok = WaitUntil([] { return !ShownWindow(L"TfrmCalendar2"); }, 10000, 1) && ok;
    PostMessageW(form, WM_COMMAND, IDM_FORECAST, 0);
    ok = WaitUntil([] { return ShownWindow(L"TfrmNimbrel") != nullptr; }, 10000, 1) && ok;
    Sleep(500);
    PostMessageW(FindWindowW(L"TfrmNimbrel", nullptr), WM_CLOSE, 0, 0);
    ok = WaitUntil([] { return !ShownWindow(L"TfrmNimbrel"); }, 10000, 1) && ok;
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const ProgramBench bench(argc, argv);
    const int restSeconds = bench.Number(2, 20);
    EndStrayPrograms();

    LARGE_INTEGER t0 = Now();
    Process trivial = Launch(TrivialExe());
    if (!WaitUntil([] { return ShownTrivial() != nullptr; }, 30000, 1)) return 1;
    const double trivialStart = Ms(t0, Now());
    t0 = Now();
    Process program = Launch(bench.dist() + L"Vantoric.exe");
    if (!WaitUntil([] { return PaintedClock() != nullptr; }, 30000, 1)) {
        TerminateProcess(program.process.get(), 1);
        TerminateProcess(trivial.process.get(), 1);
        return 1;
    }
    const double programStart = Ms(t0, Now());
    Sleep(3000);   // settled: the pages made, timers started, first ticks done
    const std::vector<Column> columns = {{L"Vantoric.exe", program.id},
                                         {L"Quellix.exe", ProcessIdOf(L"Quellix.exe")},
                                         {L"trivial", trivial.id}};
    std::vector<Figures> rest = MeasureAll(columns);

    std::vector<double> cpu0;
    for (const Column& c : columns) cpu0.push_back(CpuMs(c.pid));
    Sleep(DWORD(restSeconds) * 1000);
    std::vector<double> cpu;
    for (size_t i = 0; i < columns.size(); ++i) cpu.push_back(CpuMs(columns[i].pid) - cpu0[i]);

    HWND form = FindWindowW(L"TfrmClock", nullptr);
    double firstOpen = 0;
    const bool opened = OpenAndClose(form, firstOpen);
    Sleep(3000);
    std::vector<Figures> after = MeasureAll(columns);

    PrintTable("at rest after start", columns, rest);
    PrintTable("after the dialog, the calendar and the forecast were opened and closed once", columns, after);
    const double restV = Kb(rest[0].privateBytes), restQ = Kb(rest[1].privateBytes), restT = Kb(rest[2].privateBytes);
    const double afterVQ = Kb(after[0].privateBytes + after[1].privateBytes);
    std::printf("--- goals\n");
    std::printf("%-58s %10.0f KB (goal <= %.0f: twice the trivial's + 3 MB)\n", "private bytes V + Q at rest",
                restV + restQ, 2 * restT + 3072);
    std::printf("%-58s %10.0f KB (goal <= 2048)\n", "private bytes V + Q after opening and closing, beyond rest",
                afterVQ - restV - restQ);
    std::printf("%-58s %10.0f ms (trivial %.0f ms, beyond %.0f; goal <= 250)\n", "start to the first painted clock",
                programStart, trivialStart, programStart - trivialStart);
    std::printf("%-58s %10.0f ms\n", "first open of the dialog (message to the dialog shown)", firstOpen);
    const double cpuVQ = cpu[0] + cpu[1], floor = 2 * cpu[2];
    std::printf("%-58s %7.3f%% / %.3f%% of a core (trivial %.3f%%; %.2fx two trivial, goal <= 1.5x)\n",
                "CPU at rest, Vantoric / Quellix", 100 * cpu[0] / (restSeconds * 1000.0),
                100 * cpu[1] / (restSeconds * 1000.0), 100 * cpu[2] / (restSeconds * 1000.0),
                floor > 0 ? cpuVQ / floor : 0.0);
    if (!opened) std::printf("(the dialog, calendar or forecast did not open or close as asked)\n");

    PostMessageW(form, kQuitProgram, 0, 0);
    CloseTrivial();
    if (WaitForSingleObject(program.process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(program.process.get(), 1);
    if (WaitForSingleObject(trivial.process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(trivial.process.get(), 1);
    EndStrayProcesses(L"Quellix.exe");
    PrintModuleCosts(rest, Kb(rest.back().privateBytes));
    return opened ? 0 : 1;
}
