#include "alarms/wake_timer_win32.h"

#include "base/text.h"

#include <windows.h>

#include "base/handles.h"
#include "base/now.h"

namespace vt {

namespace {

class SystemWakeTimer final : public IWakeTimer {
public:
    explicit SystemWakeTimer(HANDLE h) : timer_(h) {}
    // Closing the handle cancels a pending wake-up.
    ~SystemWakeTimer() override { CancelWaitableTimer(timer_.get()); }

    bool Arm(TDateTime utcDue) override {
        SYSTEMTIME st = DateTimeToSystemTime(utcDue);
        FILETIME ft{};
        if (!SystemTimeToFileTime(&st, &ft)) return Fail();
        LARGE_INTEGER due;
        due.LowPart = ft.dwLowDateTime;
        due.HighPart = static_cast<LONG>(ft.dwHighDateTime);
        if (!SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, TRUE)) return Fail();
        return true;
    }
    bool Cancel() override { return CancelWaitableTimer(timer_.get()) != FALSE || Fail(); }
    std::wstring LastErrorText() const override { return SystemErrorText(lastError_); }

private:
    bool Fail() {
        lastError_ = GetLastError();
        return false;
    }
    UniqueHandle timer_;
    DWORD lastError_ = 0;
};

}  // namespace

std::unique_ptr<IWakeTimer> CreateSystemWakeTimer(std::wstring& error) {
    HANDLE h = CreateWaitableTimerW(nullptr, TRUE, L"WaitableTimer");
    if (!h) {
        error = SystemErrorText(GetLastError());
        return nullptr;
    }
    return std::make_unique<SystemWakeTimer>(h);
}

}  // namespace vt
