// The adjustment road from Vista on, end to end inside this process: the page creates the time
// service through COM, calls SyncTime, and the object asks a loopback server and hands the time to
// a recording setter. Only the moniker is left out (the program already counts as elevated here),
// and the object's action is a test one registered with COM for this process alone.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "timeservice/atomic_sync.h"
#include "support/loopback_sntp.h"
#include "timeservice/privileged_class_factory.h"
#include "timeservice/time_sync.h"

namespace {

using namespace vt;
using vt::test::Bytes;
using vt::test::LoopbackSntpServer;

std::uint16_t g_port = 0;
int g_sets = 0;

class RecordingSetter final : public ascendor::IClockSetter {
public:
    bool SetUtcTime(const SYSTEMTIME&) override {
        ++g_sets;
        return true;
    }
};

HRESULT LoopbackAction(const wchar_t* host) noexcept {
    RecordingSetter setter;
    return ascendor::SyncClockWith(host, ascendor::SntpSettings{g_port, 300}, setter);
}

// Creates directly, as an elevated program does, from the library's class factory on the calling thread
// (the time-service thread: a class object registered in the test's apartment is not seen there).
class ElevatedCreator final : public IComObjectCreator {
public:
    bool IsElevated() override { return true; }
    HRESULT GetObjectByMoniker(const std::wstring&, BIND_OPTS3&, REFIID, void**) override { return E_UNEXPECTED; }
    HRESULT CreateInstance(REFCLSID clsid, DWORD, REFIID iid, void** obj) override {
        ComPtr<IClassFactory> factory;
        HRESULT hr = ascendor::GetClassObject(clsid, IID_IClassFactory, factory.put_void(), &LoopbackAction);
        return FAILED(hr) ? hr : factory->CreateInstance(nullptr, iid, obj);
    }
};

// The answer comes back from the time-service thread; the test, playing the main thread, waits for it.
class WaitedMainThread final : public IMainThread {
public:
    void Post(std::function<void()> task) override {
        std::lock_guard<std::mutex> l(lock_);
        task_ = std::move(task);
        posted_.notify_all();
    }
    bool RunPosted() {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> l(lock_);
            if (!posted_.wait_for(l, std::chrono::seconds(10), [&] { return static_cast<bool>(task_); })) return false;
            task = std::exchange(task_, {});
        }
        task();
        return true;
    }
private:
    std::mutex lock_;
    std::condition_variable posted_;
    std::function<void()> task_;
};

class View final : public IAtomicClockView {
public:
    void SetLocalTimeText(const std::wstring&) override {}
    void SetServerTimeText(const std::wstring&) override {}
    void SetDiffText(const std::wstring& t) override { diff = t; }
    void SetLastSyncText(const std::wstring&) override {}
    void EnableGet(bool) override {}
    void EnableUpdate(bool) override {}
    std::wstring ServerText() override { return L"127.0.0.1"; }
    std::vector<std::wstring> ServerItems() override { return {L"127.0.0.1"}; }
    void AddServerItem(const std::wstring&) override {}
    int SelectedServerIndex() override { return -1; }
    void DeleteServerItem(int) override {}
    int EveryIndex() override { return 0; }
    std::wstring diff;
};

TEST(TimeServicePath, AdjustmentReachesTheObjectThroughCom) {
    ComApartment apartment;
    ASSERT_TRUE(apartment.ok());
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return vt::test::ServerReply(r, 30); });
    g_port = server.port();
    g_sets = 0;
    ElevatedCreator creator;
    ElevatedTimeServiceFactory services(nullptr, creator);
    WaitedMainThread mainThread;
    View view;
    AtomicClockDeps deps;
    deps.now = &SystemClock();
    deps.mainThread = &mainThread;
    deps.timeServiceFactory = Borrowed<ITimeServiceFactory>(&services);
    deps.vistaOrLater = true;
    struct Times final : ISyncTimesStore {
        bool RecordSuccessfulSync(TDateTime) override {
            ++recorded;
            return true;
        }
        bool WriteNextSync(TDateTime) override { return true; }
        void SaveFailed() override {}
        int recorded = 0;
    } times;
    {
        TAtomicClock page(view, times, deps);
        page.bUpdateClick();
        ASSERT_TRUE(mainThread.RunPosted());
        EXPECT_TRUE(page.Adjusted());
        EXPECT_EQ(view.diff, L"Local time was successfully adjusted");
        EXPECT_EQ(g_sets, 1);
        EXPECT_EQ(times.recorded, 1);
        EXPECT_EQ(server.requests(), 1);
    }
}

}  // namespace
