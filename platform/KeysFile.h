#pragma once

#include <cstdint>
#include <string>

#include "platform/EventSource.h"

namespace platform {

// A whole decimal number of 0 to 2^32 - 1, nothing before or after it.
bool parseNumber(const std::string& text, uint32_t& value);

// Reads a keys file into events: one event a line, "FRAME down|up KEY" or "FRAME close"; blank
// lines and lines starting with # are skipped. False with the line's number and reason in error.
bool loadKeysFile(const std::string& file, ScriptedEvents& events, std::string& error);

}  // namespace platform
