// The taskbar host: serves the taskbar clock window and lets the program's tray-clock component answer for it.
// Where the shell keeps its clock inside "TrayNotifyWnd", the host takes that window over; where it has none
// (Wine's desktop, newer shells) it serves a top-level clock window of its own over the taskbar's
// notification end. A window that another process paints into must be top-level to show what it draws.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/window.h"
#include "clock/tray_protocol.h"
#include "host/hook/clock_hook.h"

namespace vt::host {

inline constexpr wchar_t kHostWindowClass[] = L"QuellixHost";

class TaskbarHost;

// The process that started this host: the program it serves, watched from the host's own start, so that
// a program that dies before it ever talks to its host takes the host with it.
struct StartingProgram {
    UniqueHandle process;   // opened for waiting; empty when it cannot be told
    DWORD id = 0;
    bool gone = false;      // it ended before the host looked
};
StartingProgram OpenStartingProgram();

// The clock window of class "TrayClockWClass": owned by the taskbar, top-most, never activated.
class HostClockWindow : public Window<HostClockWindow> {
public:
    HostClockWindow(TaskbarHost& host, HWND taskbar);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    TaskbarHost& host_;
    bool tracking_ = false;
};

class TaskbarHost : public Window<TaskbarHost> {
public:
    static constexpr UINT_PTR kWatchTimer = 1;
    static constexpr UINT_PTR kSettleTimer = 2;
    static constexpr UINT_PTR kReshowTimer = 3;
    static constexpr UINT_PTR kLookTimer = 4;
    static constexpr UINT kLookSettleMs = 1000;   // time for the taskbar to repaint in a new look
    static constexpr UINT kReshowMs = 400;   // time for the taskbar to drop the hidden window's button
    static constexpr UINT kSettleMs = 250;
    static constexpr UINT kWatchMs = 1000;
    static constexpr UINT kComponentTimeoutMs = 3000;
    static constexpr DWORD kHoverTimeMs = 1000;

    TaskbarHost(std::wstring componentClass, StartingProgram program);
    ~TaskbarHost() override;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The message loop until the quit message or the end of the program's process; the exit code.
    int Run();

    // Called by the clock window.
    void Attach(HWND component);
    void Quit();
    bool Forward(LPARAM code, LRESULT* answer = nullptr);
    void Paint();
    void ClockWindowDestroyed(HWND window);
    void ReshowSoon();
    UINT QuitMessage() const { return quitMessage_; }
    HWND Component() const { return component_; }

private:
    void Watch();
    // Watches the process of the attached component where it is not the starting program: the program
    // may die without saying "Quellix-quit".
    void WatchProgram(HWND component);
    void RepaintSoon();
    void Rebuild();
    void Announce();
    void CaptureTaskbar();
    void Place();
    void Publish();
    void PaintBackground();
    // The taskbar behind the clock window, `size` from the screen point `origin`, rows top to bottom.
    std::vector<std::uint32_t> Background(POINT origin, SIZE size) const;
    // Where the shell's own clock window is on screen, beside or under the host's; empty where it has none.
    RECT ShellClockRect() const;
    // The taskbar's theme, colours or accent colour changed: its picture is taken again.
    void LookChanged();
    void TakeTaskbarLookAgain();
    void ReshowAfterButtonsChanged(HWND clock);
    void Reshow(HWND clock);
    // Asks the component for the clock's pixels and shows them; false when it drew none.
    bool PaintComponentPixels();
    SIZE DefaultSize() const;
    bool Vertical() const;
    bool TakeShellClock(HWND clock);
    void ReleaseShellClock();

    std::wstring componentClass_;
    UINT quitMessage_ = 0;
    UINT taskbarCreatedMessage_ = 0;
    HWND taskbar_ = nullptr;
    RECT taskbarRect_{};
    HWND component_ = nullptr;
    UniqueHandle program_;    // the starting program's or the attached component's process, waited on by Run
    DWORD programId_ = 0;
    std::unique_ptr<HostClockWindow> clock_;
    // The shell's own clock window while the hook library serves it (classic taskbars).
    HWND shellClock_ = nullptr;
    UniqueLibrary hookLibrary_;
    UniqueHandle pixels_;     // "Quellix-ClockPixels", the component's drawing
    SIZE pixelsSize_{};
    ULONG_PTR buttons_ = 0;   // the taskbar's shown children when last looked at
    TakeClockFn takeClock_ = nullptr;
    ReleaseClockFn releaseClock_ = nullptr;
    SIZE answered_{};
    bool published_ = false;
    UniqueHandle mapping_;
    // The taskbar's pixels as captured while no clock window covered them, rows top to bottom.
    std::vector<std::uint32_t> strip_;
    RECT stripRect_{};
};

// Ends an earlier host of this session, so that one host serves the clock. Returns false when it stays.
bool ReplaceRunningHost(UniqueHandle& instanceMutex);

}  // namespace vt::host
