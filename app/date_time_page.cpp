#include "app/main_pages.h"

#include <iterator>

#include "resources/resource.h"

namespace vt {

namespace {
const wchar_t* const kClickItems[] = {L"Show Main Dialog", L"Date/Time Properties", L"Random Skin", L"Time/UpTime",
                                      L"Show UpTime for 5 secs", L"Show Calendar", L"Fast Menu"};
const wchar_t* const kHoverItems[] = {L"Do nothing", L"Show Calendar", L"Show Weather Forecast", L"Show Both"};
// Option buttons of a pair show the one option twice: RBDATESMALL and RBNUMWEEK are set apart.
const TMainPage::CheckOption kBoxes[] = {
    {IDC_CHBSECONDS, &MainOptions::showSeconds}, {IDC_CHBDATE, &MainOptions::showDate},
    {IDC_RBDATELARGE, &MainOptions::bigDate},    {IDC_CHBSHOWZERO, &MainOptions::showZero},
    {IDC_CHB12HOUR, &MainOptions::englishTime},  {IDC_CHBWEEK, &MainOptions::weekShow},
    {IDC_RBNAMEWEEK, &MainOptions::nameWeek},    {IDC_CHBUPTIME, &MainOptions::upTime},
    {IDC_CHBBLINK, &MainOptions::blink},         {IDC_CHBONTOP, &MainOptions::onTop},
    {IDC_CHBSTARTUP, &MainOptions::startup},     {IDC_CBREPLACEQUELLIX, &MainOptions::replaceClock}};
}  // namespace

TDateTimePage::TDateTimePage(IMainDialog& dialog) : TMainPage(dialog, IDD_PAGE_OPTIONS) {}

void TDateTimePage::OnInitDialog() {
    FillCombo(IDC_CBCLICK, kClickItems, std::size(kClickItems));
    FillCombo(IDC_CBHOVERMOUSE, kHoverItems, std::size(kHoverItems));
}

void TDateTimePage::ModelToControls(const MainOptions& o) {
    ShowChecks(kBoxes, o);
    Check(IDC_RBDATESMALL, !o.bigDate);
    Check(IDC_RBNUMWEEK, !o.nameWeek);
    Select(IDC_CBCLICK, o.click);
    Select(IDC_CBHOVERMOUSE, o.hoverMouse);
    UpdateTimeOptionControls();
}

void TDateTimePage::ControlsToModel(MainOptions& o) {
    ReadChecks(kBoxes, o);
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

void TDateTimePage::OnPageCommand(int id, int code, HWND) {
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
