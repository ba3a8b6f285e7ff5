#include "alarms/alarm_sound.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vt {

std::wstring AlarmSoundPath(const std::wstring& fileName, const std::wstring& programDir) {
    if (fileName.find(L'\\') != std::wstring::npos) return fileName;
    return programDir + L"Sounds\\" + fileName;
}

TAlarmSoundPlayer::TAlarmSoundPlayer(IMediaPlayer& player, IPauseTimer& timer, std::wstring programDir,
                                     std::function<bool(const std::wstring&)> fileExists)
    : player_(player), timer_(timer), programDir_(std::move(programDir)), fileExists_(std::move(fileExists)) {
    if (!fileExists_)
        fileExists_ = [](const std::wstring& path) {
            std::error_code ec;
            return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
        };
}

void TAlarmSoundPlayer::PlayAlarmSound(const std::wstring& fileName, bool loop, int pauseSeconds, int times) {
    timer_.Stop();
    pausing_ = false;
    pauseSeconds_ = std::max(pauseSeconds, 0);
    // A count below one (a hand-edited file) plays once rather than without end.
    playsLeft_ = loop ? -1 : std::max(times, 1);
    soundPath_ = AlarmSoundPath(fileName, programDir_);
    player_.Close();
    playing_ = false;
    // A missing file plays nothing and tells nobody: the alarm's window and actions still come.
    if (fileName.empty() || !fileExists_(soundPath_)) return;
    Start();
}

void TAlarmSoundPlayer::Start() {
    playing_ = player_.Play(soundPath_);
}

void TAlarmSoundPlayer::StopAlarmSound() {
    timer_.Stop();
    player_.Close();
    pausing_ = false;
    playing_ = false;
}

void TAlarmSoundPlayer::OnPlayEnded() {
    if (!playing_) return;   // a notice that outlived a stop or a newer sound
    player_.Close();
    playing_ = false;
    if (playsLeft_ > 0) --playsLeft_;
    if (playsLeft_ != 0) {
        pausing_ = true;
        timer_.Start(static_cast<unsigned>(pauseSeconds_) * 1000u);
    }
}

void TAlarmSoundPlayer::OnPauseOver() {
    timer_.Stop();
    if (!pausing_) return;
    pausing_ = false;
    Start();
}

std::uint32_t TAlarmVolume::GetWaveVolume() {
    return device_.HasVolumeControl() ? device_.Read() : 0;
}

void TAlarmVolume::SetWaveVolume(std::uint32_t volume) {
    if (device_.HasVolumeControl()) device_.Write(volume);
}

void TAlarmVolume::SetVolumePercent(int percent) {
    if (!saved_) saved_ = GetWaveVolume();
    percent = std::clamp(percent, 0, 100);
    auto v = static_cast<std::uint32_t>(percent / 100.0 * 65535);
    SetWaveVolume(v | (v << 16));
}

void TAlarmVolume::RestoreVolume() {
    if (!saved_) return;
    SetWaveVolume(*saved_);
    saved_.reset();
}

}  // namespace vt
