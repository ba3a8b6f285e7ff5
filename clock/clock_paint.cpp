#include "clock/clock_paint.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "base/dib.h"
#include "base/taskbar_locator.h"
#include "base/text.h"
#include "clock/clock_paint_parts.h"
#include "clock/timezones.h"

namespace vt {

namespace {

constexpr COLORREF kOutlineGrey = RGB(0x80, 0x80, 0x80);
constexpr int kCorner = 5;
constexpr int kGradientBands = 256;
constexpr int kIconSide = 32;
constexpr std::uint64_t kMSecsPerDayInt = 86400000;
constexpr std::int64_t kMostUpDays = 999;   // as many as fit over "Day"

int Trunc(double v) { return static_cast<int>(v); }
// Halves go to the even neighbour, as the layout was tuned with.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }
int Length(const std::wstring& s) { return static_cast<int>(s.size()); }

std::wstring TwoDigits(int v) {
    wchar_t buf[3] = {static_cast<wchar_t>(L'0' + (v / 10) % 10), static_cast<wchar_t>(L'0' + v % 10), 0};
    return buf;
}

// One hour of a 12-hour clock: 0 shows as 12, afternoon hours lose 12.
int TwelveHour(int h) {
    if (h > 12) return h - 12;
    if (h == 0) return 12;
    return h;
}

}  // namespace

// ---- the real taskbar ----

void SystemTaskbar::Locate() {
    ShellTrayHandle = FindTaskbarWindow();
    TrayNotifyHandle = FindTrayNotifyWindow();
    TrayClockHandle = FindTaskbarClockWindow();
}

bool SystemTaskbar::ClockWindowShown() const {
    return TrayClockHandle && IsWindow(TrayClockHandle) && IsWindowVisible(TrayClockHandle);
}

RECT SystemTaskbar::ClockClientRect() const {
    RECT r{};
    if (TrayClockHandle && !GetClientRect(TrayClockHandle, &r)) r = RECT{};
    return r;
}

SIZE SystemTaskbar::TaskbarClientSize() const {
    RECT r{};
    if (ShellTrayHandle && !GetClientRect(ShellTrayHandle, &r)) r = RECT{};
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::optional<UINT> SystemTaskbar::TaskbarEdge() const {
    HWND bar = ShellTrayHandle ? ShellTrayHandle : FindTaskbarWindow();
    RECT rect{};
    HWND key = bar && GetWindowRect(bar, &rect) ? bar : nullptr;   // nothing to key on: asked every time
    return edge_.Get(key, rect, [bar]() -> std::optional<UINT> {
        APPBARDATA abd{};
        abd.cbSize = sizeof abd;
        abd.hWnd = bar;
        if (!SHAppBarMessage(ABM_GETTASKBARPOS, &abd)) return std::nullopt;
        return abd.uEdge;
    });
}

// ---- the painter ----

ClockPainter::ClockPainter(ITaskbar& taskbar, const INow& now, const IZoneClock* zones)
    : taskbar_(taskbar), now_(now), zones_(zones) {}

ClockPainter::~ClockPainter() = default;

// The kept picture holds the skin's bitmaps selected: it goes before they can change.
bool ClockPainter::LoadSkin(const std::wstring& name) {
    picture_.reset();
    return skin_.LoadSkin(name);
}

void ClockPainter::FreeSkinBitmaps() {
    picture_.reset();
    skin_.FreeSkinBitmaps();
}

void ClockPainter::ForgetDrawnDigits() {
    drawnDigits_.fill('c');
    picture_.reset();
}

bool ClockPainter::InitClockPaint(const std::wstring& skinsPath) {
    taskbar_.Locate();
    skin_.SetSkinsBase(skinsPath);
    UpdateClockDigits();
    return true;
}

bool ClockPainter::LoadClockOptions(const std::wstring& settingsDir) {
    picture_.reset();
    return vt::LoadClockOptions(options_, skin_, settingsDir);
}

TDateTime ClockPainter::GetZoneTime() const {
    if (zones_)
        if (auto t = zones_->ZoneTimeFromUtc(options_.ClockOptions.TimeZone, now_.UtcNow())) return *t;
    return now_.Now();
}

void ClockPainter::UpdateClockDigits() {
    const TClockOptions& c = options_.ClockOptions;
    int second = 0;
    shownTime_ = now_.Now();
    if (c.Mode == 0) {
        CivilTime t = DecodeDateTime(shownTime_);
        isAM_ = t.hour < 12;
        int h = c.EnglishTime ? TwelveHour(t.hour) : t.hour;
        clockDigits_ = {std::uint8_t(h / 10), std::uint8_t(h % 10), std::uint8_t(t.minute / 10),
                        std::uint8_t(t.minute % 10), std::uint8_t(t.second / 10), std::uint8_t(t.second % 10)};
        second = t.second;
    }
    if (c.ShowZone) {
        shownZoneTime_ = GetZoneTime();
        CivilTime z = DecodeDateTime(shownZoneTime_);
        zoneIsAM_ = z.hour < 12;
        int h = c.EnglishTime ? TwelveHour(z.hour) : z.hour;
        zoneDigits_ = {std::uint8_t(h / 10), std::uint8_t(h % 10), std::uint8_t(z.minute / 10),
                       std::uint8_t(z.minute % 10)};
        for (int i = 0; i < 2; ++i)
            if (zoneDigits_[i] > 9) zoneDigits_[i] = 0;
        second = z.second;
    }
    if (c.Mode == 1) {
        // The 64-bit count: a 32-bit one wraps to zero after 49.7 days of uptime.
        const std::uint64_t ms = now_.TickCount64();
        upDays_ = static_cast<std::int64_t>(ms / kMSecsPerDayInt);
        const std::uint64_t inDay = ms % kMSecsPerDayInt;
        int h = static_cast<int>(inDay / 3600000), m = static_cast<int>(inDay / 60000 % 60);
        int s = static_cast<int>(inDay / 1000 % 60);
        clockDigits_ = {std::uint8_t(h / 10), std::uint8_t(h % 10), std::uint8_t(m / 10),
                        std::uint8_t(m % 10), std::uint8_t(s / 10), std::uint8_t(s % 10)};
        second = s;
    }
    for (auto& d : clockDigits_)
        if (d > 9) d = 0;

    // The colon is hidden in one second of every three, counted from the second the count started.
    if (lastBlinkSecond_ == -1) lastBlinkSecond_ = second;
    int next = static_cast<std::uint8_t>(lastBlinkSecond_ + kBlinkStep);
    if (next > 59) next -= 60;
    if (second + kBlinkStep < next) {
        lastBlinkSecond_ = second;
        next = lastBlinkSecond_ + kBlinkStep;
    }
    if (next > second) {
        colonVisible_ = true;
    } else if (next == second) {
        colonVisible_ = false;
    } else {
        lastBlinkSecond_ = second;
        colonVisible_ = true;
    }
}

bool ClockPainter::IsTaskbarVertical() const {
    auto edge = taskbar_.TaskbarEdge();
    return edge && (*edge == ABE_LEFT || *edge == ABE_RIGHT);
}

bool ClockPainter::IsClockTall(bool vertical) const {
    SIZE s = taskbar_.TaskbarClientSize();
    if (s.cy > s.cx) return true;
    if (skin_.Metrics().DigitHeight * 2.5 >= s.cy) return false;
    const TClockOptions& c = options_.ClockOptions;
    return !vertical && (c.ShowWeather || c.ShowZone);
}

bool ClockPainter::IsClockTall() const { return IsClockTall(IsTaskbarVertical()); }

ClockPainter::Shape ClockPainter::TaskbarShape() const {
    bool vertical = IsTaskbarVertical();
    return Shape{IsClockTall(vertical), vertical};
}

int ClockPainter::ZoneBlockWidth() const {
    const TClockOptions& c = options_.ClockOptions;
    if (!c.ShowZone) return 0;
    const int tw = skin_.Metrics().TextCellWidth;
    const int date = c.ShowZDate ? RoundEven(3.5 * tw) : 0;
    const int prefix = date + Length(c.Prefix) * tw + 2 * tw;
    const int time = date + 5 * tw + (c.EnglishTime ? 2 * tw : 0) + 2 * tw;
    return std::max(prefix, time);
}

int ClockPainter::WeatherBlockWidth() const { return WeatherBlockWidth(TaskbarShape().tall); }

int ClockPainter::WeatherBlockWidth(bool tall) const {
    const TClockOptions& c = options_.ClockOptions;
    if (!c.ShowWeather) return 0;
    const SkinMetrics& m = skin_.Metrics();
    int w = 0;
    if (!c.Temper.empty()) w = (options_.TemperValue < 0 ? m.DigitWidth / 2 : 0) + (m.DigitWidth + 2) * Length(c.Temper);
    w += m.TextCellWidth;
    if (!tall && c.ShowWeatherIcon && c.ShowLocation) w += Trunc(1.5 * m.TextCellWidth);
    w += m.TextCellWidth;
    if (tall) return w;
    if (c.ShowWeatherIcon) w += 27;
    if (c.ShowLocation) {
        // Without a unit the first line is left out (see PaintWeather).
        const int line1 = c.TemperSymbol.empty() ? 0 : Length(options_.WeatherLocationLine1);
        w += std::max(line1, Length(options_.WeatherLocationLine2)) * m.TextCellWidth;
    }
    return w;
}

RECT ClockPainter::CalcClockRect() const { return CalcClockRect(TaskbarShape()); }

RECT ClockPainter::CalcClockRect(const Shape& shape) const {
    const TClockOptions& c = options_.ClockOptions;
    const SkinMetrics& m = skin_.Metrics();
    const int DW = m.DigitWidth, DH = m.DigitHeight, TW = m.TextCellWidth, TH = m.TextCellHeight;
    int w = (DW + 2) * 5 + 6;
    if (shape.tall && !shape.vertical) w += Trunc(TW * 1.5);
    if (c.ShowSeconds) w += 3 * DW + 2;
    // The column of AM/PM and the weekday beside the time.
    if ((c.EnglishTime && c.WeekShow) || c.Mode == 1)
        w += 3 * TW + 1;
    else if (!c.EnglishTime && c.WeekShow && c.Mode == 0)
        w += 3 * TW + 1;
    else if (c.EnglishTime && !c.WeekShow && c.Mode == 0)
        w += 2 * TW + 2;
    if (c.ShowDate || c.Mode == 1) w += (c.BigDate && c.Mode == 0) ? 6 * DW + 8 : 3 * TH - 1;
    if (c.Mode == 1) w += 4;
    int h = shape.tall ? DH + 12 : DH + 10;
    if (c.ShowZone) {
        if (shape.tall) h += DH + TH;
        else w += ZoneBlockWidth();
    }
    if (c.ShowWeather) {
        if (shape.tall) h += std::max(DH + 4, 24);
        else w += WeatherBlockWidth(false);
    }
    if (!c.ShowZero && c.Mode == 0 && clockDigits_[0] == 0) w -= DW + 2;
    return RECT{0, 0, w, h};
}

namespace {
// The size answers travel as 16-bit numbers: a length beyond them is cut, never wrapped to a negative.
std::int16_t SizeAnswer(LONG length) { return static_cast<std::int16_t>(std::clamp<LONG>(length, 0, INT16_MAX)); }
}  // namespace

std::int16_t ClockPainter::CalcClockWidth() const {
    RECT r = CalcClockRect();
    return SizeAnswer(r.right - r.left);
}

std::int16_t ClockPainter::CalcClockHeight() const {
    RECT r = CalcClockRect();
    return SizeAnswer(r.bottom - r.top);
}

ClockLayout ClockPainter::LayoutClockParts() const { return Layout(taskbar_.ClockClientRect(), TaskbarShape()); }

ClockLayout ClockPainter::LayoutClockParts(const RECT& clientRect) const { return Layout(clientRect, TaskbarShape()); }

ClockLayout ClockPainter::Layout(RECT cr, const Shape& shape) const {
    const SkinMetrics& m = skin_.Metrics();
    ClockLayout l;
    l.Tall = shape.tall;
    l.Vertical = shape.vertical;
    if (shape.tall) {
        cr.top += 2;
        cr.left += 3;
        cr.right -= 3;
    } else {
        cr.top += 1;
    }
    l.ClientRect = cr;
    l.ClockRect = CalcClockRect(shape);
    const int clientW = cr.right - cr.left, clientH = cr.bottom - cr.top;
    const int clockW = l.ClockRect.right - l.ClockRect.left, clockH = l.ClockRect.bottom - l.ClockRect.top;

    l.Left = Trunc((clientW - clockW) / 2.0 + 6);
    l.Left = l.Left < 0 ? 0 : std::max<int>(l.Left, cr.left);
    l.Top = shape.tall ? 7 : clientH / 2 - m.DigitHeight / 2;
    l.Top = l.Top < 0 ? 0 : std::max<int>(l.Top, cr.top);
    if (shape.tall && !shape.vertical) {
        l.Left += Trunc(1.5 * m.TextCellWidth);
        l.Top = clientH / 2 - clockH / 2 + 8;
    }
    return l;
}

void ClockPainter::PaintClock(HDC dc) {
    if (!taskbar_.ClockWindowShown()) return;
    Paint(dc, taskbar_.ClockClientRect());
}

void ClockPainter::PaintClock(HDC dc, const RECT& clientRect) { Paint(dc, clientRect); }

void ClockPainter::Paint(HDC dc, const RECT& clientRect) {
    if (!skin_.SkinLoaded() || paintBusy_ || !dc) return;
    paint_parts::PaintBusyGuard busy(paintBusy_);
    // A gradient is painted under glyphs that let it show through.
    const TClockOptions& c = options_.ClockOptions;
    const bool transparent = c.TransparentClock || c.GradientClock;
    SelectedSkin skinDCs(dc, skin_, transparent);
    if (!skinDCs) return;
    GlyphDrawer draw(dc, skinDCs, skin_.Metrics(), transparent);
    Frame f(dc, draw, skin_.Metrics());
    f.layout = Layout(clientRect, TaskbarShape());
    PaintPlate(dc, f.layout.ClientRect);
    PaintGlyphs(f);
}

// The clock's own background: the key colour in a grey outline, or the gradient.
void ClockPainter::PaintPlate(HDC dc, const RECT& cr) const {
    const TClockOptions& c = options_.ClockOptions;
    if (!c.TransparentClock && !c.GradientClock) {
        UniqueBrush brush(CreateSolidBrush(skin_.KeyColor()));
        UniquePen pen(CreatePen(PS_SOLID, 1, kOutlineGrey));
        SelectGuard keepBrush(dc, brush.get());
        SelectGuard keepPen(dc, pen.get());
        RoundRect(dc, cr.left + 1, cr.top + 1, cr.right, cr.bottom - 2, kCorner, kCorner);
    }
    if (c.GradientClock) PaintGradient(dc, cr);
}

void ClockPainter::PaintGlyphs(Frame& f) {
    const TClockOptions& c = options_.ClockOptions;
    const ClockLayout& l = f.layout;
    // The dates go with the instants the digits were computed for, so midnight turns both at once.
    const TDateTime today = shownTime_;
    const CivilTime t = DecodeDateTime(today);
    f.monthNumber = TwoDigits(t.month);
    f.monthAbbrev = MonthAbbrev(today);
    f.dayAbbrev = DayAbbrev(today);
    f.day = TwoDigits(t.day);
    f.isoWeek = IsoWeekOfYear(today);
    if (c.ShowZone) {
        f.zoneMonthAbbrev = MonthAbbrev(shownZoneTime_);
        f.zoneDay = TwoDigits(DecodeDateTime(shownZoneTime_).day);
    }

    const RECT& cr = l.ClientRect;
    int left = l.Left;
    int y = l.Top;
    if (c.ShowZone) {
        int x0 = 0;
        if (l.Tall) {
            y = (y == l.Top ? y + cr.top : y) + f.DH + 4;
            x0 = Trunc((cr.right - left) / 2.0 - ZoneBlockWidth() / 2.0);
        }
        PaintZoneTime(f, left + x0, y);
        if (l.Tall) y += 2;
        else left += ZoneBlockWidth();
    }
    if (c.ShowWeather) {
        int x0 = 0;
        if (l.Tall) {
            y = (y == l.Top ? y + cr.top : y) + f.DH + 3;
            x0 = (l.ClockRect.right - l.ClockRect.left) / 2 - WeatherBlockWidth(true) / 2;
        }
        PaintWeather(f, left + x0, y);
        if (!l.Tall) left += WeatherBlockWidth(false);
    }
    if (c.Mode == 0) PaintTimeAndDate(f, left, l.Top);
    else if (c.Mode == 1) PaintUpTime(f, left, l.Top);
}

void ClockPainter::PaintGradient(HDC dc, RECT r) const {
    const TClockOptions& c = options_.ClockOptions;
    r.left += 1;
    r.top += 1;
    r.bottom -= 2;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    UniqueMemDC mem(CreateCompatibleDC(dc));
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc, w, h));
    if (!mem || !bitmap) return;
    SelectGuard keepBitmap(mem.get(), bitmap.get());
    BitBlt(mem.get(), 0, 0, w, h, dc, r.left, r.top, SRCCOPY);

