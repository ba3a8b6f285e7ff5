#include "weather/weather_worker.h"

#include "clock/base/handles.h"
#include "clock/base/text.h"

namespace vt {

WeatherWorker::WeatherWorker(std::function<void()> notifyMain) : notifyMain_(std::move(notifyMain)) {}

WeatherWorker::~WeatherWorker() { Stop(); }

bool WeatherWorker::Start(WeatherRequest request) {
    if (running_) return false;
    if (thread_.joinable()) thread_.join();
    cancel_ = false;
    {
        std::lock_guard<std::mutex> l(lock_);
        result_.reset();
    }
    running_ = true;
    try {
        thread_ = std::thread([this, r = std::move(request)]() mutable { Run(std::move(r)); });
    } catch (...) {
        running_ = false;
        throw;
    }
    return true;
}

std::optional<HttpResult> WeatherWorker::TakeResult() {
    std::optional<HttpResult> r;
    {
        std::lock_guard<std::mutex> l(lock_);
        r.swap(result_);
    }
    if (!r) return r;
    if (thread_.joinable()) thread_.join();   // the worker has nothing left to do after handing over
    running_ = false;
    return r;
}

void WeatherWorker::Stop() {
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> l(lock_);
    result_.reset();
    running_ = false;
}

void WeatherWorker::Run(WeatherRequest request) {
    try {
        HttpResult result;
        try {
            // The worker keeps an apartment of its own, as every thread of the program that may touch COM.
            ComApartment apartment;
            if (!apartment.ok())
                result.error = L"COM could not be started for the request.";
            else
                result = PerformWeatherRequest(request, &cancel_);
        } catch (const std::exception& e) {
            result = HttpResult{};
            result.error = Widen(e.what());
        }
        if (cancel_) return;
        {
            std::lock_guard<std::mutex> l(lock_);
            result_ = std::move(result);
        }
        if (notifyMain_) notifyMain_();
    } catch (...) {
        // Nothing may leave the thread; a result that could not be handed over is a request that never ended,
        // which Stop still joins.
    }
}

}  // namespace vt
