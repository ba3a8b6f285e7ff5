// The atomic-clock page's behaviour with fake controls, a fake network and a fake time service.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "timeservice/atomic_sync.h"
#include "clock/options_file.h"

namespace {

using namespace vt;

bool WaitUntilTrue(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) Sleep(25);
    return done();
}

class FakeNow final : public INow {
public:
    TDateTime Now() const override { return now; }
    TDateTime UtcNow() const override { return now; }
    std::uint64_t TickCount64() const override { return 0; }
    TDateTime now = EncodeDateTime(2026, 3, 1, 12, 0, 0);
};

class FakeView final : public IAtomicClockView {
public:
    void SetLocalTimeText(const std::wstring& t) override { localTime = t; }
    void SetServerTimeText(const std::wstring& t) override { serverTime = t; }
    void SetDiffText(const std::wstring& t) override { diff = t; }
    void SetLastSyncText(const std::wstring& t) override { lastSync = t; }
    void EnableGet(bool e) override { getEnabled = e; }
    void EnableUpdate(bool e) override { updateEnabled = e; }
    std::wstring ServerText() override { return serverText; }
    std::vector<std::wstring> ServerItems() override { return items; }
    void AddServerItem(const std::wstring& s) override { items.push_back(s); }
    int SelectedServerIndex() override { return selected; }
    void DeleteServerItem(int i) override { items.erase(items.begin() + i); }
    int EveryIndex() override { return every; }

    std::wstring localTime, serverTime, diff, lastSync;
    bool getEnabled = true, updateEnabled = true;
    std::wstring serverText = L"pool.ntp.org";
    std::vector<std::wstring> items{L"pool.ntp.org", L"time.nist.gov"};
    int selected = -1;
    int every = 0;
};

