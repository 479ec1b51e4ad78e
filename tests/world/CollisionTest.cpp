#include "game/world/Collision.h"

#include <gtest/gtest.h>

#include "game/world/Alien.h"
#include "game/world/Pickup.h"

namespace quelvane {
namespace {

struct TestItem : Pickup {
    TestItem(int32_t x, int32_t y, int32_t w, int32_t h) : Pickup(x, y) {
        width = w;
        height = h;
    }
    void draw(Display&) override {}
    void apply() override {}
};

TEST(CollisionTest, ProjectilesHitTheShrunkAlienBoxIncludingItsEdges) {
    Alien a;
    a.x = 100;
    a.y = 100;  // shrunk box: x 102..139, y 102..135
    // A 7 x 7 bullet touching each edge of the shrunk box.
    EXPECT_TRUE(projectileOverlapsAlien(139, 110, 7, 7, a));
    EXPECT_FALSE(projectileOverlapsAlien(140, 110, 7, 7, a));
    EXPECT_TRUE(projectileOverlapsAlien(95, 110, 7, 7, a));
    EXPECT_FALSE(projectileOverlapsAlien(94, 110, 7, 7, a));
    EXPECT_TRUE(projectileOverlapsAlien(110, 135, 7, 7, a));
    EXPECT_FALSE(projectileOverlapsAlien(110, 136, 7, 7, a));
    EXPECT_TRUE(projectileOverlapsAlien(110, 95, 7, 7, a));
    EXPECT_FALSE(projectileOverlapsAlien(110, 94, 7, 7, a));
    // Float positions are truncated toward zero before the test.
    EXPECT_TRUE(projectileOverlapsAlien(139.9f, 110, 7, 7, a));
    a.x = -10.7f;  // shrunk box starts at trunc(-8.7) = -8
    EXPECT_TRUE(projectileOverlapsAlien(-15, 110, 7, 7, a));
    EXPECT_FALSE(projectileOverlapsAlien(-16, 110, 7, 7, a));
}

TEST(CollisionTest, AlienShotsHitTheShipAlongItsEdges) {
    const int32_t sx = 300, sy = 300;  // ship box 300..325 x 300..340
    EXPECT_TRUE(alienShotHitsShip(325, 310, sx, sy));
    EXPECT_FALSE(alienShotHitsShip(326, 310, sx, sy));
    EXPECT_TRUE(alienShotHitsShip(292, 310, sx, sy));
    EXPECT_FALSE(alienShotHitsShip(291.5f, 310, sx, sy));
    EXPECT_TRUE(alienShotHitsShip(310, 340, sx, sy));
    EXPECT_FALSE(alienShotHitsShip(310, 341, sx, sy));
    EXPECT_TRUE(alienShotHitsShip(310, 292, sx, sy));
    EXPECT_FALSE(alienShotHitsShip(310, 291, sx, sy));
}

TEST(CollisionTest, PickupsAreNotCollectedByTouchingEdges) {
    const TestItem item(100, 100, 23, 28);  // 100..123 x 100..128
    EXPECT_FALSE(pickupTouchesShip(item, 123, 100));
    EXPECT_TRUE(pickupTouchesShip(item, 122, 100));
    EXPECT_FALSE(pickupTouchesShip(item, 75, 100));
    EXPECT_TRUE(pickupTouchesShip(item, 76, 100));
    EXPECT_FALSE(pickupTouchesShip(item, 100, 128));
    EXPECT_TRUE(pickupTouchesShip(item, 100, 127));
    EXPECT_FALSE(pickupTouchesShip(item, 100, 60));
    EXPECT_TRUE(pickupTouchesShip(item, 100, 61));
}

}  // namespace
}  // namespace quelvane
