#include "server/service/Metrics.h"

#include <cstdio>

namespace quelvane::server {

std::string metricsText(const Counts& counts) {
    char text[1536];
    std::snprintf(text, sizeof text,
                  "# HELP quelvane_world_queue_length Runs waiting for a worker.\n"
                  "# TYPE quelvane_world_queue_length gauge\n"
                  "quelvane_world_queue_length %lld\n"
                  "# HELP quelvane_world_runs Runs kept, by state.\n"
                  "# TYPE quelvane_world_runs gauge\n"
                  "quelvane_world_runs{state=\"queued\"} %lld\n"
                  "quelvane_world_runs{state=\"verifying\"} %lld\n"
                  "quelvane_world_runs{state=\"verified\"} %lld\n"
                  "quelvane_world_runs{state=\"refused\"} %lld\n"
                  "# HELP quelvane_world_verification_seconds Time spent playing runs again.\n"
                  "# TYPE quelvane_world_verification_seconds summary\n"
                  "quelvane_world_verification_seconds_sum %.6f\n"
                  "quelvane_world_verification_seconds_count %lld\n",
                  static_cast<long long>(counts.queued), static_cast<long long>(counts.queued),
                  static_cast<long long>(counts.verifying), static_cast<long long>(counts.verified),
                  static_cast<long long>(counts.refused), counts.verificationSeconds,
                  static_cast<long long>(counts.verdicts));
    return text;
}

}  // namespace quelvane::server
