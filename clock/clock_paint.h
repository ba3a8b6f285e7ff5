// The clock painter: turns the clock options and the skin glyphs into the picture that replaces the
// taskbar clock. It keeps the current digits and the blink state, measures the clock so the taskbar
// clock window can be sized to it, and paints into a DC that already holds the taskbar background.
//
// The taskbar's shape, "now" and the second zone's time come in through small interfaces, so the same
// code paints for the real taskbar and, in tests, at any instant on any taskbar shape.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/now.h"
#include "clock/clock_options.h"
#include "clock/clock_skin.h"

namespace vt {

// The taskbar windows the clock lives in.
class ITaskbar {
public:
    virtual ~ITaskbar() = default;
    virtual void Locate() = 0;                          // find the windows anew (the shell may have restarted)
    virtual HWND TaskbarWindow() const = 0;             // "Shell_TrayWnd"; null in tests
    virtual HWND ClockWindow() const = 0;               // "TrayClockWClass"; null in tests
    virtual bool ClockWindowShown() const = 0;          // the clock window exists and is visible
    virtual RECT ClockClientRect() const = 0;           // client rectangle of the clock window
    virtual SIZE TaskbarClientSize() const = 0;         // client size of the taskbar window
    virtual std::optional<UINT> TaskbarEdge() const = 0;  // ABE_LEFT/TOP/RIGHT/BOTTOM; nothing when unknown
};

// The real taskbar: found by class, shape asked from the shell.
// The taskbar's edge changes only with its place: the shell (a message to another process) is asked
// again only when the taskbar's window or rectangle changed, not on every tick.
class TaskbarEdgeCache {
public:
    template <class Ask>
    std::optional<UINT> Get(HWND bar, const RECT& rect, Ask ask) {
        if (known_ && bar == bar_ && EqualRect(&rect, &rect_)) return edge_;
        std::optional<UINT> edge = ask();
        known_ = edge.has_value() && bar != nullptr;
        bar_ = bar;
        rect_ = rect;
        edge_ = edge.value_or(0);
        return edge;
    }

private:
    bool known_ = false;
    HWND bar_ = nullptr;
    RECT rect_{};
    UINT edge_ = 0;
};

class SystemTaskbar final : public ITaskbar {
public:
    void Locate() override;
    HWND TaskbarWindow() const override { return ShellTrayHandle; }
    HWND ClockWindow() const override { return TrayClockHandle; }
    bool ClockWindowShown() const override;
    RECT ClockClientRect() const override;
    SIZE TaskbarClientSize() const override;
    std::optional<UINT> TaskbarEdge() const override;

    HWND ShellTrayHandle = nullptr;
    HWND TrayNotifyHandle = nullptr;
    HWND TrayClockHandle = nullptr;

private:
    mutable TaskbarEdgeCache edge_;
};

// The current time of a zone of the registry zone list. The zone list lives elsewhere; the painter
// only asks through this seam.
class IZoneClock {
public:
    virtual ~IZoneClock() = default;
    // Local time of zone `zoneIndex` at the UTC instant `utcNow`; nothing when the list has no such zone.
    virtual std::optional<TDateTime> ZoneTimeFromUtc(int zoneIndex, TDateTime utcNow) const = 0;
};

// Where the parts of the clock go inside the clock window.
struct ClockLayout {
    RECT ClientRect{};   // the clock window's client area less its margins
    RECT ClockRect{};    // the measured clock, at (0, 0)
    int Left = 0;        // where the first part starts
    int Top = 0;         // the line of the time digits
    bool Tall = false;   // extra parts on lines below the time
    bool Vertical = false;
};

class ClockPainter {
public:
    ClockPainter(ITaskbar& taskbar, const INow& now, const IZoneClock* zones = nullptr);
    ~ClockPainter();
    ClockPainter(const ClockPainter&) = delete;
    ClockPainter& operator=(const ClockPainter&) = delete;

    void SetZoneClock(const IZoneClock* zones) { zones_ = zones; }

    // Finds the taskbar windows, remembers the skins folder (its trailing backslash dropped) and
    // computes the digits. An empty path keeps no skins folder.
    bool InitClockPaint(const std::wstring& skinsPath);
    // Options from settingsDir\Setting.ini, the weather icon and the skin; true when the skin loaded.
    bool LoadClockOptions(const std::wstring& settingsDir);
    bool LoadSkin(const std::wstring& name);
    void FreeSkinBitmaps();

    // Recomputes the digits and the blink state; call once a second.
    void UpdateClockDigits();

    RECT CalcClockRect() const;
    std::int16_t CalcClockWidth() const;
    std::int16_t CalcClockHeight() const;
    bool IsTaskbarVertical() const;
    bool IsClockTall() const;
    int ZoneBlockWidth() const;
    int WeatherBlockWidth() const;
    TDateTime GetZoneTime() const;
    ClockLayout LayoutClockParts() const;
    ClockLayout LayoutClockParts(const RECT& clientRect) const;

