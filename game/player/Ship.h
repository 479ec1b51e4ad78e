#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/core/WeaponMode.h"
#include "game/gfx/Rect.h"
#include "game/player/LimitBreak.h"
#include "game/world/Explosion.h"
#include "game/world/ObjectLists.h"
#include "game/world/PlayerShip.h"
#include "game/world/Projectile.h"

namespace quelvane {

class Display;

inline constexpr int32_t kMaxShields = 30;

// The four ways the ship is steered; two at right angles held together fly a diagonal.
enum class Direction { Left, Right, Up, Down };

// The player's craft, steered by the keys, and with `human` unset a reinforcement fighter steered
// by the same commands from the LimitBreak.
class Ship final : public PlayerShip {
  public:
    explicit Ship(bool human = true);
    ~Ship();
    Ship(const Ship&) = delete;
    Ship& operator=(const Ship&) = delete;

    // Commands. The later of two opposite directions wins and the earlier one comes back when the
    // later is released.
    void setDirection(Direction direction, bool down);
    void setAttack(bool down) { attackHeld = down; }
    void setLimitBreakButton(bool down) { limitBreakHeld = down; }
    // Takes the mode when it is owned (a fighter takes any); a refused mode changes nothing.
    void selectWeapon(WeaponMode mode);
    // The single weapons in order, skipping those not owned; a combination goes back to 0.
    void cycleWeapon();
    void swapWeapon();

    // Starts a new game or a new fighter at (x, y); keeps the score and the previous weapon.
    void reset(Display& display, int32_t x, int32_t y);
    void resetScore() { score = 0; }
    // Moves, polls Shift and Alt, moves the shots and fires; nothing while exploding.
    void update(Display& display);
    void erase(Display& display);
    // The ship or its death explosion, then its shots. When the death explosion ends, the game
    // over sequence runs before this returns.
    void draw(Display& display);
    void clearProjectiles() { projectiles.clear(); }
    void fire();

    Point position() const override { return {x, y}; }
    bool applyDamage(int32_t damage) override;
    void addScore(int32_t points) override { score += points; }
    void addShields(int32_t amount) override;
    void grantLimitBreak() override { limitBreakReady = true; }
    void grantWeapon(int32_t kind) override;
    void unlockCombination(WeaponMode mode) override;
    int32_t ownedWeapons() const override;
    int32_t ownedCombinations() const override;
    int32_t getScore() const { return score; }

    // The LimitBreak charges while the shields are below 20, faster the lower they are.
    void chargeLimitBreak();
    // One step of the running LimitBreak: its message, then its volleys or its squadrons.
    void limitBreakTick(Display& display);
    // The bottom line: shields, LimitBreak, weapon and score, and the prompt of a ready LimitBreak.
    // Needs the device context.
    void drawHud(Display& display);
    // The LimitBreak bar in the bottom line; needs the surface free of lock and device context.
    void drawLimitBreakBar(Display& display);

    bool leftHeld = false, rightHeld = false, upHeld = false, downHeld = false;
    bool leftSuspended = false, rightSuspended = false, upSuspended = false, downSuspended = false;
    bool attackHeld = false;
    bool limitBreakHeld = false;
    bool limitBreakReady = false;
    bool limitBreakActive = false;
    Rect field;
    Rect eraseRect;
    uint32_t barColour = 0;
    int32_t x = 0;
    int32_t y = 0;
    bool human;
    int32_t speed = 3;
    WeaponMode weapon = PowerRepeater;
    WeaponMode previousWeapon = PowerRepeater;
    int32_t shields = kMaxShields;
    int32_t score = 0;
    int32_t limitBreakMeter = 0;
    Rect barRect;
    int16_t laserSide = -1;  // the cannon of the next chained bolt: -1 left, +1 right
    uint32_t lastRepeaterShot = 0;
    uint32_t lastLaserShot = 0;  // shared by both laser modes
    uint32_t lastMissileShot = 0;
    OwningList<Projectile> projectiles;
    OwningList<Ship> leftSquadron;
    OwningList<Ship> rightSquadron;
    std::array<bool, 5> combinationOwned{};
    int32_t limitBreakStep = 0;
    LimitBreakKind limitBreakKind = CoverFire;
    bool exploding = false;
    Explosion deathExplosion;
    bool hasLasers = false;
    bool hasMissiles = false;

  private:
    bool owns(WeaponMode mode) const;
    void fireRepeater();
    void fireLasersChained();
    void fireLasersLinked();
    void fireMissiles();
    void launchSquadrons(Display& display);
    void updateSquadrons(Display& display);
    void endLimitBreak();
};

// The ship the human steers, for the whole run.
extern Ship player;

// Number keys 1 to 4 are chords: one picks a single weapon, a second one pressed while the first
// is held picks their combination. The held keys survive new games.
void numberKeyDown(int key);
void numberKeyUp(int key);
// Which of the number keys 1 to 4 are held, at 0 to 3.
extern std::array<bool, 4> numberKeyHeld;

// What runs when the ship's death explosion has ended; by default the run ends.
void setGameOverHandler(void (*handler)());

void loadShipAssets(Display& display);
void releaseShipAssets();

}  // namespace quelvane
