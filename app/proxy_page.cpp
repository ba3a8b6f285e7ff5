#include "app/main_pages.h"

#include "resources/resource.h"

namespace vt {

TProxyPage::TProxyPage(IMainDialog& dialog) : TMainPage(dialog, IDD_PAGE_PROXY) {}

namespace {
const int kLabels[] = {IDC_LPROXYADDRESS, IDC_LPROXYPORT, IDC_LBPROXYUSER, IDC_LBPROXYPASSWORD, IDC_LPROXYDESCRIPTION};
}  // namespace

void TProxyPage::OnInitDialog() {
    MakeTitle(title_, IDC_PNENABLEPROXY, IDC_CBENABLEPROXY);
    hints_.Set(GetDlgItem(hwnd_, IDC_CBBASICAUTH),
               L"Basic Authentication indicates if the HTTP Basic Access authentication\n"
               L"algorithm should be used to calculate authorization credentials for the HTTP request.");
}

std::optional<TMainPage::LabelLook> TProxyPage::LabelStyle(HWND label) {
    for (int id : kLabels)
        if (GetDlgItem(hwnd_, id) == label)
            return LabelLook{GetSysColor(Checked(IDC_CBENABLEPROXY) ? COLOR_WINDOWTEXT : COLOR_INACTIVECAPTIONTEXT),
                             GetSysColor(COLOR_BTNFACE)};
    return std::nullopt;
}

void TProxyPage::ModelToControls(const MainOptions& o) {
    Check(IDC_CBENABLEPROXY, o.proxy.enabled);
    SetTextIfChanged(IDC_EDADDRESS, o.proxy.address);
    SetTextIfChanged(IDC_EDPORT, o.proxy.port);
    SetTextIfChanged(IDC_EDPROXYUSER, o.proxy.user);
    SetTextIfChanged(IDC_EDPROXYPASSWORD, o.proxy.password);
    Check(IDC_CBBASICAUTH, o.proxy.basicAuth);
}

void TProxyPage::ControlsToModel(MainOptions& o) {
    o.proxy.enabled = Checked(IDC_CBENABLEPROXY);
    o.proxy.address = Text(IDC_EDADDRESS);
    o.proxy.port = Text(IDC_EDPORT);
    o.proxy.user = Text(IDC_EDPROXYUSER);
    o.proxy.password = Text(IDC_EDPROXYPASSWORD);
    o.proxy.basicAuth = Checked(IDC_CBBASICAUTH);
}

void TProxyPage::ApplyProxy() {
    const bool on = Checked(IDC_CBENABLEPROXY);
    for (int id : {IDC_EDADDRESS, IDC_EDPORT, IDC_EDPROXYUSER, IDC_EDPROXYPASSWORD, IDC_CBBASICAUTH}) Enable(id, on);
    for (int id : kLabels) InvalidateRect(GetDlgItem(hwnd_, id), nullptr, TRUE);
    dialog_.ControlsToModel();
    dialog_.ProxyChanged(on);
}

void TProxyPage::OnPageCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_CBENABLEPROXY:
        if (code == BN_CLICKED) ApplyProxy();
        return;
    case IDC_BTPROXYOK:
        ApplyProxy();
        dialog_.BackToTabPage();
        return;
    case IDC_EDADDRESS: case IDC_EDPORT: case IDC_EDPROXYUSER: case IDC_EDPROXYPASSWORD:
        // Typed text reaches the options at once, so a refresh of the controls never takes it back.
        if (code == EN_CHANGE) dialog_.ControlsToModel();
        return;
    default: return;
    }
}

}  // namespace vt
