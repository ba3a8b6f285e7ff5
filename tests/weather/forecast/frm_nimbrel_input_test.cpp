// The forecast widget through what a user does: the real pointer and keyboard, the real popup menu, and
// what the platform reports about the widget's window.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/registry.h"
#include "weather/forecast/forecast_fixture.h"
#include "weather/frm_nimbrel.h"

using namespace vt;
using namespace vt::test;

namespace {

void MouseTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void Mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

void Tap(WORD vk) {
    Key(vk, false);
    Key(vk, true);
}

POINT Cursor() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

HWND ShownMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// Runs `step` on a timer inside whatever loop is running (the menu's) until it says it is done, or for
// a few seconds at most; then any menu is ended. The loop runs inside the pump, so the timer keeps time.
std::function<bool()> g_step;
bool g_stepDone = false, g_stepTimedOut = false;
ULONGLONG g_stepDeadline = 0;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_stepDone) return;
    if (GetTickCount64() > g_stepDeadline) g_stepTimedOut = true;
    else if (!g_step()) return;
    g_stepDone = true;
    KillTimer(nullptr, id);
    EndMenu();
}

bool RunSteps(std::function<bool()> step, const std::function<void()>& start) {
    g_step = std::move(step);
    g_stepDone = g_stepTimedOut = false;
    g_stepDeadline = GetTickCount64() + 6000;
    SetTimer(nullptr, 0, 50, StepTimer);
    start();
    PumpUntil([] { return g_stepDone; }, 8000);
    Pump();
    return g_stepDone && !g_stepTimedOut;
}

