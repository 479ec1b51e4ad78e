#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/EventSource.h"

// What quelvane-replay was asked to do.
struct ReplayOptions {
    uint32_t frames = 0;
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
    bool help = false;  // --help: nothing else is checked
};

// Parses the command line; nullopt with the reason in error, among them a capture of a frame the
// run does not reach.
std::optional<ReplayOptions> parseReplayOptions(const std::vector<std::string>& args,
                                                std::string& error);

// Reads a keys file into events: one event a line, "FRAME down|up KEY" or "FRAME close"; blank
// lines and lines starting with # are skipped. False with the line's number and reason in error.
bool loadReplayKeys(const std::string& file, platform::ScriptedEvents& events, std::string& error);
