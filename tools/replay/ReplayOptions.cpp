#include "tools/replay/ReplayOptions.h"

#include "platform/KeysFile.h"

using platform::parseNumber;

std::optional<ReplayOptions> parseReplayOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    ReplayOptions options;
    bool haveFrames = false, haveSeed = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--state") {
            options.printState = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (arg == "--frames") {
            ok = parseNumber(value, options.frames);
            haveFrames = options.framesGiven = true;
        } else if (arg == "--seed") {
            ok = parseNumber(value, options.seed);
            haveSeed = true;
        } else if (arg == "--tick-start") {
            ok = parseNumber(value, options.tickStart);
        } else if (arg == "--trace") {
            options.traceFile = value;
            ok = !value.empty();
        } else if (arg == "--keys") {
            options.keysFile = value;
        } else if (arg == "--record") {
            options.recordFolder = value;
            ok = !value.empty();
        } else if (arg == "--play" || arg == "--verify") {
            ok = options.playFile.empty() && !value.empty();
            options.playFile = value;
            options.verify = arg == "--verify";
        } else if (arg == "--capture") {
            const size_t colon = value.find(':');
            ReplayOptions::Capture capture{
                0, colon == std::string::npos ? "" : value.substr(colon + 1)};
            ok = colon != std::string::npos && !capture.file.empty() &&
                 parseNumber(value.substr(0, colon), capture.frame);
            options.captures.push_back(capture);
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value for " + arg;
            error += ": " + value;
            return std::nullopt;
        }
    }
    if (!options.playFile.empty()) {
        if (haveSeed || !options.keysFile.empty() || !options.recordFolder.empty()) {
            error = "a recorded game brings its own start and keys: no --seed or --keys with it";
            return std::nullopt;
        }
    } else if (!haveFrames || !haveSeed) {
        error = "--frames and --seed are required";
        return std::nullopt;
    }
    if (haveFrames && !capturesWithinFrames(options, error))
        return std::nullopt;
    return options;
}

bool capturesWithinFrames(const ReplayOptions& options, std::string& error) {
    for (const auto& capture : options.captures) {
        if (capture.frame >= options.frames) {
            error = "--capture " + std::to_string(capture.frame) + ":" + capture.file +
                    " is past the last frame, " +
                    (options.frames == 0 ? "none is run" : std::to_string(options.frames - 1));
            return false;
        }
    }
    return true;
}
