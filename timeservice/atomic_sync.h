// The "Atomic Clock" page's behaviour: asking an SNTP server for the time, the live local and server
// times, setting the machine clock (in-process before Vista, through the elevated time-service object
// from Vista on) and the automatic synchronisation. The page's controls are reached through
// IAtomicClockView; the network, the clock setting and the hand-over to the main thread are seams.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/datetime.h"
#include "base/handles.h"
#include "base/locale_text.h"
#include "base/now.h"
#include "timeservice/elevation_utils.h"
#include "timeservice/ascendor_tlb.h"
#include "timeservice/sntp_client.h"

namespace vt {

inline constexpr UINT kAtomTimerInterval = 1000;
inline constexpr UINT kSyncTimerInterval = 65000;

inline constexpr wchar_t kFailedToGetAtomicTime[] = L"Failed to get atomic time";
inline constexpr wchar_t kLocalTimeAdjusted[] = L"Local time was successfully adjusted";
inline constexpr wchar_t kProcessingServer[] = L"Precessing server ";

// cbServer's initial list; the first is the default text.
extern const wchar_t* const kDefaultTimeServers[5];
// cbEvery's items, in order; the index is the stored option "Every".
extern const wchar_t* const kSyncIntervalNames[7];

// Days between automatic synchronisations for a cbEvery index; 0 for "Never" and unknown indexes.
TDateTime SyncIntervalDays(int everyIndex);

struct SyncDecision {
    bool sync = false;        // run the adjustment now
    TDateTime nextSync = 0;   // the NextSync to store when sync is true
};
// One tick of the synchronisation timer: due when an interval is chosen and now is past NextSync;
// the next one is one interval past now, so a machine that slept does not catch up tick by tick.
SyncDecision DecideSync(int everyIndex, TDateTime now, TDateTime nextSync);

// The difference local minus server: "+ " or "- " and the magnitude as hh:mm:ss.zzz. Hours run past
// 24, so a clock that is days off shows how far.
std::wstring FormatAtomDiff(TDateTime diff);
// "Local time was successfully adjusted: " + the date-time, or "Never" for 0.
std::wstring LastSyncCaption(TDateTime lastSync);

// Whether `server` is already in the list (host names compare without case).
bool ContainsServer(const std::vector<std::wstring>& items, const std::wstring& server);

// ---- seams ----

// The page's controls.
class IAtomicClockView {
public:
    virtual ~IAtomicClockView() = default;
    virtual void SetLocalTimeText(const std::wstring& text) = 0;    // lbLocalTime
    virtual void SetServerTimeText(const std::wstring& text) = 0;   // lbServerTime
    virtual void SetDiffText(const std::wstring& text) = 0;         // lbDiff
    virtual void SetLastSyncText(const std::wstring& text) = 0;     // lbLastSync
    virtual void EnableGet(bool enabled) = 0;                       // bGet
    virtual void EnableUpdate(bool enabled) = 0;                    // bUpdate
    virtual std::wstring ServerText() = 0;                          // cbServer's text
    virtual std::vector<std::wstring> ServerItems() = 0;            // cbServer's list
    virtual void AddServerItem(const std::wstring& server) = 0;
    virtual int SelectedServerIndex() = 0;                          // -1: none
    virtual void DeleteServerItem(int index) = 0;
    virtual int EveryIndex() = 0;                                   // cbEvery
};

// Runs a task on the main thread between messages. Called from worker threads.
class IMainThread {
public:
    virtual ~IMainThread() = default;
    virtual void Post(std::function<void()> task) = 0;
};

// Asks a server for its time (worker thread). The server's clock minus the local clock, in days;
// nothing when no valid answer came. May throw.
class ITimeQuery {
public:
    virtual ~ITimeQuery() = default;
    virtual std::optional<TDateTime> ServerOffset(const std::wstring& host) = 0;
};

// Sets the machine clock from a server inside this process (worker thread, systems before Vista).
// True when the clock was set. May throw.
class ILocalClockAdjuster {
public:
    virtual ~ILocalClockAdjuster() = default;
    virtual bool Adjust(const std::wstring& host) = 0;
};

// Creates the time-service object (on the time-service thread, Vista on). Throws HResultError when it
// cannot.
class ITimeServiceFactory {
public:
    virtual ~ITimeServiceFactory() = default;
    virtual ComPtr<IMyPrivilegedObject> Create() = 0;
};

// Where the synchronisation's times are kept (the settings file). Each write answers whether it was saved;
// a failed one is reported once through SaveFailed, right after it (the error is still the last one).
class ISyncTimesStore {
public:
    virtual bool RecordSuccessfulSync(TDateTime when) = 0;   // "LastSync" := when
    virtual bool WriteNextSync(TDateTime next) = 0;          // "NextSync"
    virtual void SaveFailed() = 0;

protected:
    ~ISyncTimesStore() = default;
};

// A seam whose owner outlives every worker that may use it: shared without being owned.
template <class T>
std::shared_ptr<T> Borrowed(T* seam) {
    return std::shared_ptr<T>(seam, [](T*) {});
}

// The workers' seams are shared: a worker left waiting on its server at the end keeps its own alive.
struct AtomicClockDeps {
    const INow* now = nullptr;
    IMainThread* mainThread = nullptr;
    std::shared_ptr<ITimeQuery> query;
    std::shared_ptr<ILocalClockAdjuster> localAdjuster;        // used before Vista
    std::shared_ptr<ITimeServiceFactory> timeServiceFactory;   // used from Vista on
    bool vistaOrLater = true;
    TDateTime nextSync = 0;   // the option "NextSync" as loaded
};

// The time-service object lives on a thread of its own, in its own apartment: creating it (with the
// elevation prompt) and the set-clock call, which waits for the server, never hold the window's thread.
// Jobs run one after the other with the object slot, which is released on that thread.
class TimeServiceThread {
public:
    using Job = std::function<void(ComPtr<IMyPrivilegedObject>& service)>;
    TimeServiceThread();
    // Drops waiting jobs and waits kStopWaitMs for one in progress; a call still waiting on its server is
    // left to end by itself.
    ~TimeServiceThread() { Stop(kStopWaitMs); }
    // As the destruction, waiting at most `waitMs`; no job runs after it.
    void Stop(unsigned waitMs);
    TimeServiceThread(const TimeServiceThread&) = delete;
    TimeServiceThread& operator=(const TimeServiceThread&) = delete;
    void Run(Job job);
    static constexpr unsigned kStopWaitMs = 300;

private:
    struct State {
        std::mutex lock;
        std::condition_variable changed;
        std::deque<Job> jobs;
        bool stop = false;
        bool exited = false;
    };
    static void Serve(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
    std::thread thread_;
};

// One worker thread that holds only shared state. At the end it is joined when it finishes in time,
// otherwise left to finish by itself: nothing it touches goes away with its owner.
class LeavableWorker {
public:
    LeavableWorker() = default;
    ~LeavableWorker() { JoinOrLeave(GetTickCount()); }
    LeavableWorker(const LeavableWorker&) = delete;
    LeavableWorker& operator=(const LeavableWorker&) = delete;
    // Joins the last one first (it has handed back its result by then); throws as std::thread does.
    void Start(std::function<void()> body);
    // Joins when the worker ends before the tick count `deadline`, otherwise detaches it.
    void JoinOrLeave(DWORD deadline);

private:
    struct State {
        std::mutex lock;
        std::condition_variable changed;
        bool finished = false;
    };
    std::shared_ptr<State> state_;
    std::thread thread_;
};

// ---- the page ----

class TAtomicClock {
public:
    TAtomicClock(IAtomicClockView& view, ISyncTimesStore& times, AtomicClockDeps deps);
    // Waits at most kStopWaitMs for running workers, then leaves them; their results are dropped.
    ~TAtomicClock();
    TAtomicClock(const TAtomicClock&) = delete;
    TAtomicClock& operator=(const TAtomicClock&) = delete;

