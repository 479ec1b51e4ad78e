#include "game/loop/GameOverScreen.h"

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/loop/Globals.h"
#include "game/loop/TitleScreen.h"
#include "game/player/Ship.h"
#include "game/scores/HighScores.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/screens/ScreenKeys.h"
#include "game/world/ObjectLists.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

constexpr uint32_t kGameOverGuard = 500;  // ms before the game-over screen takes Attack

}  // namespace

void runGameOverScreen() {
    {
        ScreenScope screen(Screen::GameOver);
        const uint32_t t1 = platform::tickCount();
        forgetActions({platform::Action::Attack});
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
            display.DrawString("Press Attack to restart.", 250, 380, true, rgb(255, 255, 0), 0);
            display.RestoreFont();
            display.ReleaseDC();
            display.Flip(true);
            if (actionPressed(platform::Action::Attack) &&
                platform::tickCount() - t1 > kGameOverGuard) {
                notePass();
                break;
            }
            endPass(passStart);
        }
    }
    checkHighScore();
    runTitleScreen();
}

}  // namespace quelvane
