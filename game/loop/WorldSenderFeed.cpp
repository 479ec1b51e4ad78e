#include "game/loop/WorldSenderFeed.h"

namespace quelvane {

void useWorldSender(online::WorldSender* sender) {
    if (!sender) {
        useWorldTableFeed({});
        return;
    }
    useWorldTableFeed({[sender] { sender->askTable(); }, [sender] { return sender->table(); },
                       [sender](int64_t run) { sender->withdraw(run); }, sender->server()});
}

}  // namespace quelvane
