#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/registry.h"
#include "clock/tray_protocol.h"
#include "weather/forecast/forecast_fixture.h"
#include "controls/render.h"
#include "weather/frm_nimbrel.h"

using namespace vt;
using namespace vt::test;

namespace {


LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class CtrlHeld {
public:
    CtrlHeld() {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
    }
    ~CtrlHeld() { SetKeyboardState(saved_); }
private:
    BYTE saved_[256];
};

// A window standing in for the taskbar clock: it only collects what is posted to it.
class FakeClockWindow {
public:
    FakeClockWindow()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"clock", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                nullptr)) {}
    ~FakeClockWindow() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }
    int Count(UINT message) const {
        int n = 0;
        MSG msg;
        while (PeekMessageW(&msg, hwnd_, message, message, PM_REMOVE)) ++n;
        return n;
    }
private:
    HWND hwnd_;
};

class ForecastWidget : public testing::Test, public INimbrelHost {
protected:
    ForecastWidget() {
        store = {HKEY_CURRENT_USER, key.path()};
        slot = std::make_unique<ForecastWidgetSlot>(*this, folder.ProgramDir(), store);
    }
    std::wstring ReplyXml() override { return reply; }
    bool MetricUnits() override { return metric; }
    void UpdateWeather() override { ++updates; }
    void ShowWeatherPage() override { ++weatherPages; }
    HWND ClockWindow() override { return clock.get(); }
    void DragWindow(HWND) override {
        ++drags;
        if (onDrag) onDrag();
    }
    void ForecastMessage(const std::wstring& text) override {
        messages.push_back(text);
        if (onMessage) onMessage();
    }
    void EditFile(const std::wstring& file) override { edited.push_back(file); }
    ~ForecastWidget() override { slot.reset(); }

    TfrmNimbrel& Shown() {
        slot->Show();
        EXPECT_TRUE(slot->get());
        return *slot->get();
    }
    RegKey Key() const { return RegKey::Open(HKEY_CURRENT_USER, key.path()); }
    std::uint32_t Stored(const wchar_t* name) const { return Key().ReadDword(name).value_or(0xFFFFFFFF); }

    ForecastFolder folder;
    ForecastTestKey key;
    RegistryPlace store;
    FakeClockWindow clock;
    std::wstring reply = GoldenReply();
    bool metric = false;
    int updates = 0, weatherPages = 0, drags = 0;
    std::function<void()> onDrag;   // what the move loop dispatches meanwhile
    std::function<void()> onMessage;   // what the message box's loop dispatches meanwhile
    std::vector<std::wstring> messages, edited;
    std::unique_ptr<ForecastWidgetSlot> slot;
};

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[128] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING | MIIM_FTYPE;
    item.dwTypeData = text;
    item.cch = 127;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
    return (item.fType & MFT_SEPARATOR) ? L"-" : text;
}

bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

}  // namespace

TEST_F(ForecastWidget, ShownOnFirstUseAsALayeredToolWindowOfThePicturesSize) {
    EXPECT_FALSE(slot->get());
    TfrmNimbrel& widget = Shown();
    const LONG_PTR ex = GetWindowLongPtrW(widget.hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);   // "Always On Top" is checked at first
    EXPECT_TRUE(IsWindowVisible(widget.hwnd()));
    RECT r{};
    GetWindowRect(widget.hwnd(), &r);
    EXPECT_EQ(r.left, 491);
    EXPECT_EQ(r.top, 125);
    EXPECT_EQ(r.right - r.left, widget.Picture().bitmap.width);
    EXPECT_EQ(r.bottom - r.top, widget.Picture().bitmap.height);
    EXPECT_EQ(widget.Fields().LocationText, L"Paris, France");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ForecastWidget, MenuCloseHidesAndTheNextShowBringsBackTheSameWidget) {
    TfrmNimbrel* first = &Shown();
    SetWindowPos(first->hwnd(), nullptr, 210, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    first->OnMenuCommand(TfrmNimbrel::kExit1);
    EXPECT_FALSE(IsWindowVisible(first->hwnd()));
    EXPECT_EQ(Stored(L"Left"), 210u);
    EXPECT_EQ(slot->get(), first);
    EXPECT_EQ(&Shown(), first);
    RECT r{};
    GetWindowRect(first->hwnd(), &r);
    EXPECT_EQ(r.left, 210);
    EXPECT_EQ(r.top, 160);
}

TEST_F(ForecastWidget, CloseButtonFreesTheWidgetAndANewOneReturnsToTheStoredPlace) {
    TfrmNimbrel& widget = Shown();
    HWND window = widget.hwnd();
    SetWindowPos(window, nullptr, 220, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(277 + 10, 8 + 10));
    SendMessageW(window, WM_LBUTTONUP, 0, At(277 + 10, 8 + 10));
    EXPECT_EQ(drags, 0);   // a press on the close button drags nothing
    Pump();
    EXPECT_FALSE(slot->get());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored(L"Left"), 220u);
    EXPECT_EQ(Stored(L"Top"), 170u);
    RECT r{};
    GetWindowRect(Shown().hwnd(), &r);
    EXPECT_EQ(r.left, 220);
    EXPECT_EQ(r.top, 170);
}

