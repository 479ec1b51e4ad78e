#pragma once

#include <string>

#include "game/verify/Verifier.h"

// A verified game as a verifier prints it: Ann's 900 over a minute.
inline quelvane::Verdict sampleVerdict() {
    quelvane::Verdict verdict;
    verdict.verified = true;
    verdict.name = "Ann";
    verdict.simulatedScore = verdict.recordedScore = 900;
    verdict.lengthMs = 60000;
    verdict.passes = 4000;
    verdict.playDigest = std::string(64, 'a');
    return verdict;
}
