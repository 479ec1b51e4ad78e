#include "game/loop/Screens.h"

#include "audio/AudioSystem.h"
#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/loop/Globals.h"
#include "game/player/Ship.h"
#include "game/scores/HighScores.h"
#include "game/scores/Pass.h"
#include "game/scores/TextPage.h"
#include "game/world/Alien.h"
#include "game/world/Assets.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

namespace vk = platform::vk;

constexpr uint32_t kTitleGuard = 300;     // ms before the title screen takes a key
constexpr uint32_t kGameOverGuard = 500;  // ms before the game-over screen takes Attack
constexpr ColorRef kCyan = rgb(0, 255, 255);
constexpr ColorRef kYellow = rgb(255, 255, 0);
constexpr ColorRef kRed = rgb(255, 0, 0);

bool keyPressed(int key) {
    return platform::asyncKeyState(key) != 0;
}

// G or Ctrl down, or pressed since they were last asked about.
bool attackPressed() {
    return keyPressed('G') || keyPressed(vk::kCtrl);
}

// Asking forgets an earlier press.
void forgetKeys(std::initializer_list<int> keys) {
    for (int key : keys)
        platform::asyncKeyState(key);
}

// Key-down messages (and whichever other kinds the screen drops) are removed unseen; every other
// message goes to the window procedure.
void drainDropping(bool dropMouseMoves) {
    platform::Message message;
    while (platform::peekMessage(message)) {
        if (message.kind == platform::MessageKind::KeyDown ||
            (dropMouseMoves && message.kind == platform::MessageKind::MouseMove))
            continue;
        dispatchMessage(message);
    }
}

void setUpNewGame() {
    player.resetScore();
    player.reset(display, 310, 360);
    aliens.clear();
    clearPickups();
    wave = 0;
}

void drawTitle(Surface* titleImage) {
    eraseStars();
    player.erase(display);
    moveStars();
    player.draw(display);
    // Without its picture the screen goes on without it.
    if (titleImage)
        display.DrawSurface(titleImage, (display.GetScreenRect().right >> 1) - 243, 90, nullptr);
    display.GetDC();
    display.SelectFont(hudFont.get());
    display.DrawString("F1 = Help", 10, 10, true, kCyan, 0);
    display.DrawString("Press Attack to begin!", 250, 250, true, kYellow, 0);
    display.RestoreFont();
    display.ReleaseDC();
    display.Flip(true);
}

}  // namespace

void runTitleScreen() {
    ScreenScope screen(Screen::Title);
    audioSystem->StopMusic();
    audioSystem->PlayMusic(titleMusic.get());
    uint32_t t0 = platform::tickCount();
    forgetKeys({'G', vk::kCtrl});
    SurfacePtr titleImage = loadSprite(display, "title.bmp");
    setUpNewGame();

    while (!exitRequested) {
        const uint32_t passStart = platform::tickCount();
        drainDropping(false);
        drawTitle(titleImage.get());
        // The keys are asked in every pass, so a press during the guard is forgotten.
        const bool guarded = platform::tickCount() - t0 <= kTitleGuard;
        if (attackPressed() && !guarded) {
            notePass();
            break;
        }
        if (keyPressed(vk::kF1) && !guarded) {
            // The F1 that opened the pages must not also dismiss the first one.
            platform::Message stale;
            while (platform::peekKeyDownMessage(stale)) {
            }
            showHelp();
            forgetKeys({vk::kEscape, 'G', vk::kCtrl});
            t0 = platform::tickCount();
        } else if (keyPressed(vk::kEscape) && !guarded) {
            exitRequested = true;
            notePass();
            break;
        }
        endPass(passStart);
    }

    const Rect screenRect = display.GetScreenRect();
    display.FillRect(eraseColour, screenRect.left, screenRect.top, screenRect.right,
                     screenRect.bottom);
    titleImage.reset();
    audioSystem->StopMusic();
    audioSystem->PlayMusic(backgroundMusic.get());
}

