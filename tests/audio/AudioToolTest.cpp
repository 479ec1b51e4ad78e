#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ByteOrder.h"
#include "support/AudioFiles.h"
#include "support/TempDir.h"
#include "tools/audio/AudioToolOptions.h"

using namespace audiofiles;

namespace {

const std::string kTool = std::string(QUELVANE_RUN_DIR) + "/quelvane-audio";

// Runs the tool and returns its exit status and standard output.
std::pair<int, std::string> run(const std::string& args) {
    FILE* pipe = ::popen((kTool + " " + args + " 2>/dev/null").c_str(), "r");
    std::string out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
        out += buf;
    }
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

Bytes contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(AudioToolOptions, ParsesEveryOption) {
    std::string error;
    const auto options = parseAudioToolOptions(
        {"--port", "Midi Through: Midi Through Port-0", "--play", "a.mid", "--effect",
         "late@x.wav@2.5", "--effect", "b.wav@0.25", "--seconds", "4", "--render", "out.wav"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->port, "Midi Through: Midi Through Port-0");
    EXPECT_EQ(options->midiFile, "a.mid");
    ASSERT_EQ(options->effects.size(), 2u);
    EXPECT_EQ(options->effects[0].file, "b.wav");
    EXPECT_EQ(options->effects[1].file, "late@x.wav");
    EXPECT_DOUBLE_EQ(options->effects[1].seconds, 2.5);
    EXPECT_DOUBLE_EQ(options->seconds, 4.0);
    EXPECT_EQ(options->renderFile, "out.wav");
    EXPECT_FALSE(options->list);
}

TEST(AudioToolOptions, RefusesBadArguments) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--play"},
                                               {"--seconds", "-1"},
                                               {"--seconds", "1e9"},
                                               {"--seconds", "nan"},
                                               {"--seconds", "3x"},
                                               {"--effect", "a.wav"},
                                               {"--effect", "@2"},
                                               {"--effect", "a.wav@"}}) {
        std::string error;
        EXPECT_FALSE(parseAudioToolOptions(args, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(AudioTool, ListsTheSynthesizerFirst) {
    const auto [status, out] = run("--list");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.substr(0, out.find('\n')), "Software Synthesizer");
}

TEST(AudioTool, RenderIsTheSameOnEveryRun) {
    TempDir dir;
    const auto midi =
        dir.write("a.mid", smf(0, 96, {track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})}));
    const auto wav = dir.write("b.wav", stereoWav(std::vector<int16_t>(200, 9000)));
    const std::string args =
        "--play " + midi.string() + " --effect " + wav.string() + "@0.5 --seconds 1.5";
    ASSERT_EQ(run(args + " --render " + (dir / "one.wav").string()).first, 0);
    ASSERT_EQ(run(args + " --render " + (dir / "two.wav").string()).first, 0);
    const Bytes one = contents(dir / "one.wav");
    EXPECT_EQ(one, contents(dir / "two.wav"));
    // 44 bytes of header, then 1.5 s of 16-bit stereo at 48 kHz.
    ASSERT_EQ(one.size(), 44u + 72000u * 4);
    EXPECT_EQ(Bytes(one.begin(), one.begin() + 4), (Bytes{'R', 'I', 'F', 'F'}));
    // The effect sits at exactly half a second, on top of the music.
    auto left = [&](std::size_t frame) {
        return static_cast<int16_t>(byteorder::readLe16(&one[44 + 4 * frame]));
    };
    bool music = false;
    for (std::size_t f = 0; f < 24000; ++f) {
        music = music || left(f) != 0;
    }
    EXPECT_TRUE(music);

    ASSERT_EQ(
        run("--seconds 1.5 --effect " + wav.string() + "@0.5 --render " + (dir / "fx.wav").string())
            .first,
        0);
    const Bytes fx = contents(dir / "fx.wav");
    ASSERT_EQ(fx.size(), one.size());
    EXPECT_EQ(fx[44 + 4 * 23999], 0);
    EXPECT_NEAR(static_cast<int16_t>(byteorder::readLe16(&fx[44 + 4 * 24000])), 9000, 1);
}

TEST(AudioTool, MissingFilesAndAFullDiskFail) {
    TempDir dir;
    EXPECT_EQ(run("--play " + (dir / "none.mid").string() + " --render " + (dir / "o.wav").string())
                  .first,
              1);
    EXPECT_EQ(
        run("--effect " + (dir / "none.wav").string() + "@1 --render " + (dir / "o.wav").string())
            .first,
        1);
    EXPECT_EQ(run("--nonsense").first, 2);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(run("--seconds 0.01 --render /dev/full").first, 1);
    }
}

}  // namespace
