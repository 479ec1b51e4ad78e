#pragma once

#include <openssl/types.h>

#include <memory>
#include <string>

#include "game/replay/TraceState.h"

namespace quelvane {

// SHA-256 over the traced state of a game's passes of play, in order: what the game did, and
// nothing of how its file was kept. The pass counts and the tick counts are left out, so passes
// on other screens (a name typed otherwise, a help page opened) and the clock's readings alone
// do not make another game of it.
class PlayDigest {
  public:
    PlayDigest();

    // One pass of play, traced as it ended.
    void add(const TraceState& state);
    // The digest in lower-case hex; empty when the hash could not be made.
    std::string finish();

  private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const;
    };
    std::unique_ptr<EVP_MD_CTX, Free> context_;
};

}  // namespace quelvane