// A CBT hook of this thread: what the platform does to windows before it does it.
struct CbtHook {
    static inline std::function<LRESULT(int, WPARAM, LPARAM)> handler;
    HHOOK hook = nullptr;
    explicit CbtHook(std::function<LRESULT(int, WPARAM, LPARAM)> h) {
        handler = std::move(h);
        hook = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
    }
    ~CbtHook() {
        if (hook) UnhookWindowsHookEx(hook);
        handler = nullptr;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        if (code >= 0 && handler)
            if (LRESULT r = handler(code, wp, lp)) return r;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
};

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

// A visible tooltip of this thread owned by `owner`.
struct TipSearch {
    HWND owner, found = nullptr;
};

BOOL CALLBACK LookAtTip(HWND w, LPARAM lp) {
    auto* search = reinterpret_cast<TipSearch*>(lp);
    if (ClassOf(w) == L"tooltips_class32" && GetWindow(w, GW_OWNER) == search->owner && IsWindowVisible(w))
        search->found = w;
    return !search->found;
}

HWND ShownTip(HWND owner) {
    TipSearch search{owner};
    EnumThreadWindows(GetCurrentThreadId(), LookAtTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The system's own move loop and "edit" verb, as the program has them; message boxes recorded.
class ForecastWidgetInput : public testing::Test, public SystemNimbrelActions {
protected:
    ForecastWidgetInput() : ForecastWidgetInput(std::wstring()) {}
    explicit ForecastWidgetInput(std::wstring programDir) {
        store = {HKEY_CURRENT_USER, key.path()};
        slot = std::make_unique<ForecastWidgetSlot>(*this, programDir.empty() ? folder.ProgramDir() : programDir, store);
    }
    std::wstring ReplyXml() override { return reply; }
    bool MetricUnits() override { return false; }
    void UpdateWeather() override {}
    void ShowWeatherPage() override {}
    HWND ClockWindow() override { return nullptr; }
    void ForecastMessage(const std::wstring& text) override { messages.push_back(text); }
    ~ForecastWidgetInput() override {
        slot.reset();
        MouseTo({5, 5});
        Pump();
    }
    TfrmNimbrel& Shown() {
        slot->Show();
        EXPECT_TRUE(slot->get());
        Pump();
        return *slot->get();
    }
    // A point of the widget's client area on the screen.
    POINT OnWidget(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(slot->get()->hwnd(), &p);
        return p;
    }
    // A click on the close button; true once the widget has gone.
    bool ClickClose() {
        const POINT close = OnWidget(277 + 10, 8 + 10);
        SetCursorPos(close.x, close.y);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_LEFTUP);
        return PumpUntil([&] { return slot->get() == nullptr; }, 3000);
    }
    RECT WindowRect() const {
        RECT r{};
        GetWindowRect(slot->get()->hwnd(), &r);
        return r;
    }
    std::uint32_t Stored(const wchar_t* name) const {
        return RegKey::Open(HKEY_CURRENT_USER, key.path()).ReadDword(name).value_or(0xFFFFFFFF);
    }

    ForecastFolder folder;
    ForecastTestKey key;
    RegistryPlace store;
    std::wstring reply = GoldenReply();
    std::vector<std::wstring> messages;
    std::unique_ptr<ForecastWidgetSlot> slot;
};

bool MarkChecked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

}  // namespace

TEST_F(ForecastWidgetInput, CtrlNChoosesTheNextWeatherAndLeavesTheMenusRadioMarks) {
    TfrmNimbrel& widget = Shown();
    ASSERT_EQ(GetForegroundWindow(), widget.hwnd());
    Key(VK_CONTROL, false);
    Tap('N');
    Key(VK_CONTROL, true);
    EXPECT_TRUE(PumpUntil([&] { return widget.Settings().SelectedWeather == kWeatherToday; }, 3000));
    EXPECT_EQ(Stored(L"SelectedWeather"), 1u);
    EXPECT_EQ(Stored(L"wCurrent"), 1u);
    EXPECT_EQ(Stored(L"wToday"), 0u);

    bool current = false, today = true;
    const POINT at = OnWidget(100, 150);
    ASSERT_TRUE(RunSteps(
        [&] {
            HWND menu = ShownMenu();
            if (!menu) return false;
            HMENU shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            HMENU weather = GetSubMenu(shown, 3);
            current = MarkChecked(weather, TfrmNimbrel::kwCurrent);
            today = MarkChecked(weather, TfrmNimbrel::kwToday);
            return true;
        },
        [&] {
            SetCursorPos(at.x, at.y);
            Mouse(MOUSEEVENTF_RIGHTDOWN);
            Mouse(MOUSEEVENTF_RIGHTUP);
        }))
        << "no menu on the right click";
    EXPECT_TRUE(current);
    EXPECT_FALSE(today);
}

TEST_F(ForecastWidgetInput, WeatherItemShowsItsHintWhileItIsHighlighted) {
    TfrmNimbrel& widget = Shown();
    std::wstring tipText;
    RECT tip{}, item{};
    bool goneAfter = false;
    int stage = 0;
    const POINT at = OnWidget(100, 150);
    ASSERT_TRUE(RunSteps(
        [&] {
            HWND menu = ShownMenu();
            if (!menu) return false;
            HMENU shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            switch (stage) {
            case 0:   // "Show Wind", "Enter Location...", "Weather (Ctrl+N | Ctrl+Click)"
                Tap(VK_DOWN);
                Tap(VK_DOWN);
                Tap(VK_DOWN);
                ++stage;
                return false;
            case 1:
                if (HWND t = ShownTip(widget.hwnd())) {
                    wchar_t text[64] = {};
                    GetWindowTextW(t, text, 64);
                    tipText = text;
                    GetWindowRect(t, &tip);
                    GetMenuItemRect(widget.hwnd(), shown, 3, &item);
                    Tap(VK_DOWN);   // on to "Update Now"
                    ++stage;
                }
                return false;
            default:
                if (ShownTip(widget.hwnd())) return false;
                goneAfter = true;
                return true;
            }
        },
        [&] {
            SetCursorPos(at.x, at.y);
            Mouse(MOUSEEVENTF_RIGHTDOWN);
            Mouse(MOUSEEVENTF_RIGHTUP);
        }))
        << "stage " << stage;
    EXPECT_EQ(tipText, L"Ctrl + Mouse Click");
    RECT both{};
    EXPECT_FALSE(IntersectRect(&both, &tip, &item)) << "the hint covers its item";
    EXPECT_LT(tip.top - item.bottom, 20);
    EXPECT_TRUE(goneAfter);
    Pump();
    EXPECT_FALSE(ShownTip(widget.hwnd()));
}

// Ends any menu that shows up, and remembers that one did.
struct MenuWatch {
    static inline bool seen = false;
    UINT_PTR timer;
    MenuWatch() : timer(SetTimer(nullptr, 0, 50, Tick)) { seen = false; }
    ~MenuWatch() { KillTimer(nullptr, timer); }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (ShownMenu()) {
            seen = true;
            EndMenu();
        }
    }
};