// Tasks posted by workers wait here until the test, playing the main thread, runs them.
class FakeMainThread final : public IMainThread {
public:
    void Post(std::function<void()> task) override {
        std::lock_guard lock(m_);
        tasks_.push_back(std::move(task));
        cv_.notify_all();
    }
    bool RunNext() {
        std::function<void()> task;
        {
            std::unique_lock lock(m_);
            if (!cv_.wait_for(lock, std::chrono::seconds(5), [&] { return !tasks_.empty(); })) return false;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        return true;
    }
    // Runs what is queued now, without waiting for more.
    void RunPending() {
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(m_);
                if (tasks_.empty()) return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }
private:
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

class FakeQuery final : public ITimeQuery {
public:
    std::optional<TDateTime> ServerOffset(const std::wstring& host) override {
        lastHost = host;
        if (throws) throw std::runtime_error("socket");
        return offset;
    }
    std::optional<TDateTime> offset;
    bool throws = false;
    std::wstring lastHost;
};

class FakeAdjuster final : public ILocalClockAdjuster {
public:
    bool Adjust(const std::wstring& host) override {
        ++calls;
        lastHost = host;
        return result;
    }
    bool result = true;
    int calls = 0;
    std::wstring lastHost;
};

class FakeTimeService final : public IMyPrivilegedObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE SyncTime(BSTR aHost) override {
        if (wait) std::lock_guard<std::mutex> passed(*wait);
        hosts.emplace_back(aHost, SysStringLen(aHost));
        return result;
    }
    std::mutex* wait = nullptr;
    std::atomic<ULONG> refs{0};
    HRESULT result = S_OK;
    std::vector<std::wstring> hosts;
};

class FakeFactory final : public ITimeServiceFactory {
public:
    ComPtr<IMyPrivilegedObject> Create() override {
        ++creations;
        if (fails) throw HResultError(HRESULT_FROM_WIN32(ERROR_CANCELLED));
        service.AddRef();
        ComPtr<IMyPrivilegedObject> p;
        *p.put() = &service;
        return p;
    }
    FakeTimeService service;
    int creations = 0;
    bool fails = false;
};

// The settings file's side of the synchronisation: records the times, and can refuse to save them.
struct FakeSyncTimes final : ISyncTimesStore {
    bool RecordSuccessfulSync(TDateTime when) override {
        recorded.push_back(when);
        return saves;
    }
    bool WriteNextSync(TDateTime next) override {
        written.push_back(next);
        return saves;
    }
    void SaveFailed() override { ++failures; }
    std::vector<TDateTime> recorded, written;
    bool saves = true;
    int failures = 0;
};

class AtomicClockPage : public ::testing::Test {
protected:
    AtomicClockDeps Deps(bool vista = true) {
        AtomicClockDeps d;
        d.now = &now;
        d.mainThread = &mainThread;
        d.query = Borrowed<ITimeQuery>(&query);
        d.localAdjuster = Borrowed<ILocalClockAdjuster>(&adjuster);
        d.timeServiceFactory = Borrowed<ITimeServiceFactory>(&factory);
        d.vistaOrLater = vista;
        d.nextSync = nextSync;
        return d;
    }
    FakeNow now;
    FakeView view;
    FakeMainThread mainThread;
    FakeQuery query;
    FakeAdjuster adjuster;
    FakeFactory factory;
    TDateTime nextSync = 0;
    FakeSyncTimes times;
    std::vector<TDateTime>& recorded = times.recorded;
    std::vector<TDateTime>& written = times.written;
};

TEST(SyncSchedule, NeverNeverSynchronises) {
    for (TDateTime next : {0.0, 1.0, 46000.0, 1e9})
        EXPECT_FALSE(DecideSync(0, 46082.5, next).sync) << next;
}

TEST(SyncSchedule, FirstTickAfterNextSyncMovesItOneIntervalPastTheTick) {
    const TDateTime next = EncodeDateTime(2026, 3, 1, 10, 0, 0);
    const TDateTime tick = EncodeDateTime(2026, 3, 1, 15, 30, 0);   // the machine slept past it
    const TDateTime days[] = {0, 1.0 / 24, 0.125, 0.5, 1, 3, 7};
    for (int index = 1; index <= 6; ++index) {
        SyncDecision d = DecideSync(index, tick, next);
        EXPECT_TRUE(d.sync) << index;
        EXPECT_DOUBLE_EQ(d.nextSync, tick + days[index]) << index;
    }
}

TEST(SyncSchedule, DueOnlyStrictlyAfterNextSync) {
    const TDateTime next = EncodeDateTime(2026, 3, 1, 10, 0, 0);
    EXPECT_FALSE(DecideSync(1, next, next).sync);
    EXPECT_FALSE(DecideSync(1, next - kOneSecond, next).sync);
    EXPECT_TRUE(DecideSync(1, next + kOneSecond, next).sync);
    EXPECT_TRUE(DecideSync(4, 46000, 0).sync);   // never synchronised: the first tick does it
    EXPECT_FALSE(DecideSync(7, 46000, 0).sync);  // an index outside the list
}

TEST(AtomDiffText, SignAndMagnitude) {
    EXPECT_EQ(FormatAtomDiff(0), L"+ 00:00:00.000");
    EXPECT_EQ(FormatAtomDiff(EncodeTime(0, 0, 1, 5)), L"+ 00:00:01.005");
    EXPECT_EQ(FormatAtomDiff(-EncodeTime(1, 2, 3, 450)), L"- 01:02:03.450");
    EXPECT_EQ(FormatAtomDiff(-0.1 / kMSecsPerDay), L"+ 00:00:00.000");   // rounds to nothing
    EXPECT_EQ(FormatAtomDiff(2 + EncodeTime(3, 0, 0)), L"+ 51:00:00.000");  // days off shows as hours
}

TEST(ServerList, ContainsComparesWithoutCase) {
    std::vector<std::wstring> items{L"pool.ntp.org", L"Time.NIST.gov"};
    EXPECT_TRUE(ContainsServer(items, L"time.nist.gov"));
    EXPECT_FALSE(ContainsServer(items, L"time.windows.com"));
}

TEST_F(AtomicClockPage, ShowingThePageClearsTheServerTime) {
    TAtomicClock page(view, times, Deps());
    view.serverTime = L"old";
    view.diff = L"old";
    page.ShowAtomicClockPage();
    EXPECT_EQ(view.serverTime, L"");
    EXPECT_EQ(view.diff, L"");
    EXPECT_EQ(view.localTime, LocaleLongTime(now.now));
    EXPECT_EQ(page.AtomTime(), 0);
}

TEST_F(AtomicClockPage, QueryShowsServerTimeAndDifference) {
    TAtomicClock page(view, times, Deps());
    query.offset = -EncodeTime(0, 0, 2, 500);   // the server is 2.5 s behind: local is ahead
    view.serverText = L"  time.nist.gov ";
    page.bGetClick();
    EXPECT_FALSE(view.getEnabled);
    EXPECT_EQ(view.serverTime, L"Precessing server time.nist.gov");
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(query.lastHost, L"time.nist.gov");
    EXPECT_TRUE(view.getEnabled);
    EXPECT_EQ(view.diff, L"+ 00:00:02.500");
    EXPECT_NEAR(page.AtomTime(), now.now - EncodeTime(0, 0, 2, 500), 1e-9);
    EXPECT_EQ(view.serverTime, LocaleLongTime(page.AtomTime()));

    // The live display runs the server time on from the measured difference.
    now.now += EncodeTime(0, 1, 0);
    page.TimerAtomTimer();
    EXPECT_EQ(view.localTime, LocaleLongTime(now.now));
    EXPECT_EQ(view.serverTime, LocaleLongTime(now.now - page.AtomDiff()));
}

TEST_F(AtomicClockPage, ServerBehindShowsMinus) {
    TAtomicClock page(view, times, Deps());
    query.offset = EncodeTime(0, 0, 3, 0);   // the local clock is behind
    page.bGetClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(view.diff, L"- 00:00:03.000");
}

TEST_F(AtomicClockPage, TypedServerIsAddedOnceAndOnlyWhenNew) {
    TAtomicClock page(view, times, Deps());
    query.offset = 0;
    view.serverText = L"ntp.example.org";
    page.bGetClick();
    ASSERT_TRUE(mainThread.RunNext());
    page.bGetClick();
    ASSERT_TRUE(mainThread.RunNext());
    view.serverText = L"NTP.example.org";
    page.bUpdateClick();
    EXPECT_EQ(view.items, (std::vector<std::wstring>{L"pool.ntp.org", L"time.nist.gov", L"ntp.example.org"}));
}

TEST_F(AtomicClockPage, FailedOrThrowingQueryShowsFailure) {
    TAtomicClock page(view, times, Deps());
    query.offset.reset();
    page.bGetClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(view.diff, L"Failed to get atomic time");
    EXPECT_EQ(view.serverTime, L"");
    EXPECT_TRUE(view.getEnabled);
    EXPECT_EQ(page.AtomTime(), 0);
    page.TimerAtomTimer();
    EXPECT_EQ(view.serverTime, L"");   // no server time to run on

    query.throws = true;
    page.bGetClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(view.diff, L"Failed to get atomic time");
    EXPECT_TRUE(view.getEnabled);
}

TEST_F(AtomicClockPage, AdjustingThroughTheTimeServiceRecordsTheSync) {
    TAtomicClock page(view, times, Deps());
    query.offset = EncodeTime(0, 0, 1, 0);
    page.bGetClick();
    ASSERT_TRUE(mainThread.RunNext());
    ASSERT_NE(page.AtomTime(), 0);

    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(factory.creations, 1);
    EXPECT_EQ(factory.service.hosts, std::vector<std::wstring>{L"pool.ntp.org"});
    EXPECT_TRUE(page.Adjusted());
    EXPECT_EQ(view.diff, L"Local time was successfully adjusted");
    EXPECT_EQ(view.serverTime, L"");
    EXPECT_TRUE(view.updateEnabled);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], now.now);
    EXPECT_EQ(view.lastSync, LastSyncCaption(now.now));
    EXPECT_EQ(LastSyncCaption(0), L"Local time was successfully adjusted: Never");
    // The server time stops running until the next query.
    page.TimerAtomTimer();
    EXPECT_EQ(view.serverTime, L"");

    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(factory.creations, 1);   // the object, and its prompt, once per run
    EXPECT_EQ(factory.service.hosts.size(), 2u);
    EXPECT_EQ(adjuster.calls, 0);
}

