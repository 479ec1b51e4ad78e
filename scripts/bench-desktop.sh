#!/usr/bin/env bash
# Measures the game beside Debian's chromium-bsu, a peer arcade shooter, one after the other in the
# same virtual X server with no GPU, at 1280 x 1024 and at 3840 x 2160: the share of one core each
# takes over a stretch of its title and of play (the peer in play), its resident memory, and how
# soon its window is up. The game is measured on the path it picks itself (without a GPU: the
# window's own surface, no OpenGL) and, for comparison, forced onto OpenGL on its title.
#   scripts/bench-desktop.sh [BUILD] [SECONDS]       (default: build, 20 seconds each)
# Installs chromium-bsu when it is missing; needs Xvfb and xdotool (scripts/packages.txt).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
seconds=${2:-20}
screens=(1280x1024x24 3840x2160x24)
settle=2

log() { echo "bench-desktop: $*"; }
# shellcheck source=scripts/web/packages.sh
source "$top/scripts/web/packages.sh"
ensure_packages chromium-bsu || { log "cannot install chromium-bsu, the peer the game is measured against" >&2; exit 1; }
# Debian puts games in /usr/games, which not every PATH holds.
export PATH=$PATH:/usr/games

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# start_x SCREEN: a server of its own on the first free display number.
start_x() {
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "$1" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 10 -u "$fd" display_number
    exec {fd}>&-
    export DISPLAY=:$display_number
}
stop_x() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
}

# The game runs in a copy of its run folder, so its files land in the scratch folder; so does
# anything the peer writes in its home.
mkdir -p "$work/run" "$work/home"
cp -r "$build/run/." "$work/run/"
printf 'Software Synthesizer' >"$work/run/MidiDevice.ini"
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config

cpu_ticks() {  # user + system time of a process, in clock ticks
    local fields
    read -r -a fields <<<"$(sed 's/^.*) //' "/proc/$1/stat")"
    echo $((fields[11] + fields[12]))
}
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

# begin_play HOW PID: past the title into play, firing all along, as a player would; HOW is "game"
# (G starts, Ctrl fires) or "peer" (Return on its menu starts, the space bar fires). Nothing for
# "title". The fire key is left in $work/fire, to be let go.
begin_play() {
    rm -f "$work/fire"
    [[ $1 == title ]] && return 0
    local window start=Return fire=space
    [[ $1 == game ]] && start=g fire=Control_L
    window=$(xdotool search --onlyvisible --pid "$2" | head -n 1)
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key "$start"
    sleep 0.5
    xdotool keydown "$fire"
    echo "$fire" >"$work/fire"
    sleep "$settle"
}

# measure NAME LABEL HOW COMMAND...: prints one line and keeps the CPU share in $work/NAME.cpu; HOW
# as begin_play's.
measure() {
    local name=$1 label=$2 how=$3
    shift 3
    local start now up_ms=-1 pid
    start=$(date +%s%N)
    (cd "$work/run" && exec "$@") >"$work/out.txt" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            now=$(date +%s%N)
            up_ms=$(((now - start) / 1000000))
            break
        fi
        (($(date +%s%N) - start > 10000000000)) && break
        sleep 0.005
    done
    sleep "$settle"
    begin_play "$how" "$pid"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$label: ended early:" >&2
        cat "$work/out.txt" >&2
        return 1
    fi
    local t0 w0 t1 w1 rss peak hz
    hz=$(getconf CLK_TCK)
    t0=$(cpu_ticks "$pid")
    w0=$(date +%s%N)
    sleep "$seconds"
    t1=$(cpu_ticks "$pid")
    w1=$(date +%s%N)
    rss=$(status_kb "$pid" VmRSS)
    peak=$(status_kb "$pid" VmHWM)
    [[ -f $work/fire ]] && xdotool keyup "$(cat "$work/fire")"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    awk -v label="$label" -v ticks=$((t1 - t0)) -v hz="$hz" -v ns=$((w1 - w0)) -v rss="$rss" \
        -v peak="$peak" -v up="$up_ms" -v keep="$work/$name.cpu" 'BEGIN {
            cpu = 100 * ticks / hz / (ns / 1e9)
            printf "%-38s %6.1f %% of a core  %4d MB resident (peak %4d MB)  window up in %s\n",
                   label, cpu, rss / 1024, peak / 1024, up < 0 ? "(not seen)" : up " ms"
            print cpu > keep
        }'
}

# ratio SCREEN GOAL: the game's share of the peer's, on its title and in play.
ratio() {
    awk -v title="$(cat "$work/game.cpu")" -v play="$(cat "$work/game-play.cpu")" \
        -v peer="$(cat "$work/peer.cpu")" -v screen="$1" -v goal="$2" 'BEGIN {
        printf "%s: quelvane takes %.3f of the peer\047s CPU share on its title, %.3f in play " \
               "(the goal: at most %s)\n", screen, title / peer, play / peer, goal
    }'
}

echo "Xvfb, no GPU; ${seconds} s each after ${settle} s to settle (and ${settle} s more into play)"
for screen in "${screens[@]}"; do
    start_x "$screen"
    echo "${screen%x*}:"
    measure game "quelvane, title (its own choice)" title ./quelvane
    measure game-play "quelvane, play (its own choice)" game ./quelvane
    measure game-gl "quelvane, title (OpenGL)" title env SDL_RENDER_DRIVER=opengl ./quelvane
    measure peer "chromium-bsu, play" peer chromium-bsu
    stop_x
    if [[ $screen == 1280x1024x24 ]]; then
        ratio 1280x1024 1/8
    else
        ratio "${screen%x*}" 1/4
    fi
done
