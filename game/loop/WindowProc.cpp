#include "game/loop/WindowProc.h"

#include "game/core/ExitRequest.h"
#include "game/loop/WorldTablePage.h"
#include "game/player/Ship.h"
#include "game/scores/HighScores.h"
#include "game/screens/HelpPages.h"
#include "platform/Controls.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

using platform::Action;

// The world table's page, on a key no control takes (F3 unless controls.ini binds it).
constexpr int kWorldTableKey = platform::vk::kF1 + 2;

// The ship's commands for a key pressed (down) or released, by what the key is bound to; keys bound
// to nothing are swallowed. Shift, Ctrl, Alt and the pad keys change weapons when the ship polls
// them, so they do nothing here.
void commandShip(Action action, int key, bool down) {
    switch (action) {
        case Action::LimitBreak:
            player.setLimitBreakButton(down);
            return;
        case Action::Attack:
            player.setAttack(down);
            return;
        case Action::MoveLeft:
            player.setDirection(Direction::Left, down);
            return;
        case Action::MoveUp:
            player.setDirection(Direction::Up, down);
            return;
        case Action::MoveRight:
            player.setDirection(Direction::Right, down);
            return;
        case Action::MoveDown:
            player.setDirection(Direction::Down, down);
            return;
        case Action::Weapon1:
        case Action::Weapon2:
        case Action::Weapon3:
        case Action::Weapon4: {
            const int number = static_cast<int>(action) - static_cast<int>(Action::Weapon1) + 1;
            if (down)
                numberKeyDown(number);
            else
                numberKeyUp(number);
            return;
        }
        case Action::NextWeapon:
            // Every auto-repeat cycles once more.
            if (down && !platform::actsWhenPolled(key))
                player.cycleWeapon();
            return;
        case Action::PreviousWeapon:
            if (down && !platform::actsWhenPolled(key))
                player.swapWeapon();
            return;
        default:
            return;
    }
}

}  // namespace

void windowProc(const platform::Message& message) {
    const auto action = platform::controls().actionOf(message.key);
    switch (message.kind) {
        case platform::MessageKind::Close:
            exitRequested = true;
            break;
        case platform::MessageKind::KeyDown:
            if (action == Action::Quit)
                exitRequested = true;
            else if (action == Action::Help)
                showHelp();
            else if (action == Action::HighScores)
                showHighScores();
            else if (!action && message.key == kWorldTableKey)
                showWorldTable();
            else if (action)
                commandShip(*action, message.key, true);
            break;
        case platform::MessageKind::KeyUp:
            if (action)
                commandShip(*action, message.key, false);
            break;
        default:
            break;
    }
}

}  // namespace quelvane
