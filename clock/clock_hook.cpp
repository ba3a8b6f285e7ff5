#include "clock/clock_hook.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/handles.h"
#include "clock/clock_paint.h"
#include "clock/command_messages.h"
#include "base/taskbar_locator.h"
#include "clock/tray_protocol.h"

namespace vt {

// ---- the record ----

namespace {

bool PutText(ClockCopyBytes& bytes, std::size_t offset, std::size_t size, const std::wstring& text) {
    if (text.find(L'\0') != std::wstring::npos) return false;
    std::string utf8;
    if (!text.empty()) {
        int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
        if (n <= 0) return false;
        utf8.resize(static_cast<std::size_t>(n));
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), utf8.data(), n,
                            nullptr, nullptr);
    }
    if (utf8.size() + 1 > size) return false;
    std::memcpy(bytes.data() + offset, utf8.data(), utf8.size());
    return true;
}

std::optional<std::wstring> GetText(const unsigned char* bytes, std::size_t offset, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(bytes + offset);
    const auto* end = static_cast<const char*>(std::memchr(begin, 0, size));
    if (!end) return std::nullopt;   // no terminator inside the field: the sender is not ours
    const int n = static_cast<int>(end - begin);
    if (n == 0) return std::wstring();
    int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, begin, n, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, begin, n, text.data(), wide);
    return text;
}

HWND HandleFrom32(std::uint32_t v) {
    // Window handles are sign-extended 32-bit values on 64-bit Windows.
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(v)));
}

}  // namespace

std::optional<ClockCopyBytes> PackClockCopyData(const ClockCopyData& record) {
    ClockCopyBytes bytes{};
    if (!PutText(bytes, kClockCopyPathOffset, kClockCopyPathSize, record.skinsPath) ||
        !PutText(bytes, kClockCopySkinOffset, kClockCopySkinSize, record.skinName))
        return std::nullopt;
    const auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record.mainWindow));
    if (HandleFrom32(handle) != record.mainWindow) return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i)
        bytes[kClockCopyWindowOffset + i] = static_cast<unsigned char>(handle >> (8 * i));
    return bytes;
}

std::optional<ClockCopyData> UnpackClockCopyData(ULONG_PTR kind, DWORD size, const void* data) {
    if (kind != kClockCopyDataKind || size != kClockCopyDataSize || !data) return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);
    auto path = GetText(bytes, kClockCopyPathOffset, kClockCopyPathSize);
    auto skin = GetText(bytes, kClockCopySkinOffset, kClockCopySkinSize);
    if (!path || !skin) return std::nullopt;
    std::uint32_t handle = 0;
    for (std::size_t i = 0; i < 4; ++i) handle |= static_cast<std::uint32_t>(bytes[kClockCopyWindowOffset + i]) << (8 * i);
    return ClockCopyData{std::move(*path), std::move(*skin), HandleFrom32(handle)};
}

// ---- menu commands and clicks ----

namespace {

ClockAction Post(UINT message, WPARAM wParam = 0) {
    ClockAction a;
    a.post = message;
    a.wParam = wParam;
    return a;
}

ClockAction Toggle(bool& option, UINT message) {
    option = !option;
    return Post(message, option ? 1 : 0);
}

}  // namespace

std::optional<ClockAction> MenuCommandAction(unsigned command, TClockOptions& o) {
    const bool upTime = o.Mode == 1;
    ClockAction a;
    switch (command) {
    case kCmdShowMain: return Post(WM_SHOWMAIN);
    case kCmdQuit: return Post(WM_QUITPROGRAM);
    case kCmdDateTimeProperties: a.runDateTime = true; return a;
    case kCmdTime: if (upTime) a = Post(WM_TOGGLEUPTIME); break;
    case kCmdUpTime: if (!upTime) a = Post(WM_TOGGLEUPTIME); break;
    case kCmdUpTime5: if (!upTime) a = Post(WM_SHOWUPTIME5); break;
    case kCmdSyncTime: a = Post(WM_SYNCTIME); break;
    case kCmdRandomSkin: a = Post(WM_RANDOMSKIN); break;
    case kCmdCalendar: a = Post(WM_CALENDAR); break;
    case kCmdNewAlarm: a = Post(WM_NEWALARM); break;
    case kCmdWeatherSettings: a = Post(WM_WEATHERSETTINGS); break;
    case kCmdShowDate: a = Toggle(o.ShowDate, WM_SETSHOWDATE); break;
    case kCmdWeekShow: a = Toggle(o.WeekShow, WM_SETWEEKSHOW); break;
    case kCmdShowSeconds: a = Toggle(o.ShowSeconds, WM_SETSHOWSECONDS); break;
    case kCmdTwelveHour: a = Toggle(o.EnglishTime, WM_SET12HOUR); break;
    case kCmdTransparent:
        a = Toggle(o.TransparentClock, WM_SETTRANSPARENT);
        a.repaintFirst = true;
        break;
    default: return std::nullopt;
    }
    a.relayout = true;
    return a;
}

