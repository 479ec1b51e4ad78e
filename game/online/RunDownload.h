#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvane::online {

// Whether text is a run's address on a world table's server rather than a file: http:// or
// https://, a host, and a path whose last number is the run's id ("/api/runs/12/replay", or the
// run's page on the server).
bool isRunAddress(const std::string& text);

// Downloads the replay of the run an address names, waiting for it (bounded as every call of the
// client is); its bytes, or none with the reason.
std::optional<std::vector<uint8_t>> downloadRun(const std::string& address, std::string& error);

}  // namespace quelvane::online
