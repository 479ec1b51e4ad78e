#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/DataFolders.h"
#include "support/TempDir.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

// An installation under a prefix of the test's own: PREFIX/bin/quelvane and two assets.
class DataFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(prefix / "bin");
        fs::create_directories(prefix / "share" / "quelvane");
        std::ofstream(prefix / "bin" / "quelvane") << "program";
        std::ofstream(prefix / "share" / "quelvane" / "ship.bmp") << "installed ship";
        std::ofstream(prefix / "share" / "quelvane" / "title.mid") << "installed music";
        home = temp / "home";
        startFolder = fs::current_path();
    }
    void TearDown() override { fs::current_path(startFolder); }

    TempDir temp;
    fs::path prefix = temp / "prefix";
    fs::path home;
    fs::path startFolder;
};

TEST_F(DataFoldersTest, AnInstalledProgramKeepsThePlayersFilesInTheXdgDataFolder) {
    const fs::path program = prefix / "bin" / "quelvane";
    DataFolders folders = chooseDataFolders(program, "/data/of/player", home.c_str());
    EXPECT_TRUE(folders.installed);
    EXPECT_EQ(folders.assets, prefix / "share" / "quelvane");
    EXPECT_EQ(folders.user, fs::path("/data/of/player/quelvane"));

    for (const char* unset : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        folders = chooseDataFolders(program, unset, home.c_str());
        EXPECT_EQ(folders.user, home / ".local" / "share" / "quelvane")
            << "XDG_DATA_HOME " << (unset ? unset : "unset");
    }
}

TEST_F(DataFoldersTest, AProgramOutsideAnInstallationWorksInItsWorkingDirectory) {
    fs::create_directories(temp / "build" / "run");
    for (const fs::path& program :
         {temp / "build" / "run" / "quelvane", prefix / "share" / "quelvane" / "quelvane"}) {
        const DataFolders folders = chooseDataFolders(program, "/data", home.c_str());
        EXPECT_FALSE(folders.installed) << program;
        std::string error;
        EXPECT_TRUE(enterDataFolder(folders, true, error));
        EXPECT_EQ(fs::current_path(), startFolder);
    }
}

TEST_F(DataFoldersTest, EnteringMakesTheFolderAndLinksTheAssetsKeepingThePlayersOwn) {
    const DataFolders folders =
        chooseDataFolders(prefix / "bin" / "quelvane", nullptr, home.c_str());
    const fs::path user = home / ".local" / "share" / "quelvane";
    fs::create_directories(user);
    std::ofstream(user / "title.mid") << "the player's own music";
    fs::create_symlink(temp / "moved" / "ship.bmp", user / "ship.bmp");

    std::string error;
    ASSERT_TRUE(enterDataFolder(folders, true, error)) << error;
    EXPECT_EQ(fs::current_path(), user);
    EXPECT_EQ(fs::read_symlink("ship.bmp"), folders.assets / "ship.bmp")
        << "a link to an old installation is renewed";
    std::string text;
    std::getline(std::ifstream("ship.bmp"), text);
    EXPECT_EQ(text, "installed ship") << "read by bare name, as the game does";
    std::getline(std::ifstream("title.mid"), text);
    EXPECT_EQ(text, "the player's own music");
    std::ofstream("scores.dat") << "scores";
    EXPECT_TRUE(fs::exists(user / "scores.dat"));
    EXPECT_FALSE(fs::exists(folders.assets / "scores.dat"));

    fs::current_path(startFolder);
    ASSERT_TRUE(enterDataFolder(folders, true, error)) << "a second start finds all in place";
}

TEST_F(DataFoldersTest, TheSetupToolEntersTheFolderWithoutLinks) {
    const DataFolders folders =
        chooseDataFolders(prefix / "bin" / "tonspire", (temp / "xdg").c_str(), home.c_str());
    std::string error;
    ASSERT_TRUE(enterDataFolder(folders, false, error)) << error;
    EXPECT_EQ(fs::current_path(), temp / "xdg" / "quelvane");
    EXPECT_TRUE(fs::is_empty(fs::current_path()));
}

TEST_F(DataFoldersTest, AFolderThatCannotBeMadeIsReported) {
    std::ofstream(temp / "file") << "in the way";
    const DataFolders folders =
        chooseDataFolders(prefix / "bin" / "quelvane", (temp / "file").c_str(), home.c_str());
    std::string error;
    EXPECT_FALSE(enterDataFolder(folders, true, error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
    EXPECT_EQ(fs::current_path(), startFolder);
}

}  // namespace
