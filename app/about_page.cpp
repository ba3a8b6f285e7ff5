#include "app/main_pages.h"

#include "base/shell_launcher.h"
#include "clock/webpages.h"
#include "resources/resource.h"

namespace vt {

TAboutPage::TAboutPage(IMainDialog& dialog, std::wstring programTitle)
    : TMainPage(dialog, IDD_PAGE_ABOUT), programTitle_(std::move(programTitle)) {}

void TAboutPage::OnInitDialog() {
    // The program icon at its large size; the page keeps it, as a static control does not free an icon.
    picture_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                 kPictureSize, kPictureSize, LR_DEFAULTCOLOR)));
    SendDlgItemMessageW(hwnd_, IDC_ABOUTPICTURE, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture_.get()));
    SetDlgItemTextW(hwnd_, IDC_LBABOUTPROGNAME, programTitle_.c_str());
    MakeBold(IDC_LBABOUTPROGNAME);
    MakeLink(IDC_LABEL13);
}

void TAboutPage::OnPageCommand(int id, int code, HWND) {
    if (id == IDC_LABEL13 && code == STN_CLICKED) OpenProductPage(SystemShellLauncher());
}

}  // namespace vt
