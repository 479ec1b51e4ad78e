#include "game/gfx/ShipIcon.h"

#include <cstddef>
#include <utility>

namespace quelvane {

namespace {

// The fighter as it is drawn in the game, in 16 colours or fewer.
constexpr std::pair<char, uint32_t> kPalette[] = {
    {'.', 0x00000000u},  // transparent
    {'G', 0xFFC8CAD8u},  // gun barrel
    {'W', 0xFFFFF8E0u},  // flame core
    {'b', 0xFF123A66u},  // canopy shade
    {'c', 0xFF2FA8E8u},  // canopy
    {'d', 0xFF2C3654u},  // dark hull
    {'g', 0xFF5A5C6Au},  // gun
    {'k', 0xFF10121Cu},  // outline
    {'l', 0xFF8FA3C8u},  // light hull
    {'m', 0xFF52648Cu},  // hull
    {'o', 0xFFFF8A1Cu},  // flame
    {'r', 0xFFA8242Cu},  // wing stripe
    {'y', 0xFFFFD84Au},  // flame
};

constexpr const char* kRows[32] = {
    "...............ll...............", "...............mm...............",
    "...............ll...............", "..............mllm..............",
    "..............mllm..............", ".............dmllmd.............",
    ".........G...dmccmd...G.........", ".........G...dbccbd...G.........",
    "........gGg..dbccbd..gGg........", "........gGg..mbccbm..gGg........",
    "........gGg..mlbblm..gGg........", "........dld..mllllm..dld........",
    "........dld.kmllllmk.dld........", "........dld.dlllllld.dld........",
    "........dldmmllmmllmmdld........", "........dldmlllmmlllmdld........",
    ".......mdldmlrlmmlrlmdldm.......", ".......ldldmlrlmmlrlmdldl.......",
    "......mldldmlrlmmlrlmdldlm......", "......mlmlmmllmmmmllmmlmlm......",
    "......mllllmlldmmdllmllllm......", "......dmlllmmldmmdlmmlllmd......",
    "......kmmmmmmldmmdlmmmmmmk......", ".......ddddmmldmmdlmmdddd.......",
    "...........kdldlldldk...........", "............dkkddkkd............",
    ".............yy..yy.............", ".............WW..WW.............",
    ".............yy..yy.............", ".............oo..oo.............",
    ".............oo..oo.............", "................................",
};

uint32_t colourOf(char c) {
    for (const auto& [key, argb] : kPalette) {
        if (key == c) {
            return argb;
        }
    }
    return 0;
}

}  // namespace

std::array<uint32_t, kShipIconSide * kShipIconSide> shipIcon() {
    std::array<uint32_t, kShipIconSide * kShipIconSide> pixels{};
    for (std::size_t y = 0; y < kShipIconSide; ++y) {
        for (std::size_t x = 0; x < kShipIconSide; ++x) {
            pixels[y * kShipIconSide + x] = colourOf(kRows[y][x]);
        }
    }
    return pixels;
}

}  // namespace quelvane
