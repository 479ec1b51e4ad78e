#include "game/loop/WindowProc.h"

#include "game/core/ExitRequest.h"
#include "game/player/Ship.h"
#include "game/scores/HighScores.h"
#include "game/screens/HelpPages.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

// The ship's commands for a key pressed (down) or released; keys the game does not use are
// swallowed. Shift and Alt are the ship's to poll.
void commandShip(int key, bool down) {
    namespace vk = platform::vk;
    switch (key) {
        case vk::kEnter:
        case 'J':
            player.setLimitBreakButton(down);
            return;
        case vk::kCtrl:
        case 'G':
            player.setAttack(down);
            return;
        case vk::kLeft:
        case 'A':
            player.setDirection(Direction::Left, down);
            return;
        case vk::kUp:
        case 'W':
            player.setDirection(Direction::Up, down);
            return;
        case vk::kRight:
        case 'D':
            player.setDirection(Direction::Right, down);
            return;
        case vk::kDown:
        case 'S':
            player.setDirection(Direction::Down, down);
            return;
        case '1':
        case '2':
        case '3':
        case '4':
            if (down)
                numberKeyDown(key - '0');
            else
                numberKeyUp(key - '0');
            return;
        case 'H':
            // Every auto-repeat cycles once more.
            if (down)
                player.cycleWeapon();
            return;
        default:
            return;
    }
}

}  // namespace

void windowProc(const platform::Message& message) {
    switch (message.kind) {
        case platform::MessageKind::Close:
            exitRequested = true;
            break;
        case platform::MessageKind::KeyDown:
            if (message.key == platform::vk::kEscape)
                exitRequested = true;
            else if (message.key == platform::vk::kF1)
                showHelp();
            else if (message.key == platform::vk::kF2)
                showHighScores();
            else
                commandShip(message.key, true);
            break;
        case platform::MessageKind::KeyUp:
            commandShip(message.key, false);
            break;
        default:
            break;
    }
}

}  // namespace quelvane
