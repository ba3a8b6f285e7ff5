#include "weather/frm_nimbrel.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "base/xml.h"
#include "controls/gblur.h"
#include "clock/tray_protocol.h"

namespace vt {

namespace {

constexpr wchar_t kNimbrelClass[] = L"TfrmNimbrel";
constexpr int kMinimumVisible = 32;
constexpr UINT_PTR kSysCommandDragMove = 0xF012;   // SC_MOVE with the caption hit code
constexpr UINT_PTR kWeatherHintId = 1;
constexpr wchar_t kWeatherHint[] = L"Ctrl + Mouse Click";
constexpr int kWeatherMenuPosition = 3;            // "Weather (Ctrl+N | Ctrl+Click)" in the popup menu

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

std::wstring LastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"Error " + std::to_wstring(code) + L".";
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
    // The radio marks as stored: checking one item unchecks the others, so the last one checked counts.
    const wchar_t* const marks[] = {L"wCurrent", L"wToday", L"wTomorrow"};
    for (int tag = kWeatherCurrent; tag <= kWeatherTomorrow; ++tag) {
        const auto mark = key.ReadDword(marks[tag]);
        if (mark && *mark) s.weatherMark = tag;
        else if (mark && s.weatherMark == tag) s.weatherMark = -1;
    }
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
    key.WriteDword(L"wCurrent", s.weatherMark == kWeatherCurrent);
    key.WriteDword(L"wToday", s.weatherMark == kWeatherToday);
    key.WriteDword(L"wTomorrow", s.weatherMark == kWeatherTomorrow);
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
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, kNimbrelClass, L"Forecast", WS_POPUP, settings_.position.x,
                         settings_.position.y, 343, 288, nullptr, nullptr, Instance(), this)) {
        Message(L"The forecast window cannot be made: " + LastErrorText(GetLastError()));
        return false;
    }
    // Without the layered style the picture cannot be shown; the widget goes on all the same.
    SetLastError(0);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (const DWORD error = GetLastError(); error || !(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED))
        Message(L"The forecast window cannot be made see-through: " + LastErrorText(error));
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
    // A minimised window stands nowhere the widget should come back to.
    if (hwnd_ && !IsIconic(hwnd_) && GetWindowRect(hwnd_, &r)) {
        settings_.position = {r.left, r.top};
        settings_.hasPosition = true;
    }
    SaveNimbrelSettings(store_, settings_);
}

void TfrmNimbrel::Show() {
    if (!hwnd_) return;
    OwnCodeScope running;
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
    // Minimised, the platform activates the next window, so the keyboard does not stay with a hidden one.
    ShowWindow(hwnd_, SW_MINIMIZE);
}

void TfrmNimbrel::imgCloseClick() {
    FormClose();
    // The click that runs this still runs: the widget goes once it has returned.
    slot_.Released(this);
}

void TfrmNimbrel::ReportSkinError() {
    std::wstring error;
    LoadForecastSkin(ForecastDir(), settings_.sSkinName, &error);
    std::wstring& reported = slot_.reportedSkinError_;
    if (error.empty()) {
        reported.clear();
        return;
    }
    // Once, not on every drawing: the widget redraws after every weather update.
    if (error == reported) return;
    reported = error;
    Message(error + L"\n\nThe forecast is drawn with the default skin.");
}

void TfrmNimbrel::OnDrawWidget() {
    OwnCodeScope running;
    XmlReading parser;   // the skin and the reply read with one load of the parser
    ReportSkinError();
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
    // The message box runs a loop of its own, in which the widget may be asked to go.
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
    // "Tell a Friend...", "Help", "About Nimbrel..." and "Skins" are not offered. The skins' list is
    // built all the same; the skin shown is the stored one.
    AppendItem(m, kShowWind1, L"Show Wind", settings_.showWind);
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendItem(m, kGetWeather1, L"Enter Location...");
    HMENU weather = CreatePopupMenu();
    AppendItem(weather, kwCurrent, L"Current", settings_.weatherMark == kWeatherCurrent, true);
    AppendItem(weather, kwToday, L"Today", settings_.weatherMark == kWeatherToday, true);
    AppendItem(weather, kwTomorrow, L"Tomorrow", settings_.weatherMark == kWeatherTomorrow, true);
    AppendSubMenu(m, weather, L"Weather (Ctrl+N | Ctrl+Click)");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);   // the hidden "Skins" between two separators leaves one
    menuSkins_ = ListForecastSkins(ForecastDir());
    skinsMenu_.reset(CreatePopupMenu());
    for (size_t i = 0; i < menuSkins_.size(); ++i)
        AppendItem(skinsMenu_.get(), kSkinFirst + static_cast<UINT>(i), menuSkins_[i].c_str(),
                   menuSkins_[i] == settings_.sSkinName, true);
    AppendMenuW(skinsMenu_.get(), MF_SEPARATOR, 0, nullptr);
    AppendItem(skinsMenu_.get(), kEditCurrentSkin1, L"Edit current skin...");
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
    // A radio item checks itself; the shortcuts choose without checking.
    case kwCurrent: settings_.weatherMark = kWeatherCurrent; OnSelectWeather(kWeatherCurrent); break;
    case kwToday: settings_.weatherMark = kWeatherToday; OnSelectWeather(kWeatherToday); break;
    case kwTomorrow: settings_.weatherMark = kWeatherTomorrow; OnSelectWeather(kWeatherTomorrow); break;
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

