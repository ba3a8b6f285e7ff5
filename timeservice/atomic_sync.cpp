#include "timeservice/atomic_sync.h"

#include <oleauto.h>
#include <versionhelpers.h>

#include <cmath>
#include <cstdio>
#include <cwchar>

#include "base/text.h"
#include "base/window.h"
#include "timeservice/time_sync.h"

namespace vt {

std::wstring LastSyncCaption(TDateTime lastSync) {
    return std::wstring(L"Local time was successfully adjusted: ") + (lastSync == 0 ? L"Never" : DateTimeToText(lastSync));
}

const wchar_t* const kDefaultTimeServers[5] = {L"pool.ntp.org", L"time.nist.gov", L"time.windows.com",
                                               L"europe.pool.ntp.org", L"north-america.pool.ntp.org"};
const wchar_t* const kSyncIntervalNames[7] = {L"Never",  L"1 hour", L"3 hours", L"12 hours",
                                              L"1 day", L"3 days", L"7 days"};

namespace {

class UniqueBstr {
public:
    explicit UniqueBstr(const std::wstring& s) : b_(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {
        if (!b_) throw std::bad_alloc();
    }
    ~UniqueBstr() { SysFreeString(b_); }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    BSTR get() const noexcept { return b_; }
private:
    BSTR b_;
};

}  // namespace

TDateTime SyncIntervalDays(int everyIndex) {
    static constexpr TDateTime kDays[] = {0, 1.0 / 24, 0.125, 0.5, 1, 3, 7};
    return everyIndex >= 0 && everyIndex < 7 ? kDays[everyIndex] : 0;
}

SyncDecision DecideSync(int everyIndex, TDateTime now, TDateTime nextSync) {
    TDateTime interval = SyncIntervalDays(everyIndex);
    if (interval <= 0 || !(now > nextSync)) return {};
    return {true, now + interval};
}

std::wstring FormatAtomDiff(TDateTime diff) {
    long long ms = std::llround(std::fabs(diff) * kMSecsPerDay);
    wchar_t text[64];
    std::swprintf(text, 64, L"%ls%02lld:%02lld:%02lld.%03lld", diff < 0 && ms != 0 ? L"- " : L"+ ", ms / 3600000,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}


bool ContainsServer(const std::vector<std::wstring>& items, const std::wstring& server) {
    for (const auto& item : items)
        if (CompareStringOrdinal(item.c_str(), -1, server.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
    return false;
}

// ---- TAtomicClock ----

TAtomicClock::TAtomicClock(IAtomicClockView& view, ISyncTimesStore& times, AtomicClockDeps deps)
    : view_(view), times_(times), deps_(std::move(deps)), nextSync_(deps_.nextSync), gate_(std::make_shared<PostGate>()) {}

TAtomicClock::~TAtomicClock() {
    {
        // A worker left waiting on its server may answer later: from now on nothing reaches the main thread.
        std::lock_guard<std::mutex> l(gate_->lock);
        gate_->open = false;
    }
    // Quitting never waits on the network: one short wait for all, then the workers are left to end.
    const DWORD deadline = GetTickCount() + kStopWaitMs;
    if (timeServiceThread_) timeServiceThread_->Stop(kStopWaitMs);
    queryWorker_.JoinOrLeave(deadline);
    adjustWorker_.JoinOrLeave(deadline);
}

void LeavableWorker::Start(std::function<void()> body) {
    if (thread_.joinable()) thread_.join();
    auto state = std::make_shared<State>();
    thread_ = std::thread([state, body = std::move(body)] {
        try {
            body();
        } catch (...) {
            // The body hands back its own failures.
        }
        std::lock_guard<std::mutex> l(state->lock);
        state->finished = true;
        state->changed.notify_all();
    });
    state_ = std::move(state);
}

void LeavableWorker::JoinOrLeave(DWORD deadline) {
    if (!thread_.joinable()) return;
    bool finished = false;
    {
        const DWORD now = GetTickCount();
        const DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
        std::unique_lock<std::mutex> l(state_->lock);
        finished = state_->changed.wait_for(l, std::chrono::milliseconds(left), [this] { return state_->finished; });
    }
    if (finished) thread_.join();
    else thread_.detach();
}

std::function<void(std::function<void()>)> TAtomicClock::Poster() const {
    // Made on the main thread, so the worker never touches the page itself. Posting happens under the
    // gate's lock, so once the page has closed it no worker reaches the main-thread poster either.
    std::shared_ptr<PostGate> gate = gate_;
    IMainThread* mainThread = deps_.mainThread;
    return [gate, mainThread](std::function<void()> step) {
        std::lock_guard<std::mutex> l(gate->lock);
        if (!gate->open) return;
        mainThread->Post([gate, step = std::move(step)] {
            if (gate->open) step();   // main thread, as the page's destruction
        });
    };
}

void TAtomicClock::ShowAtomicClockPage() {
    view_.SetServerTimeText(L"");
    view_.SetDiffText(L"");
    atomTime_ = 0;
    view_.SetLocalTimeText(LocaleLongTime(deps_.now->Now()));
}

std::wstring TAtomicClock::TakeServer() {
    std::wstring server = Trim(view_.ServerText());
    view_.SetServerTimeText(kProcessingServer + server);
    view_.SetDiffText(L"");
    if (!server.empty() && !ContainsServer(view_.ServerItems(), server)) view_.AddServerItem(server);
    return server;
}

void TAtomicClock::bGetClick() {
    if (querying_) return;
    view_.EnableGet(false);
    std::wstring server = TakeServer();
    querying_ = true;
    // The worker holds the query and the gate itself; `this` is used only by the steps the gate lets through.
    queryWorker_.Start([this, query = deps_.query, server, post = Poster()] {
        try {
            std::optional<TDateTime> offset = query->ServerOffset(server);
            post([this, offset] { GetAtomTime(offset); });
        } catch (...) {
            try {
                post([this] { syncAtomError(true); });
            } catch (...) {
                // Out of memory while handing back: the page stays busy rather than the process ending.
            }
        }
    });
}

void TAtomicClock::GetAtomTime(std::optional<TDateTime> offset) {
    querying_ = false;
    if (!offset) {
        view_.SetServerTimeText(L"");
        view_.SetDiffText(kFailedToGetAtomicTime);
    } else {
        TDateTime now = deps_.now->Now();
        atomDiff_ = -*offset;
        atomTime_ = now - atomDiff_;
        view_.SetLocalTimeText(LocaleLongTime(now));
        view_.SetServerTimeText(LocaleLongTime(atomTime_));
        view_.SetDiffText(FormatAtomDiff(atomDiff_));
    }
    view_.EnableGet(true);
}

void TAtomicClock::TimerAtomTimer() {
    TDateTime now = deps_.now->Now();
    view_.SetLocalTimeText(LocaleLongTime(now));
    if (atomTime_ != 0) view_.SetServerTimeText(LocaleLongTime(now - atomDiff_));
}

void TAtomicClock::bUpdateClick() {
    if (adjusting_) return;
    view_.EnableUpdate(false);
    adjusted_ = false;
    std::wstring server = TakeServer();
    adjusting_ = true;
    if (!deps_.vistaOrLater) {
        adjustWorker_.Start([this, adjuster = deps_.localAdjuster, server, post = Poster()] {
            try {
                bool adjusted = adjuster->Adjust(server);
                post([this, adjusted] {
                    adjusted_ = adjusted;
                    GetAtomAdjustTime();
                });
            } catch (...) {
                try {
                    post([this] { syncAtomError(false); });
                } catch (...) {
                    // As for the query: nothing may leave the worker.
                }
            }
        });
        return;
    }
    AdjustThroughTimeService(server);
}

TimeServiceThread::TimeServiceThread() : state_(std::make_shared<State>()) {
    thread_ = std::thread(&TimeServiceThread::Serve, state_);
}

void TimeServiceThread::Stop(unsigned waitMs) {
    if (!thread_.joinable()) return;
    bool exited = false;
    {
        std::unique_lock<std::mutex> l(state_->lock);
        state_->stop = true;
        state_->jobs.clear();
        state_->changed.notify_all();
        exited = state_->changed.wait_for(l, std::chrono::milliseconds(waitMs), [this] { return state_->exited; });
    }
    if (exited) thread_.join();
    else thread_.detach();   // it holds its own state and ends when the call does
}

void TimeServiceThread::Run(Job job) {
    std::lock_guard<std::mutex> l(state_->lock);
    state_->jobs.push_back(std::move(job));
    state_->changed.notify_all();
}

void TimeServiceThread::Serve(std::shared_ptr<State> state) {
    try {
        ComApartment apartment;
        ComPtr<IMyPrivilegedObject> service;
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> l(state->lock);
                state->changed.wait(l, [&] { return state->stop || !state->jobs.empty(); });
                if (state->stop) break;
                job = std::move(state->jobs.front());
                state->jobs.pop_front();
            }
            try {
                job(service);
            } catch (...) {
                // Jobs hand their own failures back; nothing may leave the thread.
            }
        }
        service.reset();   // released in the apartment it was made in
    } catch (...) {
    }
    std::lock_guard<std::mutex> l(state->lock);
    state->exited = true;
    state->changed.notify_all();
}

void TAtomicClock::AdjustThroughTimeService(const std::wstring& server) {
    if (!timeServiceThread_) timeServiceThread_ = std::make_unique<TimeServiceThread>();
    timeServiceThread_->Run([factory = deps_.timeServiceFactory, server, post = Poster(), this](ComPtr<IMyPrivilegedObject>& service) {
        std::exception_ptr creationError;
        HRESULT hr = E_FAIL;
        if (!service) {
            try {
                service = factory->Create();
            } catch (...) {
                creationError = std::current_exception();
            }
        }
        if (service) {
            UniqueBstr host(server);
            hr = service->SyncTime(host.get());
            // E_FAIL and E_ABORT are the object's own answers; anything else means the object or its
            // surrogate is gone, so the next attempt creates it again.
            if (hr != S_OK && hr != E_FAIL && hr != E_ABORT) service.reset();
        }
        const bool hasService = static_cast<bool>(service);
        // A call that outlived the page (left waiting at the end) has no one to answer: post drops it.
        post([this, hr, hasService, creationError] { TimeServiceAnswered(hr, hasService, creationError); });
    });
}

void TAtomicClock::TimeServiceAnswered(HRESULT hr, bool hasService, std::exception_ptr creationError) {
    hasTimeService_ = hasService;
    if (creationError) {
        // The prompt was declined or the library is missing: the page is usable again, and the error
        // reaches the exception display.
        syncAtomError(false);
        std::rethrow_exception(creationError);
    }
    if (hr == S_OK) {
        adjusted_ = true;
        GetAtomAdjustTime();
        return;
    }
    // Any other answer counts as a failure too: leaving "Adjust" disabled for good would leave the user no
    // way to try again.
    adjusted_ = false;
    syncAtomError(false);
}

void TAtomicClock::ReleaseTimeService() {
    hasTimeService_ = false;
    if (timeServiceThread_) timeServiceThread_->Run([](ComPtr<IMyPrivilegedObject>& service) { service.reset(); });
}

void TAtomicClock::GetAtomAdjustTime() {
    adjusting_ = false;
    view_.SetServerTimeText(L"");
    if (adjusted_) {
        view_.SetDiffText(kLocalTimeAdjusted);
        atomTime_ = 0;
        TDateTime now = deps_.now->Now();
        if (!times_.RecordSuccessfulSync(now)) times_.SaveFailed();
        view_.SetLastSyncText(LastSyncCaption(now));
    } else {
        view_.SetDiffText(kFailedToGetAtomicTime);
    }
    view_.EnableUpdate(true);
}

void TAtomicClock::syncAtomError(bool fromQuery) {
    view_.SetServerTimeText(L"");
    view_.SetDiffText(kFailedToGetAtomicTime);
    // Only the failed request's button comes back; the other may still be waiting for its answer.
    if (fromQuery) {
        querying_ = false;
        view_.EnableGet(true);
    } else {
        adjusting_ = false;
        view_.EnableUpdate(true);
    }
}

void TAtomicClock::btRemoveTimeServerClick() {
    int index = view_.SelectedServerIndex();
    if (index >= 0 && !view_.ServerItems().empty()) view_.DeleteServerItem(index);
}

void TAtomicClock::TimerSyncTimer() {
    SyncDecision d = DecideSync(view_.EveryIndex(), deps_.now->Now(), nextSync_);
    if (!d.sync) return;
    nextSync_ = d.nextSync;
    if (!times_.WriteNextSync(nextSync_)) times_.SaveFailed();
    bUpdateClick();
}

// ---- seams as the program fills them ----

ascendor::SntpSettings SettingsFor(ascendor::SntpSettings settings) {
    wchar_t buf[16];
    const DWORD n = GetEnvironmentVariableW(L"VANTORIC_SNTP_PORT", buf, 16);
    if (n == 0 || n >= 16) return settings;
    wchar_t* end = nullptr;
    const unsigned long port = std::wcstoul(buf, &end, 10);
    if (end != buf + n || port == 0 || port > 65535) return settings;
    settings.port = static_cast<std::uint16_t>(port);
    return settings;
}

std::optional<TDateTime> SntpTimeQuery::ServerOffset(const std::wstring& host) {
    const ascendor::SntpSettings settings = SettingsFor(settings_);
    ascendor::SntpResult r = ascendor::QuerySntp(host, settings);
    if (!r.ok()) return std::nullopt;
    return static_cast<TDateTime>(r.measurement.offsetTicks) / (kMSecsPerDay * 10000.0);
}

bool InProcessClockAdjuster::Adjust(const std::wstring& host) {
    ascendor::SystemClockSetter setter;
    return ascendor::SyncClockWith(host, ascendor::SntpSettings{}, setter) == S_OK;
}

ComPtr<IMyPrivilegedObject> ElevatedTimeServiceFactory::Create() {
    ComPtr<IMyPrivilegedObject> object;
    CoCreateInstanceAsAdmin(creator_, owner_, ascendor::CLSID_MyPrivilegedObject, ascendor::IID_IMyPrivilegedObject,
                            object.put_void());
    return object;
}

void WindowMainThread::Post(std::function<void()> task) {
    std::lock_guard<std::mutex> l(lock_);
    tasks_.push_back(std::move(task));
    if (!PostMessageW(window_, message_, 0, 0)) tasks_.pop_back();
}

void WindowMainThread::RunPostedTasks() noexcept {
    std::deque<std::function<void()>> due;
    try {
        std::lock_guard<std::mutex> l(lock_);
        due.swap(tasks_);
    } catch (...) {
        return;   // the lock failed: the tasks wait for the next message
    }
    for (auto& task : due)
        if (task) Guarded(task);
}

bool IsVistaOrLater() noexcept { return IsWindowsVistaOrGreater(); }

}  // namespace vt