TEST_F(ForecastWidget, ReleasingOutsideTheCloseButtonKeepsTheWidget) {
    TfrmNimbrel& widget = Shown();
    SendMessageW(widget.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(287, 18));
    SendMessageW(widget.hwnd(), WM_LBUTTONUP, 0, At(250, 100));
    Pump();
    EXPECT_TRUE(slot->get());
}

TEST_F(ForecastWidget, CloseFromOutsideStoresAndFrees) {
    Shown().OnMenuCommand(TfrmNimbrel::kwTomorrow);
    slot->Close();
    EXPECT_FALSE(slot->get());
    EXPECT_EQ(Stored(L"SelectedWeather"), 2u);
    EXPECT_EQ(Stored(L"wTomorrow"), 1u);
    EXPECT_EQ(Shown().Settings().SelectedWeather, kWeatherTomorrow);
    EXPECT_EQ(slot->get()->Fields().ConditionsText, L"Sunny");
}

TEST_F(ForecastWidget, CtrlNCyclesTheWeatherAndStoresEachStep) {
    TfrmNimbrel& widget = Shown();
    CtrlHeld ctrl;
    const int expected[] = {kWeatherToday, kWeatherTomorrow, kWeatherCurrent};
    for (int want : expected) {
        SendMessageW(widget.hwnd(), WM_KEYUP, 'N', 0);
        EXPECT_EQ(widget.Settings().SelectedWeather, want);
        EXPECT_EQ(Stored(L"SelectedWeather"), static_cast<std::uint32_t>(want));
    }
    EXPECT_EQ(widget.Fields().ConditionsText, L"Partly Cloudy");
}

TEST_F(ForecastWidget, CtrlClickCyclesWithoutDraggingAndAPlainPressDrags) {
    TfrmNimbrel& widget = Shown();
    SendMessageW(widget.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, At(100, 100));
    SendMessageW(widget.hwnd(), WM_LBUTTONUP, MK_CONTROL, At(100, 100));
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(widget.Settings().SelectedWeather, kWeatherToday);
    EXPECT_EQ(widget.Fields().TemperatureText, L"58\u00B0F");
    SendMessageW(widget.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100));
    EXPECT_EQ(drags, 1);
    // The shortcut leaves the menu's radio marks as they were.
    UniqueMenu menu = widget.BuildPopupMenu();
    EXPECT_TRUE(Checked(menu.get(), TfrmNimbrel::kwCurrent));
    EXPECT_FALSE(Checked(menu.get(), TfrmNimbrel::kwToday));
    EXPECT_EQ(Stored(L"wCurrent"), 1u);
}

TEST_F(ForecastWidget, StoredChoiceOutsideTheListShowsTheRowOnly) {
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteDword(L"SelectedWeather", 5);
    TfrmNimbrel& widget = Shown();
    EXPECT_EQ(widget.Fields().LocationText, L"Paris, France");
    EXPECT_EQ(widget.Fields().TemperatureText, L"N/A\u00B0F");
    EXPECT_TRUE(widget.Picture().Layer(L"dayicon4"));
    CtrlHeld ctrl;
    SendMessageW(widget.hwnd(), WM_KEYUP, 'N', 0);
    EXPECT_EQ(widget.Settings().SelectedWeather, 5);
}

