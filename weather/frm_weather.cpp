#include "weather/frm_weather.h"

#include <commctrl.h>

#include "base/window.h"
#include "resources/weather_res.h"
#include "weather/weather_picture.h"
#include "base/files.h"

namespace vt {

namespace {
// Tile places inside the daily sub-page: one row of five (the fifth hidden), a second hidden row.
constexpr int kTileX[kWeatherTileCount] = {20, 101, 183, 264, 346, 20, 101, 183, 264, 346};
constexpr int kTileY[kWeatherTileCount] = {36, 36, 36, 36, 36, 202, 202, 202, 202, 202};
constexpr int kVisibleTiles = 4;

void SetText(HWND h, const std::wstring& text) {
    if (h && TextOf(h) != text) SetWindowTextW(h, text.c_str());
}

void SetCheck(HWND h, bool on) {
    if (h) SendMessageW(h, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }

const wchar_t* const kEveryItems[] = {L"Never", L"30 minutes", L"1 hour", L"3 hours", L"12 hours", L"1 day", L"1 minute"};

int SubPageOf(int id) {
    if (id >= IDC_PNCURRENTWEATHER && id <= IDC_CURRENT_LAST) return 0;
    if (id >= IDC_PNDAILYWEATHER && id <= IDC_DAILY_LAST) return 1;
    if (id >= IDC_PNWEATHERCOM && id <= IDC_SETTINGS_LAST) return 2;
    return -1;
}
}  // namespace

TfrmWeather::TfrmWeather(MainOptions& options, IWeatherFormHost& host, const INow& now, std::wstring programDir,
                         RegistryPlace store)
    : options_(options),
      host_(host),
      programDir_(programDir),
      page_(options, static_cast<IWeatherPageHost&>(*this), now, std::move(programDir),
            [this] {
                if (HWND h = postTarget_.load()) PostMessageW(h, kWeatherDoneMessage, 0, 0);
            },
            std::move(store)) {}

TfrmWeather::~TfrmWeather() {
    page_.Shutdown();
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND TfrmWeather::Create(HWND parent) {
    return CreateModeless(parent, IDD_WEATHER, ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES);
}

INT_PTR TfrmWeather::OnMessage(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_TIMER:
            if (w != kTimerWeather) return FALSE;
            KillTimer(hwnd_, kTimerWeather);
            page_.TimerWeatherTimer();
            return TRUE;
        case kWeatherDoneMessage:
            page_.OnRequestDone();
            return TRUE;
        case WM_DRAWITEM:
            DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(l) != lbError) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(w), RGB(255, 0, 0));
            SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        default:
            return FALSE;
    }
}

