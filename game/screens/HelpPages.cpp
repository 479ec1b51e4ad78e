#include "game/screens/HelpPages.h"

#include <string>
#include <string_view>

#include "game/gfx/Font.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

constexpr const char* kFirstHeading = "Help:\n~~~~~";
constexpr const char* kLaterHeading = "Help (continued):\n~~~~~~~~~~~~~~~~~";
constexpr const char* kNextPage = "Press any key to continue...";
constexpr const char* kLastPage = "Press any key to return to game...";

bool worldTableNamed = false;

// The world table's key, and the keys of its page.
constexpr const char* kWorldTableKeys =
    "   World Table           F3\n"
    "     there: Up/Down choose a run, Enter\n"
    "     watches it, Delete withdraws one of yours\n";

// The first page; the bound keys take the places of the marks in braces.
constexpr const char* kFirstPage =
    "Game Keys:\n"
    "\n"
    "   Quit                  {quit}\n"
    "   Help                  {help}\n"
    "   High Scores           {high_scores}\n"
    "{world_table}"
    "\n"
    "\n"
    "Controls:\n"
    "\n"
    "   Movement              {movement}\n"
    "\n"
    "   Attack                {attack}\n"
    "   Cycle weapons         {next_weapon}\n"
    "   Activate LimitBreak   {limitbreak}\n"
    "\n"
    "   Previous Weapon       {previous_weapon}\n"
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
    "   the weapon number (1-4) on the keyboard.";

// The keyboard's keys of an action, "G or Ctrl"; a dash for an action only a controller does.
std::string keyList(const platform::Controls& bindings, platform::Action action) {
    std::string list;
    for (const int key : bindings.keyboardKeysOf(action))
        list += (list.empty() ? "" : " or ") + platform::keyName(key);
    return list.empty() ? "-" : list;
}

// The four ways' first keys, "(W, S, A, D)", then their second keys, the arrows called so.
std::string movementKeys(const platform::Controls& bindings) {
    using platform::Action;
    namespace vk = platform::vk;
    const Action ways[] = {Action::MoveUp, Action::MoveDown, Action::MoveLeft, Action::MoveRight};
    const int arrows[] = {vk::kUp, vk::kDown, vk::kLeft, vk::kRight};
    std::string first = "(", second = "(";
    bool allSecond = true, arrowsSecond = true;
    for (size_t i = 0; i < 4; ++i) {
        const std::vector<int>& keys = bindings.keyboardKeysOf(ways[i]);
        const std::string separator = i ? ", " : "";
        first += separator + (keys.empty() ? "-" : platform::keyName(keys[0]));
        allSecond = allSecond && keys.size() > 1;
        arrowsSecond = arrowsSecond && keys.size() > 1 && keys[1] == arrows[i];
        if (keys.size() > 1)
            second += separator + platform::keyName(keys[1]);
    }
    if (arrowsSecond)
        return first + ") or Arrow keys";
    return first + ")" + (allSecond ? " or " + second + ")" : "");
}

// The page with each mark replaced by the keys bound to what it names.
std::string withKeys(std::string_view page, const platform::Controls& bindings,
                     bool worldTable = false) {
    using platform::Action;
    std::string text;
    while (!page.empty()) {
        const size_t open = page.find('{');
        const size_t close = page.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            text += page;
            break;
        }
        text += page.substr(0, open);
        const std::string_view mark = page.substr(open + 1, close - open - 1);
        // "{first:action}" names the action's first key alone, where the text has room for one.
        const bool firstOnly = mark.starts_with("first:");
        const std::string_view actionMark = firstOnly ? mark.substr(6) : mark;
        if (mark == "movement") {
            text += movementKeys(bindings);
        } else if (mark == "world_table") {
            text += worldTable ? kWorldTableKeys : "";
        } else {
            for (int i = 0; i < platform::kActionCount; ++i) {
                const auto action = static_cast<Action>(i);
                if (platform::actionName(action) != actionMark)
                    continue;
                const std::vector<int>& keys = bindings.keyboardKeysOf(action);
                text += !firstOnly     ? keyList(bindings, action)
                        : keys.empty() ? std::string("-")
                                       : platform::keyName(keys.front());
            }
        }
        page.remove_prefix(close + 1);
    }
    return text;
}

}  // namespace

std::array<HelpPageText, 3> helpPageTexts(const platform::Controls& bindings, bool worldTable) {
    return {{
        {kFirstHeading, withKeys(kFirstPage, bindings, worldTable), kNextPage},
        {kLaterHeading,
         withKeys("Weapons (continued):\n"
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
                  "   it. Then, select a weapon and press {first:limitbreak}\n"
                  "   to activate the limit break. Each \n"
                  "   different weapon has a different\n"
                  "   LimitBreak, each of which is useful\n"
                  "   in different situations. While you do\n"
                  "   not use the LimitBreak, your LimitBreak\n"
                  "   meter will not continue to go down.",
                  bindings),
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
}

void nameWorldTableKey(bool named) {
    worldTableNamed = named;
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
    for (const HelpPageText& text : helpPageTexts(platform::controls(), worldTableNamed)) {
        page.items[0].text = text.heading;
        page.items[1].text = text.body;
        page.items[2].text = text.footer;
        showTextPage(page);
    }
}

}  // namespace quelvane
