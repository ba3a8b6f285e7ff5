// The alarm sound (a file played a number of times with a pause between plays, or until stopped) and
// the wave-out volume set for the duration of an alarm. The rules are plain code over small devices;
// the MCI player, its timer and the mixer are reached only through the program's factories.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vt {

// Plays one file to its end. The owner learns of the end through OnPlayEnded of TAlarmSoundPlayer.
class IMediaPlayer {
public:
    virtual ~IMediaPlayer() = default;
    // Closes what was open, opens `path` and starts it; false when it cannot be played.
    virtual bool Play(const std::wstring& path) = 0;
    virtual void Close() = 0;   // never fails; no end notice follows
};

// The pause between two plays; calls OnPauseOver of TAlarmSoundPlayer once when it elapses.
class IPauseTimer {
public:
    virtual ~IPauseTimer() = default;
    virtual void Start(unsigned milliseconds) = 0;
    virtual void Stop() = 0;
};

// What the alarm handler and the alarm windows ask of the one sound player of the program.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    // Replaces whatever plays. loop: until StopAlarmSound; else `times` plays in all.
    virtual void PlayAlarmSound(const std::wstring& fileName, bool loop, int pauseSeconds, int times) = 0;
    // Stops the sound, also during a pause; no further play starts.
    virtual void StopAlarmSound() = 0;
};

class TAlarmSoundPlayer final : public ISoundPlayer {
public:
    // programDir ends with a backslash; a bare file name means a file of its "Sounds\" folder.
    TAlarmSoundPlayer(IMediaPlayer& player, IPauseTimer& timer, std::wstring programDir,
                      std::function<bool(const std::wstring&)> fileExists = {});
    void PlayAlarmSound(const std::wstring& fileName, bool loop, int pauseSeconds, int times) override;
    void StopAlarmSound() override;
    // The end of a play (the player's completion notice).
    void OnPlayEnded();
    // The pause is over: the same file plays again.
    void OnPauseOver();

    const std::wstring& SoundPath() const { return soundPath_; }
    int SoundPlaysLeft() const { return playsLeft_; }   // -1: until stopped
    bool Playing() const { return playing_; }
    bool Pausing() const { return pausing_; }

private:
    void Start();
    IMediaPlayer& player_;
    IPauseTimer& timer_;
    std::wstring programDir_;
    std::function<bool(const std::wstring&)> fileExists_;
    std::wstring soundPath_;
    int pauseSeconds_ = 0;
    int playsLeft_ = 0;
    bool playing_ = false;
    bool pausing_ = false;
};

// The full path of an alarm's sound file: a name without any "\" lies in the program's "Sounds\" folder.
std::wstring AlarmSoundPath(const std::wstring& fileName, const std::wstring& programDir);

// The wave-out mapper's volume: left channel in the low 16 bits, right in the high 16 bits.
class IVolume {
public:
    virtual ~IVolume() = default;
    virtual bool HasVolumeControl() = 0;   // false also when the device cannot be asked
    virtual std::uint32_t Read() = 0;
    virtual void Write(std::uint32_t volume) = 0;
};

// The volume of one alarm, put back when its window closes.
class TAlarmVolume {
public:
    explicit TAlarmVolume(IVolume& device) : device_(device) {}
    // 0 for a device without volume control.
    std::uint32_t GetWaveVolume();
    // Does nothing for a device without volume control.
    void SetWaveVolume(std::uint32_t volume);
    // Both channels to percent (0..100) of full scale. The volume found first is kept until
    // RestoreVolume, so a second alarm that rings meanwhile cannot make its own level the one restored.
    void SetVolumePercent(int percent);
    // Puts back the kept volume, if any, and forgets it.
    void RestoreVolume();
    const std::optional<std::uint32_t>& SavedWaveVolume() const { return saved_; }

private:
    IVolume& device_;
    std::optional<std::uint32_t> saved_;
};

// The one sound player of the program with its MCI device and pause timer on a hidden window of the
// calling (main) thread. Plays .wav and .mp3 files.
std::unique_ptr<ISoundPlayer> CreateSystemSoundPlayer(const std::wstring& programDir);
// The wave-out mapper device (device -1).
std::unique_ptr<IVolume> CreateSystemVolume();

// The path of a shell special folder (13: the user's music, 14: the user's videos) with a trailing "\",
// or empty when the shell has none.
std::wstring GetSpecialFolderPath(int folderId);

}  // namespace vt
