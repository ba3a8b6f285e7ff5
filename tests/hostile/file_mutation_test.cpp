// Damaged alarms.ini, Setting.ini, registry values and WM_COPYDATA records through the real readers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "alarms/alarm_list.h"
#include "base/registry.h"
#include "base/text.h"
#include "clock/clock_hook.h"
#include "clock/clock_paint.h"
#include "clock/options_file.h"
#include "hostile/sample_alarms.h"
#include "support/clock_skin_fixture.h"
#include "support/mutation.h"
#include "support/test_support.h"
#include "clock/clock_paint_fakes.h"
#include "weather/weather_store.h"

using namespace vt;
using namespace vt::test;

namespace {

std::wstring FileText(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    return Widen(bytes);
}

// A registry key of this process's own below the tests' folder, removed at the end.
struct OwnKey {
    std::wstring path = L"Software\\Dorminax\\VantoricTests\\Hostile" + std::to_wstring(GetCurrentProcessId());
    OwnKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
    ~OwnKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
};

// The options live in the test's own folder and registry key.
OptionsStore StoreIn(const TempDir& dir, const OwnKey& key) {
    OptionsStore store;
    store.settingsDir = dir.path();
    store.appDir = dir.path() + L"app";
    store.programKey = key.path;
    store.runKey = key.path + L"\\Run";
    return store;
}

}  // namespace

TEST(Mutation, AlarmFilesAreReadFiredAndWrittenWithoutThrowing) {
    TempDir dir;
    const std::wstring path = dir.File(L"alarms.ini");
    const TDateTime start = EncodeDateTime(2026, 3, 28, 22, 0, 0, 0);
    WriteSampleAlarms(path, start);
    const std::wstring good = FileText(path);
    ASSERT_FALSE(good.empty());
    FakeNow now;

    RunMutations({"alarms.ini", 0xA1A, 300}, [&](Mutator& m, int) {
        WriteFileBytes(path, EncodeIniBytes(m, MutateIniText(m, good)));
        now.Set(start);
        int fired = 0;
        // Damaged sections are reported; what is reported is another test's business.
        struct Reported final : IAlarmErrors {
            void AlarmError(const std::wstring&) override {}
        } reported;
        TAlarms alarms(path, now, [&](const TAlRecord&) { ++fired; }, reported);
        for (int step = 0; step < 8; ++step) {
            now.Set(now.local + (m.Chance(50) ? 1.0 / 86400 : m.Below(600) / 1440.0));
            alarms.Tick();
            const auto& schedule = alarms.AlarmSchedule();
            if (schedule.empty()) continue;
            const int id = schedule[static_cast<size_t>(m.Below(static_cast<int>(schedule.size())))].id;
            switch (m.Below(6)) {
            case 0: alarms.SetAlarmEnabled(id, m.Chance(50)); break;
            case 1: alarms.Snooze(id, m.Below(1000), m.Chance(30)); break;
            case 2: alarms.DeleteAlarm(id); alarms.Refresh(); break;
            case 3: alarms.AddAlarm(SampleAlarms(now.local)[static_cast<size_t>(m.Below(7))]); break;
            case 4:
                try {
                    TAlRecord a = alarms.ReadAlarm(id);
                    a.Message = m.AbsurdValue();
                    alarms.UpdateAlarm(a);
                } catch (const AlarmFileError&) {
                    // a damaged section: reported, never thrown further
                }
                break;
            default: alarms.RecalcAll(); alarms.Refresh(); break;
            }
        }
        // Whatever was written is a file the program reads again.
        TAlarms again(path, now, [](const TAlRecord&) {}, reported);
        for (const AlarmScheduleEntry& e : again.AlarmSchedule()) {
            EXPECT_TRUE(std::isfinite(e.DateTime));
            EXPECT_TRUE(std::isfinite(e.RDateTime));
        }
    });
}

TEST(Mutation, SettingsFilesLoadIntoRangesAndSaveToAFixedPoint) {
    TempDir dir;
    OwnKey key;
    const OptionsStore store = StoreIn(dir, key);
    MainOptions defaults;
    defaults.prefix = L"Tokyo";
    defaults.places = {L"Oslo, Norway"};
    ASSERT_TRUE(SaveOptions(store, defaults));
    const std::wstring good = FileText(store.SettingsFile());
    ASSERT_FALSE(good.empty());

    FakeTaskbar taskbar;
    FakeNow now;
    now.Set(EncodeDateTime(2026, 12, 9, 12, 30, 0, 0));
    DibCanvas canvas(640, 48);

    RunMutations({"Setting.ini", 0x5E7, 600}, [&](Mutator& m, int) {
        ClockPainter painter(taskbar, now);   // made anew, so that what it read is freed with the case
        painter.InitClockPaint(DistDir() + L"skins");
        WriteFileBytes(store.SettingsFile(), EncodeIniBytes(m, MutateIniText(m, good)));
        MainOptions loaded;
        LoadOptions(store, loaded);
        EXPECT_GE(loaded.itemZone, 0);
        EXPECT_TRUE(std::isfinite(loaded.nextSync) && std::isfinite(loaded.lastSync));
        EXPECT_FALSE(Trim(loaded.skinName).empty());
        // The painter reads the same file with its own defaults and paints with what it found.
        painter.LoadClockOptions(store.settingsDir);
        painter.UpdateClockDigits();
        painter.PaintClock(canvas.dc(), RECT{0, 0, 640, 48});
        // Saved once, the options read back as they were saved.
        if (SaveOptions(store, loaded)) {
            MainOptions reread;
            LoadOptions(store, reread);
            EXPECT_EQ(reread.click, loaded.click);
            EXPECT_EQ(reread.every, loaded.every);
            EXPECT_EQ(reread.activePage, loaded.activePage);
            EXPECT_EQ(reread.itemZone, loaded.itemZone);
            EXPECT_EQ(reread.skinName, loaded.skinName);
            EXPECT_EQ(reread.showSeconds, loaded.showSeconds);
            EXPECT_EQ(reread.color1, loaded.color1);
        }
    });
}

