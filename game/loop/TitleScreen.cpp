#include "game/loop/TitleScreen.h"

#include "audio/AudioSystem.h"
#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/loop/Globals.h"
#include "game/loop/MainLoop.h"
#include "game/player/NewGame.h"
#include "game/player/Ship.h"
#include "game/screens/HelpPages.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/screens/ScreenKeys.h"
#include "game/world/Assets.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

using platform::Action;

constexpr uint32_t kTitleGuard = 300;  // ms before the title screen takes a key
constexpr ColourRef kCyan = rgb(0, 255, 255);
constexpr ColourRef kYellow = rgb(255, 255, 0);

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
    forgetActions({Action::Attack});
    SurfacePtr titleImage = loadSprite(display, "title.bmp");
    setUpNewGame(display);

    while (!exitRequested) {
        const uint32_t passStart = platform::tickCount();
        drainDropping(false);
        drawTitle(titleImage.get());
        // The keys are asked in every pass, so a press during the guard is forgotten.
        const bool guarded = platform::tickCount() - t0 <= kTitleGuard;
        if (actionPressed(Action::Attack) && !guarded) {
            noteNewGame();
            notePass();
            break;
        }
        if (actionPressed(Action::Help) && !guarded) {
            // The F1 that opened the pages must not also dismiss the first one.
            platform::Message stale;
            while (platform::peekKeyDownMessage(stale)) {
            }
            showHelp();
            forgetActions({Action::Quit, Action::Attack});
            t0 = platform::tickCount();
        } else if (actionPressed(Action::Quit) && !guarded) {
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

}  // namespace quelvane
