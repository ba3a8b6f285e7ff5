// The painter's kept picture: the clock composed once, then only the cells that change from second to
// second redrawn straight into its pixels before it is blitted.
#include "clock/clock_paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "clock/clock_paint_parts.h"

namespace vt {

using paint_parts::PaintBusyGuard;

// Draws a glyph that changes from second to second and, when a picture is being composed, keeps where.
void ClockPainter::DrawCell(const Frame& f, CellKind kind, int index, int x, int y) const {
    Cell cell{kind, static_cast<std::uint8_t>(index), 0, x, y};
    cell.value = CellValue(cell);
    std::vector<RECT>* others = f.draw.RecordDrawsInto(nullptr);   // a cell's own glyph overlaps nothing
    DrawCellGlyph(f.draw, cell);
    f.draw.RecordDrawsInto(others);
    if (f.cells && *f.cellCount < static_cast<int>(f.cells->size())) (*f.cells)[(*f.cellCount)++] = cell;
}

void ClockPainter::DrawCellGlyph(const GlyphDrawer& draw, const Cell& cell) {
    switch (cell.kind) {
    case CellKind::TimeDigit:
    case CellKind::UpDigit: draw.DrawDigitGlyph(cell.value, cell.x, cell.y); break;
    case CellKind::Colon:
        if (cell.value) draw.DrawColon(cell.x, cell.y);
        break;
    case CellKind::ZoneDigit: draw.DrawTextGlyph(static_cast<wchar_t>(L'0' + cell.value), cell.x, cell.y); break;
    }
}

RECT ClockPainter::CellRect(const Cell& cell) const {
    const SkinMetrics& m = skin_.Metrics();
    const bool text = cell.kind == CellKind::ZoneDigit;
    return RECT{cell.x, cell.y, cell.x + (text ? m.TextCellWidth : m.DigitWidth),
                cell.y + (text ? m.TextCellHeight : m.DigitHeight)};
}

std::uint8_t ClockPainter::CellValue(const Cell& cell) const {
    switch (cell.kind) {
    case CellKind::TimeDigit:
    case CellKind::UpDigit: return clockDigits_[cell.index];
    case CellKind::Colon: return colonVisible_ || !options_.ClockOptions.Blink;
    case CellKind::ZoneDigit: return zoneDigits_[cell.index];
    }
    return 0;
}

// ---- the kept picture ----

bool ClockPainter::PictureStillFits(const Picture& p, const RECT& clientRect, std::uint64_t background) const {
    const TClockOptions& c = options_.ClockOptions;
    const PainterOptions& o = options_;
    const bool sameDays = c.Mode != 0 || static_cast<int>(std::floor(shownTime_)) == p.day;
    const bool sameZone = !c.ShowZone || (static_cast<int>(std::floor(shownZoneTime_)) == p.zoneDay &&
                                          zoneIsAM_ == p.zoneIsAM);
    return p.background == background && EqualRect(&p.client, &clientRect) && sameDays && sameZone &&
           isAM_ == p.isAM && (!c.ShowZero && c.Mode == 0 && clockDigits_[0] == 0) == p.leadingZeroHidden &&
           (c.Mode != 1 || upDays_ == p.upDays) && o.TemperValue == p.temperValue &&
           o.WeatherIconPicture.bitmap.get() == p.icon && c == p.options && o.WeatherLocationLine1 == p.line1 &&
           o.WeatherLocationLine2 == p.line2;
}

bool ClockPainter::Compose(HDC dc, const RECT& clientRect, std::uint64_t background) {
    picture_.reset();
    const int width = clientRect.right, height = clientRect.bottom;
    if (width <= 0 || height <= 0) return false;
    const TClockOptions& c = options_.ClockOptions;
    const bool transparent = c.TransparentClock || c.GradientClock;
    auto p = std::make_unique<Picture>(dc, width, height);
    if (!p->Made()) return false;
    SelectedSkin skinDCs(p->pictureDC.get(), skin_, transparent);
    if (!skinDCs) return false;
    GlyphDrawer draw(p->pictureDC.get(), skinDCs, skin_.Metrics(), transparent);

    Frame f(p->pictureDC.get(), draw, skin_.Metrics());
    f.layout = Layout(clientRect, TaskbarShape());
    f.cells = &p->cells;
    f.cellCount = &p->cellCount;
    BitBlt(p->plateDC.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    PaintPlate(p->plateDC.get(), f.layout.ClientRect);
    BitBlt(p->pictureDC.get(), 0, 0, width, height, p->plateDC.get(), 0, 0, SRCCOPY);
    std::vector<RECT> others;
    draw.RecordDrawsInto(&others);
    PaintGlyphs(f);
    draw.RecordDrawsInto(nullptr);
    GdiFlush();   // what GDI drew is in the pixels before they are written directly
    for (int i = 0; i < p->cellCount; ++i) {
        const RECT cell = CellRect(p->cells[i]);
        RECT common;
        p->cells[i].overlapped =
            std::any_of(others.begin(), others.end(), [&](const RECT& r) { return IntersectRect(&common, &cell, &r); });
    }

    p->options = c;
    p->temperValue = options_.TemperValue;
    p->line1 = options_.WeatherLocationLine1;
    p->line2 = options_.WeatherLocationLine2;
    p->icon = options_.WeatherIconPicture.bitmap.get();
    p->client = clientRect;
    p->background = background;
    p->day = static_cast<int>(std::floor(shownTime_));
    p->zoneDay = static_cast<int>(std::floor(shownZoneTime_));
    p->isAM = isAM_;
    p->zoneIsAM = zoneIsAM_;
    p->leadingZeroHidden = !c.ShowZero && c.Mode == 0 && clockDigits_[0] == 0;
    p->upDays = upDays_;
    picture_ = std::move(p);
    return true;
}

// Each cell goes back to the plate under it and takes its new glyph, pixel by pixel: a second costs no
// GDI call but the blit of the picture. A cell that another glyph reaches into cannot be redrawn alone:
// the whole picture is composed again.
void ClockPainter::RedrawChangedCells(Picture& p) {
    const GlyphDrawer draw(p.Pixels(), skin_, p.options.TransparentClock || p.options.GradientClock);
    for (int i = 0; i < p.cellCount; ++i) {
        Cell& cell = p.cells[i];
        const std::uint8_t value = CellValue(cell);
        if (cell.kind == CellKind::TimeDigit) drawnDigits_[cell.index] = value;
        if (value == cell.value) continue;
        if (cell.overlapped) {
            picture_.reset();
            return;
        }
        cell.value = value;
        p.Restore(CellRect(cell));
        DrawCellGlyph(draw, cell);
    }
    if (options_.ClockOptions.ShowZone) drawnZoneDigits_ = zoneDigits_;
}

bool ClockPainter::PictureOutdated() const {
    if (!picture_ || !PictureStillFits(*picture_, picture_->client, picture_->background)) return true;
    for (int i = 0; i < picture_->cellCount; ++i)
        if (CellValue(picture_->cells[i]) != picture_->cells[i].value) return true;
    return false;
}

void ClockPainter::PaintClockCached(HDC dc, const RECT& clientRect, std::uint64_t background) {
    if (!skin_.SkinLoaded() || paintBusy_ || !dc) return;
    if (picture_ && !PictureStillFits(*picture_, clientRect, background)) picture_.reset();
    if (picture_) RedrawChangedCells(*picture_);
    if (!picture_) {
        bool composed = false;
        {
            PaintBusyGuard busy(paintBusy_);
            composed = Compose(dc, clientRect, background);
        }
        if (!composed) {
            Paint(dc, clientRect);   // no room for a kept picture: paint straight into dc
            return;
        }
    }
    BitBlt(dc, 0, 0, picture_->width, picture_->height, picture_->pictureDC.get(), 0, 0, SRCCOPY);
}

}  // namespace vt
