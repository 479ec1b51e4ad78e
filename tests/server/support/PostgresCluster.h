#pragma once

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace quelvane {

// A PostgreSQL server of the test's own, in a temporary folder, reached only through a Unix socket
// in that folder. initdb refuses root, so as root it runs as nobody. Stopped and removed with the
// object, whatever the test found. Every command it runs is bounded in time.
class PostgresCluster {
  public:
    PostgresCluster();  // throws std::runtime_error, with the commands' output, when it cannot
                        // start
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // A new, empty database's connection URL.
    std::string newDatabase();
    // Stops at once, as a crash would, or starts again.
    void stop();
    void start();

  private:
    void run(std::vector<std::string> command);

    TempDir folder_;
    std::string bin_;
    bool running_ = false;
    int databases_ = 0;
};

}  // namespace quelvane
