#include "game/replay/RulesVersion.h"

namespace quelvane {

uint64_t rulesVersion() {
    return QUELVANE_RULES_VERSION;
}

}  // namespace quelvane
