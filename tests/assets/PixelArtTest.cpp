#include "tools/assetgen/PixelArt.h"

#include <gtest/gtest.h>

using assetgen::parsePixelArt;

TEST(PixelArt, ReadsPaletteAndRows) {
    std::string error;
    auto image = parsePixelArt("# a comment\n. 000000\nR ff0000\nb 0000Ff\n---\nR.b\n.bR\n", error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->width(), 3);
    EXPECT_EQ(image->height(), 2);
    EXPECT_EQ(image->at(0, 0), 0xFF0000u);
    EXPECT_EQ(image->at(1, 0), 0u);
    EXPECT_EQ(image->at(2, 0), 0x0000FFu);
    EXPECT_EQ(image->at(2, 1), 0xFF0000u);
}

TEST(PixelArt, RefusesBrokenArtWithTheLineToBlame) {
    std::string error;
    EXPECT_FALSE(parsePixelArt(". 000000\n---\n..\n.x\n", error));
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
    EXPECT_FALSE(parsePixelArt(". 000000\n---\n...\n..\n", error));
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
    EXPECT_FALSE(parsePixelArt("R red\n---\nR\n", error));
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    EXPECT_FALSE(parsePixelArt(". 000000\n---\n", error));
}
