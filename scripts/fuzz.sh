#!/usr/bin/env bash
# Fuzzes the WAV, MIDI, BMP and replay readers with libFuzzer under AddressSanitizer and UBSan, and
# the replay verifier (play: a replay whose checksum the target fixes, played for a bounded number
# of passes).
#   scripts/fuzz.sh [wav|midi|bmp|replay|play|all] [SECONDS]   (default: all, 600 seconds each, one
#   at a time)
# Builds with clang in build-fuzz/. Runs start from the kind's corpus (tests/audio/corpus/wav/ and
# midi/, tests/gfx/corpus/bmp/, tests/replay/corpus/replay/ and play/) and grow a working corpus in
# build-fuzz/corpus/<kind>/; crashes land in build-fuzz/findings/<kind>/. Copy a damaged file worth
# keeping into the kind's corpus and list it in the expected.txt beside it: the corpus tests replay
# every file there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
which=${1:-all}
seconds=${2:-600}

declare -A seeds=([wav]=tests/audio/corpus/wav [midi]=tests/audio/corpus/midi [bmp]=tests/gfx/corpus/bmp
               [replay]=tests/replay/corpus/replay [play]=tests/replay/corpus/play)
kinds=(wav midi bmp replay play)
# Seconds an input may take: the play target starts the whole game for each.
declare -A timeouts=([play]=60)
if [[ $which != all ]]; then
    [[ -v seeds[$which] ]] || { echo "usage: $0 [wav|midi|bmp|replay|play|all] [SECONDS]" >&2; exit 2; }
    kinds=("$which")
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUELVANE_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
    >/dev/null

cmake --build "$build" -j2 --target "${kinds[@]/%/_fuzz}"

for kind in "${kinds[@]}"; do
    mkdir -p "$build/corpus/$kind" "$build/findings/$kind"
    echo "== $kind: $seconds s"
    (cd "$build/findings/$kind" &&
        "$build/fuzz/${kind}_fuzz" -jobs=1 -workers=1 -max_total_time="$seconds" -max_len=65536 \
            -rss_limit_mb=2048 -timeout="${timeouts[$kind]:-10}" -print_final_stats=1 \
            "$build/corpus/$kind" "$root/${seeds[$kind]}")
done
