#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include "platform/KeyState.h"
#include "platform/VirtualKeys.h"

namespace {

using namespace platform;

TEST(VirtualKeysTest, ScancodesMapToTheGamesCodes) {
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_A), 65);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_Z), 90);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_1), 49);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_9), 57);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_0), 48);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LCTRL), 17);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RCTRL), 17);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 16);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RALT), 18);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), 13);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F1), 112);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F2), 113);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_SEMICOLON), 186);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_GRAVE), 192);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LEFTBRACKET), 219);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_APOSTROPHE), 222);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_BACKSPACE), 8);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_CAPSLOCK), 0);
}

TEST(VirtualKeysTest, KeysAreNamedByCodeLetterDigitOrName) {
    EXPECT_EQ(virtualKeyFromName("G"), 71);
    EXPECT_EQ(virtualKeyFromName("g"), 71);
    EXPECT_EQ(virtualKeyFromName("1"), 49);
    EXPECT_EQ(virtualKeyFromName("17"), 17);
    EXPECT_EQ(virtualKeyFromName("Ctrl"), 17);
    EXPECT_EQ(virtualKeyFromName("ENTER"), 13);
    EXPECT_EQ(virtualKeyFromName("esc"), 27);
    EXPECT_EQ(virtualKeyFromName("Tab"), 9);
    EXPECT_EQ(virtualKeyFromName("F1"), 112);
    EXPECT_EQ(virtualKeyFromName("f12"), 123);
    EXPECT_EQ(virtualKeyFromName("Left"), 37);
    EXPECT_FALSE(virtualKeyFromName(""));
    EXPECT_FALSE(virtualKeyFromName("F13"));
    EXPECT_FALSE(virtualKeyFromName("300"));
    EXPECT_FALSE(virtualKeyFromName("Hyper"));
}

TEST(KeyStateTest, BitFifteenWhileDownAndBitZeroOncePerPress) {
    KeyState keys;
    EXPECT_EQ(keys.query(17), 0);
    keys.keyDown(17);
    EXPECT_EQ(keys.query(17), 0x8001);
    EXPECT_EQ(keys.query(17), 0x8000) << "the press was reported by the previous query";
    keys.keyUp(17);
    EXPECT_EQ(keys.query(17), 0);
    // Pressed and released between two queries: the press is still seen.
    keys.keyDown(71);
    keys.keyUp(71);
    EXPECT_EQ(keys.query(71), 1);
    EXPECT_EQ(keys.query(71), 0);
    // Out-of-range codes are ignored, not written past the table.
    keys.keyDown(-1);
    keys.keyDown(4096);
    EXPECT_EQ(keys.query(4096), 0);
}

}  // namespace
