#include "alarms/wake_timer_win32.h"

#include <windows.h>

#include "clock/base/handles.h"
#include "clock/base/now.h"

namespace vt {

namespace {

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::wstring text = n && buf ? std::wstring(buf, n) : L"Error " + std::to_wstring(code);
    if (buf) LocalFree(buf);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

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
