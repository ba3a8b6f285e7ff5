// TTrayClock: the program's side of the taskbar clock. A hidden window of class "TTrayClock" talks to the
// taskbar host Quellix.exe, which serves the clock window on the taskbar and forwards that window's mouse
// messages, paint requests and size queries here. The component turns them into events and paints the
// clock into the clock window over the taskbar background that the host publishes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/handles.h"
#include "base/window.h"
#include "clock/tray_protocol.h"

namespace vt {

// Keys and buttons of a mouse event.
enum ShiftFlag : unsigned {
    kShiftKey = 1u << 0,
    kAltKey = 1u << 1,
    kCtrlKey = 1u << 2,
    kLeftButton = 1u << 3,
    kRightButton = 1u << 4,
    kMiddleButton = 1u << 5,
    kDoubleClick = 1u << 6,
};
using ShiftState = unsigned;

enum class MouseButton { Left, Right, Middle };

// What the component asks of the system. The program passes SystemTray(); tests pass fakes.
class ITrayClockSystem {
public:
    virtual HWND FindClockWindow() = 0;                    // the locator, when the host announced none
    virtual bool TrackMouse(TRACKMOUSEEVENT& event) = 0;
    virtual bool IsTaskbarVertical() = 0;                  // the shell's taskbar position
    virtual POINT CursorPos() = 0;

protected:
    ~ITrayClockSystem() = default;
};

// The machine's own calls: FindTaskbarClockWindow, TrackMouseEvent, the shell's taskbar edge,
// GetCursorPos. A fake that changes only some of them derives from it.
class SystemTrayCalls : public ITrayClockSystem {
public:
    HWND FindClockWindow() override;
    bool TrackMouse(TRACKMOUSEEVENT& event) override;
    bool IsTaskbarVertical() override;
    POINT CursorPos() override;
};
// The one the program passes.
ITrayClockSystem& SystemTray();

class TTrayClock : public Window<TTrayClock> {
public:
    using MouseEvent = std::function<void(MouseButton button, ShiftState shift, int x, int y)>;
    using MoveEvent = std::function<void(ShiftState shift, int x, int y)>;
    using NotifyEvent = std::function<void()>;
    // dc holds the taskbar background already; client is the clock window's client rectangle.
    using PaintEvent = std::function<void(HDC dc, const RECT& client)>;
    using ErrorEvent = std::function<void(const std::wstring& text)>;

    static constexpr UINT_PTR kLeaveTimer = 123;
    static constexpr UINT kLeaveDelayMs = 1000;
    static constexpr DWORD kHoverTimeMs = 1000;
    // Longest wait for the host's answer: a hung host must not hang the program.
    static constexpr UINT kHostTimeoutMs = 500;   // also bounds the quit

    explicit TTrayClock(ITrayClockSystem& system);
    ~TTrayClock() override;

    // After the events are set: attaches when Active (the host may not run yet; it announces itself later).
    void Loaded();
    bool Active() const { return active_; }
    void SetActive(bool active);
    void Show() { SetActive(true); }
    // The program hid one of its windows: the host shows its clock window anew (see WM_CLOCKRESHOW).
    void WindowHidden() const;

    // Kept for the stored settings; nothing depends on it.
    WORD Interval() const { return interval_; }
    void SetInterval(WORD interval) { interval_ = interval; }

    int ClockWidth() const { return clockWidth_; }
    int ClockHeight() const { return clockHeight_; }
    void SetClockWidth(int width) { clockWidth_ = width; }
    void SetClockHeight(int height) { clockHeight_ = height; }

    // The right button's menu; its commands go to menuOwner as WM_COMMAND (the main form's window).
    void SetPopupMenu(HMENU menu, HWND menuOwner) { popupMenu_ = menu; menuOwner_ = menuOwner; }
    HMENU PopupMenu() const { return popupMenu_; }

    // The clock window of the last attach: the one the host announced (wParam of its WM_TRAYCLOCKINIT), else
    // the one FindTaskbarClockWindow finds; null when there is none. The main form refreshes this window.
    HWND ClockWindow() const { return clockWindow_; }
    // The host has announced the window it serves: its questions about the clock are on their way.
    bool HostAnnounced() const { return announcedClock_ != nullptr; }
    bool HasBackground() const { return static_cast<bool>(background_); }
    // Changes whenever the host publishes the picture under the clock anew (its size goes with it).
    std::uint64_t BackgroundVersion() const { return backgroundVersion_; }

    MouseEvent OnClick, OnMouseDown, OnMouseUp;
    NotifyEvent OnDblClick;
    MoveEvent OnMouseMove, OnMouseOver, OnMouseLeave;
    PaintEvent OnPaint;
    NotifyEvent OnInit;
    NotifyEvent OnCalcClockSize;   // sets ClockWidth and ClockHeight
    // Mouse tracking refused by the system; called once per attach. Unset: a message box, shown after the
    // host's message has been answered.
    ErrorEvent OnTrackMouseError;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static constexpr UINT kShowPopupMessage = WM_APP + 1;
    static constexpr UINT kShowTrackErrorMessage = WM_APP + 2;
    // A forwarded mouse code (wParam) with the keys (lParam) as they were when it came.
    static constexpr UINT kForwardedMouseMessage = WM_APP + 3;

    void AttachToTaskbarClock();
    void DetachFromTaskbarClock();
    void TrackMouse(HWND window, DWORD flags);
    ShiftState GetShiftState() const;
    POINT Cursor() const;
    bool ClockWindowShown() const;
    bool IsTaskbarVertical() const;
    bool ShowPopupMenu(int x, int y);
    bool ClickDefaultItem();

    void ButtonUp(MouseButton button, ShiftState shift, bool& pressed);
    LRESULT Forwarded(LPARAM code);
    void ForwardedMouse(LPARAM code, ShiftState shift);
    void DblClick();
    void DoClick(MouseButton button, ShiftState shift, int x, int y);
    void MouseDown(MouseButton button, ShiftState shift);
    void MouseUp(MouseButton button, ShiftState shift);
    void MouseMove(ShiftState shift);
    LRESULT CalcClockSize();
    void CopyBackground();
    void PaintClockWindow();
    // The clock as it shows, into `dc` over the whole client rectangle.
    void DrawClock(HDC dc, const RECT& client);
    // CLOCKCODE_RENDER: the clock into the host's pixel mapping at the size of `clock`'s client area.
    LRESULT RenderToHostPixels(HWND clock);

    ITrayClockSystem& system_;
    bool active_ = true;
    bool destroying_ = false;
    bool leftPressed_ = false;
    bool rightPressed_ = false;
    bool trackErrorReported_ = false;
    bool menuShowing_ = false;   // the quick menu is up: a hover must not open anything over it
    UINT quitMessage_ = 0;
    HWND clockWindow_ = nullptr;
    HWND announcedClock_ = nullptr;
    WORD interval_ = 150;
    int clockWidth_ = 100;
    int clockHeight_ = 60;
    HMENU popupMenu_ = nullptr;
    HWND menuOwner_ = nullptr;
    UniqueBitmap background_;
    SIZE backgroundSize_{};
    std::uint64_t backgroundVersion_ = 0;
    std::wstring trackError_;
};

// For the main form's clock refresh: repaints the clock window found by FindTaskbarClockWindow and, when
// relayout is set, asks the taskbar to lay out its children again. Only a classic taskbar sizes its own clock
// window that way; the host's top-level window takes the size from the size query of each paint, and the
// taskbar is left alone. Returns whether the taskbar was asked.
bool RefreshTaskbarClockWindow(HWND clock, bool relayout);

}  // namespace vt
