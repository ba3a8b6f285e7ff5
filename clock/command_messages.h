// The main form's command messages. Whoever asks the running program to do something posts one of these
// to the window of class "TfrmClock": a second instance, and the clock window procedure of the exported
// taskbar-hook entry points, which runs inside the taskbar's process and knows only these numbers.
#pragma once
#include <windows.h>

namespace vt {

inline constexpr UINT WM_QUITPROGRAM = WM_USER + 100;       // 1124
inline constexpr UINT WM_SHOWMAIN = WM_USER + 101;          // 1125
inline constexpr UINT WM_SYNCTIME = WM_USER + 102;
inline constexpr UINT WM_RANDOMSKIN = WM_USER + 103;
inline constexpr UINT WM_TOGGLEUPTIME = WM_USER + 104;
inline constexpr UINT WM_SHOWUPTIME5 = WM_USER + 105;
inline constexpr UINT WM_SETSHOWDATE = WM_USER + 106;       // wParam 1 checks, anything else unchecks
inline constexpr UINT WM_SETWEEKSHOW = WM_USER + 107;
inline constexpr UINT WM_SETSHOWSECONDS = WM_USER + 108;
inline constexpr UINT WM_SET12HOUR = WM_USER + 109;
inline constexpr UINT WM_SETTRANSPARENT = WM_USER + 110;
inline constexpr UINT WM_CALENDAR = WM_USER + 111;          // wParam 1 closes, 2 nothing, else shows
inline constexpr UINT WM_FASTMENU = WM_USER + 112;
inline constexpr UINT WM_NEWALARM = WM_USER + 113;
inline constexpr UINT WM_WEATHERSETTINGS = WM_USER + 114;   // 1138

}  // namespace vt
