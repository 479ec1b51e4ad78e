#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "game/gfx/BitmapFile.h"
#include "game/gfx/Display.h"

namespace quelvane {
namespace {

const std::filesystem::path kCorpus =
    std::filesystem::path(QUELVANE_SOURCE_DIR) / "tests/gfx/corpus";

struct Expected {
    bool loads = false;
    std::string reason;  // the reason a refusal gives
};

std::map<std::string, Expected> expectations() {
    std::map<std::string, Expected> listed;
    std::ifstream in(kCorpus / "expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string file, outcome;
        words >> file >> outcome;
        Expected& e = listed[file];
        e.loads = outcome == "loads";
        std::getline(words >> std::ws, e.reason);
    }
    return listed;
}

// Every file in the corpus is listed and does what the list says; whatever loads also becomes a
// surface of its size.
TEST(BmpCorpus, EveryFileLoadsOrIsRefusedAsListed) {
    const auto expected = expectations();
    std::size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus / "bmp")) {
        const std::string name = "bmp/" + entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto it = expected.find(name);
        ASSERT_NE(it, expected.end()) << "not listed in expected.txt";
        ++seen;
        std::string why;
        const auto bitmap = readBmp(entry.path().string(), &why);
        EXPECT_EQ(bitmap.has_value(), it->second.loads) << why;
        if (bitmap && it->second.loads) {
            Display display;
            SurfacePtr surface = display.LoadBitmap(entry.path().c_str());
            ASSERT_TRUE(surface);
            EXPECT_EQ(surface->width(), bitmap->width);
            EXPECT_EQ(surface->height(), bitmap->height);
        } else if (!bitmap && !it->second.loads) {
            EXPECT_EQ(why, it->second.reason);
        }
    }
    EXPECT_EQ(seen, expected.size());
}

}  // namespace
}  // namespace quelvane
