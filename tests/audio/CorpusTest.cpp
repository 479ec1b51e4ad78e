#include <gtest/gtest.h>

#include "audio/AudioSystem.h"
#include "support/CorpusList.h"

namespace {

const std::filesystem::path kCorpus =
    std::filesystem::path(QUELVANE_SOURCE_DIR) / "tests/audio/corpus";

// Every file in the corpus is listed, and does what the list says; whatever loads also plays.
TEST(Corpus, EveryFileLoadsOrIsRefusedAsListed) {
    const auto expected = quelvane::readCorpusList(kCorpus / "expected.txt");
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline}};
    ASSERT_TRUE(audio.InitMusic(nullptr, 2, nullptr));
    std::vector<int16_t> out(2 * 48000);
    std::size_t seen = 0;
    for (const char* kind : {"wav", "midi"}) {
        for (const auto& entry : std::filesystem::directory_iterator(kCorpus / kind)) {
            const std::string name = std::string(kind) + "/" + entry.path().filename().string();
            SCOPED_TRACE(name);
            const auto it = expected.find(name);
            ASSERT_NE(it, expected.end()) << "not listed in expected.txt";
            ++seen;
            if (std::string(kind) == "wav") {
                auto sound = audio.LoadWav(entry.path().c_str(), 2);
                EXPECT_EQ(sound != nullptr, it->second.outcome == "loads");
                if (sound) {
                    playEffect(sound.get());
                    audio.Render(out.data(), 4800);
                }
            } else {
                auto music = audio.LoadMidi(entry.path().c_str());
                EXPECT_EQ(music != nullptr, it->second.outcome == "loads");
                if (music) {
                    audio.PlayMusic(music.get());
                    audio.Render(out.data(), 48000);
                    audio.StopMusic();
                }
            }
        }
    }
    EXPECT_EQ(seen, expected.size());
}

}  // namespace
