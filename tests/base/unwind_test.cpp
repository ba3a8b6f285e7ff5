// Destruction asked for inside a nested loop waits until the code that runs the loop has returned.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/unwind.h"
#include "base/window.h"

using namespace vt;

namespace {

constexpr UINT kRunLoop = WM_APP + 1;   // the handler runs a nested loop, as a message box would
constexpr UINT kAskEnd = WM_APP + 2;    // reaches the window from inside that loop

// A window of ours whose handler runs a loop of its own and notes what it finds after it.
class LoopingWindow : public Window<LoopingWindow> {
public:
    bool Create() {
        RegisterWindowClass(L"VantoricUnwindTest", Proc);
        return CreateWindowExW(0, L"VantoricUnwindTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), this) != nullptr;
    }
    std::vector<std::string> log;
    bool aliveAfterLoop = false;

private:
    friend class Window<LoopingWindow>;
    LRESULT OnMessage(UINT m, WPARAM w, LPARAM l) {
        if (m == kRunLoop) {
            const HWND self = hwnd_;
            PostMessageW(self, kAskEnd, 0, 0);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            aliveAfterLoop = IsWindow(self) != FALSE;
            log.push_back("loop returned");
            return 0;
        }
        if (m == kAskEnd) {
            log.push_back("end asked");
            DestroyWindowWhenUnwound(hwnd_);
            return 0;
        }
        if (m == WM_DESTROY) log.push_back("destroyed");
        return DefWindowProcW(hwnd_, m, w, l);
    }
};

struct Noted {
    std::vector<std::string>& log;
    ~Noted() { log.push_back("deleted"); }
};

}  // namespace

TEST(WhenUnwound, AWindowAskedToGoInsideItsOwnNestedLoopGoesAfterTheHandlerReturns) {
    LoopingWindow window;
    ASSERT_TRUE(window.Create());
    const HWND h = window.hwnd();
    EXPECT_FALSE(OwnCodeRunning());
    SendMessageW(h, kRunLoop, 0, 0);
    EXPECT_TRUE(window.aliveAfterLoop) << "destroyed under the handler that ran the loop";
    EXPECT_EQ(window.log, (std::vector<std::string>{"end asked", "loop returned", "destroyed"}));
    EXPECT_FALSE(IsWindow(h));
}

TEST(WhenUnwound, RunsAtOnceWhenNoCodeOfOursRunsAndInOrderOtherwise) {
    std::vector<std::string> log;
    DeleteWhenUnwound(std::make_unique<Noted>(log));
    EXPECT_EQ(log, std::vector<std::string>{"deleted"});

    log.clear();
    {
        OwnCodeScope running;
        EXPECT_TRUE(OwnCodeRunning());
        DeleteWhenUnwound(std::make_unique<Noted>(log));
        WhenUnwound([&] { log.push_back("second"); });
        {
            OwnCodeScope inner;
        }
        log.push_back("still running");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"still running", "deleted", "second"}));
}

namespace {
void CALLBACK EndLoopsOnTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    EndNestedLoops(7);
}

// Whether a quit message with `code` waits in the queue; it is taken out.
bool TakeQuit(int code) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    return static_cast<int>(msg.wParam) == code;
}
}  // namespace

TEST(EndNestedLoops, EndsAMessageBoxAndAMenuAndHandsTheQuitOn) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    SetTimer(owner, 1, 200, EndLoopsOnTimer);
    MessageBoxW(owner, L"ends by itself", L"Vantoric test", MB_OK);
    EXPECT_TRUE(TakeQuit(7)) << "the box's loop did not hand the quit on";

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"one");
    SetForegroundWindow(owner);
    SetTimer(owner, 1, 200, EndLoopsOnTimer);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
    TakeQuit(7);
    DestroyMenu(menu);
    DestroyWindow(owner);
}