void runGameOverScreen() {
    {
        ScreenScope screen(Screen::GameOver);
        const uint32_t t1 = platform::tickCount();
        forgetKeys({'G', vk::kCtrl});
        clearPickups();
        while (!exitRequested) {
            const uint32_t passStart = platform::tickCount();
            drainDropping(true);
            eraseStars();
            moveStars();
            player.drawLimitBreakBar(display);
            display.GetDC();
            player.drawHud(display);
            display.SelectFont(hudFont.get());
            display.DrawString("G A M E   O V E R", 260, (display.GetScreenRect().bottom >> 1) - 10,
                               true, rgb(255, 10, 10), 0);
            display.DrawString("Press Attack to restart.", 250, 380, true, kYellow, 0);
            display.RestoreFont();
            display.ReleaseDC();
            display.Flip(true);
            if (attackPressed() && platform::tickCount() - t1 > kGameOverGuard) {
                notePass();
                break;
            }
            endPass(passStart);
        }
    }
    checkHighScore();
    runTitleScreen();
}

void showHelp() {
    ScreenScope screen(Screen::Help);
    const auto helpFont =
        Font::create(platform::screenWidth() >> 6, 0, 300, kFixedPitch | kFamilyModern);
    TextPage page;
    page.items = {
        {TextItem::HasColour | TextItem::HasFont, "Help:\n~~~~~", kYellow, 0, 50, 50, 16,
         hudFont.get()},
        {TextItem::HasLineHeight | TextItem::HasFont, "", 0, 0, 50, 90, 10, helpFont.get()},
        {TextItem::HasColour | TextItem::HasFont, "Press any key to continue...", kRed, 0, 50, 425,
         16, helpFont.get()},
    };
    TextItem& heading = page.items[0];
    TextItem& body = page.items[1];
    TextItem& footer = page.items[2];

    body.text =
        "Game Keys:\n"
        "\n"
        "   Quit                  Esc\n"
        "   Help                  F1\n"
        "   High Scores           F2\n"
        "\n"
        "\n"
        "Controls:\n"
        "\n"
        "   Movement              (W, S, A, D) or Arrow keys\n"
        "\n"
        "   Attack                G or Ctrl\n"
        "   Cycle weapons         H or Shift\n"
        "   Activate LimitBreak   J or Enter\n"
        "\n"
        "   Previous Weapon       Alt\n"
        "\n"
        "\n"
        "Weapons:\n"
        "\n"
        "   1 = Repeater\n"
        "   2 = Laser Cannons (chained)\n"
        "   3 = Laser Cannons (linked)\n"
        "   4 = Homing Missiles\n"
        "   \n"
        "   To directly select a weapon without\n"
        "   having to cycle, you can simply press\n"
        "   the weapon number (1-4) on the keyboard.";
    showTextPage(page);

    heading.text = "Help (continued):\n~~~~~~~~~~~~~~~~~";
    body.text =
        "Weapons (continued):\n"
        "\n"
        "   You can also use combinations of weapons,\n"
        "   if you pick up the upgrades. To select\n"
        "   an acquired combination, simply hold\n"
        "   the key for one of the combination's\n"
        "   weapons, and press the key for the other\n"
        "   weapon.\n"
        "\n"
        "   Note: In order to use lasers and\n"
        "         missiles, you must pick up\n"
        "         the upgrades for them.\n"
        "\n"
        "\n"
        "LimitBreak Info:\n"
        "\n"
        "   If your shields fall below 20, your\n"
        "   LimitBreak meter will begin to go down.\n"
        "   When it reaches empty, a message will\n"
        "   appear on the screen notifying you of\n"
        "   it. Then, select a weapon and press J\n"
        "   to activate the limit break. Each \n"
        "   different weapon has a different\n"
        "   LimitBreak, each of which is useful\n"
        "   in different situations. While you do\n"
        "   not use the LimitBreak, your LimitBreak\n"
        "   meter will not continue to go down.";
    showTextPage(page);

    body.text =
        "Upgrade Help:\n"
        "\n"
        "   As you kill aliens, they will\n"
        "   occasionally drop upgrades. There are\n"
        "   3 kinds of upgrades:\n"
        "\n"
        "   1. Shields           Increases your shields\n"
        "                        by 2\n"
        "\n"
        "   2. Weapons           Upgrades your ship with\n"
        "                        more powerful weapons\n"
        "\n"
        "   2. Combos            Allows you to use multiple\n"
        "                        weapons\n"
        "\n"
        "   3. Free LimitBreak   Gives you an instant\n"
        "                        LimitBreak\n"
        "\n"
        "   To pick up an upgrade, simply run into\n"
        "   it, and it will perform its function.";
    footer.text = "Press any key to return to game...";
    showTextPage(page);
}

}  // namespace quelvane
