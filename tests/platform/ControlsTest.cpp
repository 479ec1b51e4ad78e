#include "platform/ControlsReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/VirtualKeys.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using Problems = std::vector<std::string>;

Controls parse(const std::string& text, Problems& problems) {
    return parseControls(text, "controls.ini", problems);
}

TEST(ControlsTest, TheDefaultFileReadsAsTheDefaultsAndTheyAreTodaysTable) {
    Problems problems;
    const Controls read = parse(defaultControlsFile(), problems);
    EXPECT_EQ(problems, Problems{});
    EXPECT_EQ(read, Controls::defaults());
    const Controls& d = Controls::defaults();
    EXPECT_EQ(d.keyboardKeysOf(Action::Attack), (std::vector<int>{'G', vk::kCtrl}));
    EXPECT_EQ(d.keyboardKeysOf(Action::LimitBreak), (std::vector<int>{'J', vk::kEnter}));
    EXPECT_EQ(d.keyboardKeysOf(Action::NextWeapon), (std::vector<int>{'H', vk::kShift}));
    EXPECT_EQ(d.keyboardKeysOf(Action::MoveLeft), (std::vector<int>{'A', vk::kLeft}));
    EXPECT_EQ(d.actionOf(vk::kF1 + 10), Action::FullScreen);
    EXPECT_EQ(d.actionOf('Q'), std::nullopt);
    // Every action answers to its pad key, whatever its keys.
    EXPECT_EQ(d.keysOf(Action::Quit), (std::vector<int>{vk::kEscape, padKey(Action::Quit)}));
    EXPECT_EQ(d.actionOf(padKey(Action::HighScores)), Action::HighScores);
}

TEST(ControlsTest, ARebindingTakesTheKeysFromTheDefaultsOfActionsItLeavesOut) {
    Problems problems;
    const Controls c = parse(
        "# mine\r\nattack = Space, Pad rightshoulder\r\n"
        "LimitBreak = b\r\n  up = I ,Up\r\nleft = J\n",
        problems);
    EXPECT_EQ(problems, Problems{});
    EXPECT_EQ(c.actionOf(vk::kSpace), Action::Attack);
    EXPECT_EQ(c.actionOf('G'), std::nullopt);
    EXPECT_EQ(c.actionOf('B'), Action::LimitBreak);
    EXPECT_EQ(c.actionOf(vk::kEnter), std::nullopt);
    EXPECT_EQ(c.actionOf('I'), Action::MoveUp);
    // J went to left: the LimitBreak's line had none of it, and left keeps no A.
    EXPECT_EQ(c.keyboardKeysOf(Action::MoveLeft), std::vector<int>{'J'});
    EXPECT_EQ(c.actionOf('A'), std::nullopt);
    // Attack's own line replaces its defaults: the right shoulder fires, A no longer does.
    EXPECT_EQ(c.actionOf(PadInput{PadInput::Kind::Button, 0}), std::nullopt);
    EXPECT_EQ(c.actionOf(PadInput{PadInput::Kind::Button, 10}), Action::Attack);
    EXPECT_EQ(c.keyboardKeysOf(Action::Help), std::vector<int>{vk::kF1});
}

// Each damaged file starts the game with the defaults for what it got wrong, and says where.
TEST(ControlsTest, EveryFaultIsToldWithItsLineAndTheActionKeepsItsDefaults) {
    struct Case {
        std::string text;
        std::string problem;
    };
    const Case cases[] = {
        {"fire = G", "controls.ini:1: unknown action 'fire'"},
        {"\nattack = G, Hyper", "controls.ini:2: unknown key 'Hyper'"},
        {"attack = Pad z", "controls.ini:1: unknown game controller input 'Pad z'"},
        {"limitbreak = J\nattack = j", "controls.ini:2: j is bound to limitbreak already"},
        {"limitbreak = J\nlimitbreak = Enter",
         "controls.ini:2: limitbreak is bound already on line 1"},
        {"attack G", "controls.ini:1: expected ACTION = KEYS, got 'attack G'"},
        {"attack =", "controls.ini:1: attack is bound to nothing"},
        {"attack = G\x01\x02", "controls.ini:1: characters that are not text"},
        {"attack = " + std::string(2000, 'G'), "controls.ini:1: a line of 2009 characters"},
        {"", "controls.ini: binds nothing; the default controls are used"},
    };
    for (const Case& c : cases) {
        Problems problems;
        const Controls read = parse(c.text, problems);
        ASSERT_FALSE(problems.empty()) << c.text;
        EXPECT_EQ(problems.front(), c.problem);
        // Attack keeps what it had, since its own line was wrong or missing; J stays the
        // LimitBreak's, by its default or by its own line.
        EXPECT_EQ(read.actionOf('G'), Action::Attack) << c.text;
        EXPECT_EQ(read.actionOf(vk::kCtrl), Action::Attack) << c.text;
        EXPECT_EQ(read.actionOf('J'), Action::LimitBreak) << c.text;
    }
}