ClockAction ClickAction(TClockOptions& o) {
    ClockAction a;
    switch (o.Click) {
    case 0:
        a = Post(WM_SHOWMAIN);
        a.toFront = true;
        break;
    case 1: a.runDateTime = true; break;
    case 2: a = Post(WM_RANDOMSKIN); break;
    case 3:
        o.Mode = o.Mode == 0 ? 1 : 0;
        a = Post(WM_TOGGLEUPTIME);
        break;
    case 4: if (o.Mode != 1) a = Post(WM_SHOWUPTIME5); break;
    case 5: a = Post(WM_CALENDAR); break;
    case 6: a = Post(WM_FASTMENU); break;
    default: break;
    }
    return a;
}

// ---- module state ----
// Plain values only, so that the state is ready before any start-up code of the module has run.

namespace {

struct HookState {
    // Controlling side.
    HHOOK hook;
    HWND hookedTaskbar;
    HWND hookedClock;
    // Both sides: the main window to post to.
    HWND mainWindow;
    // Taskbar side.
    HWND clock;
    HWND notify;
    WNDPROC oldClockProc;
    WNDPROC oldNotifyProc;
    LRESULT lastHoverAnswer;
    bool trackErrorReported;
    bool pinned;
};

constinit HookState g_state{};
constinit ClockHookSystem g_system{};

constexpr UINT kSendTimeoutMs = 3000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    // A hung taskbar or program must not hang the other one.
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL, kSendTimeoutMs, &answer))
        return 0;
    return static_cast<LRESULT>(answer);
}

std::wstring SettingsDir() { return g_system.settingsDir ? g_system.settingsDir() : LocateClockSettingsDir(); }

void RunDateTimeProperties() {
    if (g_system.runDateTimeProperties) {
        g_system.runDateTimeProperties();
        return;
    }
    ShellExecuteW(nullptr, L"open", L"control.exe", L"timedate.cpl", nullptr, SW_SHOWNORMAL);
}

void TrackMouseFailed(HWND clock, DWORD error) {
    if (g_system.trackMouseFailed) {
        g_system.trackMouseFailed(clock, error);
        return;
    }
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    MessageBoxW(clock, L"Error", text ? text : L"", MB_OK);
    if (text) LocalFree(text);
}

void TrackMouse(HWND clock, DWORD flags) {
    TRACKMOUSEEVENT e{};
    e.cbSize = sizeof e;
    e.dwFlags = flags;
    e.hwndTrack = clock;
    e.dwHoverTime = kClockHoverTimeMs;
    const BOOL ok = g_system.trackMouse ? g_system.trackMouse(&e) : TrackMouseEvent(&e);
    if (ok || g_state.trackErrorReported) return;
    // Once per take-over: a box for every mouse move would bury the taskbar.
    g_state.trackErrorReported = true;
    TrackMouseFailed(clock, GetLastError());
}

void CancelTracking(HWND clock) { TrackMouse(clock, TME_CANCEL | TME_HOVER | TME_LEAVE); }

bool MainWindowKnown() { return g_state.mainWindow && IsWindow(g_state.mainWindow); }

// Never to a null window: that would land in the taskbar thread's own queue.
void PostToMain(UINT message, WPARAM wParam = 0) {
    if (MainWindowKnown()) PostMessageW(g_state.mainWindow, message, wParam, 0);
}

void SendHover(WPARAM wParam) {
    g_state.lastHoverAnswer = MainWindowKnown() ? SendWithTimeout(g_state.mainWindow, WM_CLOCKHOVER, wParam, 0) : 0;
}

bool SkinLoaded() { return ClockPaint().Skin().SkinLoaded(); }

void Relayout(HWND clock) {
    if (HWND taskbar = GetAncestor(clock, GA_ROOT); taskbar && taskbar != clock) {
        PostMessageW(taskbar, WM_EXITSIZEMOVE, 0, 0);
        PostMessageW(taskbar, WM_SIZE, 0, 0);
    }
    PostMessageW(clock, WM_EXITSIZEMOVE, 0, 0);
    PostMessageW(clock, WM_SIZE, 0, 0);
}

