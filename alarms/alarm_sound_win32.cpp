// The program's sound device: MCI playback with its completion notice and the pause timer on a hidden
// message window, and the wave-out mapper's volume. Reached only through the factories, so test
// programs never import the calls that make a sound.
#include <windows.h>
#include <mmsystem.h>

#include <cwctype>

#include "alarms/alarm_sound.h"
#include "base/window.h"

namespace vt {

namespace {

constexpr wchar_t kAlias[] = L"vt_alarm_sound";
constexpr wchar_t kWindowClass[] = L"VantoricAlarmSound";
constexpr UINT_PTR kPauseTimer = 1;

std::wstring LowerExtension(const std::wstring& path) {
    auto dot = path.find_last_of(L'.');
    auto slash = path.find_last_of(L'\\');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return {};
    std::wstring ext = path.substr(dot);
    for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
    return ext;
}

class SystemSoundPlayer final : public ISoundPlayer, private IMediaPlayer, private IPauseTimer {
public:
    explicit SystemSoundPlayer(const std::wstring& programDir)
        : logic_(static_cast<IMediaPlayer&>(*this), static_cast<IPauseTimer&>(*this), programDir) {
        RegisterWindowClass(kWindowClass, WindowProc);
        window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), this);
    }
    ~SystemSoundPlayer() override {
        Close();
        if (window_) DestroyWindow(window_);
    }
    SystemSoundPlayer(const SystemSoundPlayer&) = delete;
    SystemSoundPlayer& operator=(const SystemSoundPlayer&) = delete;

    void PlayAlarmSound(const std::wstring& fileName, bool loop, int pauseSeconds, int times) override {
        logic_.PlayAlarmSound(fileName, loop, pauseSeconds, times);
    }
    void StopAlarmSound() override { logic_.StopAlarmSound(); }

private:
    bool Play(const std::wstring& path) override {
        Close();
        std::wstring type;
        std::wstring ext = LowerExtension(path);
        if (ext == L".wav") type = L" type waveaudio";
        else if (ext == L".mp3") type = L" type mpegvideo";
        std::wstring open = L"open \"" + path + L"\"" + type + L" alias " + kAlias;
        if (mciSendStringW(open.c_str(), nullptr, 0, nullptr) != 0) return false;
        open_ = true;
        std::wstring play = std::wstring(L"play ") + kAlias + L" notify";
        if (mciSendStringW(play.c_str(), nullptr, 0, window_) != 0) {
            Close();
            return false;
        }
        return true;
    }
    void Close() override {
        if (!open_) return;
        open_ = false;
        std::wstring close = std::wstring(L"close ") + kAlias;
        mciSendStringW(close.c_str(), nullptr, 0, nullptr);   // errors on close are of no interest
    }
    void Start(unsigned ms) override { SetTimer(window_, kPauseTimer, ms ? ms : USER_TIMER_MINIMUM, nullptr); }
    void Stop() override { KillTimer(window_, kPauseTimer); }

    static LRESULT CALLBACK WindowProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
        if (m == WM_NCCREATE)
            SetWindowLongPtrW(h, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
        auto* self = reinterpret_cast<SystemSoundPlayer*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self && m == MM_MCINOTIFY && w == MCI_NOTIFY_SUCCESSFUL) {
            Guarded([self] { self->logic_.OnPlayEnded(); });
            return 0;
        }
        if (self && m == WM_TIMER && w == kPauseTimer) {
            Guarded([self] { self->logic_.OnPauseOver(); });
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    }

    TAlarmSoundPlayer logic_;
    HWND window_ = nullptr;
    bool open_ = false;
};

class SystemVolume final : public IVolume {
public:
    bool HasVolumeControl() override {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(WAVE_MAPPER, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
        return (caps.dwSupport & WAVECAPS_VOLUME) != 0;
    }
    std::uint32_t Read() override {
        DWORD v = 0;
        if (waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), &v) != MMSYSERR_NOERROR)
            return 0;
        return v;
    }
    void Write(std::uint32_t volume) override {
        waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), volume);
    }
};

}  // namespace

std::unique_ptr<ISoundPlayer> CreateSystemSoundPlayer(const std::wstring& programDir) {
    return std::make_unique<SystemSoundPlayer>(programDir);
}

std::unique_ptr<IVolume> CreateSystemVolume() { return std::make_unique<SystemVolume>(); }

}  // namespace vt
