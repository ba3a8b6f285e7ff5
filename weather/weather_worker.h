// The weather worker: one thread that performs one request and hands the reply to the main thread.
// It reads no control and parses nothing; the main thread gives it everything it needs up front.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "weather/weather_request.h"

namespace vt {

class WeatherWorker {
public:
    // `notifyMain` is called on the worker thread when the result is ready; it must only post a
    // message (or set a flag) for the main thread, which then calls TakeResult.
    explicit WeatherWorker(std::function<void()> notifyMain);
    ~WeatherWorker();
    WeatherWorker(const WeatherWorker&) = delete;
    WeatherWorker& operator=(const WeatherWorker&) = delete;

    // Main thread. False (and nothing started) while a request runs or its result waits to be taken.
    bool Start(WeatherRequest request);
    bool Running() const { return running_; }
    // Main thread: the finished request's result, or nothing while it still runs.
    std::optional<HttpResult> TakeResult();
    // Main thread: ends a running request within one read time-out and joins the thread. No result is
    // delivered after it.
    void Stop();

private:
    void Run(WeatherRequest request);

    std::function<void()> notifyMain_;
    bool running_ = false;              // main thread only
    std::atomic<bool> cancel_{false};
    std::mutex lock_;
    std::optional<HttpResult> result_;  // written by the worker, taken by the main thread
    std::thread thread_;
};

}  // namespace vt
