#include "weather/frm_nimbrel.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "controls/gblur.h"
#include "clock/tray_protocol.h"

namespace vt {

namespace {

constexpr wchar_t kNimbrelClass[] = L"TfrmNimbrel";
constexpr int kMinimumVisible = 32;
constexpr UINT_PTR kSysCommandDragMove = 0xF012;   // SC_MOVE with the caption hit code

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

std::wstring LastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"Error " + std::to_wstring(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text;
}


void AppendItem(HMENU menu, UINT id, const wchar_t* caption, bool checked = false, bool radio = false) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
    item.fType = radio ? MFT_RADIOCHECK : MFT_STRING;
    item.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t*>(caption);
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

void AppendSubMenu(HMENU menu, HMENU sub, const wchar_t* caption) {
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption);
}

}  // namespace

NimbrelSettings LoadNimbrelSettings(const RegistryPlace& place) {
    NimbrelSettings s;
    RegKey key = place.OpenRead();
    if (!key) return s;
    auto left = key.ReadDword(L"Left"), top = key.ReadDword(L"Top");
    if (left && top) {
        s.hasPosition = true;
        s.position = {static_cast<LONG>(static_cast<std::int32_t>(*left)), static_cast<LONG>(static_cast<std::int32_t>(*top))};
    }
    s.SelectedWeather = static_cast<int>(static_cast<std::int32_t>(key.ReadDword(L"SelectedWeather").value_or(0)));
    s.sSkinName = key.ReadString(L"sSkinName").value_or(kDefaultForecastSkin);
    // A stored name that reaches outside the forecast folder is no skin.
    if (!IsSafeSkinName(s.sSkinName)) s.sSkinName = kDefaultForecastSkin;
    s.foundPlace = key.ReadString(L"foundPlace").value_or(L"");
    s.showWind = key.ReadDword(L"ShowWind1").value_or(1) != 0;
    s.onTop = key.ReadDword(L"OnTop1").value_or(1) != 0;
    s.displayShadow = key.ReadDword(L"DisplayShadow1").value_or(1) != 0;
    return s;
}

void SaveNimbrelSettings(const RegistryPlace& place, const NimbrelSettings& s) {
    RegKey key = place.OpenWrite();
    if (!key) return;
    if (s.hasPosition) {
        key.WriteDword(L"Left", static_cast<std::uint32_t>(s.position.x));
        key.WriteDword(L"Top", static_cast<std::uint32_t>(s.position.y));
    }
    key.WriteString(L"foundPlace", s.foundPlace);
    key.WriteDword(L"SelectedWeather", static_cast<std::uint32_t>(s.SelectedWeather));
    key.WriteString(L"sSkinName", s.sSkinName);
    key.WriteDword(L"wCurrent", s.SelectedWeather == kWeatherCurrent);
    key.WriteDword(L"wToday", s.SelectedWeather == kWeatherToday);
    key.WriteDword(L"wTomorrow", s.SelectedWeather == kWeatherTomorrow);
    key.WriteDword(L"OnTop1", s.onTop);
    key.WriteDword(L"DisplayShadow1", s.displayShadow);
    key.WriteDword(L"ShowWind1", s.showWind);
}

POINT VisiblePosition(POINT wanted, int width, int height, const RECT& screens) {
    width = std::max(width, kMinimumVisible);
    height = std::max(height, kMinimumVisible);
    POINT p = wanted;
    p.x = std::clamp<LONG>(p.x, screens.left - width + kMinimumVisible, screens.right - kMinimumVisible);
    p.y = std::clamp<LONG>(p.y, screens.top - height + kMinimumVisible, screens.bottom - kMinimumVisible);
    return p;
}

void SystemNimbrelActions::DragWindow(HWND widget) {
    ReleaseCapture();
    SendMessageW(widget, WM_SYSCOMMAND, kSysCommandDragMove, 0);
}

void SystemNimbrelActions::ForecastMessage(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), L"Forecast", MB_OK);
}

