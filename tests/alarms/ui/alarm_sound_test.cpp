#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>

#include "alarms/alarm_sound.h"
#include "alarms/program_launch.h"
#include "fakes.h"
#include "support/test_support.h"

using namespace vt;
using namespace vt::test;

namespace {

struct FakeMedia final : IMediaPlayer {
    std::vector<std::wstring> plays;
    int closes = 0;
    bool Play(const std::wstring& path) override {
        plays.push_back(path);
        return true;
    }
    void Close() override { ++closes; }
};

struct FakeTimer final : IPauseTimer {
    std::vector<unsigned> starts;
    bool running = false;
    void Start(unsigned ms) override {
        starts.push_back(ms);
        running = true;
    }
    void Stop() override { running = false; }
};

class Sound : public testing::Test {
protected:
    FakeMedia media;
    FakeTimer timer;
    std::set<std::wstring> files{L"C:\\prog\\Sounds\\ring.wav", L"D:\\music\\song.mp3"};
    TAlarmSoundPlayer player{media, timer, L"C:\\prog\\", [this](const std::wstring& f) { return files.count(f) > 0; }};

    // Lets the current play end and, when a pause follows, the pause elapse.
    void Finish() {
        player.OnPlayEnded();
        if (timer.running) {
            timer.running = false;
            player.OnPauseOver();
        }
    }
};

TEST_F(Sound, OnePlayStartsNoPause) {
    player.PlayAlarmSound(L"ring.wav", false, 2, 1);
    Finish();
    EXPECT_EQ(media.plays.size(), 1u);
    EXPECT_TRUE(timer.starts.empty());
    EXPECT_FALSE(player.Playing());
}

TEST_F(Sound, ThreeTimesWithTwoSecondPauses) {
    player.PlayAlarmSound(L"ring.wav", false, 2, 3);
    for (int i = 0; i < 5; ++i) Finish();
    EXPECT_EQ(media.plays.size(), 3u);
    EXPECT_EQ(timer.starts, (std::vector<unsigned>{2000u, 2000u}));
}

TEST_F(Sound, BareNameComesFromSoundsFolderAndFullPathStaysAsItIs) {
    player.PlayAlarmSound(L"ring.wav", false, 0, 1);
    player.PlayAlarmSound(L"D:\\music\\song.mp3", false, 0, 1);
    EXPECT_EQ(media.plays, (std::vector<std::wstring>{L"C:\\prog\\Sounds\\ring.wav", L"D:\\music\\song.mp3"}));
}

TEST_F(Sound, MissingFilePlaysNothing) {
    player.PlayAlarmSound(L"gone.wav", true, 1, 1);
    player.PlayAlarmSound(L"", false, 1, 1);
    EXPECT_TRUE(media.plays.empty());
    EXPECT_FALSE(player.Playing());
}

TEST_F(Sound, LoopRepeatsUntilStoppedAlsoWhenStoppedDuringThePause) {
    player.PlayAlarmSound(L"ring.wav", true, 1, 1);
    for (int i = 0; i < 4; ++i) Finish();
    EXPECT_EQ(media.plays.size(), 5u);
    player.OnPlayEnded();   // now pausing
    ASSERT_TRUE(timer.running);
    player.StopAlarmSound();
    EXPECT_FALSE(timer.running);
    player.OnPauseOver();   // a timer message already queued
    player.OnPlayEnded();
    EXPECT_EQ(media.plays.size(), 5u);
}

TEST_F(Sound, ANewAlarmSoundReplacesTheCountersOfTheFirst) {
    player.PlayAlarmSound(L"ring.wav", true, 1, 1);
    player.PlayAlarmSound(L"D:\\music\\song.mp3", false, 1, 2);
    for (int i = 0; i < 4; ++i) Finish();
    EXPECT_EQ(media.plays.size(), 3u);
    EXPECT_EQ(media.plays.back(), L"D:\\music\\song.mp3");
}

TEST_F(Sound, CountBelowOnePlaysOnceNotForever) {
    player.PlayAlarmSound(L"ring.wav", false, 1, -3);
    for (int i = 0; i < 4; ++i) Finish();
    EXPECT_EQ(media.plays.size(), 1u);
}

TEST(Volume, FiftyPercentSetsBothChannelsAndRestoreReturnsTheVolumeFoundFirst) {
    FakeVolume dev;
    dev.value = 0x12345678;
    TAlarmVolume v(dev);
    v.SetVolumePercent(50);
    EXPECT_EQ(dev.value, 32767u + 32767u * 65536u);
    v.SetVolumePercent(80);   // a second alarm meanwhile
    v.RestoreVolume();
    EXPECT_EQ(dev.value, 0x12345678u);
    dev.writes.clear();
    v.RestoreVolume();        // nothing kept any more
    EXPECT_TRUE(dev.writes.empty());
}

TEST(Volume, DeviceWithoutControlReadsZeroAndIsNeverWritten) {
    FakeVolume dev;
    dev.control = false;
    TAlarmVolume v(dev);
    EXPECT_EQ(v.GetWaveVolume(), 0u);
    v.SetVolumePercent(30);
    v.RestoreVolume();
    EXPECT_TRUE(dev.writes.empty());
}

TEST(Volume, PercentOutsideRangeIsClamped) {
    FakeVolume dev;
    TAlarmVolume v(dev);
    v.SetVolumePercent(250);
    EXPECT_EQ(dev.value, 0xFFFFFFFFu);
    v.SetVolumePercent(-5);
    EXPECT_EQ(dev.value, 0u);
}

TEST(ProgramLaunch, ShowCommandAndWorkingFolder) {
    FakeLauncher l;
    RunDocument(l, L"C:\\Tools\\app.exe", L"-x", 2);
    RunDocument(l, L"C:\\app.exe", L"", 0);
    RunDocument(l, L"notes.txt", L"", 1);
    RunDocument(l, L"C:\\a\\b.exe", L"", 9);
    ASSERT_EQ(l.calls.size(), 4u);
    EXPECT_EQ(l.calls[0].show, SW_MINIMIZE);
    EXPECT_EQ(l.calls[0].folder, L"C:\\Tools");
    EXPECT_EQ(l.calls[0].params, L"-x");
    EXPECT_EQ(l.calls[1].folder, L"C:\\");
    EXPECT_EQ(l.calls[1].show, SW_SHOW);
    EXPECT_EQ(l.calls[2].folder, L"");
    EXPECT_EQ(l.calls[2].show, SW_SHOWMAXIMIZED);
    EXPECT_EQ(l.calls[3].show, 9);
}

TEST(ProgramLaunch, EmptyFileNameOpensNothing) {
    FakeLauncher l;
    RunDocument(l, L"  ", L"", 0);
    EXPECT_TRUE(l.calls.empty());
}

}  // namespace

namespace {

// The shipped sounds are plain PCM files the MCI wave device opens.
TEST(ShippedSounds, SoundsFolderHoldsPcmWaveFiles) {
    for (const wchar_t* name : {L"Chime.wav", L"Beeps.wav"}) {
        std::string bytes = vt::test::ReadFileBytes(vt::AlarmSoundPath(name, vt::test::DistDir()));
        ASSERT_GT(bytes.size(), 44u) << name;
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(bytes[20], 1) << "PCM";
        EXPECT_EQ(bytes.substr(36, 4), "data");
    }
}

}  // namespace

TEST(SpecialFolders, MusicAndVideosAreFoldersWithATrailingBackslash) {
    for (int id : {13, 14}) {
        std::wstring path = GetSpecialFolderPath(id);
        ASSERT_FALSE(path.empty()) << id;
        EXPECT_EQ(path.back(), L'\\');
        wchar_t expected[MAX_PATH] = L"";
        ASSERT_EQ(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
        EXPECT_EQ(path, std::wstring(expected) + L"\\");
    }
    EXPECT_EQ(GetSpecialFolderPath(0x7FFF), L"");   // no such folder
}
