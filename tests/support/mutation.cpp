#include "support/mutation.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

#include "support/gdi_object_count.h"

// Every block the program's C++ code takes from operator new is counted, so a run can tell its own
// leaks from memory the system's libraries keep (Wine's PNG decoder keeps some on every damaged file).
namespace {
std::atomic<std::int64_t> g_liveHeapBytes{0};
std::atomic<std::int64_t> g_heapAllocations{0};
constexpr size_t kHeapHeader = 16;   // keeps the blocks 16-byte aligned

void* CountedAlloc(size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeapHeader));
    if (!block) return nullptr;
    *reinterpret_cast<size_t*>(block) = size;
    g_liveHeapBytes += static_cast<std::int64_t>(size);
    ++g_heapAllocations;
    return block + kHeapHeader;
}

void CountedFree(void* p) noexcept {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHeapHeader;
    g_liveHeapBytes -= static_cast<std::int64_t>(*reinterpret_cast<size_t*>(block));
    std::free(block);
}
}  // namespace

void* operator new(size_t size) {
    if (void* p = CountedAlloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return ::operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size ? size : 1); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace vt::test {

std::int64_t LiveHeapBytes() { return g_liveHeapBytes.load(); }
std::int64_t HeapAllocations() { return g_heapAllocations.load(); }

namespace {

constexpr std::uint32_t kInteresting32[] = {0,          1,          0x7F,       0x80,       0xFF,       0x100,
                                            0x7FFF,     0x8000,     0xFFFF,     0x10000,    0x7FFFFFFF, 0x80000000,
                                            0xFFFFFFFF, 0xFFFFFFFE, 0x40000000, 0x00100000, 4097,       16};
constexpr std::uint8_t kInteresting8[] = {0, 1, 0x7F, 0x80, 0xFF, 0x20, '\n', '\r', '[', ']', '=', ';', '<', '>', '&', '"'};

std::uint32_t EnvNumber(const char* name, std::uint32_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 0));
}

// Ends the process when a case runs past its deadline: a hang must fail the run, naming the case, not
// stall it until the suite's own time-out.
class Watchdog {
public:
    Watchdog(const MutationRun& run) : run_(run), thread_([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> l(lock_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    void Start(int index) {
        std::lock_guard<std::mutex> l(lock_);
        index_ = index;
        ++generation_;
        changed_.notify_all();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> l(lock_);
        while (!stop_) {
            const std::uint64_t generation = generation_;
            const int index = index_;
            if (changed_.wait_for(l, std::chrono::milliseconds(run_.caseDeadlineMs),
                                  [&] { return stop_ || generation_ != generation; }))
                continue;
            std::fprintf(stderr, "[mutation] %s: case %d (seed %u) ran past %lu ms: a hang\n", run_.format, index,
                         run_.seed, static_cast<unsigned long>(run_.caseDeadlineMs));
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

    const MutationRun& run_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::uint64_t generation_ = 0;
    int index_ = -1;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

int Mutator::Below(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(rng_() % static_cast<std::uint32_t>(n));
}

void Put32At(std::string& bytes, size_t at, std::uint32_t value) {
    if (at + 4 > bytes.size()) return;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Put16At(std::string& bytes, size_t at, std::uint16_t value) {
    if (at + 2 > bytes.size()) return;
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

std::string Mutator::Mutate(std::string bytes, const std::vector<size_t>& hot) {
    const int steps = 1 + Below(4);
    for (int s = 0; s < steps; ++s) {
        const size_t size = bytes.size();
        const size_t at = size ? static_cast<size_t>(Below(static_cast<int>(size))) : 0;
        const size_t numberAt = !hot.empty() && Chance(50) ? hot[static_cast<size_t>(Below(static_cast<int>(hot.size())))] : at;
        switch (Below(9)) {
        case 0:
            if (size) bytes[at] = static_cast<char>(bytes[at] ^ (1 << Below(8)));
            break;
        case 1:
            if (size) bytes[at] = static_cast<char>(kInteresting8[Below(static_cast<int>(std::size(kInteresting8)))]);
            break;
        case 2: Put32At(bytes, numberAt, kInteresting32[Below(static_cast<int>(std::size(kInteresting32)))]); break;
        case 3: Put16At(bytes, numberAt, static_cast<std::uint16_t>(kInteresting32[Below(static_cast<int>(std::size(kInteresting32)))])); break;
        case 4: bytes.resize(static_cast<size_t>(Below(static_cast<int>(size) + 1))); break;   // cut short
        case 5: bytes.insert(at, Junk(64)); break;
        case 6: bytes.erase(at, static_cast<size_t>(Below(256))); break;
        case 7: {   // a block repeated, up to 4 KB
            const size_t length = std::min<size_t>(size - at, static_cast<size_t>(Below(4096)));
            const std::string block = bytes.substr(at, length);
            bytes.insert(std::min(bytes.size(), static_cast<size_t>(Below(static_cast<int>(size) + 1))), block);
            break;
        }
        default: bytes += Junk(1024); break;
        }
    }
    return bytes;
}

std::string Mutator::Junk(size_t maxLength) {
    std::string out(static_cast<size_t>(Below(static_cast<int>(maxLength) + 1)), '\0');
    for (char& c : out) c = static_cast<char>(rng_() & 0xFF);
    return out;
}

std::wstring Mutator::AbsurdNumber() {
    static const wchar_t* const kTexts[] = {
        L"nan", L"NaN", L"inf", L"-inf", L"INF", L"1e308", L"-1e308", L"1e309", L"-0", L"0", L"-1", L"-2147483648",
        L"2147483647", L"2147483648", L"4294967296", L"99999999999999999999999", L"0x7FFFFFFF", L"$FF", L"1,5",
        L"1.5", L"", L" ", L"+", L"-", L"1e", L"12abc", L"\u0661\u0662", L"9223372036854775808", L"45000.999999",
        L"-45000", L"2958466", L"-693594", L"1.7976931348623157e308", L"4.9e-324"};
    return kTexts[Below(static_cast<int>(std::size(kTexts)))];
}

std::wstring Mutator::AbsurdValue() {
    switch (Below(5)) {
    case 0: return std::wstring(static_cast<size_t>(1 + Below(70000)), static_cast<wchar_t>(L'a' + Below(26)));
    case 1: {
        std::wstring w;
        for (int i = Below(40); i > 0; --i) w += static_cast<wchar_t>(1 + Below(0xFFFD));
        return w;
    }
    case 2: return std::to_wstring(Below(200) - 100);
    default: return AbsurdNumber();
    }
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters))
        return 0;
    // Wine leaves PrivateUsage at 0; its pagefile figure counts the same committed private pages.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

void RunMutations(const MutationRun& given, const std::function<void(Mutator&, int)>& oneCase) {
    MutationRun run = given;
    run.seed = EnvNumber("VT_MUTATION_SEED", run.seed);
    run.cases = static_cast<int>(run.cases * static_cast<double>(EnvNumber("VT_MUTATION_SCALE", 1)));
    const int only = static_cast<int>(EnvNumber("VT_MUTATION_CASE", 0xFFFFFFFFu));
    std::printf("[mutation] %s: %d cases, seed %u\n", run.format, run.cases, run.seed);
    std::fflush(stdout);
    ASSERT_TRUE(GdiCountIsLive()) << "the GDI object count cannot see objects here";

    Watchdog watchdog(run);
    DWORD gdiAfterWarmUp = 0;
    SIZE_T bytesAfterWarmUp = 0;
    SIZE_T bytesAtHalf = 0;
    std::int64_t heapAfterWarmUp = 0;
    int failures = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < run.cases; ++i) {
        if (only >= 0 && i != only) continue;
        if (i == run.warmUpCases || (only >= 0 && i == only)) {
            gdiAfterWarmUp = LiveGdiObjects();
            bytesAfterWarmUp = PrivateBytes();
            heapAfterWarmUp = LiveHeapBytes();
        }
        if (i == (run.warmUpCases + run.cases) / 2) bytesAtHalf = PrivateBytes();
        watchdog.Start(i);
        // Each case from its own generator: any one case replays alone with VT_MUTATION_CASE.
        Mutator mutator(run.seed * 2654435761u + static_cast<std::uint32_t>(i));
        try {
            oneCase(mutator, i);
        } catch (const std::exception& e) {
            ADD_FAILURE() << run.format << " case " << i << " (seed " << run.seed << ") threw: " << e.what();
        } catch (...) {
            ADD_FAILURE() << run.format << " case " << i << " (seed " << run.seed << ") threw";
        }
        if (testing::Test::HasFailure() && ++failures == 1)
            std::printf("[mutation] %s: first failure at case %d, seed %u\n", run.format, i, run.seed);
        if (failures >= 5) break;   // enough to go on
    }
    watchdog.Start(-1);
    if (run.cases <= run.warmUpCases && only < 0) return;
    const DWORD gdiAtEnd = LiveGdiObjects();
    const SIZE_T bytesAtEnd = PrivateBytes();
    const std::int64_t heapAtEnd = LiveHeapBytes();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::printf("[mutation] %s: done in %.0f ms; GDI objects %lu -> %lu, heap %lld -> %lld bytes, "
                "private bytes %zu KB -> %zu KB -> %zu KB\n",
                run.format, ms, static_cast<unsigned long>(gdiAfterWarmUp), static_cast<unsigned long>(gdiAtEnd),
                static_cast<long long>(heapAfterWarmUp), static_cast<long long>(heapAtEnd),
                static_cast<size_t>(bytesAfterWarmUp / 1024), static_cast<size_t>(bytesAtHalf / 1024),
                static_cast<size_t>(bytesAtEnd / 1024));
    EXPECT_EQ(gdiAtEnd, gdiAfterWarmUp) << run.format << ": GDI objects leaked (seed " << run.seed << ")";
    EXPECT_LE(heapAtEnd - heapAfterWarmUp, run.heapSlack) << run.format << ": the program's heap grew (seed " << run.seed << ")";
    // The heap and the system's caches settle in the first half; a leak keeps growing through the second.
    if (bytesAtHalf && bytesAtEnd > bytesAtHalf) {
        EXPECT_LT(bytesAtEnd - bytesAtHalf, run.memorySlack) << run.format << ": memory grew (seed " << run.seed << ")";
    }
}

}  // namespace vt::test

namespace vt::test {

namespace {

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::wstring MutateIniText(Mutator& m, std::wstring text) {
    std::vector<std::wstring> lines = SplitLines(text);
    const int steps = 1 + m.Below(6);
    for (int s = 0; s < steps; ++s) {
        const size_t at = static_cast<size_t>(m.Below(static_cast<int>(lines.size())));
        switch (m.Below(12)) {
        case 0: case 1: case 2: case 3: {   // an absurd value for a key
            const size_t eq = lines[at].find(L'=');
            if (eq != std::wstring::npos) lines[at] = lines[at].substr(0, eq + 1) + m.AbsurdValue();
            break;
        }
        case 4: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at)); break;
        case 5: lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), lines[at]); break;
        case 6: {   // a section (or any run of lines) repeated further down
            const size_t length = static_cast<size_t>(1 + m.Below(20));
            std::vector<std::wstring> block(lines.begin() + static_cast<std::ptrdiff_t>(at),
                                            lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), at + length)));
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(m.Below(static_cast<int>(lines.size()) + 1)), block.begin(), block.end());
            break;
        }
        case 7: {   // junk characters, control characters and lone surrogates among them
            std::wstring junk;
            for (int i = m.Below(80); i > 0; --i) junk += static_cast<wchar_t>(1 + m.Below(0xFFFE));
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), junk);
            break;
        }
        case 8:
            if (m.Chance(10)) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::wstring(1 << 20, L'x'));
            break;
        case 9:
            if (m.Chance(10))
                for (int i = 0; i < 3000; ++i) lines.push_back(L"[S" + std::to_wstring(i) + L"]");
            break;
        case 10: {   // the name of a key or section bent: blanks, case, brackets lost
            std::wstring& l = lines[at];
            if (!l.empty()) l.erase(static_cast<size_t>(m.Below(static_cast<int>(l.size()))), 1);
            l.insert(0, L"  ");
            break;
        }
        default: lines.resize(std::max<size_t>(1, at)); break;   // cut short, as by a crash
        }
        if (lines.empty()) lines.emplace_back();
    }
    std::wstring out;
    for (size_t i = 0; i < lines.size(); ++i) out += lines[i] + (i + 1 < lines.size() ? L"\r\n" : L"");
    return out;
}

std::string EncodeIniBytes(Mutator& m, const std::wstring& text) {
    std::string bytes;
    switch (m.Below(3)) {
    case 0:
        bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
        break;
    case 1: {
        const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        bytes.resize(static_cast<size_t>(std::max(n, 0)));
        if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
        break;
    }
    default: {
        const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        bytes.assign("\xEF\xBB\xBF");
        std::string body(static_cast<size_t>(std::max(n, 0)), '\0');
        if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), body.data(), n, nullptr, nullptr);
        bytes += body;
        break;
    }
    }
    if (m.Chance(33)) bytes = m.Mutate(std::move(bytes), {0, 1, 2});
    return bytes;
}

}  // namespace vt::test
