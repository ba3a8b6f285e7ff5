// "Atomic Clock": the live local and server times, the server list, the adjustment and the automatic
// synchronisation. The page is the view of TAtomicClock and runs its two timers.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/main_page.h"
#include "base/registry.h"
#include "clock/options_file.h"
#include "timeservice/atomic_sync.h"

namespace vt {

// The roads to the network and the clock; a null one is the program's own. Given ones outlive the page.
struct AtomicClockSeams {
    ITimeQuery* timeQuery = nullptr;
    ILocalClockAdjuster* localAdjuster = nullptr;
    ITimeServiceFactory* timeServiceFactory = nullptr;
};

class TAtomicClockPage final : public TMainPage, private IAtomicClockView, private ISyncTimesStore {
public:
    TAtomicClockPage(IMainDialog& dialog, const OptionsStore& store, const INow& now, IMainThread& mainThread,
                     AtomicClockSeams seams);
    ~TAtomicClockPage() override;
    void ModelToControls(const MainOptions& o) override;
    void ControlsToModel(MainOptions& o) override;
    // The live times run only while the page shows.
    void Shown() override;
    void Hidden();
    // Starts the synchronisation from the loaded options; the time-service object's prompt is owned by `owner`.
    void Start(HWND owner);
    // "Synchronize Now" of the menus: the page is in front, the query starts.
    void ShowAtomicClockPage();
    // The server list and choice, kept with the dialog's placement.
    void SavePlacement(RegKey& key);
    void RestorePlacement(const RegKey& key);
    // Stops the timers, drops the time-service object; a running request is waited for a moment only.
    void Shutdown();

private:
    static constexpr UINT_PTR kAtomTimer = 3;
    static constexpr UINT_PTR kSyncTimer = 4;
    void OnInitDialog() override;
    void OnPageCommand(int id, int code, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    // The live times: white on coloured shapes.
    std::optional<LabelLook> LabelStyle(HWND label) override;
    void SetLocalTimeText(const std::wstring& text) override;
    void SetServerTimeText(const std::wstring& text) override;
    void SetDiffText(const std::wstring& text) override;
    void SetLastSyncText(const std::wstring& text) override;
    void EnableGet(bool enabled) override;
    void EnableUpdate(bool enabled) override;
    std::wstring ServerText() override;
    std::vector<std::wstring> ServerItems() override;
    void AddServerItem(const std::wstring& server) override;
    int SelectedServerIndex() override;
    void DeleteServerItem(int index) override;
    int EveryIndex() override;
    // The times go to the settings file and the options model.
    bool RecordSuccessfulSync(TDateTime when) override;
    bool WriteNextSync(TDateTime next) override;
    void SaveFailed() override { dialog_.ReportOptionsSaveFailure(); }

    const OptionsStore& store_;
    const INow& now_;
    IMainThread& mainThread_;
    AtomicClockSeams seams_;
    std::unique_ptr<TAtomicClock> atomicClock_;
};

}  // namespace vt
