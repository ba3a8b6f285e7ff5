#include "timeservice/time_sync.h"

#include "base/handles.h"

namespace ascendor {

namespace {

// Enables one privilege of the process token for its lifetime, then puts the old state back.
class PrivilegeScope {
public:
    explicit PrivilegeScope(const wchar_t* name) noexcept {
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token_.put())) return;
        TOKEN_PRIVILEGES wanted{};
        wanted.PrivilegeCount = 1;
        wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!LookupPrivilegeValueW(nullptr, name, &wanted.Privileges[0].Luid)) return;
        DWORD size = sizeof previous_;
        if (!AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof previous_, &previous_, &size)) return;
        // Success with ERROR_NOT_ALL_ASSIGNED means the account lacks the privilege.
        held_ = GetLastError() == ERROR_SUCCESS;
        adjusted_ = true;
    }
    ~PrivilegeScope() {
        if (adjusted_) AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
    }
    PrivilegeScope(const PrivilegeScope&) = delete;
    PrivilegeScope& operator=(const PrivilegeScope&) = delete;
    bool held() const noexcept { return held_; }
private:
    vt::UniqueHandle token_;
    TOKEN_PRIVILEGES previous_{};
    bool adjusted_ = false;
    bool held_ = false;
};

}  // namespace

bool SystemClockSetter::SetUtcTime(const SYSTEMTIME& utc) {
    PrivilegeScope privilege(SE_SYSTEMTIME_NAME);
    return privilege.held() && SetSystemTime(&utc);
}

SYSTEMTIME TicksToSystemTime(FileTimeTicks ticks) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

HRESULT SyncClockWith(const std::wstring& host, const SntpSettings& settings, IClockSetter& setter) noexcept {
    try {
        SntpResult result = QuerySntp(host, settings);
        switch (result.status) {
            case SntpStatus::Ok: break;
            case SntpStatus::UnknownHost:
            case SntpStatus::SocketError: return E_ABORT;
            default: return E_FAIL;
        }
        // The offset is applied to the clock as it reads now, not as it read when the reply came.
        SYSTEMTIME utc = TicksToSystemTime(UtcNowTicks() + result.measurement.offsetTicks);
        return setter.SetUtcTime(utc) ? S_OK : E_FAIL;
    } catch (...) {
        return E_ABORT;
    }
}

}  // namespace ascendor
