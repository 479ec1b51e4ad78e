#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/TempDir.h"

// Cases about who may write where. Root ignores file modes, so when the tests run as root the
// writes run in a child process as the unprivileged user "nobody", and the files that are "the
// user's own" are given to that user; otherwise the user running the tests is the user.
class AtomicFileAsUser : public ::testing::Test {
  protected:
    struct Outcome {
        bool saved = false;
        std::string reason;
    };
    // Saves and returns whether it did, setting reason when it did not.
    using Write = std::function<bool(std::string& reason)>;

    void SetUp() override {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr) {
                GTEST_SKIP() << "no user \"nobody\" to run the writes as";
            }
            uid_ = nobody->pw_uid;
            gid_ = nobody->pw_gid;
        }
        own(dir_.path());
    }

    void TearDown() override {
        for (const std::filesystem::path& folder : readOnly_) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add);
        }
    }

    void own(const std::filesystem::path& path) const {
        if (uid_) {
            ASSERT_EQ(::lchown(path.c_str(), *uid_, gid_), 0) << path;
        }
    }

    std::filesystem::path ownFolder(const std::string& name) const {
        std::filesystem::path folder = dir_ / name;
        std::filesystem::create_directory(folder);
        own(folder);
        return folder;
    }

    std::filesystem::path ownFile(const std::filesystem::path& file, const std::string& bytes,
                                  std::filesystem::perms mode) const {
        std::ofstream(file, std::ios::binary) << bytes;
        std::filesystem::permissions(file, mode);
        own(file);
        return file;
    }

    void makeReadOnly(const std::filesystem::path& folder) {
        std::filesystem::permissions(folder, std::filesystem::perms(0555));
        readOnly_.push_back(folder);
    }

    // write in a child process as the user, run from workingDir when one is given.
    Outcome asUser(const Write& write, const std::filesystem::path& workingDir = {}) const {
        int channel[2];
        if (::pipe(channel) != 0) {
            return {false, "no pipe"};
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            std::string report = "-could not become the user";
            const bool dropped =
                !uid_ || (::setgroups(0, nullptr) == 0 && ::setresgid(gid_, gid_, gid_) == 0 &&
                          ::setresuid(*uid_, *uid_, *uid_) == 0);
            if (dropped && (workingDir.empty() || ::chdir(workingDir.c_str()) == 0)) {
                std::string reason;
                report = write(reason) ? "+" : "-";
                report += reason;
            }
            const ssize_t written = ::write(channel[1], report.data(), report.size());
            ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
        }
        ::close(channel[1]);
        std::string report;
        char buffer[256];
        ssize_t n = 0;
        while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) {
            report.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(channel[0]);
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0 || report.empty()) {
            return {false, "the child process failed"};
        }
        return {report[0] == '+', report.substr(1)};
    }

    TempDir dir_;
    std::optional<uid_t> uid_;
    gid_t gid_ = 0;
    std::vector<std::filesystem::path> readOnly_;
};
