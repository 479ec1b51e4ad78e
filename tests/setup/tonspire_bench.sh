#!/usr/bin/env bash
# Measures what tonspire costs a user: how soon its dialog is mapped (and the processor time it
# spent until then, which other load on the machine does not inflate), how much memory it holds
# with the dialog shown, whether any OpenGL library is mapped, and the peak memory of --list. Reports
# the median of RUNS starts (5 unless given). Runs itself under xvfb-run when there is no display.
# Usage: tonspire_bench.sh TONSPIRE WAIT_FOR_X [RUNS]
set -euo pipefail
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi
tonspire=$(realpath "$1")
wait_for_x=$(realpath "$2")
runs=${3:-5}

work=$(mktemp -d "${TMPDIR:-/tmp}/tonspire-bench-XXXXXX")
pid=
cleanup() {
    if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Processor time of every thread so far, in ms.
cpu_ms() {
    cat /proc/"$pid"/task/*/schedstat | awk '{ ns += $1 } END { printf "%d\n", ns / 1000000 }'
}

kib_of() {
    awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"
}

: >map.txt
: >cpu.txt
: >rss.txt
: >hwm.txt
: >list.txt
gl_runs=0
for ((run = 0; run < runs; run++)); do
    exec {watch}< <(exec "$wait_for_x" window Tonspire 30)
    read -r -u "$watch" line && [[ $line == ready ]]
    started=$(date +%s%N)
    "$tonspire" &
    pid=$!
    read -r -u "$watch" _ mapped || { echo "the dialog did not appear" >&2; exit 1; }
    cpu_ms >>cpu.txt
    exec {watch}<&-
    echo $(((mapped - started) / 1000000)) >>map.txt
    # Let it draw and settle before reading its memory.
    sleep 1
    kib_of VmRSS >>rss.txt
    kib_of VmHWM >>hwm.txt
    if grep -Eq 'lib(GL|EGL|GLX|GLdispatch|gallium|LLVM)|_dri\.so' "/proc/$pid/maps"; then
        gl_runs=$((gl_runs + 1))
    fi
    kill "$pid"
    wait "$pid" || true
    pid=

    /usr/bin/time -f %M -o time.txt "$tonspire" --list >/dev/null
    cat time.txt >>list.txt
done

printf 'tonspire, median of %d starts under Xvfb (load average %s):\n' "$runs" "$(cut -d' ' -f1 /proc/loadavg)"
printf '  dialog mapped after    %6s ms (%s ms of processor time)\n' "$(median <map.txt)" "$(median <cpu.txt)"
printf '  resident, dialog shown %6s KiB (peak %s KiB)\n' "$(median <rss.txt)" "$(median <hwm.txt)"
printf '  OpenGL libraries mapped in %d of %d starts\n' "$gl_runs" "$runs"
printf '  --list peak resident   %6s KiB\n' "$(median <list.txt)"
