// Writes the picture the game shows on its world table page (F3) for the table a world server
// answered (the body of GET /api/table, as the game asks for it) with the player's best run of the
// session marked, so that a test can hold a capture of the real game's screen against it:
//   world_table_picture TABLE.json BEST_RUN_ID FILE.bmp
// The page is the game's own: its texts, its layout, its fonts, drawn by the game's display.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/core/ExitRequest.h"
#include "game/gfx/BitmapFile.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/loop/WorldSenderFeed.h"
#include "game/loop/WorldTablePage.h"
#include "game/online/WorldSettings.h"
#include "game/screens/Pass.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Platform.h"
#include "platform/Screen.h"

namespace {

// Keeps the last picture the display presented, as the game's window would show it.
class PictureScreen : public platform::Screen {
  public:
    bool open(int width, int height, bool) override {
        picture.width = width;
        picture.height = height;
        return true;
    }
    void present(const uint32_t* pixels, int pitch) override {
        picture.pixels.clear();
        for (int y = 0; y < picture.height; ++y) {
            const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * (pitch / 4);
            picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
        }
    }
    void close() override {}

    quelvane::Bitmap picture;
};

// The rows of the server's answer, as the game keeps them; none when it is no table.
std::optional<quelvane::online::WorldTable> readTable(const char* file, int64_t bestRun) try {
    std::ifstream in(file);
    const nlohmann::json json = nlohmann::json::parse(in, nullptr, false);
    if (json.is_discarded() || !json.contains("rows") || !json["rows"].is_array())
        return std::nullopt;
    quelvane::online::WorldTable table;
    table.state = quelvane::online::WorldTable::State::Shown;
    table.bestRun = bestRun;
    // The player's best is a run they sent, whose withdrawal secret the game keeps.
    table.own.insert(bestRun);
    for (const nlohmann::json& row : json["rows"]) {
        const std::optional<std::string> name =
            quelvane::online::latin1(row.at("name").get<std::string>());
        table.rows.push_back({row.at("place").get<int64_t>(), name.value_or("?"),
                              row.at("score").get<int64_t>(), row.at("id").get<int64_t>()});
    }
    return table;
} catch (const nlohmann::json::exception&) {
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quelvane;
    if (argc != 4) {
        std::fprintf(stderr, "usage: world_table_picture TABLE.json BEST_RUN_ID FILE.bmp\n");
        return 2;
    }
    const std::optional<online::WorldTable> table =
        readTable(argv[1], std::strtoll(argv[2], nullptr, 10));
    if (!table) {
        std::fprintf(stderr, "world_table_picture: %s holds no table\n", argv[1]);
        return 1;
    }
    PictureScreen screen;
    platform::VirtualClock clock;
    platform::ScriptedEvents noKeys;
    platform::useClock(&clock);
    platform::useEventSource(&noKeys);
    if (!display.Init(&screen, 640, 480, 32, 0, true))
        return 1;
    // The game's HUD font, as the game makes it at start.
    hudFont = Font::create(16, 7, 700, kFixedPitch | kFamilyModern);
    if (!hudFont) {
        std::fprintf(stderr, "world_table_picture: no font to draw with\n");
        return 1;
    }
    WorldTableFeed feed;
    feed.read = [&table] { return *table; };
    useWorldTableFeed(std::move(feed));
    // One pass draws the page; ended as by a window close, whatever keys the page takes.
    platform::Subscription ending = passEnds().subscribe([] { exitRequested = true; });
    showWorldTable();
    ending.end();
    useWorldTableFeed({});
    hudFont.reset();
    display.Release();
    platform::useEventSource(nullptr);
    platform::useClock(nullptr);
    return writeBmp(argv[3], screen.picture) ? 0 : 1;
}