TEST_F(ForecastWidget, AlwaysOnTopFollowsItsStoredMark) {
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteDword(L"OnTop1", 0);
    TfrmNimbrel& widget = Shown();
    EXPECT_FALSE(GetWindowLongPtrW(widget.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    widget.OnMenuCommand(TfrmNimbrel::kOnTop1);
    EXPECT_TRUE(GetWindowLongPtrW(widget.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Stored(L"OnTop1"), 1u);
}

TEST_F(ForecastWidget, MouseOverTheWidgetCancelsTheClocksLeaveReport) {
    TfrmNimbrel& widget = Shown();
    clock.Count(WM_CLOCKCANCELLEAVE);
    SendMessageW(widget.hwnd(), WM_MOUSEMOVE, 0, At(50, 50));
    SendMessageW(widget.hwnd(), WM_MOUSEMOVE, 0, At(51, 50));
    EXPECT_EQ(clock.Count(WM_CLOCKCANCELLEAVE), 2);
}

TEST_F(ForecastWidget, MenuOffersTheVisibleItemsInOrder) {
    UniqueMenu menu = Shown().BuildPopupMenu();
    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) items.push_back(ItemText(menu.get(), i));
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Show Wind", L"-", L"Enter Location...",
                                                L"Weather (Ctrl+N | Ctrl+Click)", L"-",
                                                L"Update Now", L"Settings",
                                                L"-", L"Close"}));
    EXPECT_TRUE(Checked(menu.get(), TfrmNimbrel::kShowWind1));
    EXPECT_TRUE(Checked(menu.get(), TfrmNimbrel::kwCurrent));
    EXPECT_TRUE(Checked(menu.get(), TfrmNimbrel::kOnTop1));
    EXPECT_TRUE(Checked(menu.get(), TfrmNimbrel::kDisplayShadow1));
}

TEST_F(ForecastWidget, UpdateNowAndEnterLocationReachTheWeatherPage) {
    TfrmNimbrel& widget = Shown();
    widget.OnMenuCommand(TfrmNimbrel::kUpdateNow1);
    widget.OnMenuCommand(TfrmNimbrel::kGetWeather1);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(weatherPages, 1);
}

TEST_F(ForecastWidget, ShowWindAndShadowRedrawAndAreStored) {
    TfrmNimbrel& widget = Shown();
    ASSERT_TRUE(widget.Picture().Layer(L"rose"));
    widget.OnMenuCommand(TfrmNimbrel::kShowWind1);
    EXPECT_FALSE(widget.Picture().Layer(L"rose"));
    EXPECT_FALSE(widget.Picture().Layer(L"needle"));
    EXPECT_EQ(Stored(L"ShowWind1"), 0u);
    widget.OnMenuCommand(TfrmNimbrel::kDisplayShadow1);
    EXPECT_EQ(Stored(L"DisplayShadow1"), 0u);
    slot->Close();
    EXPECT_FALSE(Shown().Picture().Layer(L"rose"));
}

TEST_F(ForecastWidget, RedrawReadsTheNewestReply) {
    TfrmNimbrel& widget = Shown();
    reply = Widen(Replaced(WeatherData(L"golden.xml"), "<tmp>72</tmp>", "<tmp>41</tmp>"));
    slot->Redraw();
    EXPECT_EQ(widget.Fields().TemperatureText, L"41\u00B0F");
    ForecastWidgetSlot empty(*this, folder.ProgramDir(), store);
    empty.Redraw();   // no widget: nothing to do
    EXPECT_FALSE(empty.get());
}

TEST_F(ForecastWidget, StoredSkinOutsideTheFolderIsNotUsed) {
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteString(L"sSkinName", L"..\\..\\Windows");
    EXPECT_EQ(Shown().Settings().sSkinName, L"KonfabulatorPLUS");
    slot->get()->ChooseSkin(L"..");
    EXPECT_EQ(slot->get()->Settings().sSkinName, L"KonfabulatorPLUS");
}

