#include "base/unwind.h"

#include <deque>
#include <utility>

#include "base/window.h"

namespace vt {

namespace {

struct Unwinding {
    int depth = 0;
    bool running = false;   // the waiting destructions run; one they start waits for the same round
    std::deque<std::function<void()>> waiting;
};

Unwinding& ThisThread() {
    thread_local Unwinding state;
    return state;
}

void RunWaiting(Unwinding& u) {
    if (u.running) return;
    u.running = true;
    while (!u.waiting.empty() && u.depth == 0) {
        std::function<void()> destroy = std::move(u.waiting.front());
        u.waiting.pop_front();
        Guarded(destroy);
    }
    u.running = false;
}

}  // namespace

OwnCodeScope::OwnCodeScope() noexcept { ++ThisThread().depth; }

OwnCodeScope::~OwnCodeScope() {
    Unwinding& u = ThisThread();
    if (--u.depth == 0 && !u.waiting.empty()) RunWaiting(u);
}

bool OwnCodeRunning() noexcept { return ThisThread().depth > 0; }

void WhenUnwound(std::function<void()> destroy) {
    if (!destroy) return;
    Unwinding& u = ThisThread();
    u.waiting.push_back(std::move(destroy));
    if (u.depth == 0) RunWaiting(u);
}

void DestroyWindowWhenUnwound(HWND window) {
    if (!window) return;
    WhenUnwound([window] {
        if (IsWindow(window)) DestroyWindow(window);
    });
}

void EndNestedLoops(int exitCode) noexcept {
    EndMenu();
    PostQuitMessage(exitCode);
}

}  // namespace vt
