#include "platform/DataFolders.h"

#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

extern char** environ;

namespace platform {

namespace fs = std::filesystem;

namespace {

fs::path homeFolder(const char* home) {
    if (home && *home)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

}  // namespace

DataFolders chooseDataFolders(const fs::path& program, const char* xdgDataHome, const char* home) {
    DataFolders folders;
    const fs::path bin = program.parent_path();
    const fs::path assets = bin.parent_path() / "share" / "quelvane";
    std::error_code error;
    if (bin.filename() != "bin" || !fs::is_directory(assets, error))
        return folders;
    folders.installed = true;
    folders.assets = assets;
    const fs::path dataHome = xdgDataHome && fs::path(xdgDataHome).is_absolute()
                                  ? fs::path(xdgDataHome)
                                  : homeFolder(home) / ".local" / "share";
    folders.user = dataHome / "quelvane";
    return folders;
}

bool enterDataFolder(const DataFolders& folders, bool linkAssets, std::string& error) {
    if (!folders.installed)
        return true;
    std::error_code ec;
    fs::create_directories(folders.user, ec);
    if (ec || !fs::is_directory(folders.user, ec)) {
        error = "cannot make the folder " + folders.user.string();
        return false;
    }
    fs::current_path(folders.user, ec);
    if (ec) {
        error = "cannot enter the folder " + folders.user.string() + ": " + ec.message();
        return false;
    }
    if (!linkAssets)
        return true;
    fs::directory_iterator assets(folders.assets, ec);
    if (ec) {
        error = "cannot read the folder " + folders.assets.string() + ": " + ec.message();
        return false;
    }
    for (const auto& entry : assets) {
        if (!entry.is_regular_file(ec))
            continue;
        const fs::path link = folders.user / entry.path().filename();
        const fs::file_status status = fs::symlink_status(link, ec);
        if (fs::is_symlink(status)) {
            // An older link, to an installation moved since, is pointed at this one.
            if (fs::read_symlink(link, ec) == entry.path())
                continue;
            fs::remove(link, ec);
        } else if (fs::exists(status)) {
            continue;
        }
        fs::create_symlink(entry.path(), link, ec);
        if (ec) {
            error = "cannot link " + link.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

fs::path thisProgram() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec);
}

bool runBesideThisProgram(const char* name) {
    const std::string path = (thisProgram().parent_path() / name).string();
    char* const argv[] = {const_cast<char*>(name), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
