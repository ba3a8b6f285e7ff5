#include "support/desktop.h"

#include <algorithm>

namespace vt::test {

namespace {

BOOL CALLBACK Collect(HWND w, LPARAM l) {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::wstring ClassOf(HWND w) {
    wchar_t name[256];
    const int n = GetClassNameW(w, name, 256);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

DWORD ProcessOf(HWND w) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    return owner;
}

HWND ShownWindow(const wchar_t* cls) {
    HWND w = FindWindowW(cls, nullptr);
    return w && IsWindowVisible(w) ? w : nullptr;
}

HWND ShownWindowOf(DWORD process, const wchar_t* cls, const std::function<bool(HWND)>& accept) {
    for (HWND w : TopLevelWindows())
        if (ProcessOf(w) == process && IsWindowVisible(w) && ClassOf(w) == cls && (!accept || accept(w))) return w;
    return nullptr;
}

HWND ShownDialogOf(DWORD process) { return ShownWindowOf(process, L"#32770"); }

HWND ShownDialogSaying(DWORD process, const wchar_t* text) {
    return ShownWindowOf(process, L"#32770", [&](HWND dialog) {
        const std::vector<HWND> controls = ChildWindows(dialog);
        return std::any_of(controls.begin(), controls.end(), [&](HWND c) {
            wchar_t said[512];
            return GetWindowTextW(c, said, 512) && wcsstr(said, text);
        });
    });
}

HWND ShownMenuOf(DWORD process) { return ShownWindowOf(process, L"#32768"); }

HWND ChildById(HWND parent, int id) {
    for (HWND w : ChildWindows(parent))
        if (GetDlgCtrlID(w) == id) return w;
    return nullptr;
}

int CountTopLevel(const wchar_t* cls) {
    const std::vector<HWND> all = TopLevelWindows();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](HWND w) { return ClassOf(w) == cls; }));
}

DWORD WindowCountOf(DWORD process) {
    DWORD n = 0;
    for (HWND top : TopLevelWindows()) {
        if (ProcessOf(top) == process) ++n;
        for (HWND child : ChildWindows(top))
            if (ProcessOf(child) == process) ++n;
    }
    return n;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool ClickAt(POINT onScreen, DWORD down, DWORD up) {
    SetCursorPos(onScreen.x, onScreen.y);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = down;
    click[1].mi.dwFlags = up;
    return SendInput(2, click, sizeof(INPUT)) == 2;
}

POINT CentreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> input;
    for (WORD k : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        input.push_back(i);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(i);
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

}  // namespace vt::test