// The parent's background under the clock, then the clock, off screen: a transparent clock must not
// draw over the digits of the second before.
void PaintClockWindow(HWND clock, HDC dc) {
    RECT client{};
    GetClientRect(clock, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    UniqueMemDC memory(CreateCompatibleDC(dc));
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (!memory || !bitmap) return;
    SelectGuard keep(memory.get(), bitmap.get());
    if (HWND parent = GetParent(clock)) {
        POINT origin{0, 0};
        MapWindowPoints(clock, parent, &origin, 1);
        POINT old{};
        SetViewportOrgEx(memory.get(), -origin.x, -origin.y, &old);
        SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
        SetViewportOrgEx(memory.get(), old.x, old.y, nullptr);
    } else {
        FillRect(memory.get(), &client, GetSysColorBrush(COLOR_3DFACE));
    }
    PaintClock(memory.get());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void RepaintNow(HWND clock) {
    InvalidateRect(clock, nullptr, FALSE);
    UpdateWindow(clock);
}

void RunAction(HWND clock, const ClockAction& a) {
    if (a.repaintFirst) RepaintNow(clock);
    if (a.runDateTime) RunDateTimeProperties();
    if (a.post) PostToMain(a.post, a.wParam);
    if (a.toFront && MainWindowKnown()) SetForegroundWindow(g_state.mainWindow);
    if (a.relayout) Relayout(clock);
}

LRESULT CALLBACK ClockWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TrayNotifyWndProc(HWND, UINT, WPARAM, LPARAM);

void SubclassTrayClock(HWND taskbar) {
    if (g_state.oldClockProc || g_state.oldNotifyProc) return;
    HWND notify = FindWindowExW(taskbar, nullptr, kTrayNotifyClass, nullptr);
    HWND clock = notify ? FindWindowExW(notify, nullptr, kTrayClockClass, nullptr) : nullptr;
    // Only windows of this thread can be given another procedure.
    if (!clock || GetWindowThreadProcessId(clock, nullptr) != GetCurrentThreadId() ||
        GetWindowThreadProcessId(notify, nullptr) != GetCurrentThreadId())
        return;
    if (!g_state.pinned) {
        // The taskbar keeps this image for good once its windows run our procedures: unloading it with
        // the hook would leave them pointing into nothing.
        HMODULE self = nullptr;
        g_state.pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                            reinterpret_cast<LPCWSTR>(&ClockWndProc), &self) != FALSE;
    }
    g_state.clock = clock;
    g_state.notify = notify;
    g_state.trackErrorReported = false;
    g_state.oldClockProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(clock, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClockWndProc)));
    g_state.oldNotifyProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(notify, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TrayNotifyWndProc)));
}

void UnsubclassTrayClock() {
    if (!g_state.oldClockProc || !g_state.oldNotifyProc) return;
    HWND clock = g_state.clock;
    // Timers and tracking of ours would otherwise keep reaching the shell's own procedure.
    KillTimer(clock, kClockLeaveTimer);
    KillTimer(clock, kClockHoverTimer);
    TRACKMOUSEEVENT e{sizeof e, TME_CANCEL | TME_HOVER | TME_LEAVE, clock, 0};
    if (g_system.trackMouse) g_system.trackMouse(&e);
    else TrackMouseEvent(&e);
    SetWindowLongPtrW(clock, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_state.oldClockProc));
    SetWindowLongPtrW(g_state.notify, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_state.oldNotifyProc));
    g_state.oldClockProc = g_state.oldNotifyProc = nullptr;
    g_state.clock = g_state.notify = nullptr;
    g_state.mainWindow = nullptr;
    ClockPaint().FreeSkinBitmaps();
}

LRESULT HandleCopyData(HWND clock, WNDPROC old, WPARAM wParam, LPARAM lParam) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::optional<ClockCopyData> record;
    if (copy) record = UnpackClockCopyData(copy->dwData, copy->cbData, copy->lpData);
    // Commands are posted to the window named: one that is no window at all is not our main form.
    if (record && record->mainWindow && !IsWindow(record->mainWindow)) record.reset();
    if (!record) return CallWindowProcW(old, clock, WM_COPYDATA, wParam, lParam);
    g_state.mainWindow = record->mainWindow;
    g_state.lastHoverAnswer = 0;   // a new start: no hover answer is pending any more
    InitClockPaint(record->skinsPath);
    const bool loaded = LoadClockOptions(SettingsDir());
    UpdateClockDigits();
    // New options (a zone shown or another one chosen) show at the next refresh, not at the next minute.
    ClockPaint().ForgetDrawnDigits();
    return loaded ? 1 : 0;
}

