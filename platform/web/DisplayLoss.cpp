// Browser variant of platform/DisplayLoss.cpp: a page's canvas has no connection to lose.
#include "platform/DisplayLoss.h"

namespace platform {

void endWhenTheDisplayIsLost() {}

}  // namespace platform