TEST(Mutation, RegistryValuesOfEveryTypeAndSizeAreReadSafely) {
    OwnKey key;
    TempDir dir;
    const OptionsStore store = StoreIn(dir, key);
    static const wchar_t* const kNames[] = {
        L"CurrentWeather", L"WeatherEvery", L"cbClick.ItemIndex", L"cbHoverMouse.ItemIndex", L"cbReplaceQuellix.Checked",
        L"edAddress.Text", L"edPort.Text", L"edProxyUser.Text", L"edProxyPassword.Text", L"cbBasicAuthentication.Checked",
        L"cbEnableProxy.Checked", L"AppDataDir", L"WeatherCheckDate"};
    static const DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY, REG_QWORD, REG_MULTI_SZ, REG_NONE, 0x1234};

    RunMutations({"registry values", 0x4E6, 600}, [&](Mutator& m, int) {
        RegKey k = RegKey::Create(HKEY_CURRENT_USER, key.path);
        ASSERT_TRUE(k);
        for (const wchar_t* name : kNames) {
            if (m.Chance(30)) {
                RegDeleteValueW(k.get(), name);
                continue;
            }
            std::string data = m.Chance(5) ? std::string(1 << 20, 'A') : m.Junk(24);
            if (m.Chance(30)) {   // a number that readers take as a date or an index
                const double d = std::wcstod(m.AbsurdNumber().c_str(), nullptr);
                data.assign(reinterpret_cast<const char*>(&d), sizeof d);
            }
            RegSetValueExW(k.get(), name, 0, kTypes[m.Below(std::size(kTypes))],
                           reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        }
        MainOptions o;
        LoadOptions(store, o);
        EXPECT_GE(o.click, 0);
        EXPECT_LE(o.click, 6);
        EXPECT_GE(o.weatherEvery, 0);
        EXPECT_LT(o.weatherEvery, o.WeatherEveryCount());
        const std::wstring appData = ReadAppDataDir(store);
        EXPECT_EQ(appData.find(L'\0'), std::wstring::npos);
        // A check date nobody could have written reads as "never checked", so the weather is fetched.
        const TDateTime checked = ReadWeatherCheckDate(RegistryPlace{HKEY_CURRENT_USER, key.path});
        EXPECT_TRUE(std::isfinite(checked));
        EXPECT_GE(checked, 0.0);
        EXPECT_LT(checked, 2958466.0);
    });
}

TEST(Mutation, CopyDataRecordsAreReadOnlyInsideTheirBytes) {
    ClockCopyData record{L"C:\\Program Files\\Vantoric\\skins", L"Gold", reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x10A4))};
    const std::optional<ClockCopyBytes> packed = PackClockCopyData(record);
    ASSERT_TRUE(packed);
    // The record is placed against a page nobody may read: reading one byte past it ends the test.
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    auto* block = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_TRUE(block);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));

    RunMutations({"WM_COPYDATA records", 0xC0D, 3000}, [&](Mutator& m, int) {
        std::string bytes(packed->begin(), packed->end());
        bytes = m.Chance(80) ? m.Mutate(bytes, {0, 258, 259, 260, 458, 459, 460}) : m.Junk(2000);
        if (bytes.size() > page) bytes.resize(page);
        unsigned char* data = block + page - bytes.size();
        std::copy(bytes.begin(), bytes.end(), data);
        const ULONG_PTR kind = m.Chance(90) ? kClockCopyDataKind : static_cast<ULONG_PTR>(m.Rng()());
        const std::optional<ClockCopyData> read =
            UnpackClockCopyData(kind, static_cast<DWORD>(bytes.size()), bytes.empty() ? nullptr : data);
        if (!read) return;
        EXPECT_EQ(bytes.size(), kClockCopyDataSize);
        EXPECT_LT(read->skinsPath.size(), kClockCopyPathSize);
        EXPECT_LT(read->skinName.size(), kClockCopySkinSize);
        EXPECT_EQ(read->skinsPath.find(L'\0'), std::wstring::npos);
        EXPECT_EQ(read->skinName.find(L'\0'), std::wstring::npos);
    });
    VirtualFree(block, 0, MEM_RELEASE);
}
