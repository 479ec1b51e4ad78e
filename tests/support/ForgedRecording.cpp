#include "support/ForgedRecording.h"

#include <gtest/gtest.h>

#include "game/replay/SnapshotArchive.h"

namespace quelvane {

Recording forgeRecording(const Recording& real,
                         const std::function<void(Recording&, GameStart&)>& alter,
                         const std::function<void(std::string&)>& patch) {
    Recording forged = real;
    GameStart start;
    SnapshotReader r(forged.snapshot);
    visitGame(r, start);
    EXPECT_EQ(r.reason(), "");
    alter(forged, start);
    SnapshotWriter w;
    w.out.u8(kSnapshotVersion);
    visitGame(w, start);
    forged.snapshot.assign(w.out.out.begin(), w.out.out.end());
    if (patch)
        patch(forged.snapshot);
    return forged;
}

}  // namespace quelvane
