#!/usr/bin/env bash
# The real game on a bare X server that has no core fonts (its font path an empty folder, so only
# the server's built-in "fixed" is there), where SDL's message box cannot be shown. Each message
# still goes to standard error, and the game shows it in a window of its own: the capture of that
# window is the game's own drawing of the text (message_picture), and once the window is closed the
# game does what the dialog would have led to.
# Usage: message_window.sh QUELVANE X_PROBE MESSAGE_PICTURE RUN_DIR CAPTURES
set -euo pipefail
game=$(realpath -m "$1")
x_probe=$(realpath -m "$2")
message_picture=$(realpath -m "$3")
run_dir=$(realpath -m "$4")
captures=$(realpath -m "$5")

source "$(dirname "$0")/bare_x.sh"
bare_x_setup message-window "$run_dir"
mkdir -p "$work/no-fonts" "$captures"
bare_x_start 800x600 30 -fp "$work/no-fonts"

# Starts a watcher for a window of the given title, for a minute at most (a bound for a loaded
# machine, not an expectation); $watcher is its output.
watch_for() {
    local line
    exec {watcher}< <(exec "$x_probe" window "$1" 60)
    { read -r -u "$watcher" line && [[ $line == ready ]]; } || fail "x_probe could not listen for $1"
}

# Starts the game and holds what each window titled $2 shows against the game's drawing of the text
# $3 until one shows it: SDL's own dialog may map a window of that title for a moment before it
# gives up, and the game's may be mapped a moment before it is drawn. $window is its id.
message_shown() {
    local name=$1 caption=$2 text=$3 differing="no window"
    "$message_picture" "$text" "$captures/$name-drawn.bmp" || fail "$name: message_picture failed"
    # The fast unwinder and no leak check: under the sanitizers the slow unwinder, which the leak
    # suppressions need, deadlocks with the JIT of Mesa's llvmpipe behind the message window. The
    # game's other tests check it for leaks.
    (cd "$work/run" &&
        ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=1:detect_leaks=0 \
        exec "$game" --window 2>"$work/stderr") &
    pid=$!
    for _ in $(seq 100); do
        for window in $(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null || true); do
            "$x_probe" capture "$window" "$captures/$name-shown.bmp" >/dev/null 2>&1 || continue
            differing=$(compare -metric AE "$captures/$name-drawn.bmp" \
                "$captures/$name-shown.bmp" null: 2>&1) || true
            [[ $differing == 0 ]] && break 2
        done
        sleep 0.2
    done
    [[ $differing == 0 ]] ||
        fail "$name: no window shows what the game draws ($differing): $(cat "$work/stderr")"
    grep -qF "$caption: $text" "$work/stderr" || fail "$name: stderr lacks the message: $(cat "$work/stderr")"
}

# Without a chosen MIDI device the game says to run tonspire and, once that is read, ends.
rm -f "$work/run/MidiDevice.ini"
message_shown missing-settings "MIDI Device Error" "Execute tonspire and run the program again."
# The window has the keyboard, so the key goes through the server as a player's would; the window
# closes on the press, and the release goes to no window in particular.
xdotool keydown --window "$window" Return
xdotool keyup Return
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "missing-settings: the game did not end after its message"
wait "$pid" || fail "missing-settings: the game ended with status $?: $(cat "$work/stderr")"
pid=
echo "missing settings: shown in the game's own window, and the game ended"

# A damaged controls file is told, and after a click on the message the game starts.
printf 'Software Synthesizer' >"$work/run/MidiDevice.ini"
printf 'fire = G\n' >"$work/run/controls.ini"
message_shown damaged-controls "Quelvane's controls" \
    "controls.ini:1: unknown action 'fire'
The game uses the default controls for these."
watch_for Quelvane!
xdotool click --window "$window" 1
read -r -u "$watcher" _ || fail "damaged-controls: the game did not start after its message"
exec {watcher}<&-
kill -0 "$pid" 2>/dev/null || fail "damaged-controls: the game ended: $(cat "$work/stderr")"
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=
echo "damaged controls: shown in the game's own window, and the game started"