    // The bands are written straight into a 32-bit picture and laid over the copy through the
    // rounded clip in one blit.
    BITMAPINFO bi = TopDownDib32(w, h);
    void* bits = nullptr;
    UniqueBitmap bands(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemDC bandsDC(CreateCompatibleDC(dc));
    if (!bands || !bits || !bandsDC) return;
    auto* px = static_cast<std::uint32_t*>(bits);
    const int r1 = GetRValue(c.Color1), g1 = GetGValue(c.Color1), b1 = GetBValue(c.Color1);
    const int r2 = GetRValue(c.Color2), g2 = GetGValue(c.Color2), b2 = GetBValue(c.Color2);
    const int extent = c.GradientHoriz ? w : h;
    for (int i = 0; i < kGradientBands; ++i) {
        const std::uint32_t red = (r1 + MulDiv(i, r2 - r1, 255)) & 0xFF;
        const std::uint32_t green = (g1 + MulDiv(i, g2 - g1, 255)) & 0xFF;
        const std::uint32_t blue = (b1 + MulDiv(i, b2 - b1, 255)) & 0xFF;
        const std::uint32_t colour = (red << 16) | (green << 8) | blue;
        const int from = MulDiv(i, extent, kGradientBands), to = MulDiv(i + 1, extent, kGradientBands);
        for (int k = std::max(from, 0); k < std::min(to, extent); ++k) {
            if (c.GradientHoriz) {
                for (int y = 0; y < h; ++y) px[static_cast<size_t>(y) * w + k] = colour;
            } else {
                std::fill_n(px + static_cast<size_t>(k) * w, w, colour);
            }
        }
    }
    {
        SelectGuard keepBands(bandsDC.get(), bands.get());
        UniqueRgn clip(CreateRoundRectRgn(0, 0, w, h, kCorner, kCorner));
        SelectClipRgn(mem.get(), clip.get());
        BitBlt(mem.get(), 0, 0, w, h, bandsDC.get(), 0, 0, SRCCOPY);
        SelectClipRgn(mem.get(), nullptr);
    }

    UniquePen pen(CreatePen(PS_SOLID, 1, kOutlineGrey));
    {
        SelectGuard keepPen(mem.get(), pen.get());
        SelectGuard keepBrush(mem.get(), GetStockObject(NULL_BRUSH));
        RoundRect(mem.get(), 0, 0, w, h, kCorner, kCorner);
    }
    BitBlt(dc, r.left, r.top, w, h, mem.get(), 0, 0, SRCCOPY);
}

void ClockPainter::DrawSmallDay(const Frame& f, const std::wstring& dd, int x, int row) const {
    if (dd.size() < 2) return;
    if (dd[0] == L'0') {
        f.draw.DrawTextGlyph(dd[1], x + Trunc(3 * f.TW / 2.0) - 3, row);
    } else {
        f.draw.DrawTextGlyph(dd[0], Trunc(x + f.TW / 2.0) - 1, row);
        f.draw.DrawTextGlyph(dd[1], x + Trunc(3 * f.TW / 2.0) - 1, row);
    }
}

void ClockPainter::PaintTimeAndDate(const Frame& f, int x, int y) {
    const TClockOptions& c = options_.ClockOptions;
    const int DW = f.DW, TW = f.TW;
    if (c.ShowDate) {
        if (c.BigDate) {
            if (f.day[0] != L'0') f.draw.DrawDigitGlyph(f.day[0] - L'0', x, y);
            f.draw.DrawDigitGlyph(f.day[1] - L'0', x + DW + 2, y);
            f.draw.DrawDot(x + 2 * DW + 2, y);
            f.draw.DrawDigitGlyph(f.monthNumber[0] - L'0', x + 3 * DW + 2, y);
            f.draw.DrawDigitGlyph(f.monthNumber[1] - L'0', x + 4 * DW + 4, y);
            x += 6 * DW + 8;
        } else {
            DrawSmallDay(f, f.day, x, f.TopRow(y));
            f.Text(f.monthAbbrev, x - 1, f.MonthRow(y));
            x += 3 * TW + 2;
        }
    }

    const auto& d = clockDigits_;
    // Without the leading zero no room is kept for it: the time moves left.
    // Digit i at x, then on by its width and the gap that follows it.
    auto digit = [&](int i, int gap) {
        DrawCell(f, CellKind::TimeDigit, i, x, y);
        drawnDigits_[i] = d[i];
        x += DW + gap;
    };
    if (d[0] != 0 || c.ShowZero) digit(0, 2);
    digit(1, 0);
    DrawCell(f, CellKind::Colon, 0, x, y);
    x += DW;
    digit(2, 2);
    digit(3, 0);
    if (c.ShowSeconds) {
        DrawCell(f, CellKind::Colon, 1, x, y);
        x += DW;
        digit(4, 2);
        digit(5, 4);
    } else {
        x += 3;
    }

    if (c.EnglishTime) {
        f.draw.DrawTextGlyph(isAM_ ? L'A' : L'P', x + 2, f.TopRow(y));
        f.draw.DrawTextGlyph(L'M', x + 2 + TW, f.TopRow(y));
    }
    if (c.WeekShow) {
        if (c.NameWeek) f.Text(f.dayAbbrev, x, f.BottomRow(y));
        else f.Text(TwoDigits(f.isoWeek), x + 2, f.BottomRow(y));
    }
}

void ClockPainter::PaintUpTime(const Frame& f, int x, int y) {
    const TClockOptions& c = options_.ClockOptions;
    const int DW = f.DW, TW = f.TW;
    const std::wstring days = std::to_wstring(std::min<std::int64_t>(upDays_, kMostUpDays));
    if (days.size() == 1) {
        f.draw.DrawTextGlyph(days[0], x + Trunc(3 * TW / 2.0) - 3, f.TopRow(y));
    } else if (days.size() == 2) {
        f.draw.DrawTextGlyph(days[0], Trunc(x + TW / 2.0) - 1, f.TopRow(y));
        f.draw.DrawTextGlyph(days[1], x + Trunc(3 * TW / 2.0) - 1, f.TopRow(y));
    } else {
        // A hundred days and more: three digits stand exactly over the three letters of "Day"; cutting
        // them to two would show 123 days as 12.
        f.Text(days, x - 1, f.TopRow(y));
    }
    f.Text(L"Day", x - 1, f.BottomRow(y));
    x += 3 * TW + 2;

    auto digit = [&](int i, int gap) {
        DrawCell(f, CellKind::UpDigit, i, x, y);
        x += DW + gap;
    };
    auto colonAt = [&](int i) {
        DrawCell(f, CellKind::Colon, i, x, y);
        x += DW;
    };
    digit(0, 2);
    digit(1, 0);
    colonAt(0);
    digit(2, 2);
    digit(3, 0);
    if (c.ShowSeconds) {
        colonAt(1);
        digit(4, 2);
        digit(5, 3);
    } else {
        x += 3;
    }
    f.Text(L"time", x, f.BottomRow(y));
    f.draw.DrawTextGlyph(L'U', x + TW, f.TopRow(y));
    f.draw.DrawTextGlyph(L'P', x + 2 * TW, f.TopRow(y));
}

void ClockPainter::PaintZoneTime(const Frame& f, int x, int y) {
    const TClockOptions& c = options_.ClockOptions;
    const int TW = f.TW;
    if (c.ShowZDate) {
        DrawSmallDay(f, f.zoneDay, x, f.TopRow(y));
        f.Text(f.zoneMonthAbbrev, x - 1, f.BottomRow(y));
        x += RoundEven(3.5 * TW);
    }
    f.Text(c.Prefix, x, f.TopRow(y));
    const int row = f.BottomRow(y);
    static constexpr int kDigitColumns[] = {0, 1, 3, 4};   // column 2 holds the colon
    for (int i = 0; i < 4; ++i) {
        const int at = x + kDigitColumns[i] * TW;
        DrawCell(f, CellKind::ZoneDigit, i, at, row);
    }
    f.draw.DrawTextGlyph(L':', x + 2 * TW, row);
    if (c.EnglishTime) {
        f.draw.DrawTextGlyph(zoneIsAM_ ? L'A' : L'P', x + 5 * TW, row);
        f.draw.DrawTextGlyph(L'M', x + 6 * TW, row);
    }
    drawnZoneDigits_ = zoneDigits_;
}

void ClockPainter::PaintWeather(const Frame& f, int x, int y) {
    const TClockOptions& c = options_.ClockOptions;
    const int DW = f.DW, TW = f.TW;
    // Without a stored unit the clock shows Fahrenheit and no first place line.
    const bool noUnit = c.TemperSymbol.empty();
    const std::wstring symbol = noUnit ? L"0F" : c.TemperSymbol;
    const std::wstring& line1 = noUnit ? std::wstring() : options_.WeatherLocationLine1;

    if (c.Temper.empty()) {
        x -= TW;
    } else {
        if (options_.TemperValue < 0) {
            f.draw.DrawMinus(x - Trunc(DW / 1.5), y);
            x += DW / 2;
        }
        for (wchar_t ch : c.Temper) {
            if (ch == L'.') {
                f.draw.DrawDot(x, y);   // the next digit shares the dot's slot
            } else if (ch >= L'0' && ch <= L'9') {
                f.draw.DrawDigitGlyph(ch - L'0', x, y);
                x += DW + 2;
            } else {
                f.draw.DrawTextGlyph(ch, x, y);
                x += TW + 2;
            }
        }
        // The degree sign is the glyph of the letter o; a decimal value leaves no room for it.
        if (ParseInt(c.Temper)) {
            f.draw.DrawTextGlyph(L'o', x, f.TopRow(y));
            if (symbol.size() == 2) f.draw.DrawTextGlyph(symbol[1], x, y + f.TH + 1 + f.textOffset);
            x += TW;
        }
        if (c.ShowWeatherIcon) {
            x += TW;
            const RECT& cr = f.layout.ClientRect;
            const int iconLeft = x - 4 - TW / 2;
            const int iconTop = f.layout.Tall ? y - 8 : (cr.bottom - cr.top) / 2 - 15;
            const RECT icon{iconLeft, iconTop, iconLeft + kIconSide, iconTop + kIconSide};
            DrawAlphaBitmap(f.dc, options_.WeatherIconPicture, icon);
            f.draw.Record(icon);
            x += 28;
        }
    }
    if (c.ShowLocation) {
        const int x1 = f.layout.Tall ? DW : x;
        f.Text(line1, x1, f.TopRow(y));
        f.Text(options_.WeatherLocationLine2, x1, f.BottomRow(y));
    }
}

// ---- the program's painter ----

namespace {
// The second zone's time from the registry zone list, on every road the painter runs on (the program's
// own window and the taskbar's process alike).
class RegistryZoneClock final : public IZoneClock {
public:
    std::optional<TDateTime> ZoneTimeFromUtc(int zoneIndex, TDateTime utcNow) const override {
        return vt::ZoneTimeFromUtc(zoneIndex, utcNow);
    }
};
}  // namespace

ClockPainter& ClockPaint() {
    static SystemTaskbar taskbar;
    static const RegistryZoneClock zones;
    static ClockPainter painter(taskbar, SystemClock(), &zones);
    static const bool initialised = painter.InitClockPaint(L"");
    (void)initialised;
    return painter;
}

bool InitClockPaint(const std::wstring& skinsPath) {
    return ClockPaint().InitClockPaint(skinsPath);
}
bool LoadClockOptions(const std::wstring& settingsDir) { return ClockPaint().LoadClockOptions(settingsDir); }
void UpdateClockDigits() { ClockPaint().UpdateClockDigits(); }
std::int16_t CalcClockWidth() { return ClockPaint().CalcClockWidth(); }
std::int16_t CalcClockHeight() { return ClockPaint().CalcClockHeight(); }
bool IsTaskbarVertical() { return ClockPaint().IsTaskbarVertical(); }
void PaintClock(HDC dc) { ClockPaint().PaintClock(dc); }
void PaintClock(HDC dc, const RECT& clientRect) { ClockPaint().PaintClock(dc, clientRect); }

}  // namespace vt
