// The messages and named objects shared by the tray-clock component and the taskbar host Quellix.exe.
// Both sides include this one header so the numbers cannot drift apart.
#pragma once
#include <windows.h>

#include "base/handles.h"

namespace vt {

// Host -> component: the host serves a clock window now, wParam = that window (answer 1).
inline constexpr UINT WM_TRAYCLOCKINIT = WM_USER + 101;      // 1125
// Component -> clock window: forward to wParam (the component's hidden window) from now on.
inline constexpr UINT WM_CLOCKATTACH = WM_USER + 144;        // 1168
// Anyone -> clock window: forget the pending mouse-leave report; forwarded as the code of the same number.
inline constexpr UINT WM_CLOCKCANCELLEAVE = WM_USER + 151;   // 1175
// Component -> clock window: the program hid a window of its own; show the clock window anew shortly.
inline constexpr UINT WM_CLOCKRESHOW = WM_USER + 152;        // 1176
// Host -> component: lParam names the forwarded message or one of the host's own codes.
inline constexpr UINT WM_TRAYCLOCKFORWARD = 0xB05E;

inline constexpr LPARAM CLOCKCODE_CANCELLEAVE = WM_CLOCKCANCELLEAVE;   // $497
inline constexpr LPARAM CLOCKCODE_BACKGROUND = 0x4C8;                  // the background is published
inline constexpr LPARAM CLOCKCODE_SIZE = 0x4CA;                        // what size should the clock have?
// Draw the clock into "Quellix-ClockPixels" at the size of the clock window wParam; the host then shows
// the pixels itself. Drawing straight into another process's window is not kept on every desktop (Wine
// drops it once the program has shown and hidden a window of its own).
inline constexpr LPARAM CLOCKCODE_RENDER = 0x4CB;
inline constexpr LRESULT kClockRenderedAnswer = 0x4CB;
// The component's answer to every forwarded mouse message.
inline constexpr LRESULT kMouseForwardAnswer = 7;

// The classic taskbar asks its clock window for its size (answer: PackClockSize).
inline constexpr UINT kShellClockSizeQuery = WM_USER + 100;   // 1124
inline constexpr wchar_t kTrayClockWindowClass[] = L"TTrayClock";
inline constexpr wchar_t kHostQuitMessage[] = L"Quellix-quit";
inline constexpr wchar_t kTaskbarCreatedMessage[] = L"TaskbarCreated";
// Top-down 32-bit pixels of the taskbar under the clock, in the size last answered.
inline constexpr wchar_t kSharedDataName[] = L"Quellix-SharedData";

// The taskbar's background under the clock goes to the component through "Quellix-SharedData": width x
// height 32-bit pixels, rows from the top. Replaces `mapping` with one of that size and returns a
// writable view of it, or nothing; the component holds a mapping open only while it copies.
// A view of the whole of a mapping, or nothing when it holds fewer than `bytes`: a mapping of the same
// name may have been made by another process, or for another size, and is never read or written past
// its end.
inline UniqueView MapAtLeast(HANDLE mapping, DWORD access, size_t bytes) {
    if (!mapping) return {};
    UniqueView view(MapViewOfFile(mapping, access, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region{};
    if (!view || !VirtualQuery(view.get(), &region, sizeof region) || region.RegionSize < bytes) return {};
    return view;
}

inline UniqueView PublishBackgroundView(UniqueHandle& mapping, SIZE size) {
    if (size.cx <= 0 || size.cy <= 0) return {};
    const size_t bytes = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * 4;
    mapping.reset();
    mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(bytes),
                                     kSharedDataName));
    return MapAtLeast(mapping.get(), FILE_MAP_WRITE, bytes);
}
// Top-down 32-bit pixels of the drawn clock, made by the host at its clock window's client size.
inline constexpr wchar_t kClockPixelsName[] = L"Quellix-ClockPixels";

// Answers of the size query: width in the low 16 bits, height in the high 16 bits, 0 for "no size".
constexpr LRESULT PackClockSize(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<LRESULT>((static_cast<DWORD>(height & 0xFFFF) << 16) | static_cast<DWORD>(width & 0xFFFF));
}
constexpr int ClockSizeWidth(LRESULT answer) { return static_cast<int>(static_cast<DWORD_PTR>(answer) & 0xFFFF); }
constexpr int ClockSizeHeight(LRESULT answer) { return static_cast<int>((static_cast<DWORD_PTR>(answer) >> 16) & 0xFFFF); }

}  // namespace vt
