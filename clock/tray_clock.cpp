#include "clock/tray_clock.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <stdexcept>

#include "base/dib.h"
#include "base/text.h"
#include "base/taskbar_locator.h"

namespace vt {

namespace {

// The class must run our procedure: a registration left with another one is replaced.
void RegisterTrayClockClass(WNDPROC proc) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kTrayClockWindowClass, &existing)) {
        if (existing.lpfnWndProc == proc) return;
        UnregisterClassW(kTrayClockWindowClass, instance);
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = kTrayClockWindowClass;
    if (!RegisterClassExW(&wc)) throw std::runtime_error("Cannot register the tray clock window class");
}

}  // namespace

HWND SystemTrayCalls::FindClockWindow() { return FindTaskbarClockWindow(); }

bool SystemTrayCalls::TrackMouse(TRACKMOUSEEVENT& event) { return TrackMouseEvent(&event) != FALSE; }

bool SystemTrayCalls::IsTaskbarVertical() {
    APPBARDATA data{};
    data.cbSize = sizeof data;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data)) return false;
    return data.uEdge == ABE_LEFT || data.uEdge == ABE_RIGHT;
}

POINT SystemTrayCalls::CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

ITrayClockSystem& SystemTray() {
    static SystemTrayCalls calls;
    return calls;
}

TTrayClock::TTrayClock(ITrayClockSystem& system) : system_(system) {
    RegisterTrayClockClass(&Proc);
    CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClockWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("Cannot create the tray clock window");
    quitMessage_ = RegisterWindowMessageW(kHostQuitMessage);
}

TTrayClock::~TTrayClock() {
    destroying_ = true;
    background_.reset();
    // The host releases the clock window; a hung or vanished host must not hold up the exit.
    if (clockWindow_ && IsWindow(clockWindow_) && quitMessage_) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(clockWindow_, quitMessage_, reinterpret_cast<WPARAM>(hwnd_), 0,
                            SMTO_ABORTIFHUNG | SMTO_NORMAL, kHostTimeoutMs, &answer);
    }
    leftPressed_ = rightPressed_ = false;
    if (hwnd_) KillTimer(hwnd_, kLeaveTimer);
}

void TTrayClock::Loaded() {
    if (active_) AttachToTaskbarClock();
}

void TTrayClock::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active_)
        AttachToTaskbarClock();
    else
        DetachFromTaskbarClock();
}

void TTrayClock::AttachToTaskbarClock() {
    leftPressed_ = rightPressed_ = false;
    trackErrorReported_ = false;
    // The window the host announced is the one it serves; the locator covers a host that announced nothing.
    clockWindow_ = announcedClock_ && IsWindow(announcedClock_) ? announcedClock_ : system_.FindClockWindow();
    // The host may not run yet: the shell's own clock then gets the attach message and ignores it.
    if (clockWindow_) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(clockWindow_, WM_CLOCKATTACH, reinterpret_cast<WPARAM>(hwnd_), 0,
                            SMTO_ABORTIFHUNG | SMTO_NORMAL, kHostTimeoutMs, &answer);
    }
}

void TTrayClock::WindowHidden() const {
    if (clockWindow_ && IsWindow(clockWindow_)) PostMessageW(clockWindow_, WM_CLOCKRESHOW, 0, 0);
}

void TTrayClock::DetachFromTaskbarClock() { leftPressed_ = rightPressed_ = false; }

void TTrayClock::TrackMouse(HWND window, DWORD flags) {
    TRACKMOUSEEVENT e{};
    e.cbSize = sizeof e;
    e.dwFlags = flags;
    e.hwndTrack = window;
    e.dwHoverTime = kHoverTimeMs;
    if (system_.TrackMouse(e) || trackErrorReported_) return;
    // Once per attach, and never while the host waits for our answer: it would freeze the taskbar clock.
    trackErrorReported_ = true;
    std::wstring text = SystemErrorText(GetLastError());
    if (OnTrackMouseError) {
        OnTrackMouseError(text);
    } else {
        trackError_ = std::move(text);
        PostMessageW(hwnd_, kShowTrackErrorMessage, 0, 0);
    }
}

