#!/usr/bin/env bash
# Starts the game with no option on bare X servers (no window manager) of three sizes and checks
# that the screen shows the whole title picture, scaled, with black bars around it. The game is
# paused first (the keyboard focus taken away), so that the picture stands still; the game reports
# the picture it shows while paused, and the screen must hold every pixel of it. Then the game is
# sent SIGTERM and must quit cleanly. Leaves both pictures, as BMPs, in the capture folder.
# Usage: full_screen_picture.sh QUELVANE X_PROBE SCREEN_HOLDS_PICTURE RUN_DIR CAPTURE_FOLDER
set -euo pipefail
game=$(realpath -m "$1")
x_probe=$(realpath -m "$2")
check=$(realpath -m "$3")
run_dir=$(realpath -m "$4")
captures=$(realpath -m "$5")
deadline=30

source "$(dirname "$0")/bare_x.sh"
bare_x_setup full-screen "$run_dir"
mkdir -p "$captures"

failed=0
for size in 1024x768 1280x1024 1920x1080; do
    bare_x_start "$size" "$deadline"

    exec {watcher}< <(exec "$x_probe" window Quelvane! "$deadline")
    { read -r -u "$watcher" line && [[ $line == ready ]]; } || fail "$size: x_probe could not listen"
    picture=$captures/picture-$size.bmp
    rm -f "$picture"
    (cd "$work/run" && QUELVANE_PAUSED_PICTURE=$picture exec "$game") 2>"$work/stderr" &
    pid=$!
    read -r -u "$watcher" line || fail "$size: the game's window did not appear"
    exec {watcher}<&-
    window=${line%% *}
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    # A few frames of the title screen, then the focus goes to the game and from it to the desktop,
    # and the game pauses. On a loaded machine the game may take the focus only after the first
    # try, so it is tried again until the game pauses.
    sleep 1
    for ((wait = 0; wait < deadline * 10; wait++)); do
        if ((wait % 30 == 0)); then
            xdotool windowfocus "$window" 2>/dev/null || true
            sleep 0.2
            xdotool windowfocus "$root"
        fi
        [[ -f $picture ]] && break
        sleep 0.1
    done
    [[ -f $picture ]] || fail "$size: the game reported no paused picture: $(cat "$work/stderr")"
    "$x_probe" capture root "$captures/screen-$size.bmp" >/dev/null
    if result=$("$check" "$captures/screen-$size.bmp" "$picture" 2>&1); then
        echo "$size: $result"
    else
        echo "FAIL: $size: $result" >&2
        failed=1
    fi

    # Ended as a session ends it, the paused game quits cleanly (the sanitizer build checks for
    # leaks then).
    kill "$pid"
    status=0
    wait "$pid" || status=$?
    pid=
    [[ $status -eq 0 ]] || fail "$size: the game ended with status $status: $(cat "$work/stderr")"
    kill "$xvfb"
    wait "$xvfb" || true
    xvfb=
done
((failed == 0)) || fail "the screen did not show the game's picture as it should; captures in $captures"
echo "full screen: the whole picture on every screen; captures in $captures"
