#!/usr/bin/env bash
# Two whole games of the real game on bare X servers, against a real world server (quelvane-world
# on 127.0.0.1, SQLite), named in world.ini in the game's folder. Each game holds Ctrl to fire
# until the ship is lost and types the name with xdotool at the high-score prompt.
# - A name typed on a French (AZERTY) keyboard is stored as the letters on its keys, and the US
#   keyboard stores the same name as it always did: the bytes of scores.dat.
# - The first game is sent by the game, played again by the server and shown on the game's world
#   table page (F3): the screen holds exactly the page the game's own code draws for the rows the
#   server answers (world_table_picture). The capture stays in the captures folder.
# - The server is stopped early in the second game: the game plays on at its pace, keeps the game
#   in replays/outbox/ and, once the server is started again on the same database, sends it there.
# Usage: whole_games.sh QUELVANE X_PROBE RUN_DIR QUELVANE_WORLD WORLD_TABLE_PICTURE CAPTURES
set -euo pipefail
game=$(realpath -m "$1")
x_probe=$(realpath -m "$2")
run_dir=$(realpath -m "$3")
world=$(realpath -m "$4")
table_picture=$(realpath -m "$5")
captures=$(realpath -m "$6")
name="Zoe Quang"

source "$(dirname "$0")/bare_x.sh"
source "$(dirname "$0")/../online/world_server.sh"
bare_x_setup whole-games "$run_dir"
trap 'world_stop; bare_x_cleanup' EXIT
mkdir -p "$captures"
outbox=$work/run/replays/outbox
sent=$work/run/replays/sent

# The prompt is yellow text on black: a few hundred colours, where play and the game-over screen
# over the star field have well over six hundred.
wait_for_prompt() {
    local colours
    for _ in $(seq 1 150); do
        sleep 1
        kill -0 "$pid" 2>/dev/null || fail "$1: the game ended: $(cat "$work/stderr")"
        colours=$("$x_probe" capture root "$work/screen.bmp") || fail "$1: the screen cannot be captured"
        ((colours < 400)) && return 0
    done
    fail "$1: no high-score prompt within 150 s (the screen last had $colours colours)"
}

# Plays a whole game on a new X server set to the layout and types the name at its prompt; the
# game runs on, on its title screen. $during runs once play has begun.
play_game() {
    local layout=$1 during=${2:-}
    rm -f "$work/run/scores.dat"
    bare_x_start 640x480 30
    setxkbmap -layout "$layout"
    (cd "$work/run" && exec "$game" 2>"$work/stderr") &
    pid=$!
    "$x_probe" window Quelvane! 30 >/dev/null || fail "$layout: the game's window did not appear"
    # Past the title screen's guard against early keys; then fire all game long to score.
    sleep 1
    xdotool key g
    sleep 0.5
    xdotool keydown Control_L
    # On a loaded machine g may fall in the title screen's guard, and Ctrl then starts the game:
    # pressed again, it fires in play.
    sleep 1
    xdotool keyup Control_L keydown Control_L
    $during
    wait_for_prompt "$layout"
    xdotool keyup Control_L
    sleep 0.3
    xdotool type --delay 60 "$name"
    xdotool key Return
    for _ in $(seq 1 50); do
        [[ -s "$work/run/scores.dat" ]] && break
        sleep 0.2
    done
    [[ -s "$work/run/scores.dat" ]] || fail "$layout: no scores.dat after the name was entered"
    local first
    first=$(head -n 1 "$work/run/scores.dat" | od -An -c | tr -s ' ')
    cmp -s <(head -c $((${#name} + 2)) "$work/run/scores.dat") <(printf '%s\r\n' "$name") ||
        fail "$layout: the first name line is$first, not \"$name\" and CR LF"
    echo "$layout: the first name line is \"$name\" and CR LF (at ${SECONDS} s)"
}

end_game() {
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    kill -KILL "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=
}

# The id of the run the game was given for its game: it keeps the run's withdrawal secret under it.
# Waits for the count-th.
wait_for_sent_run() {
    local count=$1 bound=$2 runs=()
    for _ in $(seq $((bound * 5))); do
        mapfile -t runs < <(ls "$sent" 2>/dev/null | sed -n 's/^\([0-9]*\)\.secret$/\1/p' | sort -n)
        ((${#runs[@]} >= count)) && break
        sleep 0.2
    done
    ((${#runs[@]} >= count)) || fail "the game sent no game to the world table: $(cat "$work/stderr")"
    run=${runs[count - 1]}
}

# The world table page in play: the screen must show what the game's page draws for the rows the
# server answers, with the session's best run marked once the game has heard that it is placed
# (the game asks at growing intervals, so that may take a few passes of the loop below).
check_world_page() {
    local best=$1 differing="no capture"
    xdotool key g
    sleep 0.5
    xdotool key F3
    for _ in $(seq 60); do
        world_get "/api/table?top=10&around=$best" >"$work/table.json" || fail "GET /api/table failed"
        "$table_picture" "$work/table.json" "$best" "$captures/page-drawn.bmp" ||
            fail "world_table_picture failed"
        "$x_probe" capture root "$captures/page-shown.bmp" >/dev/null || fail "the screen cannot be captured"
        differing=$(compare -metric AE "$captures/page-drawn.bmp" "$captures/page-shown.bmp" null: 2>&1) ||
            true
        [[ $differing == 0 ]] && break
        sleep 0.5
    done
    [[ $differing == 0 ]] ||
        fail "the world table page is not what the game draws for $(cat "$work/table.json") ($differing pixels differ)"
    echo "the world table page shows the server's rows (at ${SECONDS} s): $(cat "$work/table.json")"
}

# Read from the kept game's header: the passes it ran and its milliseconds, which at the loop's
# 15 ms a pass are about one fifteenth. A game that waited on the dead server would have run far
# fewer passes; half is a bound for a loaded machine.
check_pace() {
    local passes ms
    read -r passes ms < <(od -An -t u4 -j 26 -N 8 "$1")
    ((passes * 15 * 2 >= ms)) || fail "the game ran $passes passes in $ms ms while the server was down"
    echo "while the server was down the game ran $passes passes in $ms ms"
}

world_start "$world" "$work/world" 0
printf 'server = http://127.0.0.1:%s\nname = %s\n' "$world_port" "$name" >"$work/run/world.ini"

play_game fr
wait_for_sent_run 1 30
first_run=$run
world_wait_for_run "$first_run" verified
[[ $world_run == *"\"name\":\"$name\""* ]] || fail "the first run is not named $name: $world_run"
check_world_page "$first_run"
end_game

# Stopped once play has begun, the server is down when the game ends.
play_game us world_stop
for _ in $(seq 50); do
    compgen -G "$outbox/*.qvr" >/dev/null && break
    sleep 0.2
done
kept=("$outbox"/*.qvr)
((${#kept[@]} == 1)) && [[ -f ${kept[0]} ]] || fail "the outbox does not hold the game: ${kept[*]}"
check_pace "${kept[0]}"
world_start "$world" "$work/world" "$world_port"
# The game tries again 10 s after the server could not be reached.
wait_for_sent_run 2 60
world_wait_for_run "$run" verified
compgen -G "$outbox/*.qvr" >/dev/null && fail "the game left its sent game in the outbox"
rows=$(world_get "/api/table?top=10" | grep -o '"id":' | wc -l)
((rows == 2)) || fail "the world table holds $rows runs, not the two games"
echo "the game kept while the server was down reached the world table (at ${SECONDS} s)"
end_game
echo "whole games: the same name on both layouts, and both games on the world table"
