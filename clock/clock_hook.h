// The exported taskbar-hook road: a second way to show the clock, for a controlling process that loads
// the program image as a module and calls SetVantoric10. A message hook on the taskbar's thread maps the
// same image into the taskbar's process; there the hook replaces the window procedures of the classic
// taskbar's clock window ("TrayClockWClass") and of its parent ("TrayNotifyWnd"), paints the clock with
// the program's painter, and turns clicks and menu commands into command messages posted to the main
// window. Nothing in the program itself calls these entry points.
//
// The controlling side and the taskbar side each keep their own copy of the module state below. The
// system maps a program file into another process without binding its imports or moving it to its
// address; there these sources must run from a library (VantoricHook.dll) that exports the same names.
#pragma once
#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "clock/clock_options.h"

namespace vt {

// ---- the WM_COPYDATA record (dwData 0) ----
// Offsets are fixed so that both sides agree whatever their word size: texts are UTF-8, zero-terminated
// inside their own field; the main window's handle is its 32-bit value (window handles fit in 32 bits
// on 32- and 64-bit Windows alike).
inline constexpr std::size_t kClockCopyPathOffset = 0;
inline constexpr std::size_t kClockCopyPathSize = 260;
inline constexpr std::size_t kClockCopySkinOffset = 260;
inline constexpr std::size_t kClockCopySkinSize = 200;
inline constexpr std::size_t kClockCopyWindowOffset = 460;
inline constexpr std::size_t kClockCopyDataSize = 464;
inline constexpr ULONG_PTR kClockCopyDataKind = 0;

using ClockCopyBytes = std::array<unsigned char, kClockCopyDataSize>;

struct ClockCopyData {
    std::wstring skinsPath;   // the skins folder
    std::wstring skinName;    // carried only: the receiver takes the skin from the options file
    HWND mainWindow = nullptr;
    bool operator==(const ClockCopyData&) const = default;
};

// Nothing when a text does not fit its field (with its terminator) or holds a zero character: a cut
// path would name another folder.
std::optional<ClockCopyBytes> PackClockCopyData(const ClockCopyData& record);
// Reads only the cbData bytes given. Nothing unless the kind is 0, the size is exactly the record's,
// every text ends inside its field and is valid UTF-8.
std::optional<ClockCopyData> UnpackClockCopyData(ULONG_PTR kind, DWORD size, const void* data);

// ---- what the clock window does for a menu command or a click ----
inline constexpr UINT WM_CLOCKREPAINTALL = WM_USER + 150;   // 1174: the next refresh paints whatever it finds
inline constexpr UINT WM_CLOCKHOVER = WM_USER + 171;        // 1195 to the main window: wParam 0 hover, 1 leave
inline constexpr UINT_PTR kClockHoverTimer = 100;
inline constexpr UINT_PTR kClockLeaveTimer = 123;
inline constexpr UINT kClockLeaveDelayMs = 1000;
inline constexpr DWORD kClockHoverTimeMs = 1000;

// Menu command numbers the clock window understands (low word of WM_COMMAND's wParam).
enum ClockMenuCommand : unsigned {
    kCmdShowMain = 100,
    kCmdQuit = 101,
    kCmdTime = 200,
    kCmdUpTime = 201,
    kCmdUpTime5 = 202,
    kCmdDateTimeProperties = 206,
    kCmdSyncTime = 207,
    kCmdRandomSkin = 208,
    kCmdCalendar = 210,
    kCmdNewAlarm = 211,
    kCmdWeatherSettings = 214,
    kCmdShowDate = 300,
    kCmdWeekShow = 301,
    kCmdShowSeconds = 302,
    kCmdTwelveHour = 303,
    kCmdTransparent = 304,
};

struct ClockAction {
    UINT post = 0;             // command message for the main window; 0 none
    WPARAM wParam = 0;
    bool toFront = false;      // bring the main window to the front
    bool runDateTime = false;  // open the date and time properties
    bool repaintFirst = false; // repaint the clock before posting
    bool relayout = false;     // ask the taskbar to lay the clock out again
    bool operator==(const ClockAction&) const = default;
};

// The menu command's action; the switches 300-304 are toggled in `options` here. Nothing for a command
// the clock does not know (it belongs to the window's own procedure).
std::optional<ClockAction> MenuCommandAction(unsigned command, TClockOptions& options);
// The click action chosen by options.Click; action 3 toggles options.Mode here.
ClockAction ClickAction(TClockOptions& options);

// ---- the entry points (exported by the program image as SetVantoric10, RepainClock, KillHooks) ----

// Enable: hooks the taskbar's thread (once), has it replace the clock window's procedure, and sends the
// record; true when the clock window loaded the skin. Only a library (VantoricHook.dll) can hook a
// taskbar of another process: in a program image that is refused, false with the last error
// ERROR_NOT_SUPPORTED, and the taskbar is left alone. Disable: restores the clock window, removes the
// hook, and has the taskbar lay out its clock again; true.
bool SetVantoric10(HWND mainWindow, bool enable, const wchar_t* skinsPath, const wchar_t* skinName);
// Asks the clock window to recompute its digits and repaint when they changed.
bool RepainClock();
// Undoes SetVantoric10; 0.
int KillHooks(HWND mainWindow);
// The module's detach notice: on DLL_PROCESS_DETACH (0) the hook goes.
void ClockPaintDllProc(DWORD reason);

// The three messages of this road, registered by name so that both processes agree on them.
UINT ClockInitMessage();
UINT ClockExitMessage();
UINT ClockRefreshMessage();

// The main window's answer to the last hover; a new start (the controlling side's record) forgets it.
LRESULT LastClockHoverAnswer();
// The controlling side's hook is in place.
bool ClockHookInstalled();

// What the clock window asks of the system. Empty entries take the real calls; tests fill them.
struct ClockHookSystem {
    std::wstring (*settingsDir)() = nullptr;               // default: LocateClockSettingsDir
    void (*runDateTimeProperties)() = nullptr;             // default: "control.exe timedate.cpl", shown normally
    BOOL(WINAPI* trackMouse)(LPTRACKMOUSEEVENT) = nullptr; // default: TrackMouseEvent
    void (*trackMouseFailed)(HWND clock, DWORD error) = nullptr;  // default: message box "Error"
};
void SetClockHookSystem(const ClockHookSystem& system);

}  // namespace vt
