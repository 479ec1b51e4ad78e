// The bottom line of the screen and the LimitBreak bar in it.
#include "game/player/Hud.h"
#include "game/core/Geometry.h"

#include <string>

#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/player/Ship.h"

namespace quelvane {

namespace {

constexpr ColourRef kLabelColour = rgb(0, 255, 255);
constexpr ColourRef kValueColour = rgb(255, 255, 0);
constexpr int32_t kLineAboveBottom = 18;

void text(Display& display, const std::string& s, int32_t x, int32_t y, ColourRef colour) {
    display.DrawString(s.c_str(), x, y, true, colour, 0);
}

}  // namespace

const char* weaponLabel(int32_t weapon) {
    static constexpr const char* kLabels[] = {"Power Repeater",
                                              "Laser Cannons (chained)",
                                              "Laser Cannons (linked)",
                                              "Homing Missiles",
                                              "R / LC(C)",
                                              "R / LC(L)",
                                              "R / M",
                                              "LC(C) / M",
                                              "LC(L) / M"};
    return weapon >= 0 && weapon < 9 ? kLabels[weapon] : "";
}

ColourRef shieldsColour(int32_t shields) {
    if (shields >= 20)
        return rgb(0, 255, 0);
    if (shields >= 10)
        return rgb(255, 175, 0);
    return rgb(255, 0, 0);
}

void Ship::drawHud(Display& display) {
    const int32_t y = display.GetScreenRect().bottom - kLineAboveBottom;
    display.SelectFont(hudFont.get());
    text(display, "Score:", 530, y, kLabelColour);
    text(display, std::to_string(score), 576, y, kValueColour);
    text(display, "Weapon:", 285, y, kLabelColour);
    text(display, weaponLabel(weapon), 349, y, kValueColour);
    text(display, "Shields:", 5, y, kLabelColour);
    text(display, std::to_string(shields), 63, y, shieldsColour(shields));
    if (limitBreakReady)
        text(display, "LimitBreak! Press the LimitBreak button to activate!", 150, 250,
             kLabelColour);
    text(display, "LimitBreak:", barRect.left - 82, y, kLabelColour);
    display.RestoreFont();
}

void Ship::drawLimitBreakBar(Display& display) {
    display.FillRect(barFrameColour, barRect.left, barRect.top, barRect.right, barRect.bottom);
    // Full while the meter is empty, shrinking from the right as it fills.
    const float used = static_cast<float>(barRect.right - barRect.left - 2) *
                       static_cast<float>(limitBreakMeter) * 5.5555556e-05f;
    const auto right = truncateTowardZero(static_cast<float>(barRect.right - 1) - used);
    display.FillRect(barColour, barRect.left + 1, barRect.top + 1, right, barRect.bottom - 1);
}

}  // namespace quelvane
