#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What quelvane-replay was asked to do.
struct ReplayOptions {
    uint32_t frames = 0;
    bool framesGiven = false;
    uint32_t seed = 0;
    uint32_t tickStart = 0;
    std::string keysFile;
    struct Capture {
        uint32_t frame;
        std::string file;
    };
    std::vector<Capture> captures;
    bool printState = false;
    std::string traceFile;  // a row of the state after every frame
    // A recorded game to play instead of keys (--play), or to verify (--verify); with either,
    // --frames is at most the recording's passes and --seed is not taken.
    std::string playFile;
    bool verify = false;
    // Records every game of the run into this folder, as the game does into replays/ (--record).
    std::string recordFolder;
    bool help = false;  // --help: nothing else is checked
};

// Parses the command line; nullopt with the reason in error, among them a capture of a frame the
// run does not reach. With a recorded game, the checks that need its length are the caller's.
std::optional<ReplayOptions> parseReplayOptions(const std::vector<std::string>& args,
                                                std::string& error);

// False, with the reason, when a capture asks for a frame past the run's last.
bool capturesWithinFrames(const ReplayOptions& options, std::string& error);