TEST_F(ForecastWidgetInput, RightAndMiddleButtonsDragTheWidgetAndTheRightOneThenOpensNoMenu) {
    Shown();
    MenuWatch watch;
    for (DWORD down : {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MIDDLEDOWN}) {
        const DWORD up = down << 1;
        const RECT before = WindowRect();
        const POINT from = OnWidget(100, 150);
        SetCursorPos(from.x, from.y);
        Pump();
        const POINT start = Cursor();
        Mouse(down);
        Pump();
        for (int i = 1; i <= 4; ++i) {
            MouseTo({from.x + 10 * i, from.y + 7 * i});
            Pump();
        }
        const POINT end = Cursor();
        Mouse(up);
        PumpUntil([] { return false; }, 300);
        ASSERT_NE(end.x, start.x);
        const RECT after = WindowRect();
        EXPECT_EQ(after.left - before.left, end.x - start.x) << down;
        EXPECT_EQ(after.top - before.top, end.y - start.y) << down;
        EXPECT_EQ(Stored(L"Left"), static_cast<std::uint32_t>(after.left));
        EXPECT_EQ(Stored(L"Top"), static_cast<std::uint32_t>(after.top));
    }
    EXPECT_FALSE(MenuWatch::seen) << "a right drag opened the menu";
}

TEST_F(ForecastWidgetInput, CloseButtonHidesThenMinimisesTheWidgetBeforeItIsFreed) {
    TfrmNimbrel& widget = Shown();
    HWND window = widget.hwnd();
    bool minimised = false, visibleThen = true;
    CbtHook hook([&](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_MINMAX && reinterpret_cast<HWND>(wp) == window && LOWORD(lp) == SW_MINIMIZE) {
            minimised = true;
            visibleThen = IsWindowVisible(window) != FALSE;
        }
        return 0;
    });
    const LONG left = WindowRect().left;
    EXPECT_TRUE(ClickClose());
    EXPECT_TRUE(minimised);
    EXPECT_FALSE(visibleThen) << "minimised before it was hidden";
    EXPECT_EQ(Stored(L"Left"), static_cast<std::uint32_t>(left)) << "the minimised place was stored";
}

TEST_F(ForecastWidgetInput, AWindowThatCannotBeMadeIsReported) {
    CbtHook hook([](int code, WPARAM wp, LPARAM) -> LRESULT {
        return code == HCBT_CREATEWND && ClassOf(reinterpret_cast<HWND>(wp)) == L"TfrmNimbrel";
    });
    slot->Show();
    EXPECT_FALSE(slot->get());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(L"The forecast window cannot be made: ", 0), 0u) << Narrow(messages[0]);
}

