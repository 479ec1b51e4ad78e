#pragma once

namespace quelvane {

// Clearing the field. A new game clears the aliens, the items and the wave count; alien shots and
// explosions still under way are left to end on their own, as they do in play.
void clearForNewGame();

// Everything on the field gone, the alien shots and explosions too, and the ship's destruction
// forgotten: the field as at start-up, for the shutdown and for tests.
void clearWorld();

}  // namespace quelvane
