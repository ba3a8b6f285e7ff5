// The HTTP worker: one thread that performs one request and hands the reply to the main thread.
// It reads no control and parses nothing; the main thread gives it everything it needs up front.
#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "base/http.h"

namespace vt {

class HttpWorker {
public:
    // `notifyMain` is called on a worker thread when the result is ready; it must only post a
    // message (or set a flag) for the main thread, which then calls TakeResult.
    explicit HttpWorker(std::function<void()> notifyMain);
    ~HttpWorker();
    HttpWorker(const HttpWorker&) = delete;
    HttpWorker& operator=(const HttpWorker&) = delete;

    // Main thread. False (and nothing started) while a request runs or its result waits to be taken, and
    // while an exchange given up at its deadline still holds its connection.
    bool Start(HttpRequest request);
    bool Running() const { return running_; }
    // Main thread: the finished request's result, or nothing while it still runs.
    std::optional<HttpResult> TakeResult();
    // Main thread: ends a running request and returns within kStopWaitMs. An exchange the network
    // library does not let go of in that time is left to end by itself; no result is delivered after it.
    void Stop();

    static constexpr unsigned kStopWaitMs = 100;
    static constexpr unsigned kDeadlineGraceMs = 500;

private:
    // What one exchange shares with the threads that serve it; it outlives the worker if need be.
    struct Exchange {
        std::function<void()> notifyMain;
        HttpCancel cancel;
        std::mutex lock;
        std::condition_variable changed;
        std::optional<HttpResult> result;
        bool finished = false;     // the exchange itself has returned
        bool delivered = false;    // a result was handed over (the exchange's, or the deadline's)
        bool stopped = false;      // Stop: nothing is handed over any more
        void Deliver(HttpResult r);
    };
    static void Run(std::shared_ptr<Exchange> exchange, HttpRequest request);
    static void Watch(std::shared_ptr<Exchange> exchange, unsigned deadlineMs);
    void JoinOrLeave(unsigned waitMs);

    std::function<void()> notifyMain_;
    bool running_ = false;   // main thread only
    std::shared_ptr<Exchange> exchange_;
    std::thread thread_, watch_;
};

}  // namespace vt
