#include "audio/DeviceSettings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "audio/PortNames.h"
#include "support/AtomicFileAsUser.h"
#include "support/TempDir.h"

namespace {

using namespace std::string_literals;

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DeviceSettings, MissingFileGivesNothing) {
    TempDir dir;
    EXPECT_EQ(readDeviceSettings(dir / kDeviceSettingsFile), std::nullopt);
    std::filesystem::create_directory(dir / kDeviceSettingsFile);
    EXPECT_EQ(readDeviceSettings(dir / kDeviceSettingsFile), std::nullopt);
}

TEST(DeviceSettings, ReadsTheFirstLineOnly) {
    TempDir dir;
    struct Case {
        std::string file, name;
    } cases[] = {
        {"Software Synthesizer", "Software Synthesizer"},
        {"Midi Through: Midi Through Port-0\r\n", "Midi Through: Midi Through Port-0"},
        {"first\nsecond\n", "first"},
        {"first\r\nsecond", "first"},
        {"", ""},
        {"\r\n", ""},
        // Only a CR before the line feed goes; others are part of the name.
        {"a\rb\n", "a\rb"},
        {"end\r", "end\r"},
        // The name ends at a NUL byte; a CR before it is no line end.
        {"Software Synthesizer\0junk\r\n"s, "Software Synthesizer"},
        {"\0Software Synthesizer"s, ""},
        {"ab\r\0\n"s, "ab\r"},
        {"first\nsec\0ond"s, "first"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readDeviceSettings(dir.write(kDeviceSettingsFile, c.file)), c.name) << c.file;
    }
}

// What the game does at start-up: the saved name picks the port it was saved from.
TEST(DeviceSettings, TheGameFindsTheSavedPortWhateverFollowsANul) {
    TempDir dir;
    const std::vector<std::string> ports{kSoftwareSynthesizerName,
                                         "Midi Through: Midi Through Port-0"};
    const auto saved = readDeviceSettings(
        dir.write(kDeviceSettingsFile, "Midi Through: Midi Through Port-0\0left over\r\n"s));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(findPort(ports, *saved), 1u);
}

TEST(DeviceSettings, NameIsCutAt127Characters) {
    TempDir dir;
    const std::string exact(127, 'x');
    EXPECT_EQ(readDeviceSettings(dir.write("a.ini", exact + "\r\n")), exact);
    EXPECT_EQ(readDeviceSettings(dir.write("b.ini", exact + "yz\n")), exact);
    EXPECT_EQ(readDeviceSettings(dir.write("c.ini", std::string(126, 'x') + "\r\n")),
              std::string(126, 'x'));
    EXPECT_EQ(readDeviceSettings(dir.write("d.ini", std::string(300, 'q'))), std::string(127, 'q'));
}

TEST(DeviceSettings, DescriptionsFitTheSettingsFile) {
    EXPECT_EQ(limitDescription("short"), "short");
    EXPECT_EQ(limitDescription(std::string(200, 'a')).size(), 127u);
    // 126 ASCII bytes then a two-byte character: cutting at 127 would split it.
    const std::string cut = limitDescription(std::string(126, 'a') + "\xC3\xA9" + "b");
    EXPECT_EQ(cut, std::string(126, 'a'));
}

TEST(DeviceSettings, WriteReplacesTheFileExactly) {
    TempDir dir;
    const auto file = dir / kDeviceSettingsFile;
    ASSERT_TRUE(writeDeviceSettings(file, "old port, a longer name than the new one"));
    ASSERT_TRUE(writeDeviceSettings(file, "FLUID Synth (4211): Synth input port (4211:0)"));
    EXPECT_EQ(contents(file), "FLUID Synth (4211): Synth input port (4211:0)");
    EXPECT_EQ(readDeviceSettings(file), "FLUID Synth (4211): Synth input port (4211:0)");
    ASSERT_TRUE(writeDeviceSettings(file, ""));
    EXPECT_EQ(contents(file), "");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    const mode_t umask = ::umask(0);
    ::umask(umask);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~umask);
}

TEST(DeviceSettings, WriteKeepsThePermissionBitsAndALinkToTheFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "shared");
    const auto real = dir.write("shared/quelvane.ini", "old");
    std::filesystem::permissions(real, std::filesystem::perms(0600));
    std::filesystem::create_symlink("shared/quelvane.ini", dir / kDeviceSettingsFile);

    ASSERT_TRUE(writeDeviceSettings(dir / kDeviceSettingsFile, "Software Synthesizer"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / kDeviceSettingsFile));
    EXPECT_EQ(contents(real), "Software Synthesizer");
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "shared"), {}), 1);
}

TEST(DeviceSettings, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    const auto file = dir / kDeviceSettingsFile;
    ASSERT_TRUE(writeDeviceSettings(file, "kept"));
    EXPECT_FALSE(writeDeviceSettings(dir / "missing-folder" / kDeviceSettingsFile, "x"));
    // A folder in the way of the rename makes the final step fail.
    std::filesystem::create_directory(dir / "blocked");
    std::filesystem::create_directory(dir / "blocked" / "inner");
    EXPECT_FALSE(writeDeviceSettings(dir / "blocked", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "blocked"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    EXPECT_EQ(contents(file), "kept");
}

class DeviceSettingsAsUser : public AtomicFileAsUser {
  protected:
    Outcome writeAsUser(const std::filesystem::path& file, const std::string& text,
                        const std::filesystem::path& workingDir = {}) const {
        return asUser([&](std::string& reason) { return writeDeviceSettings(file, text, &reason); },
                      workingDir);
    }
};

// An installed game keeps its settings in a folder of their own, not where it was started from:
// the file there is replaced whole, its temporary file made beside it.
TEST_F(DeviceSettingsAsUser, ReplacesAFileInAnotherFolderThanTheWorkingDirectory) {
    const auto working = ownFolder("working");
    const auto data = ownFolder("data");
    const auto file = ownFile(data / kDeviceSettingsFile, "old", std::filesystem::perms(0644));
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    makeReadOnly(working);

    const Outcome outcome = writeAsUser("../data/MidiDevice.ini", "Software Synthesizer", working);
    EXPECT_TRUE(outcome.saved) << outcome.reason;
    EXPECT_EQ(contents(file), "Software Synthesizer");
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    // A new file, not the old one rewritten in place.
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(working), {}), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data), {}), 1);
}

// An install where only the settings file was made writable: the file is rewritten in place.
TEST_F(DeviceSettingsAsUser, WritesInPlaceInAFolderTheUserCannotWriteTo) {
    const auto folder = ownFolder("install");
    const auto file = ownFile(folder / kDeviceSettingsFile, "a longer old port name",
                              std::filesystem::perms(0620));
    makeReadOnly(folder);
    const Outcome outcome = writeAsUser(file, "Software Synthesizer");
    EXPECT_TRUE(outcome.saved) << outcome.reason;
    EXPECT_EQ(contents(file), "Software Synthesizer");
    EXPECT_EQ(readDeviceSettings(file), "Software Synthesizer");
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0620));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(DeviceSettingsAsUser, SaysWhyWhenTheFileCanNeitherBeWrittenNorReplaced) {
    const auto folder = ownFolder("install");
    const auto file = ownFile(folder / kDeviceSettingsFile, "old", std::filesystem::perms(0444));
    makeReadOnly(folder);
    const Outcome outcome = writeAsUser(file, "Software Synthesizer");
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.reason, "Permission denied");
    EXPECT_EQ(contents(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace
