#include "audio/DeviceSettings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "tests/audio/TempDir.h"

namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DeviceSettings, MissingFileGivesNothing) {
    TempDir dir;
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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readDeviceSettings(dir.write(kDeviceSettingsFile, c.file)), c.name) << c.file;
    }
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
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
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

}  // namespace
