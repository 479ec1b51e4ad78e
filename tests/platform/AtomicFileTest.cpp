#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <system_error>
#include <thread>

#include "support/AtomicFileAsUser.h"
#include "support/KillHarness.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using platform::InPlaceWrite;
using platform::replaceFileContents;
using Names = std::vector<std::string>;

namespace {

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const fs::path& file, const std::string& bytes, fs::perms mode) {
    std::ofstream(file, std::ios::binary) << bytes;
    fs::permissions(file, mode);
}

// Sorted, so that a stray temporary file shows up as an extra name.
Names entries(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0) << file;
    return st;
}

std::string message(int error) {
    return std::generic_category().message(error);
}

fs::perms newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
}

fs::perms modeOf(const fs::path& file) {
    return fs::status(file).permissions();
}

TEST(AtomicFile, ReplacesTheContentsWithNothingLeftBeside) {
    TempDir dir;
    const fs::path file = dir / "MidiDevice.ini";
    std::string reason;
    ASSERT_TRUE(
        replaceFileContents(file, "a first, rather long port name", InPlaceWrite::Never, &reason))
        << reason;
    EXPECT_EQ(modeOf(file), newFileMode());
    const ino_t first = statOf(file).st_ino;

    ASSERT_TRUE(replaceFileContents(file, std::string("short\0name", 10), InPlaceWrite::Never));
    EXPECT_EQ(contents(file), std::string("short\0name", 10));
    // A new file renamed into place, not the old one rewritten.
    EXPECT_NE(statOf(file).st_ino, first);
    ASSERT_TRUE(replaceFileContents(file, "", InPlaceWrite::WhenNoTemporaryFile));
    EXPECT_EQ(contents(file), "");
    EXPECT_EQ(entries(dir.path()), Names{"MidiDevice.ini"});
}

TEST(AtomicFile, KeepsThePermissionBitsOfTheFileItReplaces) {
    TempDir dir;
    const fs::path file = dir / "scores.dat";
    for (const auto mode : {fs::perms(0600), fs::perms(0640), fs::perms(0754), fs::perms(0444)}) {
        put(file, "old", mode);
        ASSERT_TRUE(replaceFileContents(file, "new", InPlaceWrite::Never));
        EXPECT_EQ(modeOf(file), mode);
        EXPECT_EQ(contents(file), "new");
    }
}

