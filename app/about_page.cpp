#include "app/main_pages.h"

#include "base/shell_launcher.h"
#include "clock/webpages.h"
#include "resources/resource.h"

namespace vt {

TAboutPage::TAboutPage(IMainDialog& dialog, std::wstring programTitle)
    : TMainPage(dialog, IDD_PAGE_ABOUT), programTitle_(std::move(programTitle)) {}

void TAboutPage::OnInitDialog() {
    SetDlgItemTextW(hwnd_, IDC_LBABOUTPROGNAME, programTitle_.c_str());
    MakeBold(IDC_LBABOUTPROGNAME);
    MakeLink(IDC_LABEL13);
}

void TAboutPage::OnPageCommand(int id, int code, HWND) {
    if (id == IDC_LABEL13 && code == STN_CLICKED) OpenProductPage(SystemShellLauncher());
}

}  // namespace vt
