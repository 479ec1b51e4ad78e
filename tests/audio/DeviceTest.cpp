#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/AudioSystem.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

using namespace audiofiles;

namespace {

// Through a real (dummy) sound device: its callback drives the mixer on a thread of its own.
TEST(Device, CallbackPlaysEffectsAndMusicToTheEnd) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempDir dir;
    AudioSystem audio;
    EXPECT_TRUE(audio.SampleRate() == 48000 || audio.SampleRate() == 44100);
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    auto music = audio.LoadMidi(
        dir.write("a.mid", smf(0, 96, {track({{0, {0x90, 60, 100}}, {48, {0x80, 60, 0}}})}))
            .c_str());
    auto sound = audio.LoadWav(
        dir.write("a.wav", stereoWav(std::vector<int16_t>(std::size_t{2} * 2400, 100))).c_str(), 2);
    ASSERT_TRUE(music && sound);
    audio.PlayMusic(music.get());
    playEffect(sound.get());
    EXPECT_TRUE(sound->IsPlaying());
    // Fifty milliseconds of sound: the device has played it through well within two seconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (sound->IsPlaying() && std::chrono::steady_clock::now() < deadline) {
        playEffect(nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(sound->IsPlaying());
    // Triggers from this thread race the callback only under the audio lock.
    for (int i = 0; i < 200; ++i) {
        playEffect(sound.get());
        if (i % 50 == 0) {
            audio.PlayMusic(music.get());
        }
    }
    audio.StopMusic();
    audio.PlayMusic(music.get());
}

}  // namespace
