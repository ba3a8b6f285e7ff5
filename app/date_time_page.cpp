#include "app/date_time_page.h"

#include <iterator>

#include "resources/resource.h"

namespace vt {

namespace {
const wchar_t* const kClickItems[] = {L"Show Main Dialog", L"Date/Time Properties", L"Random Skin", L"Time/UpTime",
                                      L"Show UpTime for 5 secs", L"Show Calendar", L"Fast Menu"};
const wchar_t* const kHoverItems[] = {L"Do nothing", L"Show Calendar", L"Show Weather Forecast", L"Show Both"};
}  // namespace

TDateTimePage::TDateTimePage(IMainDialog& dialog) : TMainPage(dialog, IDD_PAGE_OPTIONS) {}

void TDateTimePage::Init() {
    FillCombo(IDC_CBCLICK, kClickItems, std::size(kClickItems));
    FillCombo(IDC_CBHOVERMOUSE, kHoverItems, std::size(kHoverItems));
}

void TDateTimePage::ModelToControls(const MainOptions& o) {
    Check(IDC_CHBSECONDS, o.showSeconds);
    Check(IDC_CHBDATE, o.showDate);
    Check(IDC_RBDATELARGE, o.bigDate);
    Check(IDC_RBDATESMALL, !o.bigDate);
    Check(IDC_CHBSHOWZERO, o.showZero);
    Check(IDC_CHB12HOUR, o.englishTime);
    Check(IDC_CHBWEEK, o.weekShow);
    Check(IDC_RBNAMEWEEK, o.nameWeek);
    Check(IDC_RBNUMWEEK, !o.nameWeek);
    Check(IDC_CHBUPTIME, o.upTime);
    Check(IDC_CHBBLINK, o.blink);
    Check(IDC_CHBONTOP, o.onTop);
    Check(IDC_CHBSTARTUP, o.startup);
    Check(IDC_CBREPLACEQUELLIX, o.replaceClock);
    Select(IDC_CBCLICK, o.click);
    Select(IDC_CBHOVERMOUSE, o.hoverMouse);
    UpdateTimeOptionControls();
}

void TDateTimePage::ControlsToModel(MainOptions& o) {
    o.showSeconds = Checked(IDC_CHBSECONDS);
    o.showDate = Checked(IDC_CHBDATE);
    o.bigDate = Checked(IDC_RBDATELARGE);
    o.showZero = Checked(IDC_CHBSHOWZERO);
    o.englishTime = Checked(IDC_CHB12HOUR);
    o.weekShow = Checked(IDC_CHBWEEK);
    o.nameWeek = Checked(IDC_RBNAMEWEEK);
    o.upTime = Checked(IDC_CHBUPTIME);
    o.blink = Checked(IDC_CHBBLINK);
    o.onTop = Checked(IDC_CHBONTOP);
    o.startup = Checked(IDC_CHBSTARTUP);
    o.replaceClock = Checked(IDC_CBREPLACEQUELLIX);
    o.click = Selection(IDC_CBCLICK, 0);
    o.hoverMouse = Selection(IDC_CBHOVERMOUSE, o.hoverMouse);
}

void TDateTimePage::UpdateTimeOptionControls() {
    const bool up = Checked(IDC_CHBUPTIME);
    for (int id : {IDC_CHBDATE, IDC_CHBWEEK, IDC_CHB12HOUR, IDC_CHBSHOWZERO}) Enable(id, !up);
    const bool date = Checked(IDC_CHBDATE) && !up;
    Enable(IDC_RBDATESMALL, date);
    Enable(IDC_RBDATELARGE, date);
    const bool week = Checked(IDC_CHBWEEK) && !up;
    Enable(IDC_RBNAMEWEEK, week);
    Enable(IDC_RBNUMWEEK, week);
}

void TDateTimePage::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_CHBSECONDS: case IDC_CHBDATE: case IDC_RBDATESMALL: case IDC_RBDATELARGE: case IDC_CHBSHOWZERO:
    case IDC_CHB12HOUR: case IDC_CHBWEEK: case IDC_RBNAMEWEEK: case IDC_RBNUMWEEK: case IDC_CHBUPTIME:
    case IDC_CHBBLINK:
        if (code != BN_CLICKED) return;
        UpdateTimeOptionControls();
        SaveAndRefresh();
        return;
    case IDC_CBREPLACEQUELLIX:
        if (code != BN_CLICKED) return;
        dialog_.ControlsToModel();
        dialog_.RefreshClock();
        return;
    case IDC_CBCLICK: case IDC_CBHOVERMOUSE: case IDC_CHBONTOP: case IDC_CHBSTARTUP:
        dialog_.ControlsToModel();   // saved with the next save
        return;
    default: return;
    }
}

}  // namespace vt
