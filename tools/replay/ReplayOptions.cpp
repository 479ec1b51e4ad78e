#include "tools/replay/ReplayOptions.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/VirtualKeys.h"

bool parseNumber(const std::string& text, uint32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, err] = std::from_chars(text.data(), end, value);
    return err == std::errc() && ptr == end && !text.empty();
}

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

bool loadReplayKeys(const std::string& file, platform::ScriptedEvents& events, std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot read " + file;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string frameText, action, keyName, extra;
        if (!(words >> frameText) || frameText[0] == '#')
            continue;
        words >> action >> keyName >> extra;
        uint32_t frame = 0;
        platform::Message message;
        bool ok = parseNumber(frameText, frame) && extra.empty();
        if (ok && action == "close") {
            ok = keyName.empty();
            message.kind = platform::MessageKind::Close;
        } else if (ok && (action == "down" || action == "up")) {
            const std::optional<int> key = platform::virtualKeyFromName(keyName);
            ok = key.has_value();
            message.kind =
                action == "down" ? platform::MessageKind::KeyDown : platform::MessageKind::KeyUp;
            message.key = key.value_or(0);
        } else {
            ok = false;
        }
        if (!ok) {
            error =
                file + ":" + std::to_string(number) + ": expected FRAME down|up KEY or FRAME close";
            return false;
        }
        events.add(frame, message);
    }
    return true;
}