    // Paints into DC, whose origin is the clock window's client origin and which holds the taskbar
    // background. Nothing without a skin, without a visible clock window, or while a paint runs.
    void PaintClock(HDC dc);
    // The same with the client rectangle given by the caller (the tray-clock component knows it).
    void PaintClock(HDC dc, const RECT& clientRect);
    // The same picture from a kept copy: the clock is composed once, and from then on only the cells
    // that changed (time digits, colons, zone digits) are drawn again before the copy is blitted into
    // dc. dc holds the picture under the clock, which `background` names: the caller gives a new number
    // whenever that picture, the taskbar's shape or the clock window's size change. Everything else the
    // clock shows (options, skin, weather, the day, the zone's date) is compared on each paint.
    void PaintClockCached(HDC dc, const RECT& clientRect, std::uint64_t background);
    // True when the next cached paint would show something else than the last one did: nothing kept
    // yet, or a cell or anything else the picture shows changed. A second that changes nothing on the
    // clock (no seconds, no blinking colon) needs no paint at all.
    bool PictureOutdated() const;

    // State, for the callers that decide whether to repaint and for tests. Options changed here show
    // at the next paint, cached or not.
    PainterOptions& Options() { return options_; }
    const PainterOptions& Options() const { return options_; }
    TClockOptions& ClockOptions() { return options_.ClockOptions; }
    const ClockSkin& Skin() const { return skin_; }
    ITaskbar& Taskbar() { return taskbar_; }
    const std::array<std::uint8_t, 6>& ClockDigits() const { return clockDigits_; }
    const std::array<std::uint8_t, 4>& ZoneDigits() const { return zoneDigits_; }
    const std::array<std::uint8_t, 6>& DrawnDigits() const { return drawnDigits_; }
    const std::array<std::uint8_t, 4>& DrawnZoneDigits() const { return drawnZoneDigits_; }
    // The next refresh repaints whatever it finds, and the next cached paint composes the clock anew.
    void ForgetDrawnDigits();
    bool IsAM() const { return isAM_; }
    bool ZoneIsAM() const { return zoneIsAM_; }
    bool ColonVisible() const { return colonVisible_; }
    std::int64_t UpDays() const { return upDays_; }

private:
    struct Shape {
        bool tall;
        bool vertical;
    };
    Shape TaskbarShape() const;
    bool IsClockTall(bool vertical) const;
    RECT CalcClockRect(const Shape& shape) const;
    int WeatherBlockWidth(bool tall) const;
    ClockLayout Layout(RECT client, const Shape& shape) const;
    void Paint(HDC dc, const RECT& clientRect);

    // A glyph that changes from second to second, where the last composition drew it.
    enum class CellKind : std::uint8_t { TimeDigit, UpDigit, Colon, ZoneDigit };
    struct Cell {
        CellKind kind = CellKind::TimeDigit;
        std::uint8_t index = 0;
        std::uint8_t value = 0;
        int x = 0, y = 0;
        bool overlapped = false;   // another glyph reaches into it: redrawing it alone would cut that one
    };
    class Picture;   // the kept composition
    class Frame;     // the DCs and texts of one paint
    bool PictureStillFits(const Picture& p, const RECT& clientRect, std::uint64_t background) const;
    bool Compose(HDC dc, const RECT& clientRect, std::uint64_t background);
    void RedrawChangedCells(Picture& p);
    std::uint8_t CellValue(const Cell& cell) const;
    RECT CellRect(const Cell& cell) const;
    static void DrawCellGlyph(const GlyphDrawer& draw, const Cell& cell);
    void PaintPlate(HDC dc, const RECT& cr) const;
    void PaintGlyphs(Frame& f);
    void DrawCell(const Frame& f, CellKind kind, int index, int x, int y) const;
    void PaintGradient(HDC dc, RECT r) const;
    void PaintTimeAndDate(const Frame& f, int x, int y);
    void PaintUpTime(const Frame& f, int x, int y);
    void PaintZoneTime(const Frame& f, int x, int y);
    void PaintWeather(const Frame& f, int x, int y);
    void DrawSmallDay(const Frame& f, const std::wstring& dd, int x, int row) const;

    ITaskbar& taskbar_;
    const INow& now_;
    const IZoneClock* zones_;
    PainterOptions options_;
    ClockSkin skin_;

    std::array<std::uint8_t, 6> clockDigits_{};
    std::array<std::uint8_t, 4> zoneDigits_{};
    std::array<std::uint8_t, 6> drawnDigits_{};
    std::array<std::uint8_t, 4> drawnZoneDigits_{};
    TDateTime shownTime_ = 0;       // the instants the digits were computed for; the dates go with them
    TDateTime shownZoneTime_ = 0;
    bool isAM_ = false;
    bool zoneIsAM_ = false;
    std::int64_t upDays_ = 0;
    bool colonVisible_ = true;
    static constexpr int kBlinkStep = 2;
    int lastBlinkSecond_ = -1;
    bool paintBusy_ = false;
    std::unique_ptr<Picture> picture_;
};

// The program's one painter, on the real taskbar, the system clock and the registry zone list (in the
// program and in the taskbar's process alike). Made on first use, which finds the taskbar windows and
// computes the digits from the start values of the options.
ClockPainter& ClockPaint();

// The program's road into its painter.
bool InitClockPaint(const std::wstring& skinsPath);
bool LoadClockOptions(const std::wstring& settingsDir);
void UpdateClockDigits();
std::int16_t CalcClockWidth();
std::int16_t CalcClockHeight();
bool IsTaskbarVertical();
void PaintClock(HDC dc);
void PaintClock(HDC dc, const RECT& clientRect);

}  // namespace vt
