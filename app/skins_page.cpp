#include "app/skins_page.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "base/handles.h"
#include "base/inifile.h"
#include "base/late_library.h"
#include "base/picture.h"
#include "controls/image_list.h"
#include "base/shell_launcher.h"
#include "clock/options_file.h"
#include "clock/skin_list.h"
#include "clock/webpages.h"
#include "resources/resource.h"

namespace vt {

namespace {
std::wstring ItemText(HWND list, int index) {
    wchar_t name[MAX_PATH] = L"";
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return name;
}

// The list hears its own key releases; the page re-applies the selected skin on each.
constexpr UINT_PTR kSkinListSubclass = 1;
LRESULT CALLBACK SkinListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR page) {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(list, SkinListProc, kSkinListSubclass);
    const LRESULT result = DefSubclassProc(list, msg, wp, lp);
    if (msg == WM_KEYUP) Guarded([&] { reinterpret_cast<TSkinsPage*>(page)->ApplySelectedSkin(); });
    return result;
}
}  // namespace

TSkinsPage::TSkinsPage(IMainDialog& dialog, const OptionsStore& store, std::wstring skinsDir)
    : TMainPage(dialog, IDD_PAGE_SKINS), store_(store), skinsDir_(std::move(skinsDir)) {}

void TSkinsPage::OnInitDialog() {
    MakeTitle(currentSkin_, IDC_GRADIENTPANEL4);
    MakeLink(IDC_LBMORESKINS);
    // Every skin in the list shows the same small picture: gold digit strokes on their dark ground.
    AlphaBitmap face = CreateAlphaBitmap(16, 16);
    if (const PixelView px = PixelsOf(face); !px.empty()) {
        std::fill(px.pixels, px.pixels + 256, Bgra{8, 14, 18, 255});
        for (const RECT& bar : {RECT{3, 3, 7, 5}, RECT{3, 7, 7, 9}, RECT{3, 11, 7, 13}, RECT{9, 3, 13, 5},
                                RECT{11, 3, 13, 13}, RECT{9, 11, 13, 13}})
            for (LONG y = bar.top; y < bar.bottom; ++y)
                for (LONG x = bar.left; x < bar.right; ++x) px.at(x, y) = Bgra{64, 184, 236, 255};
    }
    std::vector<AlphaBitmap> pictures;
    pictures.push_back(std::move(face));
    images_ = MakeImageList(16, pictures);
    HWND list = GetDlgItem(hwnd_, IDC_LVSKINS);
    ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
    SetWindowSubclass(list, SkinListProc, kSkinListSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void TSkinsPage::ModelToControls(const MainOptions& o) {
    Check(IDC_CHBTRANS, o.transparentClock);
    Check(IDC_CHBGRADIENT, o.gradientClock);
    Check(IDC_RBHORIZ, o.gradientHoriz);
    Check(IDC_RBVERTICAL, !o.gradientHoriz);
    currentSkin_.Caption = L"Current skin: " + o.skinName;
    if (currentSkin_.hwnd()) InvalidateRect(currentSkin_.hwnd(), nullptr, FALSE);
    InvalidateRect(GetDlgItem(hwnd_, IDC_SHCOLOR1), nullptr, TRUE);
    InvalidateRect(GetDlgItem(hwnd_, IDC_SHCOLOR2), nullptr, TRUE);
    UpdateGradientControls();
}

void TSkinsPage::ControlsToModel(MainOptions& o) {
    o.transparentClock = Checked(IDC_CHBTRANS);
    o.gradientClock = Checked(IDC_CHBGRADIENT);
    o.gradientHoriz = Checked(IDC_RBHORIZ);
}

void TSkinsPage::Shown() { RefreshSkinList(GetDlgItem(hwnd_, IDC_LVSKINS), skinsDir_); }

void TSkinsPage::UpdateGradientControls() {
    const bool on = !Checked(IDC_CHBTRANS);
    for (int id : {IDC_CHBGRADIENT, IDC_SHCOLOR1, IDC_SHCOLOR2, IDC_RBHORIZ, IDC_RBVERTICAL}) Enable(id, on);
}

void TSkinsPage::OnPageCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_CHBTRANS: case IDC_CHBGRADIENT: case IDC_RBHORIZ: case IDC_RBVERTICAL:
        if (code != BN_CLICKED) return;
        UpdateGradientControls();
        SaveAndRefresh();
        return;
    case IDC_SHCOLOR1: case IDC_SHCOLOR2:
        if (code == BN_CLICKED) ChooseShapeColor(id);
        return;
    case IDC_LBMORESKINS:
        if (code == STN_CLICKED) OpenWebPage(kWebPageMoreSkins, SystemShellLauncher());
        return;
    default: return;
    }
}

