// Assets that cannot be loaded are named on standard error, once each, with the reason.
#include <gtest/gtest.h>

#include "audio/AudioSystem.h"
#include "audio/SoundBuffer.h"
#include "game/gfx/Display.h"
#include "game/world/Assets.h"
#include "support/TempDir.h"

namespace quelvane {
namespace {

class AssetReport : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        setAssetFolder(dir.path());
    }
    void TearDown() override { setAssetFolder({}); }

    // The line the game writes for a file of the asset folder.
    std::string line(const std::string& name, const std::string& why) {
        return "quelvane: cannot load " + (dir / name).string() + ": " + why + "\n";
    }

    TempDir dir;
    Display display;
    AudioSystem audio{AudioSystem::Options{AudioSystem::Output::Offline, {}}};
};

TEST_F(AssetReport, EachAssetThatCannotBeLoadedIsNamedOnceWithWhy) {
    ASSERT_TRUE(writeBmp((dir / "fine.bmp").string(), Bitmap{2, 1, {0x00FF00, 0}}));
    dir.write("drawing.bmp", "a PNG renamed");
    dir.write("quiet.wav", std::string("RIFF\4\0\0\0WAVE", 12));
    dir.write("tune.mid", "MThd");

    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadSprite(display, "fine.bmp"));
    EXPECT_FALSE(loadSprite(display, "ship.bmp"));
    EXPECT_FALSE(loadSprite(display, "drawing.bmp"));
    // Loaded again, as the title screen loads its picture each time: nothing more is said.
    EXPECT_FALSE(loadSprite(display, "ship.bmp"));
    EXPECT_FALSE(loadSound(audio, "quiet.wav"));
    EXPECT_FALSE(loadSound(audio, "laser.wav"));
    EXPECT_FALSE(loadMusic(audio, "tune.mid"));
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(said, line("ship.bmp", "no such file") +
                        line("drawing.bmp", "not a BMP (it does not start with BM)") +
                        line("quiet.wav", "no data chunk") + line("laser.wav", "no such file") +
                        line("tune.mid", "not a Standard MIDI File, or a damaged one"));
}

TEST_F(AssetReport, AssetsThatLoadSayNothing) {
    ASSERT_TRUE(writeBmp((dir / "fine.bmp").string(), Bitmap{1, 1, {0x123456}}));
    testing::internal::CaptureStderr();
    SurfacePtr sprite = loadSprite(display, "fine.bmp");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->colourKey(), 0u) << "black is every sprite's transparent colour";
}

}  // namespace
}  // namespace quelvane
