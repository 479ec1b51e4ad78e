// The generator itself: the same bytes on every run, and the review sheet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "game/gfx/BitmapFile.h"
#include "support/TempDir.h"
#include "tools/assetgen/MidiFile.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Generator : public ::testing::Test {
  protected:
    int run(const std::string& args) {
        return std::system(
            (std::string(QUELVANE_RUN_DIR) + "/assetgen " + args + " 2>/dev/null").c_str());
    }
    TempDir temp;
    const fs::path& dir = temp.path();
};

TEST_F(Generator, WritesTheSameBytesAsTheBuildDid) {
    ASSERT_EQ(run("'" + dir.string() + "'"), 0);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        fs::path built = fs::path(QUELVANE_RUN_DIR) / entry.path().filename();
        ASSERT_TRUE(fs::exists(built)) << built;
        EXPECT_TRUE(slurp(entry.path()) == slurp(built)) << entry.path().filename();
        ++files;
    }
    EXPECT_EQ(files, 18 + 7 + 2);
}

TEST_F(Generator, DrawsTheReviewSheet) {
    fs::path sheet = dir / "sheet.bmp";
    ASSERT_EQ(run("--sheet '" + sheet.string() + "'"), 0);
    auto bitmap = quelvane::readBmp(sheet.string());
    ASSERT_TRUE(bitmap);
    // Wide enough for the title at 4x, tall enough for every row of frames.
    EXPECT_GE(bitmap->width, 486 * 4);
    EXPECT_GT(bitmap->height, 1000);
}

TEST_F(Generator, FailsOnMissingArtOrBadArguments) {
    EXPECT_NE(run("--art '" + (dir / "none").string() + "' '" + dir.string() + "'"), 0);
    EXPECT_FALSE(fs::exists(dir / "ship.bmp"));
    EXPECT_NE(run(""), 0);
    EXPECT_NE(run("--sheet"), 0);
}

// Small files sit in the stream's buffer until they are closed, so only the close finds the disk
// full.
TEST_F(Generator, AFullDiskIsAnError) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    assetgen::MidiTrack track;
    track.end(96);
    EXPECT_FALSE(assetgen::writeMidi("/dev/full", 96, {track}));

    fs::create_symlink("/dev/full", dir / "bullet.wav");
    EXPECT_NE(run("'" + dir.string() + "'"), 0);
}

}  // namespace
