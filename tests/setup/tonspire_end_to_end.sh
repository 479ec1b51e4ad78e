#!/usr/bin/env bash
# Drives the real tonspire on an X server (xvfb-run) with xdotool, the way a user would, and checks
# MidiDevice.ini after each run: first through the start script of `make run`, which asks a new
# player, then by itself. Every wait is for an event (a window mapped, the bell, a process ended),
# each with a deadline. Leaves captures of the dialog and of its message about a failed save.
# Usage: tonspire_end_to_end.sh TONSPIRE SEND_WINDOW_CLOSE X_PROBE CAPTURE_FOLDER RUN_GAME_SCRIPT
set -euo pipefail
# Every path as an absolute one: the script works in a folder of its own.
tonspire=$(realpath -m "$1")
send_window_close=$(realpath -m "$2")
x_probe=$(realpath -m "$3")
captures=$(realpath -m "$4")
run_game=$(realpath -m "$5")
# Far above what any step takes, even under the sanitizers on a busy machine.
deadline=60

# Under the sanitizers, telling GTK's own leaks from ours takes whole stacks, which cost seconds
# at every start: only the run that goes through the most code, the failed save with its message,
# looks for leaks. Every program is checked for every other fault.
leak_check=${ASAN_OPTIONS:-}
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=1:detect_leaks=0

work=$(mktemp -d "${TMPDIR:-/tmp}/tonspire-e2e-XXXXXX")
pid=
cleanup() {
    if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Listing the ports loads no synthesizer; with no sequencer and no sound card the software
# synthesizer is the one port, elsewhere it is still listed, and the dialog's first entry is the
# first line of --list.
if readelf -d "$tonspire" | grep -q 'NEEDED.*libfluidsynth'; then
    fail "tonspire loads the synthesizer's library"
fi
"$tonspire" --list >ports.txt
grep -qx "Software Synthesizer" ports.txt || fail "--list lacks the software synthesizer: $(cat ports.txt)"
first_port=$(head -n 1 ports.txt)
"$tonspire" --help | grep -q -- "--list" || fail "--help does not describe --list"
if "$tonspire" --bogus 2>/dev/null; then fail "an unknown option was accepted"; fi

# Starts listening for an event on the display (arguments of x_probe but the deadline).
watcher=
watch() {
    exec {watcher}< <(exec "$x_probe" "$@" "$deadline")
    local line=
    read -r -u "$watcher" line || true
    [[ $line == ready ]] || fail "x_probe could not listen"
}

# Waits for the event watched for; what x_probe reported is left in $event.
event=
await() {
    event=
    read -r -u "$watcher" event || fail "$1"
    exec {watcher}<&-
}

# Starts a command (tonspire itself by default) and waits until its Tonspire window is mapped and
# has the keyboard focus. The command's exit status comes through $ended when it ends.
window=
ended=
start() {
    if [[ $# -eq 0 ]]; then set -- "$tonspire"; fi
    watch window --focus Tonspire
    exec {ended}< <("$@" >&2 &
        echo "$!"
        status=0
        wait "$!" || status=$?
        echo "$status")
    read -r -u "$ended" pid
    await "the Tonspire window did not appear"
    window=${event%% *}
}

# Waits for tonspire to end by itself and checks its exit status (0 unless given).
finish() {
    local status=
    read -r -t "$deadline" -u "$ended" status || fail "tonspire did not end ($1)"
    exec {ended}<&-
    pid=
    [[ $status -eq ${2:-0} ]] || fail "tonspire ended with status $status ($1)"
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

# The start script: a new player is asked first, with the first entry selected, and Enter accepts
# it; then the game starts with the choice. A known player goes straight into the game. The game
# here only records what it found.
mkdir run
ln -s "$tonspire" run/tonspire
printf '#!/bin/sh\nprintf "game saw: %%s\\n" "$(cat MidiDevice.ini)" >>game.log\n' >run/quelvane
chmod +x run/quelvane
start "$run_game" run
# A window just mapped may not be drawn yet: retake until it shows more than a plain fill.
for ((shot = 0; ; shot++)); do
    (($("$x_probe" capture "$window" "$captures/tonspire-dialog.bmp") > 16)) && break
    ((shot < 100)) || fail "the dialog was never drawn"
done
xdotool key Return
finish "start script, new player"
(cd run && expect_file "$first_port" "start script, new player")
[[ "$(cat run/game.log)" == "game saw: $first_port" ]] || fail "start script: $(cat run/game.log)"

timeout "$deadline" "$run_game" run || fail "start script with a settings file did not go straight to the game"
[[ $(grep -c "game saw: $first_port" run/game.log) -eq 2 ]] || fail "start script: $(cat run/game.log)"

# A saved port that is gone: nothing is selected, and Accept only rings the bell until the user
# picks an entry.
saved "Roland SC-55"
start
# Four plain controls need no OpenGL, whose libraries would double the tool's memory.
if grep -Eq 'lib(GL|EGL|GLX)[.-]' "/proc/$pid/maps"; then fail "tonspire mapped OpenGL"; fi
watch bell
xdotool key Return
await "Enter with nothing selected rang no bell"
kill -0 "$pid" 2>/dev/null || fail "tonspire ended on Enter with nothing selected"
expect_untouched "Enter with nothing selected"
xdotool key Home Tab space
finish "picked the first entry, Tab to Accept, Space"
expect_file "$first_port" "picked the first entry, Tab to Accept, Space"

# Cancel, by Tab to its button and Enter, and by Escape.
saved "Roland SC-55"
start
xdotool key Home Tab Tab Return
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

# A settings file the user may neither write nor replace: a message over the dialog names the file
# and the reason, and once it is dismissed the tool ends with an error, the old file kept and
# nothing left beside it. Root may write anything, so as root the tool runs as the user nobody,
# from copies of what it reads.
mkdir locked
user=()
if ((EUID == 0)); then
    chmod 755 "$work"
    mkdir -m 755 user
    cp "$tonspire" user/tonspire
    cp "$XAUTHORITY" user/xauthority
    chmod 644 user/xauthority
    chown nobody user
    user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups
        env HOME="$work/user" XAUTHORITY="$work/user/xauthority")
    if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]]; then
        suppressions=${BASH_REMATCH[1]}
        cp "$suppressions" user/lsan.supp
        user+=(LSAN_OPTIONS="${LSAN_OPTIONS/"$suppressions"/$work/user/lsan.supp}")
    fi
    user+=("$work/user/tonspire")
else
    user=("$tonspire")
fi
cd locked
saved "software synth"
chmod 444 MidiDevice.ini
chmod 555 .
# A fault the sanitizers find ends the run with status 23, not the 1 of the failed save.
quick=$ASAN_OPTIONS
ASAN_OPTIONS=${leak_check:+$leak_check:}exitcode=23
UBSAN_OPTIONS=${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=23 start "${user[@]}"
ASAN_OPTIONS=$quick
watch window --focus Tonspire
xdotool key Return
await "no message said that the choice could not be saved"
"$x_probe" capture root "$captures/tonspire-save-failed.bmp" >/dev/null
kill -0 "$pid" 2>/dev/null || fail "tonspire ended before its message was dismissed"
xdotool key Return
finish "Accept, file neither writable nor replaceable" 1
expect_untouched "Accept, file neither writable nor replaceable"
[[ "$(ls -A)" == "$(printf 'MidiDevice.ini\nbefore.ini')" ]] || fail "files left beside the settings: $(ls -A)"
chmod 755 .
cd "$work"

echo "tonspire end to end: all runs passed; captures in $captures"
