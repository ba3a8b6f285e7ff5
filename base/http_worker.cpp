#include "base/http_worker.h"

#include "base/handles.h"
#include "base/text.h"

namespace vt {

HttpWorker::HttpWorker(std::function<void()> notifyMain) : notifyMain_(std::move(notifyMain)) {}

HttpWorker::~HttpWorker() { Stop(); }

void HttpWorker::Exchange::Deliver(HttpResult r) {
    {
        std::lock_guard<std::mutex> l(lock);
        if (stopped || delivered) return;
        delivered = true;
        result = std::move(r);
    }
    if (notifyMain) notifyMain();
}

bool HttpWorker::Start(HttpRequest request) {
    if (running_) return false;
    // An exchange given up at its deadline may still hold its connection: one at a time.
    if (exchange_) {
        std::lock_guard<std::mutex> l(exchange_->lock);
        if (!exchange_->finished) return false;
    }
    JoinOrLeave(0);
    auto exchange = std::make_shared<Exchange>();
    exchange->notifyMain = notifyMain_;
    const unsigned deadline = request.limits.deadlineMs;
    running_ = true;
    try {
        thread_ = std::thread(&HttpWorker::Run, exchange, std::move(request));
        watch_ = std::thread(&HttpWorker::Watch, exchange, deadline);
    } catch (...) {
        running_ = false;
        exchange->cancel.Cancel();
        exchange_ = exchange;
        JoinOrLeave(kStopWaitMs);
        throw;
    }
    exchange_ = std::move(exchange);
    return true;
}

std::optional<HttpResult> HttpWorker::TakeResult() {
    std::optional<HttpResult> r;
    if (!exchange_) return r;
    {
        std::lock_guard<std::mutex> l(exchange_->lock);
        r.swap(exchange_->result);
    }
    if (!r) return r;
    running_ = false;
    JoinOrLeave(0);   // the threads have nothing left to do, or are left to end by themselves
    return r;
}

void HttpWorker::Stop() {
    if (!exchange_) return;
    {
        std::lock_guard<std::mutex> l(exchange_->lock);
        exchange_->stopped = true;
        exchange_->result.reset();
    }
    exchange_->changed.notify_all();
    exchange_->cancel.Cancel();   // ends the exchange at whatever stage the network library allows
    JoinOrLeave(kStopWaitMs);
    running_ = false;
}

// Joins the threads of the current exchange when it has returned within `waitMs`; otherwise leaves
// them: they hold the exchange's state themselves and end when the connection does.
void HttpWorker::JoinOrLeave(unsigned waitMs) {
    // Already joined or left: a second Stop (the destruction after a shutdown) must not wait again.
    if (!exchange_ || (!thread_.joinable() && !watch_.joinable())) return;
    bool finished = false;
    {
        std::unique_lock<std::mutex> l(exchange_->lock);
        finished = exchange_->changed.wait_for(l, std::chrono::milliseconds(waitMs), [&] { return exchange_->finished; });
    }
    exchange_->changed.notify_all();   // the watch ends once the exchange has
    if (finished) {
        if (thread_.joinable()) thread_.join();
        if (watch_.joinable()) watch_.join();
        return;
    }
    if (thread_.joinable()) thread_.detach();
    if (watch_.joinable()) watch_.detach();
}

void HttpWorker::Run(std::shared_ptr<Exchange> exchange, HttpRequest request) {
    try {
        HttpResult result;
        try {
            // The worker keeps an apartment of its own, as every thread of the program that may touch COM.
            ComApartment apartment;
            if (!apartment.ok())
                result.error = L"COM could not be started for the request.";
            else
                result = PerformHttpGet(request, &exchange->cancel);
        } catch (const std::exception& e) {
            result = HttpResult{};
            result.error = Widen(e.what());
        }
        exchange->Deliver(std::move(result));
    } catch (...) {
        // Nothing may leave the thread.
    }
    {
        std::lock_guard<std::mutex> l(exchange->lock);
        exchange->finished = true;
    }
    exchange->changed.notify_all();
}

// The deadline counts from the request's start, whatever stage the exchange is stuck in: past it the
// main thread gets the time-out, even if the network library keeps the exchange waiting.
void HttpWorker::Watch(std::shared_ptr<Exchange> exchange, unsigned deadlineMs) {
    try {
        std::unique_lock<std::mutex> l(exchange->lock);
        if (exchange->changed.wait_for(l, std::chrono::milliseconds(deadlineMs + kDeadlineGraceMs),
                                       [&] { return exchange->finished || exchange->stopped; }))
            return;
        l.unlock();
        exchange->cancel.Cancel();
        HttpResult late;
        late.error = SystemErrorText(ERROR_TIMEOUT);
        exchange->Deliver(std::move(late));
    } catch (...) {
    }
}

}  // namespace vt
