#pragma once

#include <string>

// quelvane-replay --verify FILE: plays a recorded game to its end as the world table's verifier
// does, and prints its name, its recorded score, the score it plays to and the digest of its play.
// The exit status: 0 when the two scores and the names are the same, 1 when they are not or the
// game plays otherwise than recorded, 2 when the file cannot be played at all.
int verifyFile(const std::string& file);