TEST_F(ForecastWidget, SkinsAreNotOfferedAndTheStoredSkinIsDrawn) {
    const std::wstring night = folder.Forecast() + L"Night\\";
    ASSERT_TRUE(CreateDirectoryW(night.c_str(), nullptr));
    WriteFileBytes(night + L"skin.xml", "<skin><font id=\"font.daytitle\" facename=\"Courier New\"/></skin>");
    ASSERT_TRUE(CopyFileW((folder.Skin() + L"29.png").c_str(), (night + L"29.png").c_str(), FALSE));
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteString(L"sSkinName", L"Night");
    TfrmNimbrel& widget = Shown();
    UniqueMenu menu = widget.BuildPopupMenu();
    for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) EXPECT_NE(ItemText(menu.get(), i), L"Skins");
    EXPECT_EQ(widget.Settings().sSkinName, L"Night");
    EXPECT_EQ(widget.Font().faceName, L"Courier New");
    EXPECT_TRUE(messages.empty());
}

TEST(ForecastPlacement, PositionOffTheScreensComesBack) {
    const RECT screens{0, 0, 1024, 768};
    EXPECT_EQ(VisiblePosition({491, 125}, 708, 279, screens).x, 491);
    const POINT away = VisiblePosition({5000, 4000}, 708, 279, screens);
    EXPECT_EQ(away.x, 1024 - 32);
    EXPECT_EQ(away.y, 768 - 32);
    const POINT left = VisiblePosition({-3000, -50}, 708, 279, screens);
    EXPECT_EQ(left.x, -708 + 32);
    EXPECT_EQ(left.y, -50);
}

TEST_F(ForecastWidget, RedrawingLeavesNoGdiObjectBehind) {
    TfrmNimbrel& widget = Shown();
    widget.OnDrawWidget();
    ASSERT_TRUE(GdiCountIsLive());
    const DWORD before = LiveGdiObjects();
    for (int i = 0; i < 3; ++i) widget.OnDrawWidget();
    EXPECT_EQ(LiveGdiObjects(), before);
}

TEST_F(ForecastWidget, HoverLeavingDuringADragFreesTheWidgetOnlyAfterTheDrag) {
    bool aliveInLoop = false, minimised = false;
    HWND window = nullptr;
    // The move loop dispatches messages, among them the taskbar clock's leave report.
    onDrag = [&] {
        slot->Close();
        Pump();
        aliveInLoop = IsWindow(window) != FALSE;
        minimised = IsIconic(window) != FALSE;
    };
    slot->Show();
    window = slot->get()->hwnd();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100));
    EXPECT_TRUE(aliveInLoop) << "freed under the move loop";
    EXPECT_TRUE(minimised);
    EXPECT_FALSE(slot->get());
    EXPECT_FALSE(IsWindow(window)) << "not freed once the press had returned";
}

TEST_F(ForecastWidget, AltF4ClosesLikeTheCloseButton) {
    HWND window = Shown().hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(slot->get());
}

TEST_F(ForecastWidget, ClosedFromInsideItsMessageBoxGoesOnlyOnceTheDrawingHasReturned) {
    const std::wstring empty = folder.Forecast() + L"Empty\\";
    CreateDirectoryW(empty.c_str(), nullptr);
    RegKey::Create(HKEY_CURRENT_USER, key.path()).WriteString(L"sSkinName", L"Empty");
    HWND window = Shown().hwnd();
    WriteFileBytes(empty + L"skin.xml", "<skin><font id=");   // the next drawing reports it in a box
    bool aliveInBox = false;
    onMessage = [&] {
        slot->Close();
        aliveInBox = IsWindow(window) != FALSE;
    };
    slot->Redraw();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(aliveInBox) << "freed under its own message box";
    EXPECT_FALSE(slot->get());
    EXPECT_FALSE(IsWindow(window)) << "not freed once the drawing had returned";
}

TEST_F(ForecastWidget, AWidgetClosedTwiceBeforeItGoesLeavesTheNextWidgetAlone) {
    HWND first = Shown().hwnd();
    TfrmNimbrel* next = nullptr;
    onDrag = [&] {
        SendMessageW(first, WM_CLOSE, 0, 0);
        next = &Shown();   // the clock's hover shows the widget again meanwhile
        SendMessageW(first, WM_CLOSE, 0, 0);
    };
    SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 100));
    EXPECT_FALSE(IsWindow(first));
    ASSERT_TRUE(slot->get());
    EXPECT_EQ(slot->get(), next);
    EXPECT_TRUE(IsWindow(next->hwnd()));
}
