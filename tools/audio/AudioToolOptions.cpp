#include "tools/audio/AudioToolOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The longest run the tool takes: an hour of 16-bit stereo is about 700 MB of output.
constexpr double kMaxSeconds = 3600.0;

std::optional<double> parseSeconds(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || value < 0 || value > kMaxSeconds) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<AudioToolOptions> parseAudioToolOptions(const std::vector<std::string>& args,
                                                      std::string& error) {
    AudioToolOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--list") {
            options.list = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg != "--port" && arg != "--play" && arg != "--effect" && arg != "--seconds" &&
            arg != "--render") {
            error = "unknown argument \"" + arg + "\"";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--port") {
            options.port = value;
        } else if (arg == "--play") {
            options.midiFile = value;
        } else if (arg == "--render") {
            options.renderFile = value;
        } else if (arg == "--seconds") {
            const auto seconds = parseSeconds(value);
            if (!seconds) {
                error = "--seconds takes a number of seconds from 0 to 3600, not \"" + value + "\"";
                return std::nullopt;
            }
            options.seconds = *seconds;
        } else {
            const auto at = value.rfind('@');
            const auto seconds =
                at == std::string::npos ? std::nullopt : parseSeconds(value.substr(at + 1));
            if (!seconds || at == 0) {
                error = "--effect takes FILE.wav@SECONDS, not \"" + value + "\"";
                return std::nullopt;
            }
            options.effects.push_back({value.substr(0, at), *seconds});
        }
    }
    std::stable_sort(options.effects.begin(), options.effects.end(),
                     [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
    return options;
}
