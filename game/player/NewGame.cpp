#include "game/player/NewGame.h"

#include "game/player/Ship.h"
#include "game/world/World.h"

namespace quelvane {

void setUpNewGame(Display& display) {
    player.resetScore();
    player.reset(display, kShipStartX, kShipStartY);
    clearForNewGame();
}

platform::Observers<>& gameStarts() {
    static platform::Observers<> observers;
    return observers;
}

}  // namespace quelvane
