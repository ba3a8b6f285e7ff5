// Nothing is destroyed while its own code still runs. A message box, a menu or a modal dialog runs a
// loop of its own that delivers every message of the thread, the end of the session and the quit among
// them; whatever such a message would destroy waits until the program's code has unwound: until the
// outermost of our window procedures on this thread has returned.
//
// Every window procedure of ours (Window<T>, Dialog) counts as the program's code while it runs; code
// that runs a nested loop outside one opens an OwnCodeScope around it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

namespace vt {

class OwnCodeScope {
public:
    OwnCodeScope() noexcept;
    // The outermost scope runs what waited for it.
    ~OwnCodeScope();
    OwnCodeScope(const OwnCodeScope&) = delete;
    OwnCodeScope& operator=(const OwnCodeScope&) = delete;
};

// Whether code of ours is on this thread's stack (a destruction asked for now would wait).
bool OwnCodeRunning() noexcept;

// Runs `destroy` now when none of our code runs, else once it has unwound, in the order asked.
void WhenUnwound(std::function<void()> destroy);

// Destroys the window now or once our code has unwound; a window gone by then is left alone.
void DestroyWindowWhenUnwound(HWND window);

// Deletes the object now or once our code has unwound.
template <class T>
void DeleteWhenUnwound(std::unique_ptr<T> object) {
    if (!object) return;
    std::shared_ptr<T> held(std::move(object));
    WhenUnwound([held]() mutable { held.reset(); });
}

// The program ends: the nested loops running now end too (an open menu closes; message boxes and modal
// dialogs end on the quit message, which they hand on to the main loop).
void EndNestedLoops(int exitCode = 0) noexcept;

}  // namespace vt
