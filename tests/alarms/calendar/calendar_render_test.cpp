#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "alarms/alarm_icons.h"
#include "alarms/calendar2.h"
#include "base/text.h"
#include "support/png_writer.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

constexpr int kW = 285, kH = 275;
// The skin's background: a half-transparent blue.
constexpr Rgba kBackground{10, 20, 200, 128};

void SolidPng(const std::wstring& path, int w, int h, Rgba colour) {
    WritePngFile(path, w, h, std::vector<Rgba>(static_cast<size_t>(w) * h, colour));
}

// A skin with the shipped layout, plain colours and a red today circle; icons are solid green.
class CalendarRender : public testing::Test, public ICalendarAlarmDetails {
protected:
    std::wstring IconFile(int icon) override { return icons.File(icon); }
    std::optional<TAlRecord> ReadAlarm(int id) override { return readAlarm ? readAlarm(id) : std::nullopt; }
    std::wstring DateText(TDateTime) override { return L"the date"; }
    std::wstring TimeText(TDateTime t) override { return std::to_wstring(DecodeDateTime(t).hour) + L"h"; }
    std::function<std::optional<TAlRecord>(int id)> readAlarm;   // none: every alarm unreadable

    TempDir dir;
    std::wstring calendarDir = dir.File(L"Calendar\\");
    std::wstring iconsDir = dir.File(L"Icons\\");
    AlarmIconList icons;

    void SetUp() override {
        CreateDirectoryW(calendarDir.c_str(), nullptr);
        CreateDirectoryW(iconsDir.c_str(), nullptr);
        MakeSkin(L"Dark Blue Glass");
        SolidPng(calendarDir + L"circle.png", 29, 28, {255, 0, 0, 255});
        SolidPng(iconsDir + L"00-bell.png", 32, 32, {0, 255, 0, 255});
    }
    void MakeSkin(const std::wstring& name) {
        CreateDirectoryW((calendarDir + name).c_str(), nullptr);
        SolidPng(calendarDir + name + L"\\calendar.png", kW, kH, kBackground);
        WriteFileBytes(calendarDir + name + L"\\config.ini",
                       "[calendar]\r\nSizeDay=10\r\nStyleDay=Bold\r\nSizeMonth=14\r\nSizeWeek=8\r\nSizeNWeek=7\r\n"
                       "ColorDay=16777215\r\nColorDisDay=65535\r\nColorToday=16777215\r\n"
                       "MonthX=44\r\nMonthY=13\r\nYearX=44\r\nYearY=13\r\nWeekX=49\r\nWeekY=56\r\nWeekInc=32\r\n"
                       "WeekNX=15\r\nWeekNY=80\r\nWeekNInc=28\r\nDayX=52\r\nDayY=78\r\nDayIncX=32\r\nDayIncY=28\r\n");
    }
    CalendarRenderRequest Request() {
        CalendarRenderRequest rq;
        rq.calendarDir = calendarDir;
        rq.skin = L"Dark Blue Glass";
        rq.view.year = 2024;
        rq.view.month = 5;   // Wednesday 1 May 2024
        rq.today = {2024, 5, 15};
        rq.names = LocaleCalendarNames();
        icons.Load(iconsDir);
        return rq;
    }
    CalendarPicture Render(const CalendarRenderRequest& rq) {
        std::wstring error;
        PictureCache pictures;
        auto pic = RenderCalendar(rq, *this, pictures, error);
        EXPECT_TRUE(pic) << Narrow(error);
        return pic ? std::move(*pic) : CalendarPicture{};
    }
    static Bgra At(const CalendarPicture& pic, int x, int y) { return PixelsOf(pic.canvas).at(x, y); }
    // Pixels inside the area that differ from the plain background.
    static int Inked(const CalendarPicture& pic, const AreaRect& area, const Bgra& plain) {
        int n = 0;
        for (int y = area.top; y < area.top + area.height; ++y)
            for (int x = area.left; x < area.left + area.width; ++x)
                if (!(At(pic, x, y) == plain)) ++n;
        return n;
    }
    static bool HasYellow(const CalendarPicture& pic, const AreaRect& area) {
        for (int y = area.top; y < area.top + area.height; ++y)
            for (int x = area.left; x < area.left + area.width; ++x) {
                const Bgra p = At(pic, x, y);
                if (p.a == 255 && p.r > 200 && p.g > 200 && p.b < 80) return true;
            }
        return false;
    }
};