    void ShowAtomicClockPage();
    void bGetClick();
    // Throws HResultError when the time-service object cannot be created; the page is reset first.
    void bUpdateClick();
    void btRemoveTimeServerClick();
    void TimerAtomTimer();
    // Throws as bUpdateClick when it starts an adjustment.
    void TimerSyncTimer();
    static constexpr unsigned kStopWaitMs = 100;

    TDateTime AtomTime() const { return atomTime_; }
    TDateTime AtomDiff() const { return atomDiff_; }
    bool Adjusted() const { return adjusted_; }
    TDateTime NextSync() const { return nextSync_; }
    // The options were read again (Setting.ini was unreadable at start): the stored "NextSync" holds.
    void SetNextSync(TDateTime next) { nextSync_ = next; }
    bool HasTimeService() const { return hasTimeService_; }
    // Drops the time-service object (the main form's destruction).
    void ReleaseTimeService();

private:
    std::wstring TakeServer();
    void GetAtomTime(std::optional<TDateTime> offset);
    void GetAtomAdjustTime();
    void syncAtomError(bool fromQuery);
    void AdjustThroughTimeService(const std::wstring& server);
    // Main thread: the time service's answer (or the failure to create it) came back.
    void TimeServiceAnswered(HRESULT hr, bool hasService, std::exception_ptr creationError);
    std::function<void(std::function<void()>)> Poster() const;

