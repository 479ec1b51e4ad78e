#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvane {

// A file made from a genuine replay by someone who wants a score they did not play, or damaged on
// its way, and how the service is to answer it: at the door (400, 409, 413) or, for a file only
// playing shows false, with 202 and then a refusal. reasonHas is a part of the reason given, when
// a reason is certain; none otherwise.
struct ForgedFile {
    std::string what;
    std::vector<uint8_t> bytes;
    int status = 0;
    std::string reasonHas;
};

// The forged set, from one genuine file.
std::vector<ForgedFile> forgedFiles(const std::vector<uint8_t>& genuine);

// The genuine file with its score raised and its checksum fixed: refused only once played.
std::vector<uint8_t> raisedScore(const std::vector<uint8_t>& genuine);
// The genuine file truncated, or recorded under other rules: refused at the door, cheaply.
std::vector<uint8_t> truncated(const std::vector<uint8_t>& genuine);
std::vector<uint8_t> otherRules(const std::vector<uint8_t>& genuine);

}  // namespace quelvane
