#include "app/main_pages.h"

#include "clock/timezones.h"
#include "resources/resource.h"

namespace vt {

TTimeZonesPage::TTimeZonesPage(IMainDialog& dialog) : TMainPage(dialog, IDD_PAGE_TIMEZONE) {}

void TTimeZonesPage::OnInitDialog() {
    MakeTitle(title_, IDC_GRADIENTPANEL5, IDC_CHBSHOWTIMEZONE);
    hints_.Set(GetDlgItem(hwnd_, IDC_EDPREFIX), L"Please, enter prefix (example: LONDON, MOSCOW, NEW YORK or PARIS)");
}

void TTimeZonesPage::ModelToControls(const MainOptions& o) {
    Check(IDC_CHBSHOWTIMEZONE, o.showZone);
    Check(IDC_CHBSHOWZDATE, o.showZDate);
    SetTextIfChanged(IDC_EDPREFIX, o.prefix);
}

void TTimeZonesPage::ControlsToModel(MainOptions& o) {
    o.showZone = Checked(IDC_CHBSHOWTIMEZONE);
    o.showZDate = Checked(IDC_CHBSHOWZDATE);
    o.prefix = Text(IDC_EDPREFIX);
}

void TTimeZonesPage::Shown() {
    HWND list = GetDlgItem(hwnd_, IDC_LISTZONES);
    FillZoneList(list);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(dialog_.Options().itemZone), 0);
}

void TTimeZonesPage::OnPageCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_CHBSHOWTIMEZONE: case IDC_CHBSHOWZDATE:
        if (code == BN_CLICKED) SaveAndRefresh();
        return;
    case IDC_LISTZONES:
        if (code == LBN_SELCHANGE) {
            const auto sel = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
            if (sel >= 0) dialog_.Options().itemZone = sel;
            SaveAndRefresh();
        }
        return;
    case IDC_EDPREFIX:
        // Typed text reaches the options at once, so a refresh of the controls never takes it back.
        if (code == EN_CHANGE) dialog_.ControlsToModel();
        return;
    default: return;
    }
}

}  // namespace vt
