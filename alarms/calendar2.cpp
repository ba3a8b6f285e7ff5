#include "alarms/calendar2.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>

#include "base/handles.h"
#include "base/text.h"
#include "controls/gblur.h"
#include "clock/tray_protocol.h"
#include "base/files.h"

namespace vt {

namespace {

constexpr wchar_t kCalendarClass[] = L"TfrmCalendar2";
constexpr UINT kStartMovingCommand = 0xF012;   // SC_MOVE by the mouse

// Blends a premultiplied picture, stretched to dest, with a constant alpha over its own.
void Blend(HDC dc, const AlphaBitmap& picture, const AreaRect& dest, std::uint8_t alpha) {
    if (!picture || dest.width <= 0 || dest.height <= 0) return;
    UniqueMemDC src(CreateCompatibleDC(dc));
    if (!src) return;
    SelectGuard keep(src.get(), picture.bitmap.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    AlphaBlend(dc, dest.left, dest.top, dest.width, dest.height, src.get(), 0, 0, picture.width, picture.height, blend);
}

UniqueFont MakeFont(const std::wstring& face, int points, FontStyles styles) {
    LOGFONTW lf{};
    WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    lf.lfHeight = points > 0 ? -MulDiv(points, dpi, 72) : 0;
    lf.lfWeight = (styles & kFontBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (styles & kFontItalic) ? TRUE : FALSE;
    lf.lfUnderline = (styles & kFontUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (styles & kFontStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&lf));
}

struct RoleLook {
    const std::wstring* face;
    int size;
    FontStyles style;
    int color, shadow;
};

RoleLook LookOf(const TCalendarStyle& s, FaceRole role) {
    switch (role) {
    case FaceRole::Month: return {&s.FontMonth, s.SizeMonth, s.StyleMonth, s.ColorMonth, s.ColorMonth2};
    case FaceRole::Year: return {&s.FontYear, s.SizeYear, s.StyleYear, s.ColorYear, s.ColorYear2};
    case FaceRole::Week: return {&s.FontWeek, s.SizeWeek, s.StyleWeek, s.ColorWeek, s.ColorWeek2};
    case FaceRole::NWeek: return {&s.FontNWeek, s.SizeNWeek, s.StyleNWeek, s.ColorNWeek, s.ColorNWeek2};
    case FaceRole::DisDay: return {&s.FontDay, s.SizeDay, s.StyleDay, s.ColorDisDay, s.ColorDisDay2};
    case FaceRole::Today: return {&s.FontDay, s.SizeDay, s.StyleDay, s.ColorToday, s.ColorToday2};
    case FaceRole::Day: break;
    }
    return {&s.FontDay, s.SizeDay, s.StyleDay, s.ColorDay, s.ColorDay2};
}

// The text layer: every text with its shadow, then today's circle.
void DrawCalendarText(HDC dc, int canvasWidth, const TCalendarStyle& style, const CalendarFace& face,
                      const AlphaBitmap& circle) {
    std::array<UniqueFont, 7> fonts;
    for (const FaceText& t : face.texts) {
        const RoleLook look = LookOf(style, t.role);
        UniqueFont& font = fonts[static_cast<size_t>(t.role)];
        if (!font) font = MakeFont(*look.face, look.size, look.style);
        AlphaBitmap text = MakeTextBitmap(t.text, font.get(), static_cast<COLORREF>(look.color), true,
                                          static_cast<COLORREF>(look.shadow));
        if (!text) continue;
        // The bitmap is 2 pixels wider than the text, for the shadow.
        const int x = TextLeft(t, text.width - 2, canvasWidth);
        Blend(dc, text, {x, t.y, text.width, text.height}, 255);
    }
    if (face.circle) Blend(dc, circle, *face.circle, 255);
}


}  // namespace

std::optional<CalendarPicture> RenderCalendar(const CalendarRenderRequest& rq, ICalendarAlarmDetails& alarms,
                                              PictureCache& cache,
                                              std::wstring& error) {
    PictureCache::Drawing pictures(cache);   // every picture below stays valid to the end
    const std::wstring dir = WithSlash(rq.calendarDir.empty() ? std::wstring(L"Calendar\\") : rq.calendarDir);
    const std::wstring asked = Trim(rq.skin).empty() ? std::wstring(kDefaultCalendarSkin) : rq.skin;
    const std::optional<std::wstring> skin = ResolveCalendarSkin(dir, rq.skin);
    const std::wstring backgroundFile = dir + (skin ? *skin : asked) + L"\\" + kCalendarBackgroundFile;
    const AlphaBitmap& background = skin ? pictures.Load(backgroundFile) : NoPicture();
    if (!background) {
        error = L"File: " + backgroundFile + L" Not found";
        return std::nullopt;
    }
    CalendarPicture pic;
    pic.skin = *skin;
    LoadCalendarSkinConfig(dir, *skin, pic.style);
    pic.canvas = CreateAlphaBitmap(background.width, background.height);
    if (!pic.canvas) {
        error = L"Not enough memory for the calendar picture";
        return std::nullopt;
    }
    UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!dc) {
        error = L"Not enough memory for the calendar picture";
        return std::nullopt;
    }
    {
        SelectGuard keep(dc.get(), pic.canvas.bitmap.get());
        Blend(dc.get(), background, {0, 0, background.width, background.height}, rq.opacity);
        const CalendarFace face = BuildCalendarFace(pic.style, rq.view, rq.today, rq.names, true);
        DrawCalendarText(dc.get(), pic.canvas.width, pic.style, face,
                         face.circle ? pictures.Load(dir + kCalendarCircleFile) : NoPicture());

        if (rq.schedule) {
            const MonthGrid grid = BuildMonthGrid(rq.view.year, rq.view.month, rq.view.isMonFirst);
            pic.marks = MarkedAlarms(*rq.schedule, grid);
            for (const CalendarMark& mark : pic.marks) {
                const AlphaBitmap* icon = &pictures.Load(alarms.IconFile(mark.icon));
                // An icon that is gone still leaves the day marked, with the first icon.
                if (!*icon && mark.icon != 0) icon = &pictures.Load(alarms.IconFile(0));
                Blend(dc.get(), *icon, MarkRect(pic.style, rq.view.weekNumbers, mark.cell, icon->width, icon->height),
                      rq.opacity);
                const std::optional<TAlRecord> alarm = alarms.ReadAlarm(mark.id);
                if (!alarm) continue;
                std::wstring& hint = pic.hints[static_cast<size_t>(mark.cell.column)][static_cast<size_t>(mark.cell.row)];
                AppendAlarmHint(hint, alarms.DateText(alarm->DateTime), alarms.TimeText(alarm->DateTime),
                                alarm->Message);
            }
        }
    }
    GdiFlush();
    return pic;
}

CalendarNames LocaleCalendarNames() {
    CalendarNames names;
    for (int i = 0; i < 12; ++i) names.months[static_cast<size_t>(i)] = LocaleText(LOCALE_SMONTHNAME1 + i);
    // The locale numbers its day names from Monday; the table starts on Sunday.
    for (int i = 0; i < 7; ++i)
        names.shortDays[static_cast<size_t>((i + 1) % 7)] = LocaleText(LOCALE_SABBREVDAYNAME1 + i);
    return names;
}



// ---- The window ----

TfrmCalendar2::TfrmCalendar2(CalendarConfig config, ICalendarHost& host, IAlarmEditing& editing)
    : config_(std::move(config)), host_(host), editing_(editing) {
    RegisterClass();
}

TfrmCalendar2::~TfrmCalendar2() {
    // Freed with the main form: the placement and switches are kept as on closing.
    if (hwnd_) SavePlacement();
    if (tooltip_) DestroyWindow(tooltip_);
}

void TfrmCalendar2::RegisterClass() {
    RegisterWindowClass(kCalendarClass, &Window<TfrmCalendar2>::Proc);
}

std::wstring TfrmCalendar2::CalendarDir() const {
    if (!config_.calendarDir.empty()) return WithSlash(config_.calendarDir);
    return WithSlash(config_.appDir) + L"Calendar\\";
}

void TfrmCalendar2::FormCreate() {
    const INow& now = config_.now ? *config_.now : SystemClock();
    const CalendarDate today = DateParts(now.Now());
    view_.year = today.year;
    view_.month = today.month;
    transparency_ = 0;
    hint_.clear();
    hover_.reset();
    for (auto& column : hints_)
        for (auto& h : column) h.clear();
    picture_.reset();
    if (CurrentBlurKernel.Size == 0) MakeStandardBlurKernel();

    // By the taskbar's corner; a shell that cannot tell where its taskbar is gets the bottom-right one.
    APPBARDATA abd{};
    abd.cbSize = sizeof abd;
    const int edge = SHAppBarMessage(ABM_GETTASKBARPOS, &abd) ? static_cast<int>(abd.uEdge) : ABE_BOTTOM;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const ScreenPoint at = CalendarCorner({work.left, work.top, work.right, work.bottom}, edge, kCalendarDesignWidth,
                                          kCalendarDesignHeight);

    CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kCalendarClass, L"Calendar", WS_POPUP, at.x, at.y,
                    kCalendarDesignWidth, kCalendarDesignHeight, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("The calendar window could not be created");
    skins_ = ListCalendarSkins(CalendarDir());

    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    // Not owned by the calendar: an owned topmost tip would keep "Always on top" from taking effect.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_) {
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        ti.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        // Hints hold one line per alarm.
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
}

void TfrmCalendar2::ShowCalendar() {
    if (!hwnd_) FormCreate();
    // A calendar already on screen stays where the user put it, with the switches chosen since.
    if (!IsWindowVisible(hwnd_)) {
        RestorePlacement();
        RenderCalendar();
    }
    ShowWindow(hwnd_, SW_SHOW);
    ApplyOnTop();
    if (!onTop_) {
        // To the front once, without staying above other windows.
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TfrmCalendar2::Close() {
    if (!hwnd_) return;
    SavePlacement();
    ShowWindow(hwnd_, SW_HIDE);
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
    }
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void TfrmCalendar2::btReloadClick() {
    if (IsShown()) RenderCalendar();
}

void TfrmCalendar2::RestorePlacement() {
    RegKey key = RegKey::Open(config_.store.root, config_.store.path);
    if (!key) return;
    auto flag = [&](const wchar_t* name, bool& field) {
        if (auto v = key.ReadDword(name)) field = *v != 0;
    };
    flag(L"mniCalOnTop", onTop_);
    flag(L"imnWeekNumbers", view_.weekNumbers);
    flag(L"imnOnlyCurrentMonth", view_.onlyCurrentMonth);
    view_.isMonFirst = false;
    if (auto text = key.ReadString(L"IsMonFirst"))
        if (auto v = ParseStoredBool(*text)) view_.isMonFirst = *v;
    if (auto skin = key.ReadString(L"CalendarSkin")) calendarSkin_ = *skin;
    const auto left = key.ReadDword(L"Left"), top = key.ReadDword(L"Top");
    if (left && top && hwnd_) {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        const int x = static_cast<int>(*left), y = static_cast<int>(*top);
        RECT stored{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
        // A place on a monitor that is gone would leave the calendar out of sight.
        if (MonitorFromRect(&stored, MONITOR_DEFAULTTONULL))
            SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TfrmCalendar2::SavePlacement() const {
    RegKey key = RegKey::Create(config_.store.root, config_.store.path);
    if (!key) return;
    if (hwnd_) {
        RECT r{};
        if (GetWindowRect(hwnd_, &r)) {
            key.WriteDword(L"Left", static_cast<std::uint32_t>(r.left));
            key.WriteDword(L"Top", static_cast<std::uint32_t>(r.top));
        }
    }
    key.WriteDword(L"mniCalOnTop", onTop_ ? 1 : 0);
    key.WriteDword(L"imnWeekNumbers", view_.weekNumbers ? 1 : 0);
    key.WriteDword(L"imnOnlyCurrentMonth", view_.onlyCurrentMonth ? 1 : 0);
    key.WriteDword(L"imnSunday", view_.isMonFirst ? 0 : 1);
    key.WriteDword(L"imnMonday", view_.isMonFirst ? 1 : 0);
    key.WriteString(L"IsMonFirst", view_.isMonFirst ? L"-1" : L"0");
    key.WriteString(L"CalendarSkin", calendarSkin_);
}

std::optional<TAlRecord> TfrmCalendar2::ReadAlarm(int id) {
    TAlarms* alarms = host_.AlarmList();
    if (!alarms) return std::nullopt;
    // A section that cannot be read still marks its day; it only adds no hint line.
    try {
        return alarms->ReadAlarm(id);
    } catch (const AlarmFileError&) {
        return std::nullopt;
    }
}

void TfrmCalendar2::RenderCalendar() {
    if (!hwnd_) return;
    const INow& now = config_.now ? *config_.now : SystemClock();
    CalendarRenderRequest rq;
    rq.calendarDir = CalendarDir();
    rq.skin = calendarSkin_;
    rq.view = view_;
    rq.today = DateParts(now.Now());
    rq.names = LocaleCalendarNames();
    rq.opacity = OpacityOfChoice(transparency_);
    TAlarms* alarms = host_.AlarmList();
    if (alarms && host_.AlarmsEnabled()) rq.schedule = &alarms->AlarmSchedule();

    std::wstring error;
    std::optional<CalendarPicture> pic = vt::RenderCalendar(rq, *this, pictures_, error);
    if (!pic) {
        // The window keeps the picture it had.
        MessageBoxText(error, L"Error", MB_ICONINFORMATION);
        return;
    }
    if (pic->skin != calendarSkin_) calendarSkin_ = pic->skin;
    hints_ = pic->hints;
    picture_ = std::move(pic);
    UpdateWindow();
    if (hover_) {
        hint_ = hints_[static_cast<size_t>(hover_->column)][static_cast<size_t>(hover_->row)];
        UpdateTip();
    }
}

void TfrmCalendar2::UpdateWindow() {
    if (!hwnd_ || !picture_) return;
    const AlphaBitmap& canvas = picture_->canvas;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    WindowDC screen(nullptr);
    UniqueMemDC mem(CreateCompatibleDC(screen.get()));
    SelectGuard keep(mem.get(), canvas.bitmap.get());
    POINT dst{r.left, r.top}, src{0, 0};
    SIZE size{canvas.width, canvas.height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, OpacityOfChoice(transparency_), AC_SRC_ALPHA};
    if (!UpdateLayeredWindow(hwnd_, screen.get(), &dst, &size, mem.get(), &src, 0, &blend, ULW_ALPHA))
        throw std::runtime_error("No!!!!!");   // the layered window refused the picture
}

void TfrmCalendar2::ApplyOnTop() {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, onTop_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TfrmCalendar2::CancelLeave() const {
    const HWND clock = host_.ClockWindow();
    if (clock) PostMessageW(clock, WM_CLOCKCANCELLEAVE, 0, 0);
}

void TfrmCalendar2::MessageBoxText(const std::wstring& text, const std::wstring& caption, UINT icon) const {
    host_.CalendarMessage(hwnd_, text, caption, icon);
}

void TfrmCalendar2::SwitchChanged() {
    RenderCalendar();
    SavePlacement();
    host_.SaveOptions();
}

void TfrmCalendar2::Navigate(int months) {
    StepMonth(view_, months);
    RenderCalendar();
}

void TfrmCalendar2::GotoToday() {
    const INow& now = config_.now ? *config_.now : SystemClock();
    const CalendarDate today = DateParts(now.Now());
    view_.year = today.year;
    view_.month = today.month;
    RenderCalendar();
}

void TfrmCalendar2::SetMonFirst(bool monFirst) {
    view_.isMonFirst = monFirst;
    RenderCalendar();
    SavePlacement();
}

void TfrmCalendar2::SetWeekNumbers(bool on) {
    view_.weekNumbers = on;
    SwitchChanged();
}

void TfrmCalendar2::SetOnlyCurrentMonth(bool on) {
    view_.onlyCurrentMonth = on;
    SwitchChanged();
}

void TfrmCalendar2::SetTransparency(int index) {
    transparency_ = index >= 0 && index < 5 ? index : 0;
    RenderCalendar();
    host_.SaveOptions();
}

void TfrmCalendar2::ChooseSkin(const std::wstring& name) {
    calendarSkin_ = name;
    SwitchChanged();
}

void TfrmCalendar2::SetOnTop(bool on) {
    onTop_ = on;
    ApplyOnTop();
}

void TfrmCalendar2::ClickAt(int x, int y) {
    const TCalendarStyle& s = picture_ ? picture_->style : TCalendarStyle{};
    if (s.ButBack.Contains(x, y)) Navigate(-1);
    else if (s.ButForw.Contains(x, y)) Navigate(+1);
    else if (s.ButCenter.Contains(x, y)) GotoToday();
    else if (s.ButClose.Contains(x, y)) Close();
}

void TfrmCalendar2::MouseMove(int x, int y) {
    CancelLeave();
    const TCalendarStyle& s = picture_ ? picture_->style : TCalendarStyle{};
    const std::optional<CellPos> cell = HitTestCell(s, view_.weekNumbers, x, y);
    const std::wstring hint =
        cell ? hints_[static_cast<size_t>(cell->column)][static_cast<size_t>(cell->row)] : std::wstring();
    hover_ = cell;
    if (hint != hint_) {
        hint_ = hint;
        UpdateTip();
    }
}

std::wstring TfrmCalendar2::TipText() const {
    if (!tooltip_ || !hwnd_) return L"";
    std::wstring text(1024, L'\0');
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = text.data();
    SendMessageW(tooltip_, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&ti));
    text.resize(wcslen(text.c_str()));
    return text;
}

void TfrmCalendar2::UpdateTip() {
    if (!tooltip_ || !hwnd_) return;
    SendMessageW(tooltip_, TTM_POP, 0, 0);
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = const_cast<wchar_t*>(hint_.c_str());
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::vector<std::pair<int, std::wstring>> TfrmCalendar2::DayMenuAlarms() const {
    std::vector<std::pair<int, std::wstring>> items;
    // Listed also while alarms are switched off: a day's alarms can still be opened and switched on.
    TAlarms* alarms = host_.AlarmList();
    if (!hover_ || !alarms) return items;
    const MonthGrid grid = BuildMonthGrid(view_.year, view_.month, view_.isMonFirst);
    const std::optional<int> day = DayAtCell(grid, *hover_);
    if (!day) return items;
    for (int id : AlarmsOfDay(alarms->AlarmSchedule(), view_.year, view_.month, *day)) {
        try {
            items.emplace_back(id, AlarmCaption(alarms->ReadAlarm(id).Message));
        } catch (const AlarmFileError&) {
            // An unreadable section cannot be opened in the editor either.
        }
    }
    return items;
}

void TfrmCalendar2::EditAlarm1Click(int id) {
    if (editing_.AlarmEditorVisible()) {
        MessageBoxText(L"Please, close alarm dialog.", L"Information", MB_ICONINFORMATION);
        return;
    }
    editing_.EditAlarm(false, id);
}

UniqueMenu TfrmCalendar2::BuildPopupMenu() {
    UniqueMenu menu(CreatePopupMenu());
    UniqueMenu transparent(CreatePopupMenu());
    UniqueMenu skinsMenu(CreatePopupMenu());
    if (!menu || !transparent || !skinsMenu) return {};
    static const wchar_t* const kTransparent[] = {L"0%", L"20%", L"40%", L"60%", L"80%"};
    for (UINT i = 0; i < 5; ++i) AppendMenuW(transparent.get(), MF_STRING, kCmdTransparent0 + i, kTransparent[i]);
    CheckMenuRadioItem(transparent.get(), kCmdTransparent0, kCmdTransparent0 + 4,
                       kCmdTransparent0 + static_cast<UINT>(transparency_), MF_BYCOMMAND);
    UINT skinCount = 0;
    for (; skinCount < skins_.size() && kCmdFirstSkin + skinCount <= kCmdLastSkin; ++skinCount)
        AppendMenuW(skinsMenu.get(), MF_STRING, kCmdFirstSkin + skinCount, MenuText(skins_[skinCount]).c_str());
    for (UINT i = 0; i < skinCount; ++i)
        if (skins_[i] == calendarSkin_)
            CheckMenuRadioItem(skinsMenu.get(), kCmdFirstSkin, kCmdFirstSkin + skinCount - 1, kCmdFirstSkin + i,
                               MF_BYCOMMAND);
    auto check = [](bool on) -> UINT { return MF_STRING | (on ? MF_CHECKED : MF_UNCHECKED); };
    HMENU m = menu.get();
    AppendMenuW(m, MF_STRING, kCmdToday, L"Goto Today");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(skinsMenu.release()), L"Skins");
    AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(transparent.release()), L"Transparent");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kCmdSunday, L"Start of week Sunday");
    AppendMenuW(m, MF_STRING, kCmdMonday, L"Start of week Monday");
    CheckMenuRadioItem(m, kCmdSunday, kCmdMonday, view_.isMonFirst ? kCmdMonday : kCmdSunday, MF_BYCOMMAND);
    AppendMenuW(m, check(view_.weekNumbers), kCmdWeekNumbers, L"Display Week Numbers");
    AppendMenuW(m, check(view_.onlyCurrentMonth), kCmdOnlyCurrentMonth, L"Show Only Current Month");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, check(onTop_), kCmdOnTop, L"Always on top");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING, kCmdClose, L"Close");
    // The hovered day's alarms follow "Close".
    menuAlarms_.clear();
    const auto alarms = DayMenuAlarms();
    if (!alarms.empty()) AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    for (const auto& [id, caption] : alarms) {
        if (kCmdFirstAlarm + menuAlarms_.size() > kCmdLastAlarm) break;
        AppendMenuW(m, MF_STRING, kCmdFirstAlarm + static_cast<UINT>(menuAlarms_.size()), MenuText(caption).c_str());
        menuAlarms_.push_back(id);
    }
    return menu;
}

void TfrmCalendar2::ShowPopup(POINT screen) {
    UniqueMenu menu = BuildPopupMenu();
    if (!menu) return;
    CancelLeave();
    SetForegroundWindow(hwnd_);
    const UINT cmd = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr);
    if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (cmd) OnCommand(cmd);
}

void TfrmCalendar2::OnCommand(UINT id) {
    if (id == kCmdToday) GotoToday();
    else if (id >= kCmdTransparent0 && id < kCmdTransparent0 + 5) SetTransparency(static_cast<int>(id - kCmdTransparent0));
    else if (id == kCmdSunday) SetMonFirst(false);
    else if (id == kCmdMonday) SetMonFirst(true);
    else if (id == kCmdWeekNumbers) SetWeekNumbers(!view_.weekNumbers);
    else if (id == kCmdOnlyCurrentMonth) SetOnlyCurrentMonth(!view_.onlyCurrentMonth);
    else if (id == kCmdOnTop) SetOnTop(!onTop_);
    else if (id == kCmdClose) Close();
    else if (id >= kCmdFirstSkin && id <= kCmdLastSkin && id - kCmdFirstSkin < skins_.size())
        ChooseSkin(skins_[id - kCmdFirstSkin]);
    else if (id >= kCmdFirstAlarm && id <= kCmdLastAlarm && id - kCmdFirstAlarm < menuAlarms_.size())
        EditAlarm1Click(menuAlarms_[id - kCmdFirstAlarm]);
}

LRESULT TfrmCalendar2::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    switch (msg) {
    case WM_MOUSEMOVE:
        MouseMove(x, y);
        return 0;
    case WM_LBUTTONDOWN: {
        CancelLeave();
        const TCalendarStyle& s = picture_ ? picture_->style : TCalendarStyle{};
        const AreaRect areas[] = {s.ButBack, s.ButForw, s.ButCenter, s.ButClose};
        pressedArea_.reset();
        for (int i = 0; i < 4; ++i)
            if (areas[i].Contains(x, y)) pressedArea_ = i;
        if (pressedArea_) {
            SetCapture(hwnd_);
            return 0;
        }
        // Anywhere else the calendar is dragged.
        ReleaseCapture();
        SendMessageW(hwnd_, WM_SYSCOMMAND, kStartMovingCommand, 0);
        return 0;
    }
    case WM_LBUTTONUP:
        if (pressedArea_) {
            pressedArea_.reset();
            ReleaseCapture();
            ClickAt(x, y);
        }
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        CancelLeave();
        return 0;
    case WM_CONTEXTMENU: {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (p.x == -1 && p.y == -1) {
            p = {0, 0};
            ClientToScreen(hwnd_, &p);
        }
        ShowPopup(p);
        return 0;
    }
    case WM_KEYUP:
        if (wp == VK_LEFT) Navigate(-1);
        else if (wp == VK_RIGHT) Navigate(+1);
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    default: break;
    }
    return Default(msg, wp, lp);
}

}  // namespace vt