void TfrmWeather::OnInitDialog() {
    HWND h = hwnd_;
    auto item = [h](int id) { return GetDlgItem(h, id); };
    pbtCurrent = item(IDC_PBTCURRENT);
    pbtDaily = item(IDC_PBTDAILY);
    pbtSettings = item(IDC_PBTSETTINGS);
    lbError = item(IDC_LBERROR);
    pnCurrentWeather = item(IDC_PNCURRENTWEATHER);
    Image2 = item(IDC_IMAGE2);
    lbHiTemperature = item(IDC_LBHITEMPERATURE);
    imgMoon = item(IDC_IMGMOON);
    mmWeather = item(IDC_MMWEATHER);
    Label25 = item(IDC_LABEL25);
    lbTemperature = item(IDC_LBTEMPERATURE);
    lbTemperSymbol = item(IDC_LBTEMPERSYMBOL);
    pnDailyWeather = item(IDC_PNDAILYWEATHER);
    pnWeatherCom = item(IDC_PNWEATHERCOM);
    gradientPanel8 = item(IDC_GRADIENTPANEL8);
    chbShowWeather = item(IDC_CHBSHOWWEATHER);
    Label1 = item(IDC_LABEL1);
    cbFoundPlaces = item(IDC_CBFOUNDPLACES);
    btnGetWeatherCom = item(IDC_BTNGETWEATHERCOM);
    cbShowLocation = item(IDC_CBSHOWLOCATION);
    cbShowWeatherIcon = item(IDC_CBSHOWWEATHERICON);
    rbEnglishUnits = item(IDC_RBENGLISHUNITS);
    rbMetricUnits = item(IDC_RBMETRICUNITS);
    gradientPanel9 = item(IDC_GRADIENTPANEL9);
    Label22 = item(IDC_LABEL22);
    cbWeatherEvery = item(IDC_CBWEATHEREVERY);
    Label5 = item(IDC_LABEL5);
    lbWeatherSync = item(IDC_LBWEATHERSYNC);
    btSetProxy = item(IDC_BTSETPROXY);
    Label7 = item(IDC_LABEL7);
    HotKey1 = item(IDC_HOTKEY1);

    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    boldFont_.reset(CreateFontIndirectW(&lf));
    // The page title and the current temperature: bold Arial.
    LOGFONTW arial{};
    arial.lfWeight = FW_BOLD;
    arial.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(arial.lfFaceName, L"Arial");
    arial.lfHeight = -16;
    titleFont_.reset(CreateFontIndirectW(&arial));
    arial.lfHeight = -13;
    temperatureFont_.reset(CreateFontIndirectW(&arial));
    SendMessageW(lbHiTemperature, WM_SETFONT, reinterpret_cast<WPARAM>(temperatureFont_.get()), FALSE);

    RECT panel{};
    GetWindowRect(pnDailyWeather, &panel);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&panel), 2);
    const std::wstring defaultPicture = WeatherPicturePath(programDir_, L"Weather", L"na");
    for (int i = 0; i < kWeatherTileCount; ++i) {
        auto& tile = frDailyWeather[static_cast<size_t>(i)];
        tile.Create(h, panel.left + kTileX[i], panel.top + kTileY[i], WeatherPage::TileName(i), defaultPicture,
                    pictures_);
        tile.Show(false);
    }

    // The settings' two group titles: white captions on the header gradient; the first carries its check box.
    showTitle_.Font.colour = everyTitle_.Font.colour = clWhite;
    if (showTitle_.CreateTitle(gradientPanel8)) {
        gradientPanel8 = showTitle_.hwnd();
        ShowWindow(gradientPanel8, SW_HIDE);
        SetWindowPos(chbShowWeather, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        showTitle_.OnClick = [this] { page_.SetShowWeather(!options_.showWeather); };
    }
    if (everyTitle_.CreateTitle(gradientPanel9)) {
        gradientPanel9 = everyTitle_.hwnd();
        ShowWindow(gradientPanel9, SW_HIDE);
        everyTitle_.OnClick = [this] { page_.ToggleOneMinute(); };
    }
    hints_.Attach(h);
    hints_.Set(imgMoon, L"");
    hints_.Set(cbShowLocation, L"Show Weather Location");

    UpdateControls();
}

