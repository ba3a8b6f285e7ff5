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
    // The scheduler keeps the model's "NextSync", also when the options are read again after start.
    if (atomicClock_) atomicClock_->SetNextSync(o.nextSync);
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
    IAtomicClockView& view = *this;
    ISyncTimesStore& times = *this;
    atomicClock_ = std::make_unique<TAtomicClock>(view, times, std::move(deps));
    SetTimer(hwnd_, kSyncTimer, kSyncTimerInterval, nullptr);
}

bool TAtomicClockPage::RecordSuccessfulSync(TDateTime when) {
    const bool saved = vt::RecordSuccessfulSync(store_, when);
    dialog_.Options().lastSync = when;
    return saved;
}

bool TAtomicClockPage::WriteNextSync(TDateTime next) {
    const bool saved = vt::WriteNextSync(store_, next);
    dialog_.Options().nextSync = next;
    return saved;
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

namespace {
// The list is one text of lines; the choice is its index, -1 for none.
constexpr wchar_t kServerItems[] = L"cbServer.Items";
constexpr wchar_t kServerItemIndex[] = L"cbServer.ItemIndex";
// Names under which earlier versions kept the list: read when the new ones are missing, removed on save.
constexpr wchar_t kOldServerCount[] = L"cbServer.Count";
constexpr wchar_t kOldServerText[] = L"cbServer.Text";
std::wstring OldServerItem(std::uint32_t i) { return L"cbServer.Item" + std::to_wstring(i); }
constexpr std::uint32_t kMaxServers = 100;

std::vector<std::wstring> ServerLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size() && lines.size() < kMaxServers) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
}  // namespace

void TAtomicClockPage::SavePlacement(RegKey& key) {
    const auto servers = ServerItems();
    std::wstring items;
    for (const auto& server : servers) items += (items.empty() ? L"" : L"\r\n") + server;
    // The chosen server is the one whose name the box shows, also when it was typed in or set as text.
    HWND combo = GetDlgItem(hwnd_, IDC_CBSERVER);
    const std::wstring text = ServerText();
    auto index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(servers.size()) || servers[static_cast<size_t>(index)] != text) {
        const auto it = std::find(servers.begin(), servers.end(), text);
        index = it == servers.end() ? -1 : static_cast<int>(it - servers.begin());
    }
    key.WriteString(kServerItems, items);
    key.WriteDword(kServerItemIndex, static_cast<std::uint32_t>(index));
    if (const auto oldCount = key.ReadDword(kOldServerCount)) {
        for (std::uint32_t i = 0; i < std::min(*oldCount, kMaxServers); ++i) key.DeleteValue(OldServerItem(i));
        key.DeleteValue(kOldServerCount);
    }
    key.DeleteValue(kOldServerText);
}

void TAtomicClockPage::RestorePlacement(const RegKey& key) {
    std::vector<std::wstring> servers;
    std::optional<std::wstring> text;
    int index = -1;
    if (const auto items = key.ReadString(kServerItems)) {
        servers = ServerLines(*items);
        index = static_cast<int>(key.ReadDword(kServerItemIndex).value_or(0xFFFFFFFFu));
    } else if (const auto count = key.ReadDword(kOldServerCount)) {
        for (std::uint32_t i = 0; i < std::min(*count, kMaxServers); ++i)
            if (auto server = key.ReadString(OldServerItem(i))) servers.push_back(*server);
        text = key.ReadString(kOldServerText);
    } else {
        return;   // nothing stored: the five servers of the template
    }
    HWND combo = GetDlgItem(hwnd_, IDC_CBSERVER);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& server : servers) AddServerItem(server);
    if (index >= 0 && index < static_cast<int>(servers.size()))
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    else if (text) SetWindowTextW(combo, text->c_str());
    else if (!servers.empty()) SetWindowTextW(combo, servers.front().c_str());
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
