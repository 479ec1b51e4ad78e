#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Where a program of the game finds its default assets and keeps the player's files
// ("MidiDevice.ini", "scores.dat"). Run from the build's run folder (or any folder but an
// installation) both are the working directory, as the game has always had it. Installed as
// PREFIX/bin/NAME beside PREFIX/share/quelvane, the assets are read from there and the player's
// files live in $XDG_DATA_HOME/quelvane, by default ~/.local/share/quelvane.
struct DataFolders {
    bool installed = false;
    std::filesystem::path assets;  // empty when not installed
    std::filesystem::path user;    // empty when not installed
};

// program: the running program's own path. xdgDataHome and home as in the environment (null when
// unset); a relative XDG_DATA_HOME is ignored, as the XDG base directory rules say.
DataFolders chooseDataFolders(const std::filesystem::path& program, const char* xdgDataHome,
                              const char* home);

// For an installed program: creates the user's folder and makes it the working directory, so the
// program's bare file names reach the player's files there. With linkAssets every default asset
// gets a link of its name in that folder (a file the player put there in its place is kept), so the
// game's bare asset names reach the installed ones too. Nothing happens when not installed. False
// with the reason in error.
bool enterDataFolder(const DataFolders& folders, bool linkAssets, std::string& error);

// The running program's path (from /proc/self/exe).
std::filesystem::path thisProgram();

// Runs the program called name from this program's folder and waits for it to end; false when it
// could not be started or failed.
bool runBesideThisProgram(const char* name);

}  // namespace platform