ShiftState TTrayClock::GetShiftState() const {
    ShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= kShiftKey;
    if (GetKeyState(VK_CONTROL) < 0) s |= kCtrlKey;
    if (GetKeyState(VK_MENU) < 0) s |= kAltKey;
    return s;
}

POINT TTrayClock::Cursor() const { return system_.CursorPos(); }

bool TTrayClock::ClockWindowShown() const { return clockWindow_ && IsWindow(clockWindow_) && IsWindowVisible(clockWindow_); }

bool TTrayClock::IsTaskbarVertical() const { return system_.IsTaskbarVertical(); }

bool TTrayClock::ShowPopupMenu(int x, int y) {
    if (!popupMenu_) return false;   // nothing to show: the click does nothing
    HWND owner = menuOwner_ ? menuOwner_ : hwnd_;
    if (!destroying_) {
        HWND active = GetActiveWindow();
        SendMessageW(active ? active : owner, WM_CANCELMODE, 0, 0);
    }
    // The application's main window comes to the foreground for the menu, so that the menu closes when
    // the user clicks elsewhere; afterwards the hidden window takes the foreground from it again.
    SetForegroundWindow(owner);
    // The host tracks hover on its own window and keeps reporting while the menu is up.
    menuShowing_ = true;
    TrackPopupMenuEx(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, owner, nullptr);
    menuShowing_ = false;
    PostMessageW(owner, WM_NULL, 0, 0);
    if (!destroying_ && hwnd_) SetForegroundWindow(hwnd_);
    return true;
}

bool TTrayClock::ClickDefaultItem() {
    if (destroying_ || !active_ || !popupMenu_) return false;
    int count = GetMenuItemCount(popupMenu_);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(popupMenu_, i, TRUE, &info)) continue;
        if ((info.fState & MFS_DEFAULT) && !(info.fState & MFS_DISABLED) && !info.hSubMenu) {
            PostMessageW(menuOwner_ ? menuOwner_ : hwnd_, WM_COMMAND, MAKEWPARAM(info.wID, 0), 0);
            return true;
        }
    }
    return false;
}

void TTrayClock::DblClick() {
    if (ClickDefaultItem()) return;
    if (OnDblClick) OnDblClick();
}

void TTrayClock::DoClick(MouseButton button, ShiftState shift, int x, int y) {
    if (button == MouseButton::Right) {
        // Shown after the answer, so the host does not wait out a modal menu.
        if (popupMenu_) PostMessageW(hwnd_, kShowPopupMessage, static_cast<WPARAM>(x), static_cast<LPARAM>(y));
        return;
    }
    if (OnClick) OnClick(button, shift, x, y);
}

void TTrayClock::MouseDown(MouseButton button, ShiftState shift) {
    POINT p = Cursor();
    if (OnMouseDown) OnMouseDown(button, shift, p.x, p.y);
}

void TTrayClock::MouseUp(MouseButton button, ShiftState shift) {
    POINT p = Cursor();
    if (OnMouseUp) OnMouseUp(button, shift, p.x, p.y);
}

void TTrayClock::MouseMove(ShiftState shift) {
    POINT p = Cursor();
    if (OnMouseMove) OnMouseMove(shift, p.x, p.y);
}

LRESULT TTrayClock::CalcClockSize() {
    if (OnCalcClockSize) OnCalcClockSize();
    RECT client{};
    GetClientRect(clockWindow_, &client);
    // The taskbar decides the other dimension.
    if (IsTaskbarVertical())
        clockWidth_ = client.right - client.left;
    else
        clockHeight_ = client.bottom - client.top;
    return PackClockSize(clockWidth_, clockHeight_);
}

void TTrayClock::CopyBackground() {
    UniqueHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, kSharedDataName));
    if (!mapping) return;
    ++backgroundVersion_;
    background_.reset();
    backgroundSize_ = {};
    const int width = clockWidth_, height = clockHeight_;
    if (width <= 0 || height <= 0) return;
    // A mapping published for another size must not be read past its end.
    UniqueView view =
        MapAtLeast(mapping.get(), FILE_MAP_READ, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    if (!view) return;

    BITMAPINFO info = TopDownDib32(width, height);
    WindowDC screen(nullptr);
    if (!screen) return;
    UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
    if (!copy) return;
    if (SetDIBits(screen.get(), copy.get(), 0, static_cast<UINT>(height), view.get(), &info, DIB_RGB_COLORS) != height)
        return;
    background_ = std::move(copy);
    backgroundSize_ = {width, height};
}

