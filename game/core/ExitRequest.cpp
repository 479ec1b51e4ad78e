#include "game/core/ExitRequest.h"

namespace quelvane {

bool exitRequested = false;

}  // namespace quelvane