void TfrmWeather::OnCommand(int id, int code, HWND control) {
    if (updating_) return;
    switch (id) {
        case IDC_PBTCURRENT:
        case IDC_PBTDAILY:
        case IDC_PBTSETTINGS:
            if (code == BN_CLICKED) page_.SelectPage(id - IDC_PBTCURRENT);
            break;
        case IDC_BTNGETWEATHERCOM:
            if (code == BN_CLICKED) onGetWeather();
            break;
        case IDC_CBFOUNDPLACES:
            if (code == CBN_EDITCHANGE) page_.SetPlaceText(TextOf(cbFoundPlaces));
            if (code == CBN_SELCHANGE) page_.SelectPlace(static_cast<int>(SendMessageW(cbFoundPlaces, CB_GETCURSEL, 0, 0)));
            break;
        case IDC_CHBSHOWWEATHER:
            if (code == BN_CLICKED) page_.SetShowWeather(Checked(control));
            break;
        case IDC_CBSHOWLOCATION:
            if (code == BN_CLICKED) page_.SetShowLocation(Checked(control));
            break;
        case IDC_CBSHOWWEATHERICON:
            if (code == BN_CLICKED) page_.SetShowWeatherIcon(Checked(control));
            break;
        case IDC_RBENGLISHUNITS:
        case IDC_RBMETRICUNITS:
            if (code == BN_CLICKED && Checked(control)) page_.SetEnglishUnits(id == IDC_RBENGLISHUNITS);
            break;
        case IDC_CBWEATHEREVERY:
            if (code == CBN_SELCHANGE)
                page_.SetWeatherEvery(static_cast<int>(SendMessageW(cbWeatherEvery, CB_GETCURSEL, 0, 0)));
            break;
        case IDC_BTSETPROXY:
            if (code == BN_CLICKED) host_.OpenProxyPage();
            break;
        case IDC_HOTKEY1:
            if (code == EN_CHANGE) {
                page_.SetHotKey(static_cast<WORD>(SendMessageW(HotKey1, HKM_GETHOTKEY, 0, 0)));
                RegisterHotKey();
                host_.HotKeyChanged(HotKey());
            }
            break;
        default:
            break;
    }
}

void TfrmWeather::onGetWeather() {
    if (cbFoundPlaces) page_.SetPlaceText(TextOf(cbFoundPlaces));
    page_.onGetWeather();
}

void TfrmWeather::LoadFromOptions() {
    page_.LoadFromOptions();
    // Enabled only now, so setting them while loading saved nothing.
    if (cbShowLocation) EnableWindow(cbShowLocation, TRUE);
    if (cbShowWeatherIcon) EnableWindow(cbShowWeatherIcon, TRUE);
    UpdateControls();
}

void TfrmWeather::RestorePlacement() {
    page_.RestorePlacement();
    host_.HotKeyChanged(HotKey());
}

void TfrmWeather::SetProxyCaption(bool enabled) {
    if (btSetProxy) SetWindowTextW(btSetProxy, enabled ? L"Proxy (Enabled)... " : L"Proxy (Disabled)... ");
}

bool TfrmWeather::RegisterHotKey() { return RegisterWeatherHotKeyOrWarn(host_.HotKeyWindow(), HotKey(), hwnd_); }

void TfrmWeather::SetWeatherTimer(bool enabled, unsigned ms) {
    HWND h = hwnd_;
    if (!h) return;
    if (enabled)
        ::SetTimer(h, kTimerWeather, ms, nullptr);
    else
        KillTimer(h, kTimerWeather);
}

