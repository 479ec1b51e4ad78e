#include "platform/Controls.h"

#include <SDL_gamecontroller.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <utility>

#include "platform/VirtualKeys.h"
#include "platform/WholeFile.h"

namespace platform {

namespace {

constexpr int kFirstPadKey = 0xE8;
// Far more than any controls file a person writes; a larger one is no such file.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{64} * 1024;
constexpr size_t kMaxLineLength = 1000;
constexpr int kMostProblemsTold = 20;

constexpr std::string_view kActionNames[kActionCount] = {
    "up",      "down",        "left",    "right",       "attack",      "limitbreak",
    "weapon1", "weapon2",     "weapon3", "weapon4",     "next_weapon", "previous_weapon",
    "help",    "high_scores", "quit",    "full_screen",
};

// The punctuation keys where a US keyboard has them; a comma is named, since it separates keys.
constexpr std::pair<std::string_view, int> kPunctuation[] = {
    {";", 186}, {"=", 187}, {"comma", 188}, {"-", 189}, {".", 190}, {"/", 191},
    {"`", 192}, {"[", 219}, {"\\", 220},    {"]", 221}, {"'", 222},
};

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

std::optional<int> keyFromName(std::string_view name) {
    for (const auto& [text, key] : kPunctuation) {
        if (lower(name) == text)
            return key;
    }
    return virtualKeyFromName(name);
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

std::string padName(const PadInput& input) {
    if (input.kind == PadInput::Kind::Button) {
        const char* name = SDL_GameControllerGetStringForButton(
            static_cast<SDL_GameControllerButton>(input.index));
        return std::string("Pad ") + (name ? name : "?");
    }
    const char* name =
        SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(input.index));
    return std::string("Pad ") + (name ? name : "?") +
           (input.kind == PadInput::Kind::AxisLow ? "-" : "+");
}

Controls& current() {
    static Controls bindings = Controls::defaults();
    return bindings;
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
        const auto named = std::find(std::begin(kActionNames), std::end(kActionNames), action);
        if (named == std::end(kActionNames))
            return problem(number, "unknown action '" + action + "'");
        const auto index = static_cast<size_t>(named - std::begin(kActionNames));
        if (lineOf_[index] != 0) {
            return problem(number,
                           action + " is bound already on line " + std::to_string(lineOf_[index]));
        }
        bind(index, text.substr(equals + 1), number);
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
                problems_.push_back(name_ + ": " + std::string(kActionNames[a]) +
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
                    problem(number, text + " is bound to " + std::string(kActionNames[*owner]) +
                                        " already");
                    faulty = true;
                } else {
                    pad.push_back(*input);
                }
                continue;
            }
            const std::optional<int> key = keyFromName(name);
            if (!key || *key <= 0 || *key >= kFirstPadKey) {
                problem(number, "unknown key '" + text + "'");
                faulty = true;
            } else if (const auto owner = keyOwner_.find(*key); owner != keyOwner_.end()) {
                problem(number, text + " is bound to " + std::string(kActionNames[owner->second]) +
                                    " already");
                faulty = true;
            } else if (std::find(keys.begin(), keys.end(), *key) == keys.end()) {
                keys.push_back(*key);
            }
        }
        lineOf_[action] = number;
        if (!faulty && keys.empty() && pad.empty()) {
            problem(number, std::string(kActionNames[action]) + " is bound to nothing");
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

std::string_view actionName(Action action) {
    return kActionNames[static_cast<size_t>(action)];
}

int padKey(Action action) {
    return kFirstPadKey + static_cast<int>(action);
}

Controls Controls::defaults() {
    using K = PadInput::Kind;
    Controls c;
    auto set = [&c](Action a, std::vector<int> keys, std::vector<PadInput> pad) {
        c.keys_[static_cast<size_t>(a)] = std::move(keys);
        c.pad_[static_cast<size_t>(a)] = std::move(pad);
    };
    set(Action::MoveUp, {'W', vk::kUp},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_UP}, {K::AxisLow, SDL_CONTROLLER_AXIS_LEFTY}});
    set(Action::MoveDown, {'S', vk::kDown},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_DOWN}, {K::AxisHigh, SDL_CONTROLLER_AXIS_LEFTY}});
    set(Action::MoveLeft, {'A', vk::kLeft},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_LEFT}, {K::AxisLow, SDL_CONTROLLER_AXIS_LEFTX}});
    set(Action::MoveRight, {'D', vk::kRight},
        {{K::Button, SDL_CONTROLLER_BUTTON_DPAD_RIGHT}, {K::AxisHigh, SDL_CONTROLLER_AXIS_LEFTX}});
    set(Action::Attack, {'G', vk::kCtrl}, {{K::Button, SDL_CONTROLLER_BUTTON_A}});
    set(Action::LimitBreak, {'J', vk::kEnter}, {{K::Button, SDL_CONTROLLER_BUTTON_B}});
    set(Action::Weapon1, {'1'}, {});
    set(Action::Weapon2, {'2'}, {});
    set(Action::Weapon3, {'3'}, {});
    set(Action::Weapon4, {'4'}, {});
    set(Action::NextWeapon, {'H', vk::kShift}, {{K::Button, SDL_CONTROLLER_BUTTON_X}});
    set(Action::PreviousWeapon, {vk::kAlt}, {{K::Button, SDL_CONTROLLER_BUTTON_Y}});
    set(Action::Help, {vk::kF1}, {{K::Button, SDL_CONTROLLER_BUTTON_START}});
    set(Action::HighScores, {vk::kF2}, {});
    set(Action::Quit, {vk::kEscape}, {{K::Button, SDL_CONTROLLER_BUTTON_BACK}});
    set(Action::FullScreen, {vk::kF1 + 10}, {});
    c.index();
    return c;
}

