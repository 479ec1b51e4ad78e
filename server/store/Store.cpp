#include "server/store/Store.h"

namespace quelvane::server {

const char* stateName(RunState state) {
    switch (state) {
        case RunState::Queued:
            return "queued";
        case RunState::Verifying:
            return "verifying";
        case RunState::Verified:
            return "verified";
        case RunState::Refused:
            return "refused";
    }
    return "queued";
}

}  // namespace quelvane::server