void TfrmWeather::UpdateControls() {
    if (!hwnd_ || updating_) return;
    updating_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{updating_};
    const WeatherPageState& st = page_.State();
    const MainOptions& o = options_;

    SetText(lbError, st.errorText);
    EnableWindow(btnGetWeatherCom, st.buttonEnabled);
    SetText(lbHiTemperature, st.hiTemperature);
    SetText(mmWeather, o.currentWeather);
    SetText(lbTemperature, o.temper);
    SetText(lbTemperSymbol, o.temperSymbol);
    SetCheck(chbShowWeather, o.showWeather);
    SetCheck(cbShowLocation, o.showLocation);
    SetCheck(cbShowWeatherIcon, o.showWeatherIcon);
    SetCheck(rbEnglishUnits, st.englishUnits);
    SetCheck(rbMetricUnits, !st.englishUnits);

    if (o.places != shownPlaces_) {
        SendMessageW(cbFoundPlaces, CB_RESETCONTENT, 0, 0);
        for (const auto& place : o.places)
            SendMessageW(cbFoundPlaces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(place.c_str()));
        shownPlaces_ = o.places;
    }
    if (SendMessageW(cbFoundPlaces, CB_GETCURSEL, 0, 0) != o.placeIndex)
        SendMessageW(cbFoundPlaces, CB_SETCURSEL, static_cast<WPARAM>(o.placeIndex), 0);
    SetText(cbFoundPlaces, o.placeText);

    if (o.WeatherEveryCount() != shownEveryCount_) {
        SendMessageW(cbWeatherEvery, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < o.WeatherEveryCount(); ++i)
            SendMessageW(cbWeatherEvery, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kEveryItems[i]));
        shownEveryCount_ = o.WeatherEveryCount();
    }
    SendMessageW(cbWeatherEvery, CB_SETCURSEL, static_cast<WPARAM>(o.weatherEvery), 0);
    SetText(lbWeatherSync, st.syncLabel);
    if (static_cast<WORD>(SendMessageW(HotKey1, HKM_GETHOTKEY, 0, 0)) != st.hotKey)
        SendMessageW(HotKey1, HKM_SETHOTKEY, st.hotKey, 0);

    if (shownPicture_ != st.picturePath) {
        shownPicture_ = st.picturePath;
        InvalidateRect(Image2, nullptr, TRUE);
    }
    if (shownMoon_ != st.moonPicturePath) {
        shownMoon_ = st.moonPicturePath;
        InvalidateRect(imgMoon, nullptr, TRUE);
    }
    hints_.Set(imgMoon, st.moonHint);
    for (size_t i = 0; i < frDailyWeather.size(); ++i)
        if (!(frDailyWeather[i].State() == st.tiles[i])) frDailyWeather[i].SetState(st.tiles[i]);
    ShowSubPages();
}

void TfrmWeather::ShowSubPages() {
    const int shown = page_.State().shownPage;
    // The tiles go first, and the page is painted anew once: what a hidden tile covered must not stay
    // on the screen over the settings.
    const bool changed = shown != shownSubPage_;
    shownSubPage_ = shown;
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int page = SubPageOf(GetDlgCtrlID(child));
        if (page < 0) continue;
        bool visible = page == shown && child != Label25 && child != lbTemperature && child != lbTemperSymbol;
        // The style, not IsWindowVisible: the page itself may be hidden.
        const bool now = (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        if (now != visible) ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
    }
    for (int i = 0; i < kWeatherTileCount; ++i) frDailyWeather[static_cast<size_t>(i)].Show(shown == 1 && i < kVisibleTiles);
    HFONT normal = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    const HWND buttons[] = {pbtCurrent, pbtDaily, pbtSettings};
    for (int i = 0; i < 3; ++i) {
        HFONT want = i == shown ? boldFont_.get() : normal;
        if (reinterpret_cast<HFONT>(SendMessageW(buttons[i], WM_GETFONT, 0, 0)) != want)
            SendMessageW(buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(want), TRUE);
    }
    if (changed) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmWeather::DrawPicture(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (item.CtlID == IDC_WEATHER_TITLE) {
        // A white shadow one pixel right and down under a coloured copy.
        SelectGuard font(item.hDC, titleFont_.get());
        SetBkMode(item.hDC, TRANSPARENT);
        RECT shadow = item.rcItem;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(item.hDC, RGB(255, 255, 255));
        DrawTextW(item.hDC, L"Weather", -1, &shadow, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        RECT text = item.rcItem;
        SetTextColor(item.hDC, kTitleColour);
        DrawTextW(item.hDC, L"Weather", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    const std::optional<std::wstring>& path = item.hwndItem == imgMoon ? shownMoon_ : shownPicture_;
    PictureCache::Drawing drawing(pictures_);
    DrawAlphaBitmap(item.hDC, path && !path->empty() ? drawing.Load(*path) : NoPicture(), item.rcItem);
}

bool RegisterWeatherHotKeyOrWarn(HWND mainWindow, WORD hotKey, HWND owner) {
    if (RegisterWeatherHotKey(mainWindow, hotKey)) return true;
    MessageBoxW(owner, L"Unable to assign Alt-Shift-F9 as hotkey.", L"error", MB_OK);
    return false;
}

}  // namespace vt
