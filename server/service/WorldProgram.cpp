#include "server/service/WorldProgram.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/verify/Verifier.h"
#include "game/world/Assets.h"
#include "platform/DataFolders.h"
#include "server/service/ApiJson.h"
#include "server/service/PageFiles.h"
#include "server/service/Workers.h"
#include "server/service/WorldApi.h"
#include "server/store/Store.h"

namespace quelvane::server {

namespace {

// Verifications still running at a stop get this long to end before they are killed and their
// runs given back.
constexpr std::chrono::seconds kStopGrace{20};
// A worker's lease unless --lease says otherwise: a stopped or dead server's runs wait about this
// long before others claim them. Workers renew it while they verify, so games may last longer.
constexpr int kLeaseSeconds = 60;

std::unique_ptr<Store> openStore(const ServiceOptions& options) {
    if (!options.postgresUrl.empty())
        return openPostgresStore(options.postgresUrl);
    return openSqliteStore(options.dataFolder);
}

int hideOrShow(Store& store, const ServiceOptions& options) {
    const int64_t id = options.hide ? *options.hide : *options.unhide;
    if (!(options.hide ? store.hide(id) : store.unhide(id))) {
        std::fprintf(stderr, "quelvane-world: no run %lld\n", static_cast<long long>(id));
        return 1;
    }
    std::printf("run %lld %s\n", static_cast<long long>(id), options.hide ? "hidden" : "shown");
    return 0;
}

WorkerSettings workerSettings(const ServiceOptions& options) {
    WorkerSettings settings;
    settings.count = options.workers >= 0
                         ? options.workers
                         : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    settings.lease =
        std::chrono::seconds(options.leaseSeconds > 0 ? options.leaseSeconds : kLeaseSeconds);
    // The running program itself, even when a newer one has been installed over its file since:
    // its children verify by this build's rules.
    settings.program = "/proc/self/exe";
    char host[256] = "";
    ::gethostname(host, sizeof host - 1);
    settings.name = std::string(host) + ":" + std::to_string(::getpid());
    settings.rules = rulesVersion();
    return settings;
}

// Listens as the options ask and says where; false, with a line on standard error, when it cannot.
bool listen(httplib::Server& http, const ServiceOptions& options) {
    // httplib listens with a backlog of 5, compiled into it: twenty clients connecting at once
    // overflow it, and a connection dropped there waits a second before it tries again. So the
    // socket is kept as it is made, and listens again with the system's backlog once bound.
    int made = -1;
    http.set_socket_options([&made](socket_t sock) {
        const int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        made = sock;
    });
    const int port = options.port == 0
                         ? http.bind_to_any_port(options.host)
                         : (http.bind_to_port(options.host, options.port) ? options.port : -1);
    if (port >= 0 && made >= 0)
        ::listen(made, SOMAXCONN);
    const bool v6 = options.host.find(':') != std::string::npos;
    const std::string where =
        (v6 ? "[" + options.host + "]" : options.host) + ":" + std::to_string(port);
    if (port < 0) {
        std::fprintf(stderr, "quelvane-world: cannot listen on %s:%d\n", options.host.c_str(),
                     options.port);
        return false;
    }
    std::printf("listening on %s\n", where.c_str());
    std::fflush(stdout);
    return true;
}

// The page's files, after the API's routes so that those keep their paths; false, with a line on
// standard error, when the folder is not one.
bool installPage(httplib::Server& http, const std::string& folder, std::optional<PageFiles>& page) {
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "quelvane-world: --page %s is not a folder\n", folder.c_str());
        return false;
    }
    page.emplace(folder);
    page->install(http);
    return true;
}

// Waits for SIGTERM or SIGINT, which every thread of the process leaves to this one.
void awaitStop(const sigset_t& stops) {
    int signal = 0;
    while (sigwait(&stops, &signal) != 0) {
    }
}

}  // namespace

int verifyOne(const std::string& file) {
    const VerifyLimits limits;
    ReplayRead refusal;
    const auto bytes = readReplayBytes(file, limits.maxFileBytes, refusal);
    if (!bytes) {
        std::fprintf(stderr, "quelvane-world: %s: %s\n", file.c_str(), refusal.error.c_str());
        return 1;
    }
    // The game's assets: installed under PREFIX/share/quelvane, or generated beside the program.
    const std::filesystem::path program = platform::thisProgram();
    const platform::DataFolders folders = platform::chooseDataFolders(program, nullptr, nullptr);
    setAssetFolder(folders.installed ? folders.assets : program.parent_path());
    std::fputs(formatVerdict(verifyReplay(*bytes, rulesVersion(), limits)).c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int runWorld(const ServiceOptions& options) {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<Store> store;
    try {
        store = openStore(options);
        if (options.hide || options.unhide)
            return hideOrShow(*store, options);
        const uint64_t rules = rulesVersion();
        const int64_t refused = store->refuseOtherRules(rules, [rules](uint64_t recorded) {
            return "recorded under rules " + rulesHex(recorded) + "; this server verifies rules " +
                   rulesHex(rules);
        });
        if (refused > 0)
            std::fprintf(stderr, "quelvane-world: %lld queued runs of other rules refused\n",
                         static_cast<long long>(refused));
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "quelvane-world: %s\n", fault.what());
        return 1;
    }
    const WorkerSettings settings = workerSettings(options);
    std::optional<Workers> workers;
    if (settings.count > 0)
        workers.emplace(*store, settings);
    httplib::Server http;
    WorldApi api(*store,
                 {settings.rules, options.rate, options.trustedProxy, options.queueLimit,
                  options.maxConnections},
                 [&workers] {
                     if (workers)
                         workers->wake();
                 });
    std::optional<PageFiles> page;
    std::thread serving;
    if (!options.workerOnly) {
        api.install(http);
        if (!options.pageFolder.empty() && !installPage(http, options.pageFolder, page))
            return 1;
        if (!listen(http, options))
            return 1;
        serving = std::thread([&http] { http.listen_after_bind(); });
    }
    awaitStop(stops);
    if (serving.joinable()) {
        http.stop();
        serving.join();
    }
    if (workers)
        workers->stop(kStopGrace);
    return 0;
}

}  // namespace quelvane::server