TEST(ControlsTest, NoiseUnreadableAndHugeFilesGiveTheDefaultsAndAFewLines) {
    const TempDir dir;
    Problems problems;
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise.push_back(static_cast<char>(i * 7919 % 256));
    EXPECT_EQ(readControls(dir.write("controls.ini", noise), problems), Controls::defaults());
    EXPECT_LE(problems.size(), 21u);
    EXPECT_EQ(problems.back().rfind("controls.ini: ", 0), 0u);

    problems.clear();
    const std::string megabyteLine = "attack = " + std::string(1 << 20, 'x') + "\n";
    EXPECT_EQ(readControls(dir.write("big.ini", megabyteLine), problems), Controls::defaults());
    EXPECT_EQ(problems, Problems{"big.ini: too large for a controls file (1048586 bytes); the "
                                 "default controls are used"});

    // A pipe would wait for a writer for ever.
    problems.clear();
    ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    EXPECT_EQ(readControls(dir / "pipe.ini", problems), Controls::defaults());
    EXPECT_EQ(problems, Problems{"pipe.ini: cannot be read; the default controls are used"});

    problems.clear();
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_EQ(readControls(dir / "folder.ini", problems), Controls::defaults());
    EXPECT_EQ(problems, Problems{"folder.ini: cannot be read; the default controls are used"});
}

TEST(ControlsTest, KeysAreNamedAsTheFileAndTheHelpPagesNameThem) {
    for (const int key :
         {int{'G'}, int{'7'}, vk::kCtrl, vk::kF1 + 10, vk::kLeft, vk::kSpace, 186, 188, 222}) {
        const std::string name = keyName(key);
        Problems problems;
        const Controls c = parse("help = " + name, problems);
        // Taking a key may leave its own action with none, which is told; nothing else is.
        std::erase_if(problems, [](const std::string& p) {
            return p.find(" is left with no key or button") != std::string::npos;
        });
        EXPECT_EQ(problems, Problems{}) << name;
        EXPECT_EQ(c.keyboardKeysOf(Action::Help), std::vector<int>{key}) << name;
    }
    EXPECT_EQ(keyName(vk::kEscape), "Esc");
    EXPECT_EQ(keyName(188), "Comma");
    EXPECT_TRUE(actsWhenPolled(vk::kShift) && actsWhenPolled(vk::kAlt) &&
                actsWhenPolled(padKey(Action::NextWeapon)));
    EXPECT_FALSE(actsWhenPolled('H'));
}

// A replay keeps the bindings as text() writes them and plays with what that text reads as.
TEST(ControlsTest, WhatTheBindingsWriteReadsBackAsTheSameBindings) {
    for (const std::string text : {"attack = Space\nlimitbreak = B\n", "attack = 1\n",
                                   "help = F2\nquit = 05, Esc\n", "left = J, Pad dpleft\n"}) {
        Problems problems;
        const Controls bound = parse(text, problems);
        Problems again;
        const Controls reread = parse(bound.text(), again);
        EXPECT_EQ(reread, bound) << text;
        EXPECT_EQ(reread.text(), bound.text()) << text;
    }
    // An action whose every key another line took is told, not left silently dead.
    Problems problems;
    const Controls emptied = parse("attack = 1", problems);
    EXPECT_TRUE(emptied.keysOf(Action::Weapon1).size() == 1);  // its controller key alone
    EXPECT_NE(std::find(problems.begin(), problems.end(),
                        "controls.ini: weapon1 is left with no key or button: other lines took "
                        "its own"),
              problems.end());
}

}  // namespace
}  // namespace platform