TEST_F(AtomicClockPage, TimeServiceFailuresShowFailureAndReEnableTheButton) {
    TAtomicClock page(view, times, Deps());
    for (HRESULT hr : {E_FAIL, E_ABORT}) {
        factory.service.result = hr;
        page.bUpdateClick();
        ASSERT_TRUE(mainThread.RunNext());
        EXPECT_FALSE(page.Adjusted());
        EXPECT_EQ(view.diff, L"Failed to get atomic time");
        EXPECT_TRUE(view.updateEnabled);
        EXPECT_TRUE(page.HasTimeService());
    }
    EXPECT_TRUE(recorded.empty());
    // Any other answer: the surrogate is gone. The failure shows, "Adjust" comes back, and the next
    // attempt makes a new object.
    factory.service.result = RPC_E_DISCONNECTED;
    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(view.diff, L"Failed to get atomic time");
    EXPECT_TRUE(view.updateEnabled);
    EXPECT_FALSE(page.HasTimeService());
    factory.service.result = S_OK;
    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(factory.creations, 2);
    EXPECT_TRUE(page.Adjusted());
    EXPECT_TRUE(view.updateEnabled);
    page.ReleaseTimeService();
    EXPECT_FALSE(page.HasTimeService());
}

TEST_F(AtomicClockPage, DeclinedElevationReachesTheExceptionDisplayAndLeavesThePageUsable) {
    TAtomicClock page(view, times, Deps());
    factory.fails = true;
    page.bUpdateClick();
    EXPECT_THROW(mainThread.RunNext(), HResultError);   // through the posted step to the exception display
    EXPECT_TRUE(view.updateEnabled);
    EXPECT_EQ(view.diff, L"Failed to get atomic time");
    EXPECT_FALSE(page.HasTimeService());
    factory.fails = false;
    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(factory.creations, 2);
    EXPECT_TRUE(page.Adjusted());
}