void Controls::index() {
    actionOfKey_.fill(-1);
    for (size_t a = 0; a < kActionCount; ++a) {
        queried_[a] = keys_[a];
        queried_[a].push_back(padKey(static_cast<Action>(a)));
        for (const int key : queried_[a])
            actionOfKey_[static_cast<size_t>(key)] = static_cast<int8_t>(a);
    }
}

std::optional<Action> Controls::actionOf(int key) const {
    if (key <= 0 || key >= 256 || actionOfKey_[static_cast<size_t>(key)] < 0)
        return std::nullopt;
    return static_cast<Action>(actionOfKey_[static_cast<size_t>(key)]);
}

std::optional<Action> Controls::actionOf(const PadInput& input) const {
    for (size_t a = 0; a < kActionCount; ++a) {
        if (std::find(pad_[a].begin(), pad_[a].end(), input) != pad_[a].end())
            return static_cast<Action>(a);
    }
    return std::nullopt;
}

const std::vector<int>& Controls::keysOf(Action action) const {
    return queried_[static_cast<size_t>(action)];
}

const std::vector<int>& Controls::keyboardKeysOf(Action action) const {
    return keys_[static_cast<size_t>(action)];
}

const std::vector<PadInput>& Controls::padOf(Action action) const {
    return pad_[static_cast<size_t>(action)];
}

std::string Controls::text() const {
    std::string text;
    for (size_t a = 0; a < kActionCount; ++a) {
        // An action left with nothing has no line: read again, it is left with nothing again.
        if (keys_[a].empty() && pad_[a].empty())
            continue;
        std::string line = std::string(kActionNames[a]) + " =";
        const char* separator = " ";
        for (const int key : keys_[a]) {
            line += separator + keyName(key);
            separator = ", ";
        }
        for (const PadInput& input : pad_[a]) {
            line += separator + padName(input);
            separator = ", ";
        }
        text += line + "\n";
    }
    return text;
}

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
    if (read.fault == WholeFile::Fault::TooLarge) {
        problems.push_back(name + ": too large for a controls file (" + std::to_string(read.size) +
                           " bytes); the default controls are used");
        return Controls::defaults();
    }
    if (read.fault != WholeFile::Fault::None) {
        problems.push_back(name + ": cannot be read; the default controls are used");
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

bool actsWhenPolled(int key) {
    return key == vk::kShift || key == vk::kCtrl || key == vk::kAlt ||
           (key >= kFirstPadKey && key < kFirstPadKey + kActionCount);
}

const Controls& controls() {
    return current();
}

void useControls(const Controls& bindings) {
    current() = bindings;
}

ControlsOverride::ControlsOverride(const Controls& bindings)
    : replaced_(std::exchange(current(), bindings)) {}

ControlsOverride::~ControlsOverride() {
    current() = replaced_;
}

std::string keyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= vk::kF1 && key < vk::kF1 + 12)
        return "F" + std::to_string(key - vk::kF1 + 1);
    static const std::map<int, std::string> kNames = {
        {vk::kCtrl, "Ctrl"},   {vk::kShift, "Shift"}, {vk::kAlt, "Alt"},
        {vk::kEnter, "Enter"}, {vk::kEscape, "Esc"},  {vk::kSpace, "Space"},
        {vk::kLeft, "Left"},   {vk::kUp, "Up"},       {vk::kRight, "Right"},
        {vk::kDown, "Down"},   {vk::kTab, "Tab"},     {vk::kBackspace, "Backspace"},
    };
    if (const auto named = kNames.find(key); named != kNames.end())
        return named->second;
    // A code of one digit would read back as that digit's key.
    if (key > 0 && key < 10)
        return "0" + std::to_string(key);
    for (const auto& [text, code] : kPunctuation) {
        if (code == key)
            return text == "comma" ? "Comma" : std::string(text);
    }
    return std::to_string(key);
}

}  // namespace platform
