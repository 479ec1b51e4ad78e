#include "tools/replay/VerifyFile.h"

#include <cstdio>
#include <filesystem>

#include "game/replay/Playback.h"
#include "game/replay/ReplayFile.h"
#include "game/replay/RulesVersion.h"
#include "game/verify/Verifier.h"
#include "game/world/Assets.h"

using namespace quelvane;

int verifyFile(const std::string& file) {
    const VerifyLimits limits;
    ReplayRead refusal;
    const auto bytes = readReplayBytes(file, limits.maxFileBytes, refusal);
    const FileCheck check = bytes ? checkReplayFile(*bytes, rulesVersion(), limits) : FileCheck{};
    if (!bytes || check.fault != FileFault::None) {
        std::fprintf(stderr, "quelvane-replay: %s: %s\n", file.c_str(),
                     bytes ? check.reason.c_str() : refusal.error.c_str());
        return 2;
    }
    // The game played in a scratch folder takes the assets generated beside the program.
    std::error_code ignored;
    setAssetFolder(std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path());
    const Verdict verdict = verifyReplay(*bytes, rulesVersion(), limits);
    // A game that could not be played at all is no difference of scores.
    if (verdict.reason == kCannotBegin || verdict.unplayed) {
        std::fprintf(stderr, "quelvane-replay: %s: %s\n", file.c_str(), verdict.reason.c_str());
        return 2;
    }
    std::printf("name=%s\nrecorded_score=%lld\nsimulated_score=%lld\ndigest=%s\n",
                check.recording->header.name.c_str(), static_cast<long long>(verdict.recordedScore),
                static_cast<long long>(verdict.simulatedScore), verdict.playDigest.c_str());
    if (!verdict.verified)
        std::fprintf(stderr, "quelvane-replay: %s\n", verdict.reason.c_str());
    return verdict.verified ? 0 : 1;
}