// Sunday-first May 2024: the 1st is in column 3, so day d sits in cell (3 + d - 1) % 7, (3 + d - 1) / 7.
AreaRect CellArea(int column, int row) { return {52 + column * 32, 78 + row * 28, 28, 24}; }

}  // namespace

TEST_F(CalendarRender, BackgroundKeepsTheSkinsAlphaScaledByTheTransparency) {
    CalendarRenderRequest rq = Request();
    CalendarPicture pic = Render(rq);
    ASSERT_EQ(pic.canvas.width, kW);
    ASSERT_EQ(pic.canvas.height, kH);
    const Bgra corner = At(pic, 3, kH - 3);
    EXPECT_EQ(corner.a, 128);
    EXPECT_NEAR(corner.b, 200 * 128 / 255, 1) << "premultiplied";
    rq.opacity = OpacityOfChoice(4);   // "80%"
    pic = Render(rq);
    EXPECT_NEAR(At(pic, 3, kH - 3).a, 128 * 51 / 255, 1);
}

TEST_F(CalendarRender, TodaysCircleSitsOnTodaysCell) {
    CalendarPicture pic = Render(Request());
    // 15 May: column 3, row 2; the circle spans x 145..173, y 132..159.
    const Bgra inside = At(pic, 171, 157);
    EXPECT_EQ(inside.a, 255);
    EXPECT_EQ(inside.r, 255);
    EXPECT_EQ(inside.g, 0);
    const Bgra nextCell = At(pic, 171 + 32, 157);
    EXPECT_NE(nextCell.r, 255) << "16 May has no circle";
    EXPECT_NE(At(pic, 171, 157 - 28).r, 255) << "8 May has no circle";

    CalendarRenderRequest rq = Request();
    rq.view.month = 6;
    pic = Render(rq);
    EXPECT_NE(At(pic, 171, 157).r, 255) << "June is not today's month";
}

TEST_F(CalendarRender, MissingCirclePictureLeavesOnlyTheCircleOut) {
    DeleteFileW((calendarDir + L"circle.png").c_str());
    CalendarPicture pic = Render(Request());
    ASSERT_TRUE(pic.canvas);
    EXPECT_NE(At(pic, 171, 157).r, 255);
    EXPECT_GT(Inked(pic, CellArea(3, 2), At(pic, 3, kH - 3)), 0) << "today's number is drawn";
}

TEST_F(CalendarRender, AlarmDayCarriesItsIconAndHint) {
    CalendarRenderRequest rq = Request();
    std::vector<AlarmScheduleEntry> table(2);
    table[0] = {true, 4, EncodeDateTime(2024, 5, 20, 7, 0, 0), 0, 0, false, 0};
    table[1] = {true, 9, EncodeDateTime(2024, 5, 20, 18, 30, 0), 0, 0, false, 3};   // icon 3 does not exist
    rq.schedule = &table;
    readAlarm = [&](int id) -> std::optional<TAlRecord> {
        TAlRecord a;
        a.id = id;
        a.DateTime = id == 4 ? table[0].DateTime : table[1].DateTime;
        a.Message = id == 4 ? L"Dentist" : L"Call";
        return a;
    };
    CalendarPicture pic = Render(rq);
    // 20 May: column 1, row 3; the icon's top-left is the cell's, at half its size. The day's number is
    // drawn over it in whatever font the machine has, so the icon is counted, not probed at one pixel.
    const int left = 52 + 32, top = 78 + 3 * 28;
    auto green = [&](const CalendarPicture& p, int size) {
        int n = 0;
        for (int y = top; y < top + size; ++y)
            for (int x = left; x < left + size; ++x) {
                const Bgra c = At(p, x, y);
                if (c.g == 255 && c.r == 0 && c.b == 0 && c.a == 255) ++n;
            }
        return n;
    };
    EXPECT_GT(green(pic, 16), 16 * 16 / 2) << "the icon fills its square but for the number's strokes";
    EXPECT_EQ(green(pic, 24) - green(pic, 16), 0) << "half size: 16 pixels";
    ASSERT_EQ(pic.marks.size(), 2u);
    EXPECT_EQ(pic.hints[1][3], L"the date\r\n7h - Dentist...\r\n18h - Call...\r\n");
    EXPECT_TRUE(pic.hints[2][3].empty());

    rq.schedule = nullptr;   // alarms switched off
    pic = Render(rq);
    EXPECT_EQ(green(pic, 16), 0);
    EXPECT_TRUE(pic.hints[1][3].empty());
}

