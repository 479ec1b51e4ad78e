#include "audio/PortNames.h"

#include <gtest/gtest.h>

#include "audio/AudioSystem.h"

namespace {

const std::vector<std::string> kPorts = {
    kSoftwareSynthesizerName,
    "Midi Through: Midi Through Port-0",
    "FLUID Synth (4211): Synth input port (4211:0)",
    "USB Keys: USB Keys MIDI 1",
};

TEST(PortNames, ExactMatchComesFirstAndCaseMatters) {
    EXPECT_EQ(findPort(kPorts, "Midi Through: Midi Through Port-0"), 1u);
    EXPECT_EQ(findPort(kPorts, "midi through: midi through port-0"), std::nullopt);
    EXPECT_EQ(findPort(kPorts, "Software Synthesizer"), 0u);
    EXPECT_EQ(findPort(kPorts, ""), std::nullopt);
    EXPECT_EQ(findPort(kPorts, "Midi Through"), std::nullopt);
}

TEST(PortNames, NumbersAreIgnoredWhenNothingMatchesExactly) {
    EXPECT_EQ(findPort(kPorts, "FLUID Synth (977): Synth input port (977:0)"), 2u);
    EXPECT_EQ(findPort(kPorts, "USB Keys: USB Keys MIDI 2"), 3u);
    // An exact match wins over an earlier loose one.
    const std::vector<std::string> two = {"Synth 1", "Synth 2"};
    EXPECT_EQ(findPort(two, "Synth 2"), 1u);
    EXPECT_EQ(findPort(two, "Synth 3"), 0u);
    // A name of digits only means nothing once they are gone.
    EXPECT_EQ(findPort({"128", "129"}, "130"), std::nullopt);
}

TEST(PortNames, SoftwareSynthesizerIsListedFirst) {
    AudioSystem audio(AudioSystem::Options{AudioSystem::Output::Offline});
    const std::vector<std::string> names = audio.EnumPortNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "Software Synthesizer");
    for (const std::string& name : names) {
        EXPECT_LE(name.size(), 127u);
        EXPECT_FALSE(name.empty());
    }
}

}  // namespace
