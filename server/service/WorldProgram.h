#pragma once

#include <string>

#include "server/service/ServiceOptions.h"

namespace quelvane::server {

// The worker's child: verifies the replay in file and prints its verdict's lines; 0 unless the
// file cannot be read.
int verifyOne(const std::string& file);

// The service as the options ask: hides or unhides a run, or runs the workers and, unless
// options.workerOnly, the HTTP API, until SIGTERM or SIGINT. The process's exit status.
int runWorld(const ServiceOptions& options);

}  // namespace quelvane::server