TEST(AtomicFile, KeepsTheOwnerOfAFileThatRootReplaces) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    TempDir dir;
    const fs::path file = dir / "MidiDevice.ini";
    put(file, "old", fs::perms(0640));
    ASSERT_EQ(::chown(file.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_TRUE(replaceFileContents(file, "new", InPlaceWrite::Never));
    EXPECT_EQ(contents(file), "new");
    EXPECT_EQ(statOf(file).st_uid, nobody->pw_uid);
    EXPECT_EQ(statOf(file).st_gid, nobody->pw_gid);
    EXPECT_EQ(modeOf(file), fs::perms(0640));
}

TEST(AtomicFile, WritesTheFileASymbolicLinkLeadsToAndKeepsTheLink) {
    TempDir dir;
    fs::create_directory(dir / "shared");
    put(dir / "shared" / "real.ini", "old", fs::perms(0640));
    fs::create_symlink("shared/real.ini", dir / "first-link");
    fs::create_symlink(dir / "first-link", dir / "MidiDevice.ini");

    ASSERT_TRUE(replaceFileContents(dir / "MidiDevice.ini", "new", InPlaceWrite::Never));
    EXPECT_EQ(fs::read_symlink(dir / "MidiDevice.ini"), dir / "first-link");
    EXPECT_EQ(fs::read_symlink(dir / "first-link"), "shared/real.ini");
    EXPECT_EQ(contents(dir / "shared" / "real.ini"), "new");
    EXPECT_EQ(modeOf(dir / "shared" / "real.ini"), fs::perms(0640));
    // The temporary file was made beside the real file, and went.
    EXPECT_EQ(entries(dir / "shared"), Names{"real.ini"});

    // A link to a file not there yet makes that file.
    fs::create_symlink("shared/later.ini", dir / "dangling");
    ASSERT_TRUE(replaceFileContents(dir / "dangling", "made", InPlaceWrite::Never));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_EQ(contents(dir / "shared" / "later.ini"), "made");

    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    std::string reason;
    EXPECT_FALSE(
        replaceFileContents(dir / "loop-a", "x", InPlaceWrite::WhenNoTemporaryFile, &reason));
    EXPECT_EQ(reason, message(ELOOP));
    EXPECT_EQ(entries(dir.path()),
              (Names{"MidiDevice.ini", "dangling", "first-link", "loop-a", "loop-b", "shared"}));
}

TEST(AtomicFile, RefusesWhatIsNoRegularFileAndSaysWhy) {
    TempDir dir;
    fs::create_directories(dir / "folder" / "inner");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    for (const InPlaceWrite inPlace : {InPlaceWrite::Never, InPlaceWrite::WhenNoTemporaryFile}) {
        std::string reason;
        EXPECT_FALSE(replaceFileContents(dir / "folder", "x", inPlace, &reason));
        EXPECT_EQ(reason, message(EISDIR));
        // A FIFO would block a plain write until someone reads it.
        EXPECT_FALSE(replaceFileContents(dir / "fifo", "x", inPlace, &reason));
        EXPECT_EQ(reason, "Not a regular file");
        EXPECT_FALSE(
            replaceFileContents(dir / "missing" / "MidiDevice.ini", "x", inPlace, &reason));
        EXPECT_EQ(reason, message(ENOENT));
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder" / "inner"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_EQ(entries(dir.path()), (Names{"fifo", "folder"}));
}

TEST(AtomicFile, RemovesTheTemporaryFilesOfDeadWritersOnly) {
    TempDir dir;
    const pid_t dead = ::fork();
    if (dead == 0) {
        ::_exit(0);
    }
    ASSERT_GT(dead, 0);
    ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
    const std::string deadPid = std::to_string(dead);
    const std::string livePid = std::to_string(::getppid());
    const Names kept{"MidiDevice.ini", "MidiDevice.ini.tmp-" + deadPid + "-0123abcZ",
                     "MidiDevice.ini.tmp-" + deadPid + "-0123abcd.bak",
                     "MidiDevice.ini.tmp-" + livePid + "-0123abcd",
                     "scores.dat.tmp-" + deadPid + "-0123abcd"};
    for (const std::string& name : kept) {
        put(dir / name, "x", fs::perms(0644));
    }
    put(dir / ("MidiDevice.ini.tmp-" + deadPid + "-89abcdef"), "stale", fs::perms(0644));

    ASSERT_TRUE(replaceFileContents(dir / "MidiDevice.ini", "new", InPlaceWrite::Never));
    Names expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(dir.path()), expected);
}

// replaceFileContents as the user.
class AtomicReplaceAsUser : public AtomicFileAsUser {
  protected:
    Outcome replaceAsUser(const fs::path& file, const std::string& bytes, InPlaceWrite inPlace,
                          const fs::path& workingDir = {}) const {
        return asUser(
            [&](std::string& reason) { return replaceFileContents(file, bytes, inPlace, &reason); },
            workingDir);
    }
};

TEST_F(AtomicReplaceAsUser, WritesInPlaceInAFolderTheUserCannotWriteTo) {
    const fs::path folder = ownFolder("settings");
    const fs::path file = ownFile(folder / "MidiDevice.ini", "a longer old name", fs::perms(0640));
    const ino_t inode = statOf(file).st_ino;
    makeReadOnly(folder);

    const Outcome refused = replaceAsUser(file, "new", InPlaceWrite::Never);
    EXPECT_FALSE(refused.saved);
    EXPECT_EQ(refused.reason, message(EACCES));
    EXPECT_EQ(contents(file), "a longer old name");

    const Outcome inPlace = replaceAsUser(file, "new", InPlaceWrite::WhenNoTemporaryFile);
    EXPECT_TRUE(inPlace.saved) << inPlace.reason;
    EXPECT_EQ(contents(file), "new");
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_EQ(modeOf(file), fs::perms(0640));
    EXPECT_EQ(entries(folder), Names{"MidiDevice.ini"});
}

TEST_F(AtomicReplaceAsUser, KeepsTheOldFileWhenItCanNeitherBeWrittenNorReplaced) {
    const fs::path folder = ownFolder("settings");
    const fs::path file = ownFile(folder / "MidiDevice.ini", "old", fs::perms(0444));
    makeReadOnly(folder);
    for (const InPlaceWrite inPlace : {InPlaceWrite::Never, InPlaceWrite::WhenNoTemporaryFile}) {
        const Outcome outcome = replaceAsUser(file, "new", inPlace);
        EXPECT_FALSE(outcome.saved);
        EXPECT_EQ(outcome.reason, message(EACCES));
        // Nor is a file made where there was none.
        EXPECT_FALSE(replaceAsUser(folder / "other.ini", "new", inPlace).saved);
    }
    EXPECT_EQ(contents(file), "old");
    EXPECT_EQ(entries(folder), Names{"MidiDevice.ini"});
}

TEST_F(AtomicReplaceAsUser, MakesTheTemporaryFileBesideTheFileNotInTheWorkingDirectory) {
    const fs::path workingDir = ownFolder("working");
    const fs::path elsewhere = ownFolder("elsewhere");
    const fs::path file = ownFile(elsewhere / "MidiDevice.ini", "old", fs::perms(0644));
    const ino_t inode = statOf(file).st_ino;
    makeReadOnly(workingDir);

    const Outcome outcome =
        replaceAsUser("../elsewhere/MidiDevice.ini", "new", InPlaceWrite::Never, workingDir);
    EXPECT_TRUE(outcome.saved) << outcome.reason;
    EXPECT_EQ(contents(file), "new");
    EXPECT_NE(statOf(file).st_ino, inode);
    EXPECT_EQ(entries(workingDir), Names{});
    EXPECT_EQ(entries(elsewhere), Names{"MidiDevice.ini"});
}

// A writer killed at random moments, many times over: the file always holds one whole version, and
// a temporary file is never left for long: at most the one of a writer killed between naming it and
// the rename, which the next write takes away.
TEST(AtomicFileKill, AKilledWriterLeavesOneWholeVersionAndNoStrayFile) {
    const TempDir temp(TempDir::Place::MemoryWhereOffered);
    ASSERT_FALSE(temp.path().empty());
    const fs::path& folder = temp.path();
    const fs::path file = folder / "MidiDevice.ini";
    const std::string versions[] = {"Software Synthesizer",
                                    "Midi Through: Midi Through Port-0, a longer name"};
    ASSERT_TRUE(replaceFileContents(file, versions[0], InPlaceWrite::Never));

    int straysSeen = 0;
    quelvane::KillRun run;
    run.kills = 200;
    run.seed = 12345;
    run.write = [&](int version) {
        replaceFileContents(file, versions[version], InPlaceWrite::Never);
    };
    run.versionNow = [&] {
        const std::string now = contents(file);
        return now == versions[0] ? 0 : now == versions[1] ? 1 : -1;
    };
    run.afterKill = [&](int kill) {
        const std::size_t others = entries(folder).size() - 1;
        EXPECT_LE(others, 1u) << "kill " << kill;
        straysSeen += static_cast<int>(others);
    };
    const quelvane::KillOutcome outcome = quelvane::killWriterRepeatedly(run);

    ASSERT_TRUE(replaceFileContents(file, versions[0], InPlaceWrite::Never));
    EXPECT_EQ(entries(folder), Names{"MidiDevice.ini"});
    std::cout << "write cycle " << outcome.writeTime.count() << " us; " << run.kills
              << " kills: " << outcome.changed << " changed the version, " << straysSeen
              << " left a temporary file for the next write\n";
}

}  // namespace
