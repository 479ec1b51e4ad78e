#pragma once

#include <string>

#include "server/store/Store.h"

namespace quelvane::server {

// The store's counts in Prometheus' text format (version 0.0.4).
std::string metricsText(const Counts& counts);

}  // namespace quelvane::server
