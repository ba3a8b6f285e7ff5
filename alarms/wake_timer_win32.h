// The real wake timer: the named waitable timer "WaitableTimer", armed with resume. Only the program
// creates it; nothing else in the alarms library refers to it, so test programs never link the call
// that can wake the machine.
#pragma once
#include <memory>
#include <string>

#include "alarms/wake_timer.h"

namespace vt {

// Nothing, with the system's text in `error`, when the timer cannot be created; the alarms then work
// without waking the machine.
std::unique_ptr<IWakeTimer> CreateSystemWakeTimer(std::wstring& error);

}  // namespace vt