    IAtomicClockView& view_;
    ISyncTimesStore& times_;
    AtomicClockDeps deps_;
    TDateTime atomTime_ = 0;
    TDateTime atomDiff_ = 0;
    bool adjusted_ = false;
    TDateTime nextSync_ = 0;
    bool querying_ = false;
    bool adjusting_ = false;
    bool hasTimeService_ = false;   // mirrors the object slot of the time-service thread
    std::unique_ptr<TimeServiceThread> timeServiceThread_;
    // Posted steps share it and do nothing once the page has closed it.
    struct PostGate {
        std::mutex lock;
        bool open = true;
    };
    std::shared_ptr<PostGate> gate_;
    LeavableWorker queryWorker_;
    LeavableWorker adjustWorker_;
};

// ---- the program's implementations of the seams ----

// `settings` with the port VANTORIC_SNTP_PORT names, when it names one (tests: a loopback server).
ascendor::SntpSettings SettingsFor(ascendor::SntpSettings settings);

// SNTP from this process: port 123, 5000 ms receive time-out unless told otherwise.
class SntpTimeQuery final : public ITimeQuery {
public:
    explicit SntpTimeQuery(ascendor::SntpSettings settings = {}) : settings_(settings) {}
    std::optional<TDateTime> ServerOffset(const std::wstring& host) override;
private:
    ascendor::SntpSettings settings_;
};

// Sets the clock with this process's own rights (systems before Vista).
class InProcessClockAdjuster final : public ILocalClockAdjuster {
public:
    bool Adjust(const std::wstring& host) override;
};

// The elevated time-service object, its prompt owned by `owner`.
class ElevatedTimeServiceFactory final : public ITimeServiceFactory {
public:
    explicit ElevatedTimeServiceFactory(HWND owner, IComObjectCreator& creator = SystemComObjectCreator())
        : owner_(owner), creator_(creator) {}
    ComPtr<IMyPrivilegedObject> Create() override;
private:
    HWND owner_;
    IComObjectCreator& creator_;
};

// Queues each task and posts `message` to `window` (wParam and lParam 0); the window procedure then calls
// RunPostedTasks. The message carries nothing: another process may post the same number with any
// values, and all it can do is run the queued tasks early. A task whose window is gone is dropped.
class WindowMainThread final : public IMainThread {
public:
    WindowMainThread(HWND window, UINT message) : window_(window), message_(message) {}
    void Post(std::function<void()> task) override;
    // Main thread: runs the tasks queued so far; an exception goes to the standard exception display.
    void RunPostedTasks() noexcept;
private:
    HWND window_;
    UINT message_;
    std::mutex lock_;
    std::deque<std::function<void()>> tasks_;
};

// Windows Vista or later: the clock is set through the elevated object.
bool IsVistaOrLater() noexcept;

}  // namespace vt
