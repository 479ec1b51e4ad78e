#include "platform/ControlsReader.h"

#include <SDL_gamecontroller.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

#include "platform/VirtualKeys.h"
#include "platform/WholeFile.h"

namespace platform {

namespace {

// Far more than any controls file a person writes; a larger one is no such file.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{64} * 1024;
constexpr size_t kMaxLineLength = 1000;
constexpr int kMostProblemsTold = 20;

std::string lower(std::string_view text) {
    std::string s(text);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<PadInput> padFromName(std::string_view name) {
    const std::string n = lower(name);
    if (n.size() > 1 && (n.back() == '-' || n.back() == '+')) {
        const SDL_GameControllerAxis axis =
            SDL_GameControllerGetAxisFromString(n.substr(0, n.size() - 1).c_str());
        if (axis == SDL_CONTROLLER_AXIS_INVALID)
            return std::nullopt;
        return PadInput{n.back() == '-' ? PadInput::Kind::AxisLow : PadInput::Kind::AxisHigh, axis};
    }
    const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(n.c_str());
    if (button == SDL_CONTROLLER_BUTTON_INVALID)
        return std::nullopt;
    return PadInput{PadInput::Kind::Button, button};
}

std::string nameOf(size_t action) {
    return std::string(actionName(static_cast<Action>(action)));
}

std::optional<size_t> actionIndex(std::string_view name) {
    for (size_t a = 0; a < kActionCount; ++a) {
        if (actionName(static_cast<Action>(a)) == name)
            return a;
    }
    return std::nullopt;
}

}  // namespace

// Builds a table line by line, refusing what another line took already.
class ControlsReader {
  public:
    ControlsReader(const std::string& name, std::vector<std::string>& problems)
        : name_(name), problems_(problems) {}

    void line(std::string_view text, int number) {
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        text = trim(text);
        if (text.empty() || text.front() == '#')
            return;
        if (text.size() > kMaxLineLength)
            return problem(number, "a line of " + std::to_string(text.size()) + " characters");
        if (std::any_of(text.begin(), text.end(),
                        [](unsigned char c) { return c < 0x20 && c != '\t'; }))
            return problem(number, "characters that are not text");
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos)
            return problem(number, "expected ACTION = KEYS, got '" + std::string(text) + "'");
        const std::string action = lower(trim(text.substr(0, equals)));
        const std::optional<size_t> index = actionIndex(action);
        if (!index)
            return problem(number, "unknown action '" + action + "'");
        if (lineOf_[*index] != 0) {
            return problem(number,
                           action + " is bound already on line " + std::to_string(lineOf_[*index]));
        }
        bind(*index, text.substr(equals + 1), number);
    }

    Controls finish() {
        if (told_ > kMostProblemsTold) {
            problems_.push_back(name_ + ": " + std::to_string(told_ - kMostProblemsTold) +
                                " more problems, not told");
        }
        const Controls defaults = Controls::defaults();
        // What no line bound right keeps its defaults, less what the lines took.
        for (size_t a = 0; a < kActionCount; ++a) {
            if (!controls_.keys_[a].empty() || !controls_.pad_[a].empty())
                continue;
            for (const int key : defaults.keys_[a]) {
                if (!keyOwner_.contains(key))
                    controls_.keys_[a].push_back(key);
            }
            for (const PadInput& input : defaults.pad_[a]) {
                if (!padOwner(input))
                    controls_.pad_[a].push_back(input);
            }
            if (controls_.keys_[a].empty() && controls_.pad_[a].empty()) {
                problems_.push_back(name_ + ": " + nameOf(a) +
                                    " is left with no key or button: other lines took its own");
            }
        }
        controls_.index();
        return controls_;
    }

  private:
    // A file of noise is not told line by line.
    void problem(int number, const std::string& reason) {
        if (told_++ < kMostProblemsTold)
            problems_.push_back(name_ + ":" + std::to_string(number) + ": " + reason);
    }

    std::optional<size_t> padOwner(const PadInput& input) const {
        for (size_t a = 0; a < kActionCount; ++a) {
            if (std::find(controls_.pad_[a].begin(), controls_.pad_[a].end(), input) !=
                controls_.pad_[a].end())
                return a;
        }
        return std::nullopt;
    }

