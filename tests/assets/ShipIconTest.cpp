#include "game/gfx/ShipIcon.h"

#include <gtest/gtest.h>

#include <set>

TEST(ShipIcon, IsASixteenColourFighterOnAClearGround) {
    std::array<uint32_t, 32 * 32> icon = quelvane::shipIcon();
    std::set<uint32_t> colours(icon.begin(), icon.end());
    EXPECT_LE(colours.size(), 16u);
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            uint32_t p = icon[static_cast<size_t>(y * 32 + x)];
            uint32_t alpha = p >> 24;
            // Fully clear or fully solid; clear pixels carry no colour.
            ASSERT_TRUE(alpha == 0 || alpha == 0xFF) << x << "," << y;
            EXPECT_TRUE(alpha != 0 || p == 0) << x << "," << y;
            opaque += alpha != 0 ? 1 : 0;
            // The fighter is symmetric about its long axis.
            EXPECT_EQ(p, icon[static_cast<size_t>(y * 32 + 31 - x)]) << x << "," << y;
        }
    }
    EXPECT_GT(opaque, 32 * 32 / 5);
    EXPECT_EQ(icon[0] >> 24, 0u);
    EXPECT_EQ(icon[32 * 32 - 1] >> 24, 0u);
}
