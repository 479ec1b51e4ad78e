#include "server/support/PostgresCluster.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace quelvane {
namespace {

// Longer than initdb takes on a loaded machine; a command past it is killed and the test fails.
const std::chrono::seconds kCommandLimit{120};
const char* const kUser = "nobody";

// The newest installed server's programs.
std::string serverBin() {
    std::filesystem::path newest;
    int newestVersion = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql")) {
        const int version = std::atoi(entry.path().filename().c_str());
        if (version > newestVersion && std::filesystem::exists(entry.path() / "bin" / "initdb")) {
            newestVersion = version;
            newest = entry.path() / "bin";
        }
    }
    if (newest.empty())
        throw std::runtime_error("no PostgreSQL server under /usr/lib/postgresql");
    return newest.string();
}

bool asRoot() {
    return ::geteuid() == 0;
}

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

PostgresCluster::PostgresCluster() : bin_(serverBin()) {
    if (asRoot()) {
        const passwd* user = ::getpwnam(kUser);
        if (!user || ::chown(folder_.path().c_str(), user->pw_uid, user->pw_gid) != 0)
            throw std::runtime_error("cannot give the cluster's folder to " + std::string(kUser));
    }
    run({bin_ + "/initdb", "-D", (folder_ / "data").string(), "--auth=trust", "-U", "postgres",
         "-E", "UTF8", "--locale=C", "--no-sync", "--no-instructions"});
    // The folder's socket only; durability is not what the tests look at.
    std::ofstream(folder_ / "data" / "postgresql.conf", std::ios::app)
        << "listen_addresses = ''\n"
        << "unix_socket_directories = '" << folder_.path().string() << "'\n"
        << "fsync = off\n";
    start();
}

PostgresCluster::~PostgresCluster() {
    if (running_) {
        try {
            stop();
        } catch (const std::exception&) {
            // The folder goes anyway; a server that outlives it stops when it finds its lock
            // file gone.
        }
    }
}

std::string PostgresCluster::newDatabase() {
    const std::string name = "store" + std::to_string(++databases_);
    run({bin_ + "/createdb", "-h", folder_.path().string(), "-U", "postgres", name});
    return "postgresql:///" + name + "?host=" + folder_.path().string() + "&user=postgres";
}

void PostgresCluster::start() {
    run({bin_ + "/pg_ctl", "-D", (folder_ / "data").string(), "-l",
         (folder_ / "server.log").string(), "-w", "-t", "60", "start"});
    running_ = true;
}

void PostgresCluster::stop() {
    running_ = false;
    run({bin_ + "/pg_ctl", "-D", (folder_ / "data").string(), "-m", "immediate", "-w", "-t", "60",
         "stop"});
}

void PostgresCluster::run(std::vector<std::string> command) {
    if (asRoot())
        command.insert(command.begin(), {"runuser", "-u", kUser, "--"});
    const auto log = folder_ / "commands.log";
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        if (::chdir(folder_.path().c_str()) != 0)
            ::_exit(126);
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (auto& word : command)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kCommandLimit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            throw std::runtime_error(command.front() + " took too long:\n" + readAll(log));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("failed: " + command[asRoot() ? 4 : 0] + "\n" + readAll(log) +
                                 readAll(folder_ / "server.log"));
}

}  // namespace quelvane