    // The keys and inputs of one line; a line with any fault binds nothing, so that its action
    // keeps its defaults (those that no other line takes).
    void bind(size_t action, std::string_view list, int number) {
        std::vector<int> keys;
        std::vector<PadInput> pad;
        bool faulty = false;
        std::stringstream items{std::string(list)};
        for (std::string item; std::getline(items, item, ',');) {
            const std::string_view name = trim(item);
            const std::string text(name);
            if (lower(name).rfind("pad ", 0) == 0) {
                const std::optional<PadInput> input = padFromName(trim(name.substr(4)));
                if (!input) {
                    problem(number, "unknown game controller input '" + text + "'");
                    faulty = true;
                } else if (const auto owner = padOwner(*input)) {
                    problem(number, text + " is bound to " + nameOf(*owner) + " already");
                    faulty = true;
                } else {
                    pad.push_back(*input);
                }
                continue;
            }
            const std::optional<int> key = virtualKeyFromName(name);
            if (!key || *key <= 0 || *key >= kFirstPadKey) {
                problem(number, "unknown key '" + text + "'");
                faulty = true;
            } else if (const auto owner = keyOwner_.find(*key); owner != keyOwner_.end()) {
                problem(number, text + " is bound to " + nameOf(owner->second) + " already");
                faulty = true;
            } else if (std::find(keys.begin(), keys.end(), *key) == keys.end()) {
                keys.push_back(*key);
            }
        }
        lineOf_[action] = number;
        if (!faulty && keys.empty() && pad.empty()) {
            problem(number, nameOf(action) + " is bound to nothing");
            faulty = true;
        }
        if (faulty)
            return;
        for (const int key : keys)
            keyOwner_[key] = action;
        controls_.keys_[action] = std::move(keys);
        controls_.pad_[action] = std::move(pad);
    }

    std::string name_;
    std::vector<std::string>& problems_;
    Controls controls_;
    std::array<int, kActionCount> lineOf_{};
    int told_ = 0;
    std::map<int, size_t> keyOwner_;
};

Controls parseControls(std::string_view text, const std::string& name,
                       std::vector<std::string>& problems) {
    ControlsReader reader(name, problems);
    int number = 0;
    bool any = false;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        any = any || !trim(line).empty();
        reader.line(line, ++number);
        start = end + 1;
    }
    if (!any)
        problems.push_back(name + ": binds nothing; the default controls are used");
    return reader.finish();
}

Controls readControls(const std::filesystem::path& file, std::vector<std::string>& problems) {
    const std::string name = file.filename().string();
    const WholeFile read = readWholeFile(file, kMaxFileBytes);
    if (read.fault != WholeFile::Fault::None) {
        const std::string unread = "cannot be read";
        const FaultWords words{
            unread, unread,
            "too large for a controls file (" + std::to_string(read.size) + " bytes)", unread};
        problems.push_back(name + ": " + describe(read, kMaxFileBytes, words) +
                           "; the default controls are used");
        return Controls::defaults();
    }
    return parseControls(std::string(read.bytes.begin(), read.bytes.end()), name, problems);
}

std::string defaultControlsFile() {
    return "# Quelvane's controls: each action, then the keys and game controller inputs that do "
           "it,\n"
           "# separated by commas. Edit as you like; the game reads this file when it starts and\n"
           "# never writes over it. A line it cannot use is named when the game starts, and that\n"
           "# action keeps its defaults; delete the file to have the defaults written again.\n"
           "#\n"
           "# Keys are named by their place on a US keyboard, so that the controls stay under the\n"
           "# fingers on any layout: A to Z, 0 to 9, F1 to F12, Left, Right, Up, Down, Ctrl, "
           "Shift,\n"
           "# Alt, Enter, Esc, Space, Tab, Backspace, ; = Comma - . / ` [ \\ ] ' or a key's code.\n"
           "# Game controller inputs: Pad a, b, x, y, back, start, guide, leftshoulder,\n"
           "# rightshoulder, leftstick, rightstick, dpup, dpdown, dpleft, dpright, and one way of "
           "a\n"
           "# stick or trigger: Pad leftx-, leftx+, lefty-, lefty+, rightx-, ..., lefttrigger+.\n"
           "# A key or input does one action only.\n"
           "#\n"
           "# next_weapon and previous_weapon act on every press of a key and on its repeats while "
           "it\n"
           "# is held, but once a press for Shift, Ctrl, Alt and the controller's inputs.\n"
           "\n" +
           Controls::defaults().text();
}

}  // namespace platform
