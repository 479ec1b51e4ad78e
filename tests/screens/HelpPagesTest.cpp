#include "game/screens/HelpPages.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "game/screens/TextPage.h"

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

}  // namespace
}  // namespace quelvane