TEST_F(AtomicClockPage, AdjustingNeverHoldsTheWindowsThreadWhileTheServerIsSilent) {
    std::mutex gate;
    std::unique_lock<std::mutex> closed(gate);
    factory.service.wait = &gate;   // SyncTime waits, as for a silent server
    {
        TAtomicClock page(view, times, Deps());
        const ULONGLONG start = GetTickCount64();
        page.bUpdateClick();
        EXPECT_LT(GetTickCount64() - start, 1000u);
        EXPECT_FALSE(view.updateEnabled);
        closed.unlock();   // the server answers
        ASSERT_TRUE(mainThread.RunNext());
        EXPECT_TRUE(page.Adjusted());
        EXPECT_TRUE(view.updateEnabled);
        closed.lock();
        page.bUpdateClick();   // the next call waits again; the page goes while it does
    }
    closed.unlock();
    // The thread left waiting lets the object go once its call returns.
    const ULONGLONG start = GetTickCount64();
    while (factory.service.refs != 0 && GetTickCount64() - start < 5000) Sleep(10);
    EXPECT_EQ(factory.service.refs, 0u);
}

TEST_F(AtomicClockPage, BeforeVistaTheClockIsSetInAWorkerWithoutTheObject) {
    TAtomicClock page(view, times, Deps(false));
    page.bUpdateClick();
    EXPECT_FALSE(view.updateEnabled);
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(adjuster.calls, 1);
    EXPECT_EQ(adjuster.lastHost, L"pool.ntp.org");
    EXPECT_EQ(factory.creations, 0);
    EXPECT_TRUE(page.Adjusted());
    EXPECT_EQ(view.diff, L"Local time was successfully adjusted");
    EXPECT_TRUE(view.updateEnabled);
    EXPECT_EQ(recorded.size(), 1u);

    adjuster.result = false;
    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_FALSE(page.Adjusted());
    EXPECT_EQ(view.diff, L"Failed to get atomic time");
    EXPECT_TRUE(view.updateEnabled);
    EXPECT_EQ(factory.creations, 0);
}

TEST_F(AtomicClockPage, SyncTimerAdjustsWhenDueAndMovesNextSync) {
    nextSync = now.now - kOneMinute;
    TAtomicClock page(view, times, Deps());
    view.every = 0;
    page.TimerSyncTimer();
    EXPECT_EQ(factory.service.hosts.size(), 0u);
    EXPECT_TRUE(written.empty());

    view.every = 2;   // 3 hours
    page.TimerSyncTimer();
    ASSERT_TRUE(mainThread.RunNext());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_DOUBLE_EQ(written[0], now.now + 0.125);
    EXPECT_DOUBLE_EQ(page.NextSync(), now.now + 0.125);
    EXPECT_EQ(factory.service.hosts.size(), 1u);

    now.now += kOneHour;   // not yet due again
    page.TimerSyncTimer();
    EXPECT_EQ(factory.service.hosts.size(), 1u);
    EXPECT_EQ(written.size(), 1u);
}

TEST_F(AtomicClockPage, TimesThatCannotBeSavedAreReportedEachTime) {
    times.saves = false;
    nextSync = now.now - kOneMinute;
    TAtomicClock page(view, times, Deps());
    view.every = 2;
    page.TimerSyncTimer();
    EXPECT_EQ(times.failures, 1) << "NextSync";
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_TRUE(page.Adjusted());
    EXPECT_EQ(times.failures, 2) << "LastSync";
    EXPECT_EQ(view.lastSync, LastSyncCaption(now.now)) << "the page still shows the sync";
    times.saves = true;
    page.bUpdateClick();
    ASSERT_TRUE(mainThread.RunNext());
    EXPECT_EQ(times.failures, 2);
}

TEST_F(AtomicClockPage, RemovesTheSelectedServer) {
    TAtomicClock page(view, times, Deps());
    page.btRemoveTimeServerClick();
    EXPECT_EQ(view.items.size(), 2u);
    view.selected = 0;
    page.btRemoveTimeServerClick();
    EXPECT_EQ(view.items, std::vector<std::wstring>{L"time.nist.gov"});
}