void TfrmNimbrel::ShowPopupMenu(POINT screen) {
    UniqueMenu menu = BuildPopupMenu();
    // The menu closes properly only when its owner is the foreground window.
    SetForegroundWindow(hwnd_);
    // The hints' window lives as long as the menu: an owned topmost window beside the widget would keep
    // it out of the topmost band on some platforms.
    struct MenuHints {
        THints hints;
        ~MenuHints() {
            if (hints.window()) DestroyWindow(hints.window());
        }
    } menuHints;
    menuHints.hints.Attach(hwnd_);
    menuHints_ = &menuHints.hints;
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr);
    menuHints_ = nullptr;
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void TfrmNimbrel::ShowMenuHint(HMENU menu, UINT item, UINT flags) {
    if (!menuHints_) return;
    RECT r{};
    // Only "Weather" has a hint; it goes when the highlight leaves it or the menu closes.
    if (menu && (flags & MF_POPUP) && item == kWeatherMenuPosition && GetMenuItemCount(menu) > kWeatherMenuPosition &&
        GetSubMenu(menu, kWeatherMenuPosition) && GetMenuItemRect(hwnd_, menu, item, &r) &&
        GetMenuItemID(menu, 0) == kShowWind1)
        menuHints_->ShowAt(kWeatherHintId, {r.left + 16, r.bottom + 2}, kWeatherHint);
    else
        menuHints_->HideAt(kWeatherHintId);
}

void TfrmNimbrel::BeginButtonDrag(UINT button) {
    drag_ = {};
    RECT r{};
    const DWORD at = GetMessagePos();
    drag_.start = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (!GetWindowRect(hwnd_, &r)) return;
    drag_.button = button;
    drag_.origin = {r.left, r.top};
    SetCapture(hwnd_);
}

void TfrmNimbrel::DragTo(POINT screen) {
    const int dx = screen.x - drag_.start.x, dy = screen.y - drag_.start.y;
    // A right click that wanders a pixel or two still opens the menu.
    if (!drag_.moved && std::abs(dx) <= GetSystemMetrics(SM_CXDRAG) && std::abs(dy) <= GetSystemMetrics(SM_CYDRAG))
        return;
    drag_.moved = true;
    SetWindowPos(hwnd_, nullptr, drag_.origin.x + dx, drag_.origin.y + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TfrmNimbrel::EndButtonDrag() {
    const bool moved = drag_.moved;
    const bool running = drag_.button != 0;
    drag_ = {};
    if (running && GetCapture() == hwnd_) ReleaseCapture();
    if (moved) SavePlacement();
    return moved;
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
        if (drag_.button) {
            // Where the pointer was on the screen: the window under it moves as it is dragged.
            const DWORD at = GetMessagePos();
            DragTo({GET_X_LPARAM(at), GET_Y_LPARAM(at)});
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        closePressed_ = InCloseButton(lp);
        // A Ctrl+Click chooses the next weather on release; the move loop would swallow that release.
        if (!closePressed_ && !(wp & MK_CONTROL)) host_.DragWindow(hwnd_);
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
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Any button drags; a Ctrl+Click chooses the next weather instead.
        if (!(wp & MK_CONTROL)) BeginButtonDrag(msg == WM_RBUTTONDOWN ? MK_RBUTTON : MK_MBUTTON);
        return 0;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        // A right button that moved the widget opens no menu.
        if (EndButtonDrag()) return 0;
        if (wp & MK_CONTROL) {
            AdvanceWeather();
            return 0;
        }
        return Default(msg, wp, lp);
    case WM_CAPTURECHANGED:
        if (drag_.button && reinterpret_cast<HWND>(lp) != hwnd_) EndButtonDrag();
        return 0;
    case WM_MENUSELECT:
        ShowMenuHint(reinterpret_cast<HMENU>(lp), LOWORD(wp), HIWORD(wp) == 0xFFFF ? 0 : HIWORD(wp));
        return 0;
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
    default: return Default(msg, wp, lp);
    }
}

ForecastWidgetSlot::ForecastWidgetSlot(INimbrelHost& host, std::wstring programDir, RegistryPlace store)
    : host_(host), programDir_(std::move(programDir)), store_(std::move(store)) {}

void ForecastWidgetSlot::Free() {
    DeleteWhenUnwound(std::move(widget_));
}

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
    // The hover can leave the taskbar clock while the widget's menu or move loop runs: Free waits for it.
    widget_->FormClose();
    Free();
}

void ForecastWidgetSlot::Redraw() {
    if (widget_) Guarded([&] { widget_->OnDrawWidget(); });
}

}  // namespace vt
