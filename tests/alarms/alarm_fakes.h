// Fakes for the alarm model: a clock that tests move, the list, the switches and the wake timer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "alarms/alarm_list.h"
#include "base/datetime.h"
#include "base/now.h"

namespace vt::test {

inline TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime(y, mo, d, h, mi, s, ms);
}

inline std::int64_t Ms(TDateTime t) { return DateTimeToMSecs(t); }

class FakeNow final : public INow {
public:
    explicit FakeNow(TDateTime t = 0) : now_(t) {}
    TDateTime Now() const override { return now_; }
    TDateTime UtcNow() const override { return now_; }
    std::uint64_t TickCount64() const override { return static_cast<std::uint64_t>(Ms(now_)); }
    void Set(TDateTime t) { now_ = t; }
    void Advance(double days) { now_ += days; }
    void AdvanceMs(std::int64_t ms) { now_ = MSecsToDateTime(Ms(now_) + ms); }

private:
    TDateTime now_;
};

class FakeList final : public IAlarmListSink {
public:
    void Clear() override { items.clear(); }
    void Add(const AlarmListItem& item) override { items.push_back(item); }
    std::vector<AlarmListItem> items;
};

class FakeErrors final : public IAlarmErrors {
public:
    void AlarmError(const std::wstring& text) override { texts.push_back(text); }
    std::vector<std::wstring> texts;
};

class FakeSwitches final : public IAlarmSwitches {
public:
    bool AlarmsEnabled() const override { return enabled; }
    int LabelFilter() const override { return label; }
    bool enabled = true;
    int label = 0;
};

class FakeWakeTimer final : public IWakeTimer {
public:
    struct Log {
        std::vector<TDateTime> armed;
        int cancels = 0;
        bool failArm = false;
        bool armedNow = false;
        TDateTime due = 0;
    };
    explicit FakeWakeTimer(Log& log) : log_(log) {}
    bool Arm(TDateTime utcDue) override {
        if (log_.failArm) return false;
        log_.armed.push_back(utcDue);
        log_.armedNow = true;
        log_.due = utcDue;
        return true;
    }
    bool Cancel() override {
        ++log_.cancels;
        log_.armedNow = false;
        return true;
    }
    std::wstring LastErrorText() const override { return L"Access is denied."; }

private:
    Log& log_;
};

// Central European rules: UTC+1, UTC+2 from the last Sunday of March 02:00 local to the last Sunday
// of October 03:00 local.
class FakeEuropeZone final : public ILocalToUtc {
public:
    TDateTime LocalToUtc(TDateTime local) const override {
        CivilTime t = DecodeDateTime(local);
        auto lastSunday = [&](int month) {
            TDateTime d = EncodeDate(t.year, month, 31);
            while (DayOfWeek(d) != 1) d -= 1;
            return d;
        };
        bool summer = local >= lastSunday(3) + 2 * kOneHour && local < lastSunday(10) + 3 * kOneHour;
        return local - (summer ? 2 : 1) * kOneHour;
    }
};

}  // namespace vt::test
