#include "app/atomic_clock_page.h"

#include <algorithm>
#include <iterator>

#include "resources/resource.h"

namespace vt {

TAtomicClockPage::TAtomicClockPage(IMainDialog& dialog, const OptionsStore& store, const INow& now,
                                   IMainThread& mainThread, AtomicClockSeams seams)
    : TMainPage(dialog, IDD_PAGE_ATOM), store_(store), now_(now), mainThread_(mainThread), seams_(seams) {}

TAtomicClockPage::~TAtomicClockPage() { Shutdown(); }

void TAtomicClockPage::OnInitDialog() {
    FillCombo(IDC_CBEVERY, kSyncIntervalNames, std::size(kSyncIntervalNames));
    FillCombo(IDC_CBSERVER, kDefaultTimeServers, std::size(kDefaultTimeServers));
    SetDlgItemTextW(hwnd_, IDC_CBSERVER, kDefaultTimeServers[0]);
    hints_.Set(GetDlgItem(hwnd_, IDC_BTREMOVETIMESERVER), L"Remove Server");
    MakeBold(IDC_LBDIFF);
}

void TAtomicClockPage::ModelToControls(const MainOptions& o) {
    Select(IDC_CBEVERY, o.every);
    SetDlgItemTextW(hwnd_, IDC_LBLASTSYNC, LastSyncCaption(o.lastSync).c_str());
}

void TAtomicClockPage::ControlsToModel(MainOptions& o) { o.every = Selection(IDC_CBEVERY, 0); }

void TAtomicClockPage::Shown() {
    if (hwnd_) SetTimer(hwnd_, kAtomTimer, kAtomTimerInterval, nullptr);
}

void TAtomicClockPage::Hidden() {
    if (hwnd_) KillTimer(hwnd_, kAtomTimer);
}

void TAtomicClockPage::Start(HWND owner) {
    AtomicClockDeps deps;
    deps.now = &now_;
    deps.mainThread = &mainThread_;
    // The program's own seams are shared with the workers, which may outlive the page at the end.
    deps.query = seams_.timeQuery ? Borrowed(seams_.timeQuery) : std::make_shared<SntpTimeQuery>();
    deps.localAdjuster =
        seams_.localAdjuster ? Borrowed(seams_.localAdjuster) : std::make_shared<InProcessClockAdjuster>();
    deps.timeServiceFactory = seams_.timeServiceFactory ? Borrowed(seams_.timeServiceFactory)
                                                        : std::make_shared<ElevatedTimeServiceFactory>(owner);
    deps.vistaOrLater = IsVistaOrLater();
    deps.nextSync = dialog_.Options().nextSync;
    deps.recordSuccessfulSync = [this](TDateTime t) {
        if (!RecordSuccessfulSync(store_, t)) dialog_.ReportOptionsSaveFailure();
        dialog_.Options().lastSync = t;
    };
    deps.writeNextSync = [this](TDateTime t) {
        if (!WriteNextSync(store_, t)) dialog_.ReportOptionsSaveFailure();
        dialog_.Options().nextSync = t;
    };
    IAtomicClockView& view = *this;
    atomicClock_ = std::make_unique<TAtomicClock>(view, std::move(deps));
    SetTimer(hwnd_, kSyncTimer, kSyncTimerInterval, nullptr);
}

void TAtomicClockPage::ShowAtomicClockPage() {
    if (atomicClock_) atomicClock_->ShowAtomicClockPage();
}

void TAtomicClockPage::Shutdown() {
    if (hwnd_) {
        KillTimer(hwnd_, kAtomTimer);
        KillTimer(hwnd_, kSyncTimer);
    }
    if (atomicClock_) atomicClock_->ReleaseTimeService();
    atomicClock_.reset();   // waits a moment for a running request, then leaves it
}

std::optional<TMainPage::LabelLook> TAtomicClockPage::LabelStyle(HWND label) {
    for (int id : {IDC_LBLOCALTIME, IDC_LBSERVERTIME, IDC_LBDIFF})
        if (GetDlgItem(hwnd_, id) == label) return LabelLook{RGB(255, 255, 255), RGB(58, 96, 150)};
    return std::nullopt;
}

bool TAtomicClockPage::OnTimer(UINT_PTR id) {
    if (!atomicClock_) return false;
    if (id == kAtomTimer) atomicClock_->TimerAtomTimer();
    else if (id == kSyncTimer) atomicClock_->TimerSyncTimer();
    else return false;
    return true;
}

void TAtomicClockPage::OnPageCommand(int id, int, HWND) {
    switch (id) {
    case IDC_CBEVERY: dialog_.ControlsToModel(); return;
    case IDC_BGET: if (atomicClock_) atomicClock_->bGetClick(); return;
    case IDC_BUPDATE: if (atomicClock_) atomicClock_->bUpdateClick(); return;
    case IDC_BTREMOVETIMESERVER: if (atomicClock_) atomicClock_->btRemoveTimeServerClick(); return;
    default: return;
    }
}

void TAtomicClockPage::SavePlacement(RegKey& key) {
    const auto servers = ServerItems();
    key.WriteDword(L"cbServer.Count", static_cast<std::uint32_t>(servers.size()));
    for (size_t i = 0; i < servers.size(); ++i) key.WriteString(L"cbServer.Item" + std::to_wstring(i), servers[i]);
    key.WriteString(L"cbServer.Text", ServerText());
}

void TAtomicClockPage::RestorePlacement(const RegKey& key) {
    const auto count = key.ReadDword(L"cbServer.Count");
    if (!count) return;
    HWND combo = GetDlgItem(hwnd_, IDC_CBSERVER);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(*count, 100); ++i)
        if (auto server = key.ReadString(L"cbServer.Item" + std::to_wstring(i))) AddServerItem(*server);
    if (auto text = key.ReadString(L"cbServer.Text")) SetWindowTextW(combo, text->c_str());
}

void TAtomicClockPage::SetLocalTimeText(const std::wstring& t) { SetDlgItemTextW(hwnd_, IDC_LBLOCALTIME, t.c_str()); }
void TAtomicClockPage::SetServerTimeText(const std::wstring& t) { SetDlgItemTextW(hwnd_, IDC_LBSERVERTIME, t.c_str()); }
void TAtomicClockPage::SetDiffText(const std::wstring& t) { SetDlgItemTextW(hwnd_, IDC_LBDIFF, t.c_str()); }
void TAtomicClockPage::SetLastSyncText(const std::wstring& t) { SetDlgItemTextW(hwnd_, IDC_LBLASTSYNC, t.c_str()); }
void TAtomicClockPage::EnableGet(bool on) { Enable(IDC_BGET, on); }
void TAtomicClockPage::EnableUpdate(bool on) { Enable(IDC_BUPDATE, on); }
std::wstring TAtomicClockPage::ServerText() { return Text(IDC_CBSERVER); }

std::vector<std::wstring> TAtomicClockPage::ServerItems() {
    HWND combo = GetDlgItem(hwnd_, IDC_CBSERVER);
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
        item.resize(static_cast<size_t>(
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(item);
    }
    return items;
}

void TAtomicClockPage::AddServerItem(const std::wstring& server) {
    SendDlgItemMessageW(hwnd_, IDC_CBSERVER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(server.c_str()));
}

int TAtomicClockPage::SelectedServerIndex() {
    return static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_CBSERVER, CB_GETCURSEL, 0, 0));
}

void TAtomicClockPage::DeleteServerItem(int index) {
    SendDlgItemMessageW(hwnd_, IDC_CBSERVER, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int TAtomicClockPage::EveryIndex() { return Selection(IDC_CBEVERY, 0); }

}  // namespace vt
