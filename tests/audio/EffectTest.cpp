#include <gtest/gtest.h>

#include "audio/AudioSystem.h"
#include "audio/SoundBuffer.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"

using namespace audiofiles;

namespace {

// A sound whose every frame says where in it the frame is: both channels hold value + frame index.
std::vector<int16_t> counting(int frames, int16_t value) {
    std::vector<int16_t> s;
    for (int i = 0; i < frames; ++i) {
        s.push_back(static_cast<int16_t>(value + i));
        s.push_back(static_cast<int16_t>(value + i));
    }
    return s;
}

// The left channel of a frame of a rendered stereo mix.
int16_t leftSample(const std::vector<int16_t>& out, std::size_t frame) {
    return out[2 * frame];
}

class Effect : public ::testing::Test {
  protected:
    std::unique_ptr<SoundBuffer> load(const std::string& name,
                                      const std::vector<int16_t>& samples) {
        return audio.LoadWav(dir.write(name, stereoWav(samples)).c_str(), 2);
    }
    std::vector<int16_t> render(uint32_t frames) {
        std::vector<int16_t> out(std::size_t{2} * frames);
        audio.Render(out.data(), frames);
        return out;
    }

    TempDir dir;
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline}};
};

TEST_F(Effect, PlaysOnceThenStops) {
    auto sound = load("a.wav", counting(100, 1000));
    ASSERT_NE(sound, nullptr);
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_EQ(render(10), std::vector<int16_t>(20, 0));

    playEffect(sound.get());
    EXPECT_TRUE(sound->IsPlaying());
    auto out = render(150);
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(leftSample(out, i), 1000 + i, 1);
    }
    for (int i = 100; i < 150; ++i) {
        EXPECT_EQ(leftSample(out, i), 0) << i;
    }
    EXPECT_FALSE(sound->IsPlaying());

    // A finished sound plays again from its start.
    playEffect(sound.get());
    out = render(5);
    EXPECT_NEAR(out[0], 1000, 1);
    EXPECT_NEAR(out[8], 1004, 1);
}

TEST_F(Effect, TriggerWhilePlayingRestarts) {
    auto sound = load("a.wav", counting(100, 1000));
    ASSERT_NE(sound, nullptr);
    playEffect(sound.get());
    render(60);
    playEffect(sound.get());
    const auto out = render(120);
    // One voice, back at its start, not a second copy on top of the first.
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(leftSample(out, i), 1000 + i, 1) << i;
    }
    EXPECT_EQ(leftSample(out, 100), 0);
}

TEST_F(Effect, PlayGoesOnFromTheCurrentPosition) {
    auto sound = load("a.wav", counting(100, 1000));
    ASSERT_NE(sound, nullptr);
    sound->SetCurrentPosition(90);
    sound->Play();
    const auto out = render(20);
    EXPECT_NEAR(out[0], 1090, 1);
    EXPECT_EQ(leftSample(out, 10), 0);
    EXPECT_FALSE(sound->IsPlaying());
}

TEST_F(Effect, DifferentSoundsMixAndAreHeldUnderFullScale) {
    auto low = load("low.wav", counting(50, 1000));
    auto high = load("high.wav", counting(50, 20000));
    auto loud = load("loud.wav", std::vector<int16_t>(100, 30000));
    ASSERT_TRUE(low && high && loud);
    playEffect(low.get());
    playEffect(high.get());
    auto out = render(50);
    for (int i = 0; i < 50; ++i) {
        EXPECT_NEAR(leftSample(out, i), 21000 + 2 * i, 2);
    }
    playEffect(high.get());
    playEffect(loud.get());
    out = render(50);
    // Above -1 dBFS the sum is held there, neither wrapping round nor clipping at full scale.
    EXPECT_NEAR(out[0], 29196, 2);
    EXPECT_NEAR(leftSample(out, 49), 29196, 2);
}

TEST_F(Effect, NullAndOrphanedBuffersAreHarmless) {
    playEffect(nullptr);
    std::unique_ptr<SoundBuffer> orphan;
    {
        AudioSystem other{AudioSystem::Options{AudioSystem::Output::Offline}};
        orphan = other.LoadWav(dir.write("o.wav", stereoWav(counting(10, 5))).c_str(), 2);
    }
    ASSERT_NE(orphan, nullptr);
    playEffect(orphan.get());
    EXPECT_TRUE(orphan->IsPlaying());
    orphan.reset();
    EXPECT_EQ(render(4), std::vector<int16_t>(8, 0));
}

}  // namespace
