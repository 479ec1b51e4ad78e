#pragma once

#include <optional>
#include <string>
#include <vector>

// What quelvane-audio was asked to do.
struct AudioToolOptions {
    bool list = false;
    std::string port;  // empty: the default port
    std::string midiFile;
    struct Effect {
        std::string file;
        double seconds;
    };
    std::vector<Effect> effects;  // in the order of their times
    double seconds = 10.0;
    std::string renderFile;  // empty: play on the sound device
    bool help = false;
};

inline constexpr const char* kAudioToolUsage =
    "usage: quelvane-audio --list\n"
    "       quelvane-audio [--port NAME] [--play FILE.mid] [--effect FILE.wav@SECONDS ...]\n"
    "                      [--seconds S] [--render OUT.wav]\n"
    "       quelvane-audio --help\n";

// Parses the arguments after the program's name; nullopt with the reason in error.
std::optional<AudioToolOptions> parseAudioToolOptions(const std::vector<std::string>& args,
                                                      std::string& error);
