// A damaged section of alarms.ini costs no other alarm anything: after any damage to other sections,
// every untouched alarm is read, fires when it did before and is written back byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>

#include "alarms/alarm_list.h"
#include "base/text.h"
#include "clock/clock_paint_fakes.h"
#include "hostile/sample_alarms.h"
#include "support/mutation.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

constexpr int kAlarms = 7;   // SampleAlarms: ids 1 .. 7

std::wstring FileText(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    return Widen(bytes);
}

// The file's sections as written, header line and body with their line ends, by section name.
std::map<std::wstring, std::wstring> Sections(const std::wstring& text) {
    std::map<std::wstring, std::wstring> out;
    std::wstring name;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        end = end == std::wstring::npos ? text.size() : end + 1;
        const std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line[0] == L'[') name = line.substr(1, line.find(L']') - 1);
        out[name] += line;
        start = end;
    }
    return out;
}

struct Outcome {
    std::map<int, TAlRecord> read;             // what the model read of each alarm at the start
    std::multiset<std::pair<int, std::int64_t>> fired;   // id and the minute it fired
    std::map<std::wstring, std::wstring> sections;       // the file at the end
};

// Half a day of the 900 ms check, a minute a step; the file as it ends.
Outcome HalfADay(const std::wstring& path, TDateTime start) {
    Outcome o;
    FakeNow now;
    now.Set(start);
    struct IgnoredErrors final : IAlarmErrors {
        void AlarmError(const std::wstring&) override {}
    } errors;
    TAlarms alarms(
        path, now, [&](const TAlRecord& a) { o.fired.insert({a.id, DateTimeToMSecs(now.local) / 60000}); }, errors);
    for (int id = 1; id <= kAlarms; ++id) {
        try {
            o.read[id] = alarms.ReadAlarm(id);
        } catch (const AlarmFileError&) {
            // a damaged section: the model goes on without it
        }
    }
    for (int minute = 0; minute < 12 * 60; ++minute) {
        now.Set(start + minute / 1440.0 + 1.0 / 86400);
        alarms.Tick();
    }
    o.sections = Sections(FileText(path));
    return o;
}

// Lines of a section's body damaged: absurd values, lines lost, junk and long lines, keys repeated.
// No line starts a section, so the damage stays inside this one.
std::wstring DamageBody(Mutator& m, const std::wstring& section) {
    const size_t headerEnd = section.find(L'\n') + 1;
    std::wstring body = MutateIniText(m, section.substr(headerEnd));
    std::wstring out = section.substr(0, headerEnd);
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find(L'\n', start);
        end = end == std::wstring::npos ? body.size() : end + 1;
        std::wstring line = body.substr(start, end - start);
        const size_t first = line.find_first_not_of(L" \t");
        if (first != std::wstring::npos && line[first] == L'[') line[first] = L'(';
        for (wchar_t& c : line)
            if (c == L'\r' || c == L'\n') c = c == line.back() ? c : L' ';
        out += line;
        start = end;
    }
    if (out.back() != L'\n') out += L"\r\n";
    return out;
}

}  // namespace

TEST(NothingLost, DamageToOtherSectionsLeavesEveryUntouchedAlarmWhole) {
    TempDir dir;
    const std::wstring path = dir.File(L"alarms.ini");
    const TDateTime start = EncodeDateTime(2026, 10, 24, 21, 0, 0, 0);   // the night the clocks go back
    WriteSampleAlarms(path, start);
    {
        std::wstring text = FileText(path) + L"[Notes]\r\nOwner=Kim\r\n";
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
        WriteFileBytes(path, bytes);
    }
    const std::wstring goodText = FileText(path);
    const Outcome baseline = HalfADay(path, start);
    ASSERT_EQ(baseline.read.size(), static_cast<size_t>(kAlarms));
    ASSERT_GE(baseline.fired.size(), static_cast<size_t>(kAlarms)) << "every sample alarm fires in the half day";
    std::vector<std::wstring> names;
    for (const auto& [name, text] : Sections(goodText))
        if (!name.empty()) names.push_back(name);

    RunMutations({"alarms.ini, other sections damaged", 0x10F7, 150}, [&](Mutator& m, int) {
        // One or two sections damaged, in place.
        std::set<std::wstring> damaged{names[static_cast<size_t>(m.Below(static_cast<int>(names.size())))]};
        if (m.Chance(40)) damaged.insert(names[static_cast<size_t>(m.Below(static_cast<int>(names.size())))]);
        std::wstring text;
        size_t at = 0;
        std::wstring current;
        std::wstring sectionText;
        auto flush = [&] {
            text += damaged.count(current) ? DamageBody(m, sectionText) : sectionText;
            sectionText.clear();
        };
        while (at < goodText.size()) {
            size_t end = goodText.find(L'\n', at);
            end = end == std::wstring::npos ? goodText.size() : end + 1;
            const std::wstring line = goodText.substr(at, end - at);
            if (!line.empty() && line[0] == L'[') {
                flush();
                current = line.substr(1, line.find(L']') - 1);
            }
            sectionText += line;
            at = end;
        }
        flush();
        std::string bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
        WriteFileBytes(path, bytes);

        const Outcome run = HalfADay(path, start);
        for (int id = 1; id <= kAlarms; ++id) {
            const std::wstring name = L"Alarm" + std::to_wstring(id);
            if (damaged.count(name)) continue;
            ASSERT_TRUE(run.read.count(id)) << "untouched " << Narrow(name) << " was not read";
            EXPECT_EQ(run.read.at(id), baseline.read.at(id)) << Narrow(name);
            std::multiset<std::pair<int, std::int64_t>> mine, before;
            for (const auto& f : run.fired)
                if (f.first == id) mine.insert(f);
            for (const auto& f : baseline.fired)
                if (f.first == id) before.insert(f);
            EXPECT_EQ(mine, before) << Narrow(name) << " fired otherwise";
            ASSERT_TRUE(run.sections.count(name)) << Narrow(name) << " is gone from the file";
            EXPECT_EQ(run.sections.at(name), baseline.sections.at(name)) << Narrow(name) << " was written otherwise";
        }
    });
}