LRESULT ClockMessage(HWND clock, WNDPROC old, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ClockRefreshMessage()) {
        UpdateClockDigits();
        if (ClockPaint().ClockDigits() != ClockPaint().DrawnDigits()) RepaintNow(clock);
        return 0;
    }
    if (message == ClockExitMessage()) {
        UnsubclassTrayClock();
        InvalidateRect(clock, nullptr, TRUE);
        return 0;
    }
    switch (message) {
    case WM_PAINT: {
        if (!SkinLoaded()) break;
        PaintDC paint(clock);
        PaintClockWindow(clock, paint.get());
        return 0;
    }
    case WM_COPYDATA: return HandleCopyData(clock, old, wParam, lParam);
    case WM_NCHITTEST:
        if (SkinLoaded()) return HTCLIENT;
        break;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        KillTimer(clock, kClockLeaveTimer);
        TrackMouse(clock, TME_HOVER | TME_LEAVE);
        return 0;
    case WM_MOUSEHOVER: SendHover(0); return 0;
    case WM_MOUSELEAVE: SetTimer(clock, kClockLeaveTimer, kClockLeaveDelayMs, nullptr); return 0;
    case WM_TIMER:
        if (wParam == kClockHoverTimer) {
            KillTimer(clock, kClockHoverTimer);
            SendHover(0);
        } else if (wParam == kClockLeaveTimer) {
            KillTimer(clock, kClockHoverTimer);
            KillTimer(clock, kClockLeaveTimer);
            SendHover(1);
            CancelTracking(clock);
        }
        if (SkinLoaded()) return 0;
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        PostToMain(WM_CLOCKATTACH);
        RunAction(clock, ClickAction(ClockPaint().ClockOptions()));
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK: PostToMain(WM_SHOWMAIN); return 0;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        CancelTracking(clock);
        KillTimer(clock, kClockLeaveTimer);
        KillTimer(clock, kClockHoverTimer);
        PostToMain(WM_FASTMENU);
        return 0;
    case WM_RBUTTONUP: return 0;
    case kShellClockSizeQuery: {
        if (!SkinLoaded()) break;
        LRESULT answer = CallWindowProcW(old, clock, message, wParam, lParam);
        if (answer) answer = PackClockSize(CalcClockWidth(), CalcClockHeight());
        return answer;
    }
    case WM_CLOCKREPAINTALL: ClockPaint().ForgetDrawnDigits(); break;
    case WM_CLOCKCANCELLEAVE: KillTimer(clock, kClockLeaveTimer); break;
    case WM_COMMAND:
        if (auto action = MenuCommandAction(LOWORD(wParam), ClockPaint().ClockOptions())) {
            RunAction(clock, *action);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        // The shell is taking its windows down: ours must not outlive them.
        UnsubclassTrayClock();
        return CallWindowProcW(old, clock, message, wParam, lParam);
    default: break;
    }
    return CallWindowProcW(old, clock, message, wParam, lParam);
}

LRESULT CALLBACK ClockWndProc(HWND clock, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC old = g_state.oldClockProc;
    if (!old || clock != g_state.clock) return DefWindowProcW(clock, message, wParam, lParam);
    try {
        return ClockMessage(clock, old, message, wParam, lParam);
    } catch (...) {
        // Inside the taskbar there is nobody to show an error to: the shell's own procedure answers.
        return CallWindowProcW(old, clock, message, wParam, lParam);
    }
}

LRESULT CALLBACK TrayNotifyWndProc(HWND notify, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC old = g_state.oldNotifyProc;
    if (!old || notify != g_state.notify) return DefWindowProcW(notify, message, wParam, lParam);
    LRESULT result = CallWindowProcW(old, notify, message, wParam, lParam);
    if (message == WM_SETTINGCHANGE && g_state.clock) RepaintNow(g_state.clock);
    return result;
}