void SystemNimbrelActions::EditFile(const std::wstring& file) {
    ShellExecuteW(nullptr, L"edit", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

TfrmNimbrel::TfrmNimbrel(INimbrelHost& host, ForecastWidgetSlot& slot, std::wstring programDir, RegistryPlace store)
    : host_(host), slot_(slot), programDir_(std::move(programDir)), store_(std::move(store)) {
    if (!programDir_.empty() && programDir_.back() != L'\\') programDir_ += L'\\';
}

TfrmNimbrel::~TfrmNimbrel() {
    // Whatever ends the widget, its place and choices are kept.
    if (hwnd_) SavePlacement();
}

void TfrmNimbrel::RegisterClass() {
    RegisterWindowClass(kNimbrelClass, Proc);
}

bool TfrmNimbrel::Create() {
    RegisterClass();
    // The stored choices are known before the first drawing, so a new widget never shows another choice.
    settings_ = LoadNimbrelSettings(store_);
    // A tool window has no taskbar button; no owner, so it stays on the desktop when the dialog hides.
    if (!CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kNimbrelClass, L"Forecast", WS_POPUP, settings_.position.x,
                         settings_.position.y, 343, 288, nullptr, nullptr, Instance(), this))
        return false;
    if (CurrentBlurKernel.Size == 0) MakeStandardBlurKernel();
    Guarded([&] { OnDrawWidget(); });
    return true;
}

void TfrmNimbrel::RestorePlacement() {
    settings_ = LoadNimbrelSettings(store_);
    RECT screens{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screens.right = screens.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screens.bottom = screens.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int w = picture_.bitmap ? picture_.bitmap.width : 343, h = picture_.bitmap ? picture_.bitmap.height : 288;
    // A monitor that is gone must not take the widget with it.
    const POINT p = VisiblePosition(settings_.position, w, h, screens);
    SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmNimbrel::SavePlacement() {
    RECT r{};
    if (hwnd_ && GetWindowRect(hwnd_, &r)) {
        settings_.position = {r.left, r.top};
        settings_.hasPosition = true;
    }
    SaveNimbrelSettings(store_, settings_);
}

void TfrmNimbrel::Show() {
    if (!hwnd_) return;
    RestorePlacement();
    Guarded([&] { OnDrawWidget(); });
    fields_.UnitLetter = host_.MetricUnits() ? L"m" : L"s";
    OnTop1Click();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void TfrmNimbrel::Exit1Click() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_HIDE);
    SavePlacement();
}

void TfrmNimbrel::FormClose() {
    if (!hwnd_) return;
    SavePlacement();
    ShowWindow(hwnd_, SW_HIDE);
}

void TfrmNimbrel::imgCloseClick() {
    FormClose();
    // Freed from a message of its own, never from inside the click that is still running.
    PostMessageW(hwnd_, kReleaseMessage, 0, 0);
}

void TfrmNimbrel::OnDrawWidget() {
    const std::wstring xml = host_.ReplyXml();
    const bool english = !host_.MetricUnits();
    ForecastReading reading = ReadForecastWeather(xml, settings_.SelectedWeather, english, fields_);
    ForecastDrawOptions options;
    options.programDir = programDir_;
    options.skinName = settings_.sSkinName;
    options.showWind = settings_.showWind;
    options.shadow = settings_.displayShadow;
    ForecastPicture picture = DrawForecast(fields_, reading, options, font_, pictures_);
    picture_ = std::move(picture);
    Present();
}

void TfrmNimbrel::Present() {
    if (!hwnd_ || !picture_.bitmap) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    WindowDC screen(nullptr);
    UniqueMemDC memory(CreateCompatibleDC(screen.get()));
    SelectGuard keep(memory.get(), picture_.bitmap.bitmap.get());
    POINT destination{r.left, r.top}, source{0, 0};
    SIZE size{picture_.bitmap.width, picture_.bitmap.height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiFlush();
    if (!UpdateLayeredWindow(hwnd_, screen.get(), &destination, &size, memory.get(), &source, 0, &blend, ULW_ALPHA))
        Message(LastErrorText(GetLastError()));
}

void TfrmNimbrel::Message(const std::wstring& text) {
    host_.ForecastMessage(text);
}

void TfrmNimbrel::OnSelectWeather(int tag) {
    settings_.SelectedWeather = tag;
    OnDrawWidget();
    SavePlacement();
}

void TfrmNimbrel::AdvanceWeather() {
    switch (settings_.SelectedWeather) {
    case kWeatherCurrent: OnSelectWeather(kWeatherToday); break;
    case kWeatherToday: OnSelectWeather(kWeatherTomorrow); break;
    case kWeatherTomorrow: OnSelectWeather(kWeatherCurrent); break;
    default: break;   // a stored choice of no weather stays until one is chosen in the menu
    }
}

void TfrmNimbrel::ChooseSkin(const std::wstring& name) {
    if (!IsSafeSkinName(name)) return;
    settings_.sSkinName = name;
    OnDrawWidget();
    SavePlacement();
}

void TfrmNimbrel::ShowWind1Click() {
    settings_.showWind = !settings_.showWind;
    OnDrawWidget();
    SavePlacement();
}

void TfrmNimbrel::DisplayShadow1Click() {
    settings_.displayShadow = !settings_.displayShadow;
    OnDrawWidget();
    SavePlacement();
}

void TfrmNimbrel::OnTop1Click() {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, settings_.onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

UniqueMenu TfrmNimbrel::BuildPopupMenu() {
    UniqueMenu menu(CreatePopupMenu());
    HMENU m = menu.get();
    // "Tell a Friend...", "Help" and "About Nimbrel..." have nothing behind them and are not offered. "Skins"
    // is: without it a second forecast skin dropped into the folder could never be chosen.
    AppendItem(m, kShowWind1, L"Show Wind", settings_.showWind);
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendItem(m, kGetWeather1, L"Enter Location...");
    HMENU weather = CreatePopupMenu();
    AppendItem(weather, kwCurrent, L"Current", settings_.SelectedWeather == kWeatherCurrent, true);
    AppendItem(weather, kwToday, L"Today", settings_.SelectedWeather == kWeatherToday, true);
    AppendItem(weather, kwTomorrow, L"Tomorrow", settings_.SelectedWeather == kWeatherTomorrow, true);
    AppendSubMenu(m, weather, L"Weather (Ctrl+N | Ctrl+Click)");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    menuSkins_ = ListForecastSkins(ForecastDir());
    HMENU skins = CreatePopupMenu();
    for (size_t i = 0; i < menuSkins_.size(); ++i)
        AppendItem(skins, kSkinFirst + static_cast<UINT>(i), menuSkins_[i].c_str(),
                   menuSkins_[i] == settings_.sSkinName, true);
    AppendMenuW(skins, MF_SEPARATOR, 0, nullptr);
    AppendItem(skins, kEditCurrentSkin1, L"Edit current skin...");
    AppendSubMenu(m, skins, L"Skins");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendItem(m, kUpdateNow1, L"Update Now");
    HMENU settings = CreatePopupMenu();
    AppendItem(settings, kOnTop1, L"Always On Top", settings_.onTop);
    AppendItem(settings, kDisplayShadow1, L"Display Shadow", settings_.displayShadow);
    AppendSubMenu(m, settings, L"Settings");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendItem(m, kExit1, L"Close");
    return menu;
}

void TfrmNimbrel::OnMenuCommand(UINT id) {
    switch (id) {
    case kShowWind1: ShowWind1Click(); break;
    case kGetWeather1: host_.ShowWeatherPage(); break;
    case kwCurrent: OnSelectWeather(kWeatherCurrent); break;
    case kwToday: OnSelectWeather(kWeatherToday); break;
    case kwTomorrow: OnSelectWeather(kWeatherTomorrow); break;
    case kUpdateNow1: host_.UpdateWeather(); break;
    case kOnTop1:
        settings_.onTop = !settings_.onTop;
        OnTop1Click();
        SavePlacement();
        break;
    case kDisplayShadow1: DisplayShadow1Click(); break;
    case kExit1: Exit1Click(); break;
    case kEditCurrentSkin1: {
        const std::wstring file = ForecastDir() + settings_.sSkinName + L"\\skin.xml";
        host_.EditFile(file);
        break;
    }
    default:
        if (id >= kSkinFirst && id - kSkinFirst < menuSkins_.size()) ChooseSkin(menuSkins_[id - kSkinFirst]);
        break;
    }
}

template <class F>
void TfrmNimbrel::RunModal(F&& loop) {
    ++modalDepth_;
    try {
        loop();
    } catch (...) {
        --modalDepth_;
        throw;
    }
    // A release that arrived inside the loop is handed on now that nothing of the loop is left on the stack.
    if (--modalDepth_ == 0 && releasePending_) {
        releasePending_ = false;
        PostMessageW(hwnd_, kReleaseMessage, 0, 0);
    }
}

void TfrmNimbrel::ShowPopupMenu(POINT screen) {
    UniqueMenu menu = BuildPopupMenu();
    // The menu closes properly only when its owner is the foreground window.
    SetForegroundWindow(hwnd_);
    RunModal([&] { TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr); });
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

bool TfrmNimbrel::InCloseButton(LPARAM lp) const {
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    const RECT r{kCloseButtonAt.x, kCloseButtonAt.y, kCloseButtonAt.x + kCloseButtonSize.cx,
                 kCloseButtonAt.y + kCloseButtonSize.cy};
    return PtInRect(&r, p) != 0;
}

LRESULT TfrmNimbrel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE: {
        // Keeps a widget opened by hovering over the taskbar clock from closing while the pointer is here.
        if (HWND clock = host_.ClockWindow()) PostMessageW(clock, WM_CLOCKCANCELLEAVE, 0, 0);
        return 0;
    }
    case WM_LBUTTONDOWN:
        closePressed_ = InCloseButton(lp);
        // A Ctrl+Click chooses the next weather on release; the move loop would swallow that release.
        if (!closePressed_ && !(wp & MK_CONTROL)) {
            RunModal([&] { host_.DragWindow(hwnd_); });
        }
        return 0;
    case WM_LBUTTONUP:
        if (wp & MK_CONTROL) {
            AdvanceWeather();
        } else if (closePressed_ && InCloseButton(lp)) {
            closePressed_ = false;
            imgCloseClick();
        }
        closePressed_ = false;
        return 0;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (wp & MK_CONTROL) {
            AdvanceWeather();
            return 0;
        }
        return Default(msg, wp, lp);
    case WM_KEYUP:
        if (wp == 'N' && GetKeyState(VK_CONTROL) < 0) AdvanceWeather();
        return 0;
    case WM_CONTEXTMENU: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (lp == -1) {
            RECT r{};
            GetWindowRect(hwnd_, &r);
            p = {r.left + 20, r.top + 20};
        }
        ShowPopupMenu(p);
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wp) == 0) OnMenuCommand(LOWORD(wp));
        return 0;
    case WM_EXITSIZEMOVE:
        SavePlacement();
        return 0;
    case WM_CLOSE:   // Alt+F4: as the close button
        imgCloseClick();
        return 0;
    case kReleaseMessage: {
        if (InModalLoop()) {
            releasePending_ = true;
            return 0;
        }
        // The slot frees this object inside the call: nothing of it may be touched afterwards.
        slot_.Released();
        return 0;
    }
    default: return Default(msg, wp, lp);
    }
}

ForecastWidgetSlot::ForecastWidgetSlot(INimbrelHost& host, std::wstring programDir, RegistryPlace store)
    : host_(host), programDir_(std::move(programDir)), store_(std::move(store)) {}

void ForecastWidgetSlot::Show() {
    if (!widget_) {
        auto widget = std::make_unique<TfrmNimbrel>(host_, *this, programDir_, store_);
        if (!widget->Create()) return;
        widget_ = std::move(widget);
    }
    widget_->Show();
}

void ForecastWidgetSlot::Close() {
    if (!widget_) return;
    // The hover can leave the taskbar clock while the widget's menu or move loop runs; the widget is then
    // freed once that loop has returned.
    if (widget_->InModalLoop()) {
        widget_->imgCloseClick();
        return;
    }
    widget_->FormClose();
    widget_.reset();
}

void ForecastWidgetSlot::Redraw() {
    if (widget_) Guarded([&] { widget_->OnDrawWidget(); });
}

}  // namespace vt