TEST_F(CalendarRender, IconsFollowTheGridWhenWeekNumbersAreHidden) {
    CalendarRenderRequest rq = Request();
    rq.view.weekNumbers = false;
    std::vector<AlarmScheduleEntry> table{{true, 1, EncodeDateTime(2024, 5, 1, 9, 0, 0), 0, 0, false, 0}};
    rq.schedule = &table;
    CalendarPicture pic = Render(rq);
    const int x = 52 - 5 + 3 * 32;   // WeekNX 15: 5 pixels to the left
    EXPECT_EQ(At(pic, x, 78).g, 255);
    EXPECT_EQ(At(pic, x + 15, 78 + 15).g, 255);
    EXPECT_NE(At(pic, x + 16, 78 + 8).g, 255);
}

TEST_F(CalendarRender, OtherMonthsDaysAppearOnlyWhenAsked) {
    CalendarRenderRequest rq = Request();
    const AreaRect april28 = CellArea(0, 0);   // Sunday 28 April
    const AreaRect june8 = CellArea(6, 5);     // Saturday 8 June
    rq.view.onlyCurrentMonth = true;
    CalendarPicture only = Render(rq);
    const Bgra plain = At(only, 3, kH - 3);
    EXPECT_EQ(Inked(only, april28, plain), 0);
    EXPECT_EQ(Inked(only, june8, plain), 0);
    rq.view.onlyCurrentMonth = false;
    CalendarPicture all = Render(rq);
    EXPECT_TRUE(HasYellow(all, april28)) << "drawn in ColorDisDay";
    EXPECT_TRUE(HasYellow(all, june8));
    EXPECT_FALSE(HasYellow(all, CellArea(3, 0))) << "1 May is a day of the month";
}

TEST_F(CalendarRender, WeekNumbersColumnOnlyWhenShown) {
    CalendarRenderRequest rq = Request();
    const AreaRect column{15, 80, 30, 6 * 28 - 10};
    CalendarPicture with = Render(rq);
    const Bgra plain = At(with, 3, kH - 3);
    EXPECT_GT(Inked(with, column, plain), 20);
    rq.view.weekNumbers = false;
    CalendarPicture without = Render(rq);
    EXPECT_EQ(Inked(without, {15, 80, 25, 6 * 28 - 10}, plain), 0);
}

TEST_F(CalendarRender, MissingSkinIsReportedAndOnlyAnEmptyNameTakesTheDefault) {
    CalendarRenderRequest rq = Request();
    rq.skin = L"";
    EXPECT_EQ(Render(rq).skin, L"Dark Blue Glass");
    rq.skin = L"Longhorn";
    std::wstring missing;
    PictureCache pictures;
    EXPECT_FALSE(RenderCalendar(rq, *this, pictures, missing));
    EXPECT_EQ(missing, L"File: " + calendarDir + L"Longhorn\\calendar.png Not found");

    DeleteFileW((calendarDir + L"Dark Blue Glass\\calendar.png").c_str());
    std::wstring error;
    rq.skin = L"Graphite";
    EXPECT_FALSE(RenderCalendar(rq, *this, pictures, error));
    EXPECT_EQ(error, L"File: " + calendarDir + L"Graphite\\calendar.png Not found");
}

TEST_F(CalendarRender, ShippedSkinsDrawOpaqueFacesWithTodaysCircle) {
    for (const wchar_t* skin : {L"Dark Blue Glass", L"Graphite"}) {
        CalendarRenderRequest rq = Request();
        rq.calendarDir = DistDir() + L"Calendar";
        rq.skin = skin;
        CalendarPicture pic = Render(rq);
        ASSERT_TRUE(pic.canvas) << Narrow(skin);
        EXPECT_EQ(pic.skin, skin);
        EXPECT_GT(At(pic, kW / 2, kH / 2).a, 200) << "the glass is nearly opaque";
        EXPECT_EQ(At(pic, 0, 0).a, 0) << "rounded corner";
        // The ring of circle.png around today's number differs from the same cell without it.
        CalendarRenderRequest off = rq;
        off.today = {2024, 6, 15};
        CalendarPicture plain = Render(off);
        int changed = 0;
        for (int y = 132; y < 160; ++y)
            for (int x = 145; x < 174; ++x)
                if (!(At(pic, x, y) == At(plain, x, y))) ++changed;
        EXPECT_GT(changed, 60);
    }
}
