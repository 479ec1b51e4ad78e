#include <gtest/gtest.h>

#include <fstream>

#include "ServiceFixture.h"

namespace quelvane {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// The page's folder is served as it is on disk beside the API, which keeps its own paths; nothing
// outside the folder is reached, however the path is spelled.
TEST(PageTest, ThePageIsServedBesideTheApiAndNothingOutsideItsFolder) {
    TempDir folder;
    const fs::path page = folder / "page";
    const std::string index = "<!doctype html><title>page</title>";
    const std::string wasm("\0asm\1\0\0\0 and more", 17);
    writeFile(page / "index.html", index);
    writeFile(page / "quelvane.wasm", wasm);
    writeFile(page / "health", "a file named as the API's path");
    writeFile(page / "api" / "table", "another");
    writeFile(page / ".hidden", "hidden");
    writeFile(folder / "secret.txt", "secret");
    fs::create_symlink(folder / "secret.txt", page / "out.txt");
    fs::create_symlink(folder.path(), page / "up");

    WorldProcess world(
        QUELVANE_WORLD,
        {"--data", (folder / "data").string(), "--workers", "0", "--page", page.string()},
        folder.path());
    ASSERT_TRUE(world.ready()) << world.log();
    auto client = world.client();

    const auto home = client->Get("/");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, 200);
    EXPECT_EQ(home->body, index);
    EXPECT_EQ(home->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string tag = home->get_header_value("ETag");
    EXPECT_FALSE(tag.empty());
    const auto again = client->Get("/index.html", httplib::Headers{{"If-None-Match", tag}});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 304);

    const auto binary = client->Get("/quelvane.wasm");
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->body, wasm);
    EXPECT_EQ(binary->get_header_value("Content-Type"), "application/wasm");
    const auto head = client->Head("/quelvane.wasm");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(wasm.size()));
    EXPECT_TRUE(head->body.empty());
    const auto part = client->Get("/quelvane.wasm", httplib::Headers{{"Range", "bytes=1-3"}});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, "asm");

    EXPECT_EQ(getJson(*client, "/health").body.value("status", ""), "ok");
    EXPECT_TRUE(getJson(*client, "/api/table").body.contains("rows"));
    EXPECT_EQ(getJson(*client, "/api/nothing").status, 404);

    for (const char* path :
         {"/../secret.txt", "/%2e%2e/secret.txt", "/%2e%2e%2fsecret.txt",
          "/api/..%2f..%2fsecret.txt", "/out.txt", "/up/secret.txt", "/.hidden", "/%2ehidden",
          "/api", "/index.html%00.wasm", "//index.html", "/page/index.html"}) {
        const auto refused = client->Get(path);
        ASSERT_TRUE(refused) << path;
        EXPECT_TRUE(refused->status == 404 || refused->status == 400)
            << path << ": " << refused->status;
        EXPECT_EQ(refused->body.find("secret"), std::string::npos) << path;
        EXPECT_EQ(refused->body.find("hidden"), std::string::npos) << path;
    }
    const auto posted = client->Post("/index.html", "x", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_NE(posted->status, 200);
}

}  // namespace
}  // namespace quelvane
