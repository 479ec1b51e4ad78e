#include "game/screens/HelpPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "game/screens/TextPage.h"
#include "platform/ControlsReader.h"

namespace quelvane {
namespace {

// The numbers that start the lines of a list ("   1 = Repeater", "   2. Weapons"), in order.
std::vector<int> listNumbers(const std::string& body) {
    static const std::regex item(R"(^ +(\d+)(\.| =) )");
    std::vector<int> numbers;
    for (const std::string& line : splitLines(body)) {
        std::smatch m;
        if (std::regex_search(line, m, item))
            numbers.push_back(std::stoi(m[1]));
    }
    return numbers;
}

TEST(HelpPagesTest, EveryListCountsFromOneAndTheUpgradesAreAsManyAsTheTextSays) {
    const auto pages = helpPageTexts(platform::Controls::defaults());
    for (size_t page = 0; page < pages.size(); ++page) {
        const std::vector<int> numbers = listNumbers(pages[page].body);
        for (size_t i = 0; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], static_cast<int>(i + 1)) << "page " << page + 1;
    }
    const std::string& upgrades = pages[2].body;
    std::smatch said;
    ASSERT_TRUE(std::regex_search(upgrades, said, std::regex(R"((\d+) kinds of upgrades)")));
    EXPECT_EQ(std::stoi(said[1]), static_cast<int>(listNumbers(upgrades).size()));
    EXPECT_EQ(listNumbers(pages[0].body).size(), 4u);  // the four weapons
}

// The actions whose lines on the first page name keys, found by their label wherever they stand.
const std::vector<std::string> kKeyLabels = {
    "Quit",   "Help",          "High Scores",         "Movement",
    "Attack", "Cycle weapons", "Activate LimitBreak", "Previous Weapon"};

bool labels(const std::string& line, const std::string& label) {
    return line.starts_with("   " + label + "  ");
}

bool isKeyLine(const std::string& line) {
    return std::any_of(kKeyLabels.begin(), kKeyLabels.end(),
                       [&](const std::string& label) { return labels(line, label); });
}

// The key lines in the order of kKeyLabels; a label with no line, or with two, is a fault.
std::vector<std::string> keyLines(const std::string& body) {
    const std::vector<std::string> lines = splitLines(body);
    std::vector<std::string> picked;
    for (const std::string& label : kKeyLabels) {
        const auto labelled = [&](const std::string& line) { return labels(line, label); };
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), labelled), 1) << label;
        const auto found = std::find_if(lines.begin(), lines.end(), labelled);
        picked.push_back(found == lines.end() ? "" : *found);
    }
    return picked;
}

// The world table's key is named only while there is a world table, below the high scores.
TEST(HelpPagesTest, TheWorldTablesKeyIsNamedOnlyWithAWorldTable) {
    const platform::Controls defaults = platform::Controls::defaults();
    EXPECT_EQ(helpPageTexts(defaults)[0].body.find("World Table"), std::string::npos);
    EXPECT_NE(helpPageTexts(defaults, true)[0].body.find(
                  "   High Scores           F2\n   World Table           F3\n"
                  "     there: Up/Down choose a run, Enter\n"
                  "     watches it, Delete withdraws one of yours\n"),
              std::string::npos);
}

TEST(HelpPagesTest, TheFirstPageNamesTheBoundKeysWhereTheDefaultsStand) {
    const std::string defaults = helpPageTexts(platform::Controls::defaults())[0].body;
    EXPECT_EQ(keyLines(defaults), (std::vector<std::string>{
                                      "   Quit                  Esc",
                                      "   Help                  F1",
                                      "   High Scores           F2",
                                      "   Movement              (W, S, A, D) or Arrow keys",
                                      "   Attack                G or Ctrl",
                                      "   Cycle weapons         H or Shift",
                                      "   Activate LimitBreak   J or Enter",
                                      "   Previous Weapon       Alt",
                                  }));

    std::vector<std::string> problems;
    const auto rebound = platform::parseControls(
        "attack = Space\nquit = Q, Esc\nup = I, Up\ndown = K, Down\nleft = J, Left\n"
        "right = L, Right\nlimitbreak = B\nprevious_weapon = Pad y\n",
        "controls.ini", problems);
    ASSERT_EQ(problems, std::vector<std::string>{});
    const std::string body = helpPageTexts(rebound)[0].body;
    EXPECT_EQ(keyLines(body), (std::vector<std::string>{
                                  "   Quit                  Q or Esc",
                                  "   Help                  F1",
                                  "   High Scores           F2",
                                  "   Movement              (I, K, J, L) or Arrow keys",
                                  "   Attack                Space",
                                  "   Cycle weapons         H or Shift",
                                  "   Activate LimitBreak   B",
                                  "   Previous Weapon       -",
                              }));
    // The LimitBreak's key is named where the second page says how to set it off.
    EXPECT_NE(helpPageTexts(rebound)[1].body.find("select a weapon and press B\n"),
              std::string::npos);
    EXPECT_NE(
        helpPageTexts(platform::Controls::defaults())[1].body.find("select a weapon and press J\n"),
        std::string::npos);
    // Every other line stays as it was.
    const std::vector<std::string> lines = splitLines(body), defaultLines = splitLines(defaults);
    ASSERT_EQ(lines.size(), defaultLines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!isKeyLine(defaultLines[i])) {
            EXPECT_EQ(lines[i], defaultLines[i]) << "line " << i;
        }
    }
}

}  // namespace
}  // namespace quelvane
