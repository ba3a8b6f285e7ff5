// Seeded, bounded mutation runs: damaged copies of a good file, each handed to the real loader under a
// deadline, with the process's GDI objects and private bytes compared before and after the run.
//
// Every run prints its format, case count and seed. VT_MUTATION_SEED replaces the seed of every run,
// VT_MUTATION_CASE runs that one case only (a failure names it), VT_MUTATION_SCALE multiplies the counts.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace vt::test {

class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : rng_(seed) {}

    int Below(int n);                       // 0 .. n-1 (0 for n <= 0)
    bool Chance(int percent) { return Below(100) < percent; }
    std::mt19937& Rng() { return rng_; }

    // One to four byte-level damages: flipped bits, "interesting" bytes and 16/32-bit numbers (0, -1,
    // 0x7FFFFFFF, 0x80000000, 0xFFFF...), cut ends, inserted, removed and repeated blocks, junk appended.
    // Numbers land on `hot` offsets (header fields) half of the time.
    std::string Mutate(std::string bytes, const std::vector<size_t>& hot = {});
    // Random bytes of length 0 .. maxLength.
    std::string Junk(size_t maxLength);
    // A number text that readers find hard: NaN, infinities, huge, negative, hexadecimal, empty, long.
    std::wstring AbsurdNumber();
    // Any of AbsurdNumber, a long run of one character, control characters, or a plain small number.
    std::wstring AbsurdValue();

private:
    std::mt19937 rng_;
};

// A 32-bit little-endian number written into bytes at `at` (nothing when it does not fit).
void Put32At(std::string& bytes, size_t at, std::uint32_t value);
void Put16At(std::string& bytes, size_t at, std::uint16_t value);

struct MutationRun {
    const char* format;       // printed, and named by failures
    std::uint32_t seed;
    int cases;
    DWORD caseDeadlineMs = 10000;   // one case longer than this is a hang: the process ends, naming it
    int warmUpCases = 20;           // caches the loaders fill once (fonts, codecs) before the counts
    std::int64_t heapSlack = 1024;  // bytes of the program's own heap the run may end above its warm-up
    // Private bytes the second half of the run may add, the libraries' included: Wine's PNG decoder keeps from
    // a few hundred bytes to a few KB of every file it fails on.
    SIZE_T memorySlack = 16u << 20;
};

// Runs `oneCase(mutator, index)` for every case, each with its own generator seeded from the run's seed
// and the index. A case that throws fails the test with its index. After the run the GDI objects equal
// those after the warm-up, the program's own heap ends within its slack of where the warm-up left it, and
// the second half of the cases added less than the memory slack to private bytes.
void RunMutations(const MutationRun& run, const std::function<void(Mutator&, int)>& oneCase);

// Bytes this program's C++ code holds from operator new right now (the test programs count them).
std::int64_t LiveHeapBytes();
// Blocks taken from operator new since the start: a steady state that allocates shows as a growing count.
std::int64_t HeapAllocations();
// Private bytes of this process (0 when the system does not say).
SIZE_T PrivateBytes();

}  // namespace vt::test

namespace vt::test {

// Line-level damage to an INI text: values swapped for absurd ones, lines and sections removed, repeated
// or cut, junk lines, a line of a megabyte now and then, thousands of empty sections now and then.
std::wstring MutateIniText(Mutator& m, std::wstring text);
// The text as the file holds it: UTF-16LE with a byte-order mark, the ANSI code page, or UTF-8 with a
// mark, chosen at random; a third of the time byte-level damage on top.
std::string EncodeIniBytes(Mutator& m, const std::wstring& text);

}  // namespace vt::test
