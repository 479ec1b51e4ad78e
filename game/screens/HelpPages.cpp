#include "game/screens/HelpPages.h"

#include "game/gfx/Font.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"
#include "platform/Platform.h"

namespace quelvane {

namespace {

constexpr const char* kFirstHeading = "Help:\n~~~~~";
constexpr const char* kLaterHeading = "Help (continued):\n~~~~~~~~~~~~~~~~~";
constexpr const char* kNextPage = "Press any key to continue...";
constexpr const char* kLastPage = "Press any key to return to game...";

}  // namespace

const std::array<HelpPageText, 3>& helpPageTexts() {
    static const std::array<HelpPageText, 3> pages{{
        {kFirstHeading,
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
         "   the weapon number (1-4) on the keyboard.",
         kNextPage},
        {kLaterHeading,
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
         "   meter will not continue to go down.",
         kNextPage},
        {kLaterHeading,
         "Upgrade Help:\n"
         "\n"
         "   As you kill aliens, they will\n"
         "   occasionally drop upgrades. There are\n"
         "   4 kinds of upgrades:\n"
         "\n"
         "   1. Shields           Increases your shields\n"
         "                        by 2\n"
         "\n"
         "   2. Weapons           Upgrades your ship with\n"
         "                        more powerful weapons\n"
         "\n"
         "   3. Combos            Allows you to use multiple\n"
         "                        weapons\n"
         "\n"
         "   4. Free LimitBreak   Gives you an instant\n"
         "                        LimitBreak\n"
         "\n"
         "   To pick up an upgrade, simply run into\n"
         "   it, and it will perform its function.",
         kLastPage},
    }};
    return pages;
}

void showHelp() {
    ScreenScope screen(Screen::Help);
    const auto helpFont =
        Font::create(platform::screenWidth() >> 6, 0, 300, kFixedPitch | kFamilyModern);
    TextPage page;
    page.items = {
        {TextItem::HasColour | TextItem::HasFont, "", rgb(255, 255, 0), 0, 50, 50, 16,
         hudFont.get()},
        {TextItem::HasLineHeight | TextItem::HasFont, "", 0, 0, 50, 90, 10, helpFont.get()},
        {TextItem::HasColour | TextItem::HasFont, "", rgb(255, 0, 0), 0, 50, 425, 16,
         helpFont.get()},
    };
    for (const HelpPageText& text : helpPageTexts()) {
        page.items[0].text = text.heading;
        page.items[1].text = text.body;
        page.items[2].text = text.footer;
        showTextPage(page);
    }
}

}  // namespace quelvane