TEST_F(ForecastWidgetInput, UnreadableSkinIsReportedOnceAndTheDefaultSkinDrawn) {
    const std::wstring red = folder.Forecast() + L"Red\\";
    CreateDirectoryW(red.c_str(), nullptr);
    WriteFileBytes(red + L"skin.xml",
                   "<skin><font id=\"font.default\" facename=\"Courier New\" color=\"#GG0000\"/></skin>");
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteString(L"sSkinName", L"Red");
    TfrmNimbrel& widget = Shown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"#GG0000"), std::wstring::npos) << Narrow(messages[0]);
    EXPECT_EQ(widget.Font().faceName, L"Tahoma");   // the default skin's
    ASSERT_TRUE(ClickClose());
    Shown();
    EXPECT_EQ(messages.size(), 1u) << "reported again after the close button";
    slot->Redraw();
    slot->Redraw();
    slot->Close();
    Shown();
    EXPECT_EQ(messages.size(), 1u) << "reported again";

    // A skin folder without skin.xml, then one that does not parse: each reported once with its reason.
    slot->Close();
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteString(L"sSkinName", L"Empty");
    CreateDirectoryW((folder.Forecast() + L"Empty").c_str(), nullptr);
    Shown();
    slot->Redraw();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find(L"Empty\\skin.xml"), std::wstring::npos) << Narrow(messages[1]);
    WriteFileBytes(folder.Forecast() + L"Empty\\skin.xml", "<skin><font id=");
    slot->Redraw();
    slot->Redraw();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_NE(messages[2].find(L"not well-formed"), std::wstring::npos) << Narrow(messages[2]);
    EXPECT_EQ(slot->get()->Font().faceName, L"Tahoma");
}

// With no place yet the widget shows its prompts; none of them lies on the icon, the rose or the close
// button, nor on another, in the program's own pictures.
class ForecastWidgetWithoutWeather : public ForecastWidgetInput {
protected:
    ForecastWidgetWithoutWeather() : ForecastWidgetInput(DistDir()) { reply.clear(); }
};

TEST_F(ForecastWidgetWithoutWeather, PromptsStandClearOfTheIconAndTheRose) {
    const ForecastPicture& picture = Shown().Picture();
    std::vector<const ForecastLayer*> texts, art;
    for (const wchar_t* name : {L"location", L"temperature", L"conditions", L"conditions2"})
        if (const ForecastLayer* layer = picture.Layer(name)) texts.push_back(layer);
    for (const wchar_t* name : {L"icon", L"rose", L"close"}) {
        const ForecastLayer* layer = picture.Layer(name);
        ASSERT_TRUE(layer) << Narrow(name);
        art.push_back(layer);
    }
    ASSERT_EQ(texts.size(), 3u);
    for (size_t i = 0; i < texts.size(); ++i) {
        RECT meet{};
        for (const ForecastLayer* other : art)
            EXPECT_FALSE(IntersectRect(&meet, &texts[i]->rect, &other->rect))
                << Narrow(texts[i]->name) << " on " << Narrow(other->name);
        for (size_t k = i + 1; k < texts.size(); ++k)
            EXPECT_FALSE(IntersectRect(&meet, &texts[i]->rect, &texts[k]->rect))
                << Narrow(texts[i]->name) << " on " << Narrow(texts[k]->name);
        // Every prompt stays on the panel.
        RECT inside{};
        IntersectRect(&inside, &texts[i]->rect, &picture.Layer(L"panel")->rect);
        EXPECT_TRUE(EqualRect(&inside, &texts[i]->rect)) << Narrow(texts[i]->name);
    }
    EXPECT_FALSE(picture.Layer(L"needle"));
}

TEST_F(ForecastWidgetInput, ClosedWhileItsMenuIsOpenGoesOnlyOnceTheMenuHasReturned) {
    HWND window = Shown().hwnd();
    bool aliveInMenu = false, goneAfter = false;
    const POINT at = OnWidget(100, 150);
    ASSERT_TRUE(RunSteps(
        [&] {
            if (!ShownMenu()) return false;
            SendMessageW(window, WM_CLOSE, 0, 0);   // Alt+F4, as the close button
            aliveInMenu = IsWindow(window) != FALSE;
            return true;
        },
        [&] {
            SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(at.x, at.y));
            goneAfter = !IsWindow(window);
        }));
    EXPECT_TRUE(aliveInMenu) << "freed under its own menu";
    EXPECT_TRUE(goneAfter) << "not freed once the menu had returned";
    EXPECT_FALSE(slot->get());
}