void TTrayClock::PaintClockWindow() {
    if (!background_) return;
    PaintDC paint(clockWindow_);
    if (!paint.get()) return;
    RECT client{};
    GetClientRect(clockWindow_, &client);
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    UniqueMemDC memory(CreateCompatibleDC(paint.get()));
    UniqueBitmap canvas(CreateCompatibleBitmap(paint.get(), width, height));
    if (!memory || !canvas) return;
    SelectGuard keepCanvas(memory.get(), canvas.get());
    DrawClock(memory.get(), client);
    BitBlt(paint.get(), 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void TTrayClock::DrawClock(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    UniqueMemDC source(CreateCompatibleDC(dc));
    if (source && background_) {
        SelectGuard keepBackground(source.get(), background_.get());
        BitBlt(dc, 0, 0, backgroundSize_.cx, backgroundSize_.cy, source.get(), 0, 0, SRCCOPY);
    }
    if (OnPaint) OnPaint(dc, client);
}

LRESULT TTrayClock::RenderToHostPixels(HWND clock) {
    if (!background_ || !clock || !IsWindow(clock)) return 0;
    RECT client{};
    GetClientRect(clock, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return 0;
    UniqueHandle mapping(OpenFileMappingW(FILE_MAP_WRITE, FALSE, kClockPixelsName));
    if (!mapping) return 0;
    // A mapping made for another size must not be written past its end.
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    UniqueView view = MapAtLeast(mapping.get(), FILE_MAP_WRITE, bytes);
    if (!view) return 0;
    BITMAPINFO info = TopDownDib32(width, height);
    void* bits = nullptr;
    UniqueBitmap section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemDC memory(CreateCompatibleDC(nullptr));
    if (!section || !bits || !memory) return 0;
    {
        SelectGuard keep(memory.get(), section.get());
        DrawClock(memory.get(), client);
    }
    GdiFlush();
    std::memcpy(view.get(), bits, bytes);
    return kClockRenderedAnswer;
}

// A release after a press on the clock is a click there.
void TTrayClock::ButtonUp(MouseButton button, ShiftState shift, bool& pressed) {
    if (pressed) {
        pressed = false;
        const POINT p = Cursor();
        DoClick(button, shift, p.x, p.y);
    }
    MouseUp(button, shift);
}

// A mouse message of the clock window, as the host forwards it.
void TTrayClock::ForwardedMouse(LPARAM code, ShiftState shift) {
    switch (code) {
    case WM_MOUSEMOVE:
        TrackMouse(clockWindow_, TME_HOVER | TME_LEAVE);
        MouseMove(shift);
        break;
    case WM_LBUTTONDOWN:
        MouseDown(MouseButton::Left, shift | kLeftButton);
        leftPressed_ = true;
        break;
    case WM_LBUTTONUP: ButtonUp(MouseButton::Left, shift | kLeftButton, leftPressed_); break;
    case WM_LBUTTONDBLCLK:
        DblClick();
        MouseDown(MouseButton::Left, shift | kDoubleClick);
        break;
    case WM_RBUTTONDOWN:
        TrackMouse(clockWindow_, TME_CANCEL | TME_HOVER | TME_LEAVE);
        KillTimer(hwnd_, kLeaveTimer);
        MouseDown(MouseButton::Right, shift | kRightButton);
        rightPressed_ = true;
        break;
    case WM_RBUTTONUP: ButtonUp(MouseButton::Right, shift | kRightButton, rightPressed_); break;
    case WM_RBUTTONDBLCLK: MouseDown(MouseButton::Right, shift | kDoubleClick); break;
    case WM_MBUTTONDOWN: MouseDown(MouseButton::Middle, shift | kMiddleButton); break;
    case WM_MBUTTONUP: MouseUp(MouseButton::Middle, shift | kMiddleButton); break;
    case WM_MBUTTONDBLCLK: MouseDown(MouseButton::Middle, shift | kDoubleClick); break;
    case WM_MOUSEHOVER: {
        const POINT p = Cursor();
        if (OnMouseOver && !menuShowing_) OnMouseOver(shift, p.x, p.y);
        break;
    }
    case WM_MOUSELEAVE: SetTimer(hwnd_, kLeaveTimer, kLeaveDelayMs, nullptr); break;
    case CLOCKCODE_CANCELLEAVE: KillTimer(hwnd_, kLeaveTimer); break;
    default: break;
    }
}

LRESULT TTrayClock::Forwarded(LPARAM code) {
    switch (code) {
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_MOUSEHOVER: case WM_MOUSELEAVE:
        // A hover that comes while the quick menu is up opens nothing over it, then or later.
        if (code == WM_MOUSEHOVER && menuShowing_) return kMouseForwardAnswer;
        // Answered at once: what a click or a hover does (the main form shown, the calendar's pictures
        // decoded, the options written) runs after the answer, in the order the codes came. The sender
        // (on the hook road, the taskbar's own thread) must not wait for it.
        PostMessageW(hwnd_, kForwardedMouseMessage, static_cast<WPARAM>(code), static_cast<LPARAM>(GetShiftState()));
        return kMouseForwardAnswer;
    case CLOCKCODE_CANCELLEAVE:
        // In line with the leave it cancels.
        PostMessageW(hwnd_, kForwardedMouseMessage, static_cast<WPARAM>(code), 0);
        return 0;
    case CLOCKCODE_BACKGROUND:
        CopyBackground();
        return 0;
    case CLOCKCODE_SIZE:
        return CalcClockSize();
    case WM_PAINT:
        PaintClockWindow();
        return 0;
    case CLOCKCODE_RENDER:
        return RenderToHostPixels(clockWindow_);
    default:
        return 0;
    }
}

LRESULT TTrayClock::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TRAYCLOCKINIT:
        announcedClock_ = IsWindow(reinterpret_cast<HWND>(wParam)) ? reinterpret_cast<HWND>(wParam) : nullptr;
        SetActive(false);
        if (OnInit) OnInit();
        SetActive(true);
        return 1;
    case WM_TIMER:
        if (wParam == kLeaveTimer && !ClockWindowShown()) {
            KillTimer(hwnd_, kLeaveTimer);   // a hidden clock reports no leave, and the timer stops asking
            return 0;
        }
        if (wParam == kLeaveTimer) {
            KillTimer(hwnd_, kLeaveTimer);
            TrackMouse(clockWindow_, TME_CANCEL | TME_HOVER | TME_LEAVE);
            POINT p = Cursor();
            if (OnMouseLeave) OnMouseLeave(GetShiftState(), p.x, p.y);
            return 1;
        }
        break;
    case WM_TRAYCLOCKFORWARD:
        if (active_ && ClockWindowShown()) return Forwarded(lParam);
        break;
    case kForwardedMouseMessage:
        ForwardedMouse(static_cast<LPARAM>(wParam), static_cast<ShiftState>(lParam));
        return 0;
    case kShowPopupMessage:
        ShowPopupMenu(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case kShowTrackErrorMessage:
        if (!trackError_.empty()) {
            // "Error" is the text and the system's words the caption, owned by the tracked window.
            std::wstring systemText = std::exchange(trackError_, {});
            HWND owner = clockWindow_ && IsWindow(clockWindow_) ? clockWindow_ : nullptr;
            MessageBoxW(owner, L"Error", systemText.c_str(), MB_OK | MB_ICONERROR);
        }
        return 0;
    default:
        break;
    }
    // Our own window, not the clock window: its handle may still be unknown (or belong to the host).
    return Default(message, wParam, lParam);
}

bool RefreshTaskbarClockWindow(HWND clock, bool relayout) {
    if (!clock || !IsWindow(clock)) return false;
    InvalidateRect(clock, nullptr, TRUE);
    if (!relayout) return false;
    HWND notify = GetAncestor(clock, GA_PARENT);
    wchar_t cls[64] = {};
    if (!notify || !GetClassNameW(notify, cls, 64) || wcscmp(cls, kTrayNotifyClass) != 0) return false;
    HWND taskbar = GetAncestor(notify, GA_ROOT);
    if (!taskbar) return false;
    PostMessageW(taskbar, WM_EXITSIZEMOVE, 0, 0);
    PostMessageW(taskbar, WM_SIZE, 0, 0);
    return true;
}

}  // namespace vt
