#include <gtest/gtest.h>

#include <filesystem>

#include "game/gfx/BitmapFile.h"
#include "game/gfx/Display.h"
#include "support/CorpusList.h"

namespace quelvane {
namespace {

const std::filesystem::path kCorpus =
    std::filesystem::path(QUELVANE_SOURCE_DIR) / "tests/gfx/corpus";

// Every file in the corpus is listed and does what the list says; whatever loads also becomes a
// surface of its size.
TEST(BmpCorpus, EveryFileLoadsOrIsRefusedAsListed) {
    const auto expected = readCorpusList(kCorpus / "expected.txt");
    std::size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus / "bmp")) {
        const std::string name = "bmp/" + entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto it = expected.find(name);
        ASSERT_NE(it, expected.end()) << "not listed in expected.txt";
        ++seen;
        std::string why;
        const auto bitmap = readBmp(entry.path().string(), &why);
        const bool loads = it->second.outcome == "loads";
        EXPECT_EQ(bitmap.has_value(), loads) << why;
        if (bitmap && loads) {
            Display display;
            SurfacePtr surface = display.LoadBitmap(entry.path().c_str());
            ASSERT_TRUE(surface);
            EXPECT_EQ(surface->width(), bitmap->width);
            EXPECT_EQ(surface->height(), bitmap->height);
        } else if (!bitmap && !loads) {
            // The rest of the line is the reason the refusal gives.
            EXPECT_EQ(why, it->second.rest);
        }
    }
    EXPECT_EQ(seen, expected.size());
}

}  // namespace
}  // namespace quelvane
