#include "setup/DeviceChoice.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "audio/DeviceSettings.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

class DeviceChoiceFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.path().empty());
        file_ = dir_ / kDeviceSettingsFile;
    }

    void put(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
    std::string contents() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempDir dir_;
    fs::path file_;
};

}  // namespace

TEST(DeviceChoiceSort, AlphabeticalIgnoringCaseWhateverTheInputOrder) {
    const Names expected{"alsa Midi Through", "FLUID port", "Software Synthesizer", "USB MIDI",
                         "usb midi"};
    DeviceChoice choice(
        {"usb midi", "Software Synthesizer", "USB MIDI", "FLUID port", "alsa Midi Through"},
        std::nullopt);
    EXPECT_EQ(choice.entries(), expected);
    DeviceChoice reversed(Names(expected.rbegin(), expected.rend()), std::nullopt);
    EXPECT_EQ(reversed.entries(), expected);
}

TEST(DeviceChoicePreselect, FirstEntryWithoutSavedName) {
    const Names ports{"Zeta", "alpha", "Beta"};
    EXPECT_EQ(DeviceChoice(ports, std::nullopt).selection(), 0u);
    EXPECT_EQ(DeviceChoice(ports, std::string()).selection(), 0u);
    EXPECT_EQ(DeviceChoice(ports, std::nullopt).entries()[0], "alpha");
    EXPECT_EQ(DeviceChoice({}, std::nullopt).selection(), std::nullopt);
    EXPECT_EQ(DeviceChoice({}, std::string("alpha")).selection(), std::nullopt);
}

TEST(DeviceChoicePreselect, FirstSortedEntryBeginningWithSavedNameIgnoringCase) {
    const Names ports{"USB MIDI 2", "Software Synthesizer", "usb midi 1", "USB"};
    // Sorted: "Software Synthesizer", "USB", "usb midi 1", "USB MIDI 2".
    EXPECT_EQ(DeviceChoice(ports, std::string("Software Synthesizer")).selection(), 0u);
    EXPECT_EQ(DeviceChoice(ports, std::string("SOFTWARE synth")).selection(), 0u);
    EXPECT_EQ(DeviceChoice(ports, std::string("USB MIDI 2")).selection(), 3u);
    EXPECT_EQ(DeviceChoice(ports, std::string("usb midi")).selection(), 2u);
    EXPECT_EQ(DeviceChoice(ports, std::string("Usb")).selection(), 1u);
}

TEST(DeviceChoicePreselect, NothingWhenNoEntryBeginsWithSavedName) {
    const Names ports{"Software Synthesizer", "USB MIDI"};
    EXPECT_EQ(DeviceChoice(ports, std::string("Roland")).selection(), std::nullopt);
    EXPECT_EQ(DeviceChoice(ports, std::string("USB MIDI 2")).selection(), std::nullopt);
    EXPECT_EQ(DeviceChoice(ports, std::string(" USB")).selection(), std::nullopt);
}

TEST_F(DeviceChoiceFiles, PreselectsFromTheSavedFile) {
    const Names ports{"USB MIDI", "Software Synthesizer"};
    put("software synthesizer\r\nUSB MIDI\n");
    EXPECT_EQ(DeviceChoice(ports, readDeviceSettings(file_)).selection(), 0u);
    put("");
    EXPECT_EQ(DeviceChoice(ports, readDeviceSettings(file_)).selection(), 0u);
    put("usb");
    EXPECT_EQ(DeviceChoice(ports, readDeviceSettings(file_)).selection(), 1u);
    // The saved name ends at a NUL byte, as the game reads it.
    put(std::string("usb\0Software", 12));
    EXPECT_EQ(DeviceChoice(ports, readDeviceSettings(file_)).selection(), 1u);
    fs::remove(file_);
    EXPECT_EQ(DeviceChoice(ports, readDeviceSettings(file_)).selection(), 0u);
}

TEST_F(DeviceChoiceFiles, AcceptWritesExactlyTheEntryText) {
    put("A much longer name that was saved before\r\n");
    DeviceChoice choice({"USB MIDI", "Software Synthesizer"}, std::nullopt);
    choice.select(1);
    EXPECT_EQ(choice.accept(file_), DeviceChoice::AcceptResult::Written);
    EXPECT_EQ(contents(), "USB MIDI");
    EXPECT_EQ(fs::file_size(file_), std::string("USB MIDI").size());
    EXPECT_EQ(readDeviceSettings(file_), "USB MIDI");
}

TEST_F(DeviceChoiceFiles, AcceptOfAnEmptyEntryLeavesAnEmptyFile) {
    put("USB MIDI");
    DeviceChoice choice({"", "USB MIDI"}, std::nullopt);
    ASSERT_EQ(choice.selection(), 0u);
    EXPECT_EQ(choice.accept(file_), DeviceChoice::AcceptResult::Written);
    EXPECT_TRUE(fs::exists(file_));
    EXPECT_EQ(fs::file_size(file_), 0u);
}

TEST_F(DeviceChoiceFiles, AcceptWithNothingSelectedTouchesNothingUntilAPick) {
    put("Roland\r\n");
    DeviceChoice choice({"USB MIDI", "Software Synthesizer"}, readDeviceSettings(file_));
    ASSERT_EQ(choice.selection(), std::nullopt);
    EXPECT_EQ(choice.accept(file_), DeviceChoice::AcceptResult::NothingSelected);
    EXPECT_EQ(contents(), "Roland\r\n");

    choice.select(0);
    EXPECT_EQ(choice.accept(file_), DeviceChoice::AcceptResult::Written);
    EXPECT_EQ(contents(), "Software Synthesizer");

    choice.select(2);
    EXPECT_EQ(choice.selection(), std::nullopt);
    choice.select(std::nullopt);
    fs::remove(file_);
    EXPECT_EQ(choice.accept(file_), DeviceChoice::AcceptResult::NothingSelected);
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(DeviceChoiceFiles, AcceptReportsAFileThatCannotBeWrittenAndWhy) {
    DeviceChoice choice({"USB MIDI"}, std::nullopt);
    std::string reason;
    EXPECT_EQ(choice.accept(dir_ / "missing" / kDeviceSettingsFile, &reason),
              DeviceChoice::AcceptResult::WriteFailed);
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}
