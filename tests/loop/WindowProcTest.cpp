#include "game/loop/WindowProc.h"

#include <gtest/gtest.h>

#include "game/core/ExitRequest.h"
#include "game/core/WeaponMode.h"
#include "game/gfx/Display.h"
#include "game/player/NewGame.h"
#include "game/player/Ship.h"
#include "platform/VirtualKeys.h"

namespace quelvane {
namespace {

class WindowProcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        exitRequested = false;
        player.reset(display, kShipStartX, kShipStartY);
    }
    void TearDown() override {
        exitRequested = false;
        for (int key = 1; key <= 4; ++key)
            numberKeyUp(key);
        player.reset(display, kShipStartX, kShipStartY);
        player.previousWeapon = PowerRepeater;  // a new game keeps it; the next test must not
    }
    static void key(int code, bool down) {
        windowProc({down ? platform::MessageKind::KeyDown : platform::MessageKind::KeyUp, code});
    }
};

TEST_F(WindowProcTest, EachKeyOfTheTableCommandsTheShipOnPressAndRelease) {
    struct Binding {
        int code;
        bool Ship::*flag;
    };
    for (const Binding b :
         {Binding{'A', &Ship::leftHeld}, Binding{platform::vk::kLeft, &Ship::leftHeld},
          Binding{'D', &Ship::rightHeld}, Binding{platform::vk::kRight, &Ship::rightHeld},
          Binding{'W', &Ship::upHeld}, Binding{platform::vk::kUp, &Ship::upHeld},
          Binding{'S', &Ship::downHeld}, Binding{platform::vk::kDown, &Ship::downHeld},
          Binding{'G', &Ship::attackHeld}, Binding{platform::vk::kCtrl, &Ship::attackHeld},
          Binding{'J', &Ship::limitBreakHeld},
          Binding{platform::vk::kEnter, &Ship::limitBreakHeld}}) {
        key(b.code, true);
        EXPECT_TRUE(player.*b.flag) << b.code;
        key(b.code, false);
        EXPECT_FALSE(player.*b.flag) << b.code;
    }
    EXPECT_FALSE(exitRequested);
}

TEST_F(WindowProcTest, NumberKeysChordAndHCyclesOnEveryPress) {
    player.hasLasers = true;
    key('1', true);
    key('3', true);
    EXPECT_EQ(player.weapon, PowerRepeater);  // the combination is not owned
    key('1', false);
    key('3', false);
    key('3', true);
    EXPECT_EQ(player.weapon, LaserLinked);
    key('3', false);
    key('H', true);  // the keyboard's auto-repeat cycles again on each repeat
    key('H', true);
    EXPECT_EQ(player.weapon, LaserChained);
    key('H', false);
    EXPECT_EQ(player.weapon, LaserChained);
}

TEST_F(WindowProcTest, ShiftAltAndUnknownKeysAreSwallowedEscAndCloseEndTheGame) {
    for (int code : {platform::vk::kShift, platform::vk::kAlt, int{'Q'}, platform::vk::kF2 + 5}) {
        key(code, true);
        key(code, false);
    }
    EXPECT_EQ(player.weapon, PowerRepeater);
    EXPECT_FALSE(exitRequested);
    key(platform::vk::kEscape, false);
    EXPECT_FALSE(exitRequested);
    key(platform::vk::kEscape, true);
    EXPECT_TRUE(exitRequested);
    exitRequested = false;
    windowProc({platform::MessageKind::Close});
    EXPECT_TRUE(exitRequested);
}

}  // namespace
}  // namespace quelvane
