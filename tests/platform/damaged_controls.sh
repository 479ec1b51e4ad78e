#!/usr/bin/env bash
# The real game started with damaged controls files on a bare X server: each time it says what is
# wrong, with the file and line, on standard error and in a dialog, then starts with the defaults
# for what the file got wrong, and leaves the file as the player wrote it.
# Usage: damaged_controls.sh QUELVANE X_PROBE RUN_DIR
set -euo pipefail
game=$(realpath -m "$1")
x_probe=$(realpath -m "$2")
run_dir=$(realpath -m "$3")

source "$(dirname "$0")/bare_x.sh"
bare_x_setup damaged-controls "$run_dir"
bare_x_start 640x480 30

# One start: the file as given (made by the command in $2), the line expected on standard error.
scenario() {
    local name=$1 make=$2 expected=$3
    rm -rf "$work/run/controls.ini"
    (cd "$work/run" && eval "$make")
    local before=
    [[ -f "$work/run/controls.ini" ]] && before=$(sha256sum <"$work/run/controls.ini")
    # The watcher listens before the game starts, so that the dialog cannot be missed.
    local watcher line dialog
    exec {watcher}< <(exec "$x_probe" window --focus "Quelvane's controls" 20)
    { read -r -u "$watcher" line && [[ $line == ready ]]; } || fail "$name: x_probe could not listen"
    (cd "$work/run" && exec "$game" 2>"$work/stderr") &
    pid=$!
    read -r -u "$watcher" dialog || fail "$name: no dialog: $(cat "$work/stderr")"
    exec {watcher}<&-
    grep -qF "$expected" "$work/stderr" || fail "$name: stderr lacks '$expected': $(cat "$work/stderr")"
    # The game's window is watched for before the dialog is answered, for the same reason.
    exec {watcher}< <(exec "$x_probe" window Quelvane! 20)
    { read -r -u "$watcher" line && [[ $line == ready ]]; } || fail "$name: x_probe could not listen"
    xdotool key --window "${dialog%% *}" Return
    read -r -u "$watcher" line || fail "$name: the game did not start after the dialog"
    exec {watcher}<&-
    kill -0 "$pid" 2>/dev/null || fail "$name: the game ended: $(cat "$work/stderr")"
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
    if [[ -n $before ]]; then
        [[ $(sha256sum <"$work/run/controls.ini") == "$before" ]] || fail "$name: the file was rewritten"
    fi
    echo "$name: told '$(head -n 1 "$work/stderr")', and the game started"
}

scenario "unknown names" "printf 'fire = G\nattack = Hyper\n' >controls.ini" \
    "controls.ini:1: unknown action 'fire'"
scenario "a key bound twice" "printf 'attack = G\nlimitbreak = G\n' >controls.ini" \
    "controls.ini:2: G is bound to attack already"
# The same noise every run: the start of a program's binary, whose first line has control bytes.
scenario "binary noise" "head -c 600 \"\$(command -v ls)\" >controls.ini" \
    "controls.ini:1: characters that are not text"
scenario "a 1 MB line" "{ printf 'attack = '; head -c 1048576 /dev/zero | tr '\\000' x; } >controls.ini" \
    "controls.ini: too large for a controls file"
scenario "an empty file" ": >controls.ini" "controls.ini: binds nothing; the default controls are used"
scenario "an unreadable file" "mkdir controls.ini" "controls.ini: cannot be read; the default controls are used"
echo "damaged controls: the game started every time, with a message"