void TSkinsPage::OnPageNotify(const NMHDR& nm) {
    if (nm.idFrom == IDC_LVSKINS && nm.code == NM_RCLICK) {
        // pmRefresh: its one item reads the skins folder again.
        UniqueMenu menu(CreatePopupMenu());
        AppendMenuW(menu.get(), MF_STRING, 1, L"Refresh");
        POINT at{};
        GetCursorPos(&at);
        if (TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr) == 1) Shown();
        return;
    }
    // A click applies the selected skin, also when it was selected already (its colours come back).
    if (nm.idFrom == IDC_LVSKINS && nm.code == NM_CLICK) ApplySelectedSkin();
}

void TSkinsPage::ApplySelectedSkin() {
    if (dialog_.Loading()) return;
    HWND list = GetDlgItem(hwnd_, IDC_LVSKINS);
    const int selected = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0) return;
    const std::wstring name = ItemText(list, selected);
    if (!name.empty()) ChooseSkin(name);
}

bool TSkinsPage::OnDrawItem(DRAWITEMSTRUCT* di) {
    if (di->CtlID != IDC_SHCOLOR1 && di->CtlID != IDC_SHCOLOR2) return false;
    const MainOptions& o = dialog_.Options();
    UniqueBrush brush(CreateSolidBrush(static_cast<COLORREF>(di->CtlID == IDC_SHCOLOR1 ? o.color1 : o.color2)));
    FillRect(di->hDC, &di->rcItem, brush.get());
    FrameRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
}

void TSkinsPage::ChooseShapeColor(int id) {
    static COLORREF custom[16] = {};
    int& color = id == IDC_SHCOLOR1 ? dialog_.Options().color1 : dialog_.Options().color2;
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = GetAncestor(hwnd_, GA_ROOT);
    cc.rgbResult = static_cast<COLORREF>(color);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    static const auto chooseColor = LateFunction<decltype(&ChooseColorW)>(L"comdlg32.dll", "ChooseColorW");
    if (!chooseColor || !chooseColor(&cc)) return;
    dialog_.ControlsToModel();
    color = static_cast<int>(cc.rgbResult);
    dialog_.ModelToControls();
    SaveAndRefresh();
}

void TSkinsPage::ChooseSkin(const std::wstring& name) {
    dialog_.ControlsToModel();
    MainOptions& o = dialog_.Options();
    o.skinName = name;
    if (!IniFile(store_.SettingsFile()).WriteString(kOptionsSection, L"SkinName", name))
        dialog_.ReportOptionsSaveFailure();
    COLORREF key;
    if (ReadSkinKeyColour(skinsDir_, name, key)) {
        auto [first, second] = SkinGradientColours(key);
        o.color1 = static_cast<int>(first);
        o.color2 = static_cast<int>(second);
    }
    dialog_.ModelToControls();
    SaveAndRefresh();
}

void TSkinsPage::RandomSkin() {
    HWND list = GetDlgItem(hwnd_, IDC_LVSKINS);
    // The list is filled when the page opens; before that, fill it here.
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0) RefreshSkinList(list, skinsDir_);
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (count == 0) return;
    const auto seed = static_cast<unsigned>(GetTickCount64());
    const int transparent = static_cast<int>(seed >> 7) & 1;
    const std::wstring name = ItemText(list, RandomSkinIndex(count, seed));
    IniFile ini(store_.SettingsFile());
    ini.BeginUpdate();
    ini.WriteInteger(kOptionsSection, L"TransparentClock", transparent);
    ini.WriteString(kOptionsSection, L"SkinName", name);
    if (!ini.EndUpdate()) dialog_.ReportOptionsSaveFailure();
    dialog_.Options().skinName = name;
    // The painter reads the file: the new skin shows at once.
    dialog_.ReloadClockOptions();
    dialog_.RefreshClock();
}

}  // namespace vt
