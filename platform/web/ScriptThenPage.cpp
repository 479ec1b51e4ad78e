#include "platform/web/ScriptThenPage.h"

namespace platform {

void ScriptThenPage::pump(const Deliver& deliver) {
    script_.pump(deliver);
    if (script_.finished())
        page_.pump(deliver);
    else
        page_.pump([](const Message&) {});
}

}  // namespace platform
