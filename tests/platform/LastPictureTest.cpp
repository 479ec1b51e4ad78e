#include "platform/LastPicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace platform {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// Rows a little longer than the picture, as a surface's may be.
constexpr int kPitchPixels = kWidth + 8;

TEST(LastPictureTest, PausedItShowsACopyWithTheBannerAndThenTheGamesPictureAgain) {
    std::vector<uint32_t> game(static_cast<size_t>(kPitchPixels) * kHeight, 0x00123456);
    const std::vector<uint32_t> drawn = game;
    LastPicture picture;
    picture.open(kWidth, kHeight);
    picture.setPaused(true);
    EXPECT_EQ(picture.again(), nullptr) << "nothing was shown yet";
    picture.setPaused(false);

    picture.presented(game.data(), kPitchPixels * 4);
    EXPECT_EQ(picture.again(), game.data());
    picture.setPaused(true);
    const uint32_t* paused = picture.again();
    ASSERT_NE(paused, game.data());
    EXPECT_EQ(picture.pitch(), kPitchPixels * 4);
    EXPECT_EQ(game, drawn) << "the game's own picture stays as it drew it";
    const auto at = [paused](int x, int y) { return paused[y * kPitchPixels + x]; };
    EXPECT_EQ(at(0, 0), 0x00123456u);
    EXPECT_EQ(at(kWidth - 1, kHeight - 1), 0x00123456u);
    EXPECT_NE(at(kWidth / 2, kHeight / 2), 0x00123456u) << "the banner is at the centre";

    picture.setPaused(false);
    EXPECT_EQ(picture.again(), game.data());
    picture.setPaused(true);
    picture.close();
    EXPECT_EQ(picture.again(), nullptr) << "a closed window keeps no picture";
}

}  // namespace
}  // namespace platform
