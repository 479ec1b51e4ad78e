#include "game/world/ObjectLists.h"

#include <gtest/gtest.h>

#include <string>

#include "game/gfx/Display.h"
#include "game/world/Projectile.h"
#include "platform/Clock.h"
#include "platform/Platform.h"

namespace quelvane {
namespace {

struct Counted {
    explicit Counted(int id) : id(id) {}
    int id;
};

struct LoggedItem : Pickup {
    LoggedItem(int32_t x, int32_t y, uint32_t life, std::string* log) : Pickup(x, y), log(log) {
        lifetime = life;
        width = 23;
        height = 28;
    }
    void draw(Display&) override { *log += "d"; }
    void apply() override { *log += "a"; }
    std::string* log;
};

struct TestBolt : Projectile {
    TestBolt(float px, float py) {
        x = px;
        y = py;
        damage = 2;
        width = 5;
        sheetHeight = 20;
    }
    bool update(Display&) override { return true; }
    void draw(Display&) override {}
};

class ObjectListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::useClock(&clock);
        aliens.clear();
        clearPickups();
    }
    void TearDown() override {
        aliens.clear();
        clearPickups();
        platform::useClock(nullptr);
    }

    Alien alienAt(float x, float y, int32_t hp = kAlienHitPoints) {
        Alien a;
        a.x = x;
        a.y = y;
        a.hitPoints = hp;
        return a;
    }

    platform::VirtualClock clock{0xFFFFFF00u};  // items spawn just before the tick count wraps
    Display display;
};

TEST_F(ObjectListsTest, WalkVisitsEachObjectOnceWhileRemovingAndAppending) {
    OwningList<Counted> list;
    for (int id = 0; id < 5; ++id)
        list.push_back(std::make_unique<Counted>(id));
    std::vector<int> visited;
    walkRemoving(list, [&](Counted& c) {
        visited.push_back(c.id);
        if (c.id == 1)
            list.push_back(std::make_unique<Counted>(9));  // appended mid-walk
        return c.id == 1 || c.id == 2;                     // two neighbours removed
    });
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 9}));
    std::vector<int> left;
    for (const auto& c : list)
        left.push_back(c->id);
    EXPECT_EQ(left, (std::vector<int>{0, 3, 4, 9}));
}

TEST_F(ObjectListsTest, ItemsAreDrawnThenCollectedOrExpiredAcrossTheTickWrap) {
    std::string near, far, late;
    addPickup(std::make_unique<LoggedItem>(300, 300, 15000, &near));
    addPickup(std::make_unique<LoggedItem>(10, 10, 15000, &far));
    addPickup(std::make_unique<LoggedItem>(500, 10, 12500, &late));

    updatePickups(display, 310, 310);
    EXPECT_EQ(near, "da");
    EXPECT_EQ(far, "d");
    ASSERT_EQ(pickups.size(), 2u);

    clock.advance(12499);  // past the wrap, one millisecond short of the shorter lifetime
    updatePickups(display, 310, 310);
    EXPECT_EQ(pickups.size(), 2u);
    clock.advance(1);
    updatePickups(display, 310, 310);
    EXPECT_EQ(late, "ddd");
    ASSERT_EQ(pickups.size(), 1u);

    // Collected in the very frame its lifetime ends: it counts as collected.
    clock.advance(2500);
    updatePickups(display, 15, 15);
    EXPECT_EQ(far, "dddda");
    EXPECT_TRUE(pickups.empty());
}

TEST_F(ObjectListsTest, AProjectileDamagesOnlyTheFirstAlienItOverlaps) {
    aliens.push_back(alienAt(100, 100));
    aliens.push_back(alienAt(110, 100));
    TestBolt bolt(120, 110);
    EXPECT_TRUE(bolt.hitAliens(display));
    EXPECT_EQ(aliens[0].hitPoints, kAlienHitPoints - 2);
    EXPECT_EQ(aliens[1].hitPoints, kAlienHitPoints);

    TestBolt miss(400, 400);
    EXPECT_FALSE(miss.hitAliens(display));
}

TEST_F(ObjectListsTest, ADestroyedAlienIsRemovedAtOnce) {
    aliens.push_back(alienAt(100, 100, 2));
    aliens.push_back(alienAt(300, 100));
    TestBolt first(120, 110), second(120, 110);
    EXPECT_TRUE(first.hitAliens(display));
    ASSERT_EQ(aliens.size(), 1u);
    EXPECT_EQ(aliens[0].x, 300);
    EXPECT_FALSE(second.hitAliens(display));
}

}  // namespace
}  // namespace quelvane
