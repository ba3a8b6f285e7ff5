#include "host/taskbar_host.h"

#include <tlhelp32.h>

#include "base/dib.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "base/taskbar_locator.h"

namespace vt::host {

namespace {

void RegisterClassOnce(const wchar_t* name, WNDPROC proc, UINT style) {
    if (!RegisterWindowClass(name, proc, style)) throw std::runtime_error("Cannot register a window class");
}

bool IsMouseCode(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) || message == WM_MOUSEHOVER ||
           message == WM_MOUSELEAVE;
}

DWORD ColorToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// The clock window

HostClockWindow::HostClockWindow(TaskbarHost& host, HWND taskbar) : host_(host) {
    RegisterClassOnce(kTrayClockClass, &Proc, CS_DBLCLKS);
    CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTrayClockClass, L"", WS_POPUP, 0, 0, 0, 0, taskbar, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("Cannot create the clock window");
}

LRESULT HostClockWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == host_.QuitMessage()) {
        host_.Quit();
        return 1;
    }
    switch (message) {
    case WM_CLOCKATTACH:
        host_.Attach(reinterpret_cast<HWND>(wParam));
        return 1;
    case WM_CLOCKCANCELLEAVE:
        host_.Forward(CLOCKCODE_CANCELLEAVE);
        return 0;
    case WM_CLOCKRESHOW:
        host_.ReshowSoon();
        return 0;
    case WM_PAINT:
        host_.Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;   // the paint covers every pixel; erasing first would flicker
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;   // a click on the clock must not take the focus from the user's window
    case WM_MOUSEMOVE:
        // Hover and leave are tracked here, on the window's own thread; the program's tracking of a window of
        // another process is not to be relied on.
        if (!tracking_) {
            TRACKMOUSEEVENT e{};
            e.cbSize = sizeof e;
            e.dwFlags = TME_HOVER | TME_LEAVE;
            e.hwndTrack = hwnd_;
            e.dwHoverTime = TaskbarHost::kHoverTimeMs;
            tracking_ = TrackMouseEvent(&e) != FALSE;
        }
        host_.Forward(message);
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        host_.Forward(message);
        return 0;
    case WM_DESTROY:
        host_.ClockWindowDestroyed(hwnd_);
        return 0;
    default:
        if (IsMouseCode(message)) {
            host_.Forward(message);
            return 0;
        }
        return Default(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// The host

namespace {

BOOL CALLBACK AddShownChild(HWND child, LPARAM sum) {
    // The taskbar itself is shown: a child's own style says whether it shows, without asking for each of its
    // parents in turn as IsWindowVisible does (every question about another process's window is a round
    // trip to the window server, once a second).
    if (GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)
        *reinterpret_cast<ULONG_PTR*>(sum) += reinterpret_cast<ULONG_PTR>(child) | 1;
    return TRUE;
}

// Changes whenever the taskbar's shown child windows change (Wine's taskbar keeps a button window for
// each program window).
ULONG_PTR ShownChildrenSignature(HWND taskbar) {
    ULONG_PTR sum = 0;
    if (!IsWindowVisible(taskbar)) return sum;   // none of its children shows
    EnumChildWindows(taskbar, AddShownChild, reinterpret_cast<LPARAM>(&sum));
    return sum;
}

// Whether the clock window is no longer top-most, or a shown window above it covers part of it. Usually
// nothing is above it, and asking costs one look; raising it again costs the window server a move and
// the window two messages.
bool CoveredFromAbove(HWND clock) {
    if (!(GetWindowLongPtrW(clock, GWL_EXSTYLE) & WS_EX_TOPMOST)) return true;
    RECT mine{};
    GetWindowRect(clock, &mine);
    for (HWND above = GetWindow(clock, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT theirs{}, common{};
        if (IsWindowVisible(above) && GetWindowRect(above, &theirs) && IntersectRect(&common, &mine, &theirs)) return true;
    }
    return false;
}

}  // namespace

TaskbarHost::TaskbarHost(std::wstring componentClass, StartingProgram program)
    : componentClass_(std::move(componentClass)), program_(std::move(program.process)), programId_(program.id) {
    quitMessage_ = RegisterWindowMessageW(kHostQuitMessage);
    taskbarCreatedMessage_ = RegisterWindowMessageW(kTaskbarCreatedMessage);
    RegisterClassOnce(kHostWindowClass, &Proc, 0);
    // Hidden but top-level: the shell's "TaskbarCreated" is broadcast to top-level windows only.
    CreateWindowExW(WS_EX_TOOLWINDOW, kHostWindowClass, L"Quellix", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("Cannot create the host window");
    SetTimer(hwnd_, kWatchTimer, kWatchMs, nullptr);
    Watch();
}

// Wine's taskbar, when its buttons change, leaves the clock window showing nothing of what is drawn into
// it from then on, until the window is shown anew. Elsewhere the taskbar's children stay as they are.
void TaskbarHost::ReshowAfterButtonsChanged(HWND clock) {
    const ULONG_PTR buttons = ShownChildrenSignature(taskbar_);
    if (buttons == buttons_) return;
    buttons_ = buttons;
    Reshow(clock);
}

void TaskbarHost::Reshow(HWND clock) {
    if (!IsWindowVisible(clock)) return;
    ShowWindow(clock, SW_HIDE);
    ShowWindow(clock, SW_SHOWNA);
    InvalidateRect(clock, nullptr, FALSE);
}

// A window shown and hidden between two looks at the taskbar leaves its children as they were: the
// program says when it hides one of its own.
void TaskbarHost::ReshowSoon() {
    if (clock_ && clock_->hwnd()) SetTimer(hwnd_, kReshowTimer, kReshowMs, nullptr);
}

TaskbarHost::~TaskbarHost() {
    if (hwnd_) KillTimer(hwnd_, kWatchTimer);
    ReleaseShellClock();
    clock_.reset();
    mapping_.reset();
}

LRESULT TaskbarHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == quitMessage_) {
        Quit();
        return 1;
    }
    if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_) {
        // The shell restarted: a new taskbar, so a new clock window owned by it.
        Rebuild();
        return 0;
    }
    if (message == WM_CLOCKATTACH) {
        // Posted by the shell's clock window once the component attached to it.
        component_ = IsWindow(reinterpret_cast<HWND>(wParam)) ? reinterpret_cast<HWND>(wParam) : nullptr;
        WatchProgram(component_);
        return 0;
    }
    if (message == WM_TIMER && wParam == kWatchTimer) {
        Watch();
        return 0;
    }
    if (message == WM_TIMER && wParam == kReshowTimer) {
        KillTimer(hwnd_, kReshowTimer);
        if (clock_ && clock_->hwnd()) Reshow(clock_->hwnd());
        return 0;
    }
    if (message == WM_TIMER && wParam == kLookTimer) {
        KillTimer(hwnd_, kLookTimer);
        TakeTaskbarLookAgain();
        return 0;
    }
    if (message == WM_THEMECHANGED || message == WM_SYSCOLORCHANGE || message == WM_DWMCOLORIZATIONCOLORCHANGED ||
        (message == WM_SETTINGCHANGE && lParam &&
         lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0)) {
        LookChanged();
        return Default(message, wParam, lParam);
    }
    if (message == WM_TIMER && wParam == kSettleTimer) {
        KillTimer(hwnd_, kSettleTimer);
        if (clock_ && clock_->hwnd()) InvalidateRect(clock_->hwnd(), nullptr, FALSE);
        return 0;
    }
    return Default(message, wParam, lParam);
}

void TaskbarHost::Attach(HWND component) {
    component_ = IsWindow(component) ? component : nullptr;
    WatchProgram(component_);
    published_ = false;
    if (clock_ && clock_->hwnd()) InvalidateRect(clock_->hwnd(), nullptr, FALSE);
    RepaintSoon();
}

// What this process drew into the clock window itself (or the blank window of a new size) reaches the
// screen a little later and can cover the component's paint: the component paints once more after it.
void TaskbarHost::RepaintSoon() {
    if (component_) SetTimer(hwnd_, kSettleTimer, kSettleMs, nullptr);
}

void TaskbarHost::WatchProgram(HWND component) {
    DWORD id = 0;
    if (!component || !GetWindowThreadProcessId(component, &id) || id == programId_ || id == GetCurrentProcessId())
        return;
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    if (!process) return;
    program_ = std::move(process);
    programId_ = id;
}

int TaskbarHost::Run() {
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Asleep until a message comes or the program's process ends: no wake-up of its own.
        HANDLE program = program_.get();
        const DWORD woke = MsgWaitForMultipleObjectsEx(program ? 1 : 0, program ? &program : nullptr, INFINITE,
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (program && woke == WAIT_OBJECT_0) {
            // Gone without a word: its last picture must not stay over the taskbar.
            program_.reset();
            Quit();
        } else if (woke == WAIT_FAILED) {
            program_.reset();   // never spin on a handle that cannot be waited on
            programId_ = 0;
        }
    }
}

void TaskbarHost::Quit() {
    KillTimer(hwnd_, kWatchTimer);
    KillTimer(hwnd_, kSettleTimer);
    component_ = nullptr;
    PostQuitMessage(0);
}

bool TaskbarHost::Forward(LPARAM code, LRESULT* answer) {
    if (!component_) return false;
    DWORD_PTR result = 0;
    HWND clock = clock_ ? clock_->hwnd() : nullptr;
    if (!SendMessageTimeoutW(component_, WM_TRAYCLOCKFORWARD, reinterpret_cast<WPARAM>(clock), code,
                             SMTO_ABORTIFHUNG | SMTO_NORMAL, kComponentTimeoutMs, &result)) {
        // Gone for good: announce again to whoever starts next. A slow answer just counts as none.
        if (!IsWindow(component_)) component_ = nullptr;
        return false;
    }
    if (answer) *answer = static_cast<LRESULT>(result);
    return true;
}

void TaskbarHost::ClockWindowDestroyed(HWND) {
    // Destroyed with its owner (the shell went away): the watch builds a new one.
    published_ = false;
}

bool TaskbarHost::Vertical() const {
    return (taskbarRect_.bottom - taskbarRect_.top) > (taskbarRect_.right - taskbarRect_.left);
}

SIZE TaskbarHost::DefaultSize() const {
    if (Vertical()) return {taskbarRect_.right - taskbarRect_.left, 60};
    return {100, taskbarRect_.bottom - taskbarRect_.top};
}

void TaskbarHost::Watch() {
    if (component_ && !IsWindow(component_)) component_ = nullptr;
    HWND taskbar = FindTaskbarWindow();
    if (!taskbar) {
        ReleaseShellClock();
        clock_.reset();
        taskbar_ = nullptr;
        return;
    }
    if (shellClock_) {
        if (taskbar != taskbar_ || !IsWindow(shellClock_)) Rebuild();
        else if (!component_) Announce();
        return;
    }
    HWND clock = clock_ ? clock_->hwnd() : nullptr;
    if (taskbar != taskbar_ || !clock || !IsWindow(clock)) {
        Rebuild();
        return;
    }
    RECT rect{};
    GetWindowRect(taskbar_, &rect);
    if (!EqualRect(&rect, &taskbarRect_)) {
        // The taskbar moved or changed size: take its picture again while the clock is out of the way.
        ShowWindow(clock, SW_HIDE);
        taskbarRect_ = rect;
        CaptureTaskbar();
        published_ = false;
        Place();
        InvalidateRect(clock, nullptr, FALSE);
    } else {
        // Other top-most windows may have come over it.
        if (CoveredFromAbove(clock)) SetWindowPos(clock, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ReshowAfterButtonsChanged(clock);
    }
    if (!component_) Announce();
}

void TaskbarHost::Rebuild() {
    ReleaseShellClock();
    clock_.reset();
    published_ = false;
    component_ = nullptr;
    taskbar_ = FindTaskbarWindow();
    if (!taskbar_) return;
    // A classic taskbar keeps its clock inside the notification area: that window is taken over in place.
    if (HWND notify = FindTrayNotifyWindow()) {
        HWND shellClock = FindWindowExW(notify, nullptr, kTrayClockClass, nullptr);
        if (shellClock && TakeShellClock(shellClock)) {
            Announce();
            return;
        }
    }
    GetWindowRect(taskbar_, &taskbarRect_);
    // A fresh picture of the taskbar before the clock window covers its end.
    RedrawWindow(taskbar_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CaptureTaskbar();
    clock_ = std::make_unique<HostClockWindow>(*this, taskbar_);
    Place();
    // The component finds the new clock window when it attaches again.
    Announce();
}

bool TaskbarHost::TakeShellClock(HWND clock) {
    if (!hookLibrary_) {
        wchar_t path[MAX_PATH * 2] = {};
        DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
        std::wstring dir(path, n);
        dir.resize(dir.find_last_of(L'\\') + 1);
        hookLibrary_.reset(LoadLibraryW((dir + kHookLibrary).c_str()));
        if (!hookLibrary_) return false;
        takeClock_ = reinterpret_cast<TakeClockFn>(reinterpret_cast<void*>(GetProcAddress(hookLibrary_.get(), kTakeClockEntry)));
        releaseClock_ =
            reinterpret_cast<ReleaseClockFn>(reinterpret_cast<void*>(GetProcAddress(hookLibrary_.get(), kReleaseClockEntry)));
    }
    if (!takeClock_ || !releaseClock_) return false;
    if (!takeClock_(clock, hwnd_)) {
        // Not taken (another bitness, a hook refused): the host serves a window of its own instead.
        releaseClock_(nullptr);
        return false;
    }
    shellClock_ = clock;
    return true;
}

void TaskbarHost::ReleaseShellClock() {
    if (releaseClock_ && shellClock_) releaseClock_(shellClock_);
    shellClock_ = nullptr;
}

void TaskbarHost::Announce() {
    HWND component = FindWindowW(componentClass_.c_str(), nullptr);
    if (!component || (!clock_ && !shellClock_)) return;
    DWORD_PTR answer = 0;
    // The component attaches from inside this call (message 1168 to the clock window).
    HWND served = shellClock_ ? shellClock_ : clock_->hwnd();
    SendMessageTimeoutW(component, WM_TRAYCLOCKINIT, reinterpret_cast<WPARAM>(served), 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kComponentTimeoutMs, &answer);
}

void TaskbarHost::CaptureTaskbar() {
    stripRect_ = taskbarRect_;
    strip_ = CaptureScreen(stripRect_);
}

// The taskbar repaints itself in its new look in its own time; the messages of one change come in a
// burst. The picture is taken once, a moment after the last.
void TaskbarHost::LookChanged() { SetTimer(hwnd_, kLookTimer, kLookSettleMs, nullptr); }

void TaskbarHost::TakeTaskbarLookAgain() {
    if (shellClock_) {
        // The same component attached again makes the taken clock publish the background anew.
        if (component_)
            SendMessageTimeoutW(shellClock_, WM_CLOCKATTACH, reinterpret_cast<WPARAM>(component_), 0,
                                SMTO_ABORTIFHUNG | SMTO_NORMAL, kComponentTimeoutMs, nullptr);
        return;
    }
    if (!clock_ || !clock_->hwnd()) return;
    // The clock window may stay where it is: nothing under it is taken from the picture.
    CaptureTaskbar();
    published_ = false;
    InvalidateRect(clock_->hwnd(), nullptr, FALSE);
}

RECT TaskbarHost::ShellClockRect() const {
    RECT rect{};
    if (HWND notify = FindTrayNotifyWindow())
        if (HWND shellClock = FindWindowExW(notify, nullptr, kTrayClockClass, nullptr)) GetWindowRect(shellClock, &rect);
    return rect;
}

void TaskbarHost::Place() {
    if (!clock_ || !clock_->hwnd()) return;
    SIZE size = answered_.cx > 0 && answered_.cy > 0 ? answered_ : DefaultSize();
    // Over the shell's own clock where it has one we could not take over; else at the taskbar's end.
    RECT anchor = ShellClockRect();
    if (IsRectEmpty(&anchor)) anchor = taskbarRect_;
    int x, y;
    if (Vertical()) {
        size.cx = taskbarRect_.right - taskbarRect_.left;
        x = taskbarRect_.left;
        y = anchor.bottom - size.cy;
    } else {
        size.cy = taskbarRect_.bottom - taskbarRect_.top;
        x = anchor.right - size.cx;
        y = taskbarRect_.top;
    }
    SetWindowPos(clock_->hwnd(), HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TaskbarHost::Publish() {
    if (!clock_) return;
    RECT window{};
    GetWindowRect(clock_->hwnd(), &window);
    SIZE size = answered_.cx > 0 && answered_.cy > 0 ? answered_
                                                     : SIZE{window.right - window.left, window.bottom - window.top};
    UniqueView view = PublishBackgroundView(mapping_, size);
    if (!view) return;
    const std::vector<std::uint32_t> pixels = Background({window.left, window.top}, size);
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(view.get()));
}

namespace {

std::uint32_t MostCommon(std::vector<std::uint32_t>& pixels) {
    std::sort(pixels.begin(), pixels.end());
    std::uint32_t best = pixels.front();
    size_t bestRun = 0;
    for (size_t i = 0, run = 0; i < pixels.size(); ++i) {
        run = i > 0 && pixels[i] == pixels[i - 1] ? run + 1 : 1;
        if (run > bestRun) {
            bestRun = run;
            best = pixels[i];
        }
    }
    return best;
}

}  // namespace

// Nothing is copied from where the clock window and the shell's own clock are: a picture of that place
// holds the shell's digits, frozen, or the clock window itself. Each line across the taskbar takes the
// colour it shows most beside them instead, within the notification area where the shell has one (its
// background may not be the rest of the taskbar's).
std::vector<std::uint32_t> TaskbarHost::Background(POINT origin, SIZE size) const {
    std::vector<std::uint32_t> out(static_cast<size_t>(size.cx) * size.cy, ColorToPixel(GetSysColor(COLOR_3DFACE)));
    if (strip_.empty() || size.cx <= 0 || size.cy <= 0) return out;
    RECT covered{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    const RECT shellClock = ShellClockRect();
    UnionRect(&covered, &covered, &shellClock);
    RECT notify{}, beside{};
    HWND area = FindTrayNotifyWindow();
    if (!area || !GetWindowRect(area, &notify) || !IntersectRect(&beside, &notify, &stripRect_)) beside = stripRect_;
    // Lines across the taskbar are rows of a horizontal one and columns of a vertical one.
    const bool vertical = Vertical();
    auto along = [vertical](const RECT& r) { return vertical ? std::pair{r.top, r.bottom} : std::pair{r.left, r.right}; };
    auto pixel = [&](int onLine, int lineAt) {
        const int x = vertical ? lineAt : onLine, y = vertical ? onLine : lineAt;
        return strip_[static_cast<size_t>(y - stripRect_.top) * (stripRect_.right - stripRect_.left) + (x - stripRect_.left)];
    };
    const auto [coverFrom, coverTo] = along(covered);
    const auto [firstLine, endLine] = vertical ? std::pair{stripRect_.left, stripRect_.right}
                                               : std::pair{stripRect_.top, stripRect_.bottom};
    std::vector<std::uint32_t> line;
    for (int i = 0, lines = vertical ? size.cx : size.cy; i < lines; ++i) {
        const int lineAt = (vertical ? origin.x : origin.y) + i;
        if (lineAt < firstLine || lineAt >= endLine) continue;
        for (const RECT& range : {beside, stripRect_}) {
            const auto [from, to] = along(range);
            line.clear();
            for (int onLine = from; onLine < to; ++onLine)
                if (onLine < coverFrom || onLine >= coverTo) line.push_back(pixel(onLine, lineAt));
            if (!line.empty()) break;
        }
        if (line.empty()) continue;
        const std::uint32_t colour = MostCommon(line);
        for (int j = 0, length = vertical ? size.cy : size.cx; j < length; ++j)
            out[vertical ? static_cast<size_t>(j) * size.cx + i : static_cast<size_t>(i) * size.cx + j] = colour;
    }
    return out;
}

bool TaskbarHost::PaintComponentPixels() {
    HWND clock = clock_->hwnd();
    RECT client{};
    GetClientRect(clock, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return false;
    const DWORD bytes = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    if (!pixels_ || pixelsSize_.cx != width || pixelsSize_.cy != height) {
        pixels_.reset();
        pixels_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, kClockPixelsName));
        pixelsSize_ = pixels_ ? SIZE{width, height} : SIZE{};
        if (!pixels_) return false;
    }
    LRESULT answer = 0;
    if (!Forward(CLOCKCODE_RENDER, &answer) || answer != kClockRenderedAnswer) return false;
    // The name may have been taken by a mapping of another size before ours: never read past its end.
    UniqueView view = MapAtLeast(pixels_.get(), FILE_MAP_READ, bytes);
    if (!view) return false;
    PaintDC paint(clock);
    if (!paint.get()) return true;
    BITMAPINFO info = TopDownDib32(width, height);
    SetDIBitsToDevice(paint.get(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), view.get(), &info, DIB_RGB_COLORS);
    return true;
}

void TaskbarHost::PaintBackground() {
    HWND clock = clock_->hwnd();
    PaintDC paint(clock);
    if (!paint.get()) return;
    RECT client{};
    GetClientRect(clock, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    POINT origin{0, 0};
    ClientToScreen(clock, &origin);
    const std::vector<std::uint32_t> pixels = Background(origin, {client.right, client.bottom});
    BITMAPINFO info = TopDownDib32(client.right, client.bottom);
    SetDIBitsToDevice(paint.get(), 0, 0, static_cast<DWORD>(client.right), static_cast<DWORD>(client.bottom), 0, 0, 0,
                      static_cast<UINT>(client.bottom), pixels.data(), &info, DIB_RGB_COLORS);
}

void TaskbarHost::Paint() {
    if (!clock_ || !clock_->hwnd()) return;
    LRESULT size = 0;
    if (component_ && Forward(CLOCKCODE_SIZE, &size) && size) {
        SIZE wanted{ClockSizeWidth(size), ClockSizeHeight(size)};
        if (wanted.cx != answered_.cx || wanted.cy != answered_.cy) {
            answered_ = wanted;
            published_ = false;
            Place();
            RepaintSoon();
        }
    }
    if (component_ && !published_) {
        Publish();
        published_ = Forward(CLOCKCODE_BACKGROUND);
    }
    if (published_ && PaintComponentPixels()) return;
    PaintBackground();
    RepaintSoon();
}

// ---------------------------------------------------------------------------------------------------------------

namespace {

DWORD ParentProcessId() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return 0;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
    return 0;
}

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

StartingProgram OpenStartingProgram() {
    StartingProgram program;
    const DWORD parent = ParentProcessId();
    if (!parent) return program;   // not to be told: the first attach names the program
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, parent));
    if (!process) {
        // No process of that id any more; one that may not be opened is left to the first attach.
        program.gone = GetLastError() == ERROR_INVALID_PARAMETER;
        return program;
    }
    // The id may already have been given to a process started after this one: that is not the starter.
    const ULONGLONG started = CreationTime(process.get()), self = CreationTime(GetCurrentProcess());
    if (started && self && started > self) {
        program.gone = true;
        return program;
    }
    program.process = std::move(process);
    program.id = parent;
    return program;
}

bool ReplaceRunningHost(UniqueHandle& instanceMutex) {
    instanceMutex.reset(CreateMutexW(nullptr, FALSE, L"Quellix-Host"));
    if (!instanceMutex) return true;   // no way to tell: serve anyway
    DWORD wait = WaitForSingleObject(instanceMutex.get(), 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return true;
    // An earlier host still serves the clock (a program that ended without telling it): it makes room.
    const UINT quit = RegisterWindowMessageW(kHostQuitMessage);
    for (HWND w = FindWindowW(kHostWindowClass, nullptr); w; w = FindWindowExW(nullptr, w, kHostWindowClass, nullptr))
        PostMessageW(w, quit, 0, 0);
    wait = WaitForSingleObject(instanceMutex.get(), 10000);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

}  // namespace vt::host