LRESULT CALLBACK ClockHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == ClockInitMessage()) SubclassTrayClock(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The classic taskbar's own clock window: "TrayClockWClass" inside "TrayNotifyWnd" of the taskbar,
// served by the taskbar's thread.
HWND ClassicClockWindow(HWND taskbar) {
    HWND notify = taskbar ? FindWindowExW(taskbar, nullptr, kTrayNotifyClass, nullptr) : nullptr;
    HWND clock = notify ? FindWindowExW(notify, nullptr, kTrayClockClass, nullptr) : nullptr;
    if (!clock || GetWindowThreadProcessId(clock, nullptr) != GetWindowThreadProcessId(taskbar, nullptr)) return nullptr;
    return clock;
}

bool ImageIsLibrary(HMODULE image) {
    const auto* base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return (nt->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;
}

}  // namespace

UINT ClockInitMessage() { return RegisterWindowMessageW(L"Vantoric-ClockInit"); }
UINT ClockExitMessage() { return RegisterWindowMessageW(L"Vantoric-ClockExit"); }
UINT ClockRefreshMessage() { return RegisterWindowMessageW(L"Vantoric-ClockRefresh"); }

LRESULT LastClockHoverAnswer() { return g_state.lastHoverAnswer; }
bool ClockHookInstalled() { return g_state.hook != nullptr; }

void SetClockHookSystem(const ClockHookSystem& system) { g_system = system; }

// ---- the entry points ----

bool SetVantoric10(HWND mainWindow, bool enable, const wchar_t* skinsPath, const wchar_t* skinName) {
    if (!enable) {
        if (g_state.hook) {
            HWND clock = g_state.hookedClock && IsWindow(g_state.hookedClock) ? g_state.hookedClock
                                                                                : ClassicClockWindow(FindTaskbarWindow());
            if (clock) SendWithTimeout(clock, ClockExitMessage(), 0, 0);
            UnhookWindowsHookEx(g_state.hook);
            g_state.hook = nullptr;
            if (HWND taskbar = g_state.hookedTaskbar; taskbar && IsWindow(taskbar)) {
                SendWithTimeout(taskbar, WM_EXITSIZEMOVE, 0, 0);
                SendWithTimeout(taskbar, WM_SIZE, 0, 0);
            }
            g_state.hookedTaskbar = g_state.hookedClock = nullptr;
        }
        g_state.mainWindow = nullptr;
        return true;
    }

    // Without a classic taskbar there is no thread to hook: a hook on thread 0 would reach every program.
    HWND taskbar = FindTaskbarWindow();
    HWND clock = ClassicClockWindow(taskbar);
    if (!clock) return false;
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(taskbar, &process);
    HMODULE self = nullptr;
    if (process != GetCurrentProcessId()) {
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&ClockHookProc), &self);
        // The system maps the hook's module into the taskbar's process without binding a program file's
        // imports or running its start-up: only the library built from these sources can serve there.
        if (!self || !ImageIsLibrary(self)) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return false;
        }
    }
    // The shell restarted since: the old hook sits on a thread that no longer serves the taskbar.
    if (g_state.hook && g_state.hookedTaskbar != taskbar) {
        UnhookWindowsHookEx(g_state.hook);
        g_state.hook = nullptr;
    }
    if (g_state.hook && g_state.hookedClock != clock) {
        // A new clock window on the same taskbar: it needs our procedure as well.
        g_state.hookedClock = clock;
        SendWithTimeout(taskbar, ClockInitMessage(), 0, 0);
    }
    if (!g_state.hook) {
        const HWND previousMain = g_state.mainWindow;
        g_state.mainWindow = mainWindow;
        g_state.hook = SetWindowsHookExW(WH_CALLWNDPROC, ClockHookProc, self, thread);
        if (!g_state.hook) {
            g_state.mainWindow = previousMain;
            return false;
        }
        g_state.hookedTaskbar = taskbar;
        g_state.hookedClock = clock;
        SendWithTimeout(taskbar, ClockInitMessage(), 0, 0);
    }
    auto bytes = PackClockCopyData({skinsPath ? skinsPath : L"", skinName ? skinName : L"", g_state.mainWindow});
    if (!bytes) return false;
    COPYDATASTRUCT copy{kClockCopyDataKind, static_cast<DWORD>(bytes->size()), bytes->data()};
    const LRESULT answer =
        SendWithTimeout(clock, WM_COPYDATA, reinterpret_cast<WPARAM>(mainWindow), reinterpret_cast<LPARAM>(&copy));
    PostMessageW(taskbar, WM_EXITSIZEMOVE, 0, 0);
    PostMessageW(taskbar, WM_SIZE, 0, 0);
    return answer != 0;
}

bool RepainClock() {
    HWND clock = ClassicClockWindow(FindTaskbarWindow());
    // A null window would post into this thread's own queue.
    return clock && PostMessageW(clock, ClockRefreshMessage(), 0, 0);
}

int KillHooks(HWND mainWindow) {
    SetVantoric10(mainWindow, false, nullptr, nullptr);
    return 0;
}

void ClockPaintDllProc(DWORD reason) {
    if (reason == DLL_PROCESS_DETACH) SetVantoric10(nullptr, false, nullptr, nullptr);
}

namespace {
// The program's module-detach notice: a hook must not outlive the module that holds its procedure.
struct DetachNotice {
    ~DetachNotice() { ClockPaintDllProc(DLL_PROCESS_DETACH); }
} g_detachNotice;
}  // namespace

}  // namespace vt
