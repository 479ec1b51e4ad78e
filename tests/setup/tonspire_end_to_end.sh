#!/usr/bin/env bash
# Drives the real tonspire on an X server (xvfb-run) with xdotool, the way a user would, and checks
# MidiDevice.ini after each run; then the start script of `make run`, which asks a new player first.
# Usage: tonspire_end_to_end.sh TONSPIRE SEND_WINDOW_CLOSE SCREENSHOT.png RUN_GAME_SCRIPT
set -euo pipefail
tonspire=$1
send_window_close=$2
screenshot=$3
run_game=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/tonspire-e2e-XXXXXX")
pid=
cleanup() {
    if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# With no sequencer and no sound card the software synthesizer is the one port; elsewhere it is
# still listed, and the dialog's first entry is the first line of --list.
"$tonspire" --list >ports.txt
grep -qx "Software Synthesizer" ports.txt || fail "--list lacks the software synthesizer: $(cat ports.txt)"
first_port=$(head -n 1 ports.txt)
"$tonspire" --help | grep -q -- "--list" || fail "--help does not describe --list"
if "$tonspire" --bogus 2>/dev/null; then fail "an unknown option was accepted"; fi

window=
# Starts a command (tonspire itself by default) and waits for its Tonspire window.
start() {
    if [[ $# -eq 0 ]]; then set -- "$tonspire"; fi
    "$@" &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tonspire$' | head -n 1)
    [[ -n "$window" ]] || fail "the Tonspire window did not appear"
    xdotool windowfocus --sync "$window"
    sleep 0.5
}

# Waits for tonspire to end by itself and checks its exit status (0 unless given).
finish() {
    local waited=0
    while kill -0 "$pid" 2>/dev/null; do
        ((waited++ < 200)) || fail "tonspire did not end ($1)"
        sleep 0.1
    done
    local status=0
    wait "$pid" || status=$?
    pid=
    [[ $status -eq ${2:-0} ]] || fail "tonspire ended with status $status ($1)"
}

still_open() {
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "tonspire ended ($1)"
}

expect_file() {
    [[ -f MidiDevice.ini ]] || fail "no MidiDevice.ini ($2)"
    [[ "$(cat MidiDevice.ini)" == "$1" ]] || fail "MidiDevice.ini holds '$(cat MidiDevice.ini)' ($2)"
    [[ $(stat -c %s MidiDevice.ini) -eq ${#1} ]] || fail "MidiDevice.ini has extra bytes ($2)"
}

# Unchanged means the very same file, not rewritten with the same text.
expect_untouched() {
    cmp -s MidiDevice.ini before.ini || fail "MidiDevice.ini changed ($1)"
    [[ $(stat -c %i MidiDevice.ini) == "$inode" ]] || fail "MidiDevice.ini was replaced ($1)"
}

saved() {
    printf '%s' "$1" >MidiDevice.ini
    cp MidiDevice.ini before.ini
    inode=$(stat -c %i MidiDevice.ini)
}

# A new player: the first entry is selected, Enter accepts it.
rm -f MidiDevice.ini
start
# A window just mapped may not be drawn yet: retake until it shows more than a plain fill.
for ((shot = 0; ; shot++)); do
    import -window "$window" "$screenshot"
    (($(identify -format %k "$screenshot") > 16)) && break
    ((shot < 50)) || fail "the dialog was never drawn"
    sleep 0.2
done
xdotool key Return
finish "Enter with no settings file"
expect_file "$first_port" "Enter with no settings file"

# A saved name in other case is a prefix of the port: it is preselected.
saved "SOFTWARE synth"
start
xdotool key Return
finish "Enter with a saved prefix"
expect_file "Software Synthesizer" "Enter with a saved prefix"

# A saved port that is gone: nothing is selected and Accept waits until the user picks one.
saved "Roland SC-55"
start
xdotool key Return
still_open "Enter with nothing selected"
expect_untouched "Enter with nothing selected"
xdotool key Home Tab
sleep 0.3
xdotool key space
finish "picked the first entry, Tab to Accept, Space"
expect_file "$first_port" "picked the first entry, Tab to Accept, Space"

# Cancel, by Tab to its button and Enter, and by Escape.
saved "Roland SC-55"
start
xdotool key Home Tab Tab
sleep 0.3
xdotool key Return
finish "Cancel button"
expect_untouched "Cancel button"

start
xdotool key Home Escape
finish "Escape"
expect_untouched "Escape"

# Closing the window, as a window manager asks it to.
saved "Software Synthesizer"
start
xdotool key Home
"$send_window_close" "$window"
finish "window closed"
expect_untouched "window closed"

# A settings file that cannot be replaced (here a folder in its place) ends the run with an error.
rm -f MidiDevice.ini
mkdir MidiDevice.ini
start
xdotool key Return
finish "Accept, file not writable" 1
[[ -d MidiDevice.ini ]] || fail "the folder in the settings file's place was removed"
rmdir MidiDevice.ini

# The start script: a new player is asked first, then the game starts with the choice; a known
# player goes straight into the game. The game here only records what it found.
mkdir run
ln -s "$tonspire" run/tonspire
printf '#!/bin/sh\nprintf "game saw: %%s\\n" "$(cat MidiDevice.ini)" >>game.log\n' >run/quelvane
chmod +x run/quelvane
start "$run_game" run
xdotool key Return
finish "start script, new player"
[[ "$(cat run/game.log)" == "game saw: $first_port" ]] || fail "start script: $(cat run/game.log)"

timeout 60 "$run_game" run || fail "start script with a settings file did not go straight to the game"
[[ $(grep -c "game saw: $first_port" run/game.log) -eq 2 ]] || fail "start script: $(cat run/game.log)"

echo "tonspire end to end: all runs passed; screenshot in $screenshot"
