#include "game/loop/web/PageOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelvane {
namespace {

TEST(PageOptionsTest, TheURLsSettingsAreReadAndAnythingElseIsRefused) {
    PageOptions options;
    ASSERT_TRUE(parsePageOptions({"--seed", "42", "--keys", "/keys.txt", "--tick-start",
                                  "4294967000", "--fast", "--hold", "0"},
                                 options));
    EXPECT_TRUE(options.seeded);
    EXPECT_EQ(options.seed, 42u);
    EXPECT_EQ(options.keysFile, "/keys.txt");
    EXPECT_EQ(options.tickStart, 4294967000u);
    EXPECT_TRUE(options.fast);
    EXPECT_EQ(options.hold, 0);

    PageOptions none;
    ASSERT_TRUE(parsePageOptions({}, none));
    EXPECT_FALSE(none.seeded);
    EXPECT_EQ(none.hold, -1) << "no pass is held";
    for (const std::vector<std::string>& refused :
         std::vector<std::vector<std::string>>{{"--seed"},
                                               {"--seed", "x"},
                                               {"--seed", "4294967296"},
                                               {"--hold", "-1"},
                                               {"--speed", "2"}}) {
        PageOptions options;
        EXPECT_FALSE(parsePageOptions(refused, options)) << refused[0];
    }
}

}  // namespace
}  // namespace quelvane