TEST_F(AtomicClockPage, ResultOfAQueryOutlivingThePageIsDropped) {
    {
        TAtomicClock page(view, times, Deps());
        query.offset = 0;
        page.bGetClick();
    }   // waits for the worker
    view.diff = L"untouched";
    mainThread.RunPending();   // a step handed over before the page went does nothing now
    EXPECT_EQ(view.diff, L"untouched");
}

// A query that waits until the test lets it go, as one on a silent server does.
class HeldQuery final : public ITimeQuery {
public:
    std::optional<TDateTime> ServerOffset(const std::wstring&) override {
        std::unique_lock l(lock);
        started = true;
        changed.notify_all();
        changed.wait(l, [&] { return released; });
        return 0.0;
    }
    void WaitStarted() {
        std::unique_lock l(lock);
        changed.wait(l, [&] { return started; });
    }
    void Release() {
        std::lock_guard l(lock);
        released = true;
        changed.notify_all();
    }
    std::mutex lock;
    std::condition_variable changed;
    bool started = false, released = false;
};

TEST_F(AtomicClockPage, EndingThePageLeavesAQueryOnASilentServerAndDropsItsAnswer) {
    auto held = std::make_shared<HeldQuery>();
    std::weak_ptr<HeldQuery> alive = held;
    AtomicClockDeps deps = Deps();
    deps.query = held;
    auto page = std::make_unique<TAtomicClock>(view, times, std::move(deps));
    page->bGetClick();
    held->WaitStarted();
    const DWORD start = GetTickCount();
    page.reset();
    EXPECT_LT(GetTickCount() - start, TAtomicClock::kStopWaitMs + 400) << "the end waited for the server";
    // The worker alone keeps its query now; let go, it ends and frees it, and its answer reaches nobody.
    HeldQuery* query = held.get();
    held.reset();
    ASSERT_FALSE(alive.expired());
    view.diff = L"untouched";
    query->Release();
    EXPECT_TRUE(WaitUntilTrue([&] { return alive.expired(); }));
    mainThread.RunPending();
    EXPECT_EQ(view.diff, L"untouched");
}

TEST(SntpPort, TakenFromTheEnvironmentOnlyWhenItIsAPortNumber) {
    const ascendor::SntpSettings base{};
    for (const wchar_t* bad : {L"", L"0", L"65536", L"12x", L"-5", L"99999999999"}) {
        SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", bad);
        EXPECT_EQ(SettingsFor(base).port, ascendor::kSntpPort) << std::wstring(bad).size();
    }
    SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", L"40123");
    EXPECT_EQ(SettingsFor(base).port, 40123);
    EXPECT_EQ(SettingsFor(base).receiveTimeoutMs, base.receiveTimeoutMs);
    SetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", nullptr);
    EXPECT_EQ(SettingsFor(base).port, ascendor::kSntpPort);
}

// WindowMainThread: a worker's task runs on the window's thread through its message.
constexpr UINT kRunTask = WM_APP + 7;
WindowMainThread* g_poster = nullptr;

LRESULT CALLBACK TaskWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kRunTask) {
        if (g_poster) g_poster->RunPostedTasks();
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

HWND TaskWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TaskWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantoricTaskWindowTest";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

void DispatchAll() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(WindowMainThread, RunsWorkerTasksOnTheWindowsThread) {
    HWND window = TaskWindow();
    ASSERT_TRUE(window);
    WindowMainThread poster(window, kRunTask);
    g_poster = &poster;
    DWORD ranOn = 0;
    std::thread worker([&] { poster.Post([&] { ranOn = GetCurrentThreadId(); }); });
    worker.join();
    DispatchAll();
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    DestroyWindow(window);
    g_poster = nullptr;
    // A window that is gone: the task is dropped, not leaked into a crash.
    WindowMainThread(window, kRunTask).Post([] { FAIL() << "ran without a window"; });
}

TEST(WindowMainThread, AForgedMessageRunsOnlyQueuedTasksAndEachOnce) {
    HWND window = TaskWindow();
    ASSERT_TRUE(window);
    WindowMainThread poster(window, kRunTask);
    g_poster = &poster;
    // Values another process might put in the message: none of them is taken for a task.
    for (LPARAM forged : {LPARAM(1), LPARAM(0x12345678), LPARAM(-1)}) PostMessageW(window, kRunTask, 7, forged);
    DispatchAll();
    int runs = 0;
    poster.Post([&] { ++runs; });
    SendMessageW(window, kRunTask, 0, 0x4000);   // a forged one first runs the task early
    DispatchAll();                                 // then the task's own message finds nothing left
    EXPECT_EQ(runs, 1);
    DestroyWindow(window);
    g_poster = nullptr;
}

}  // namespace
