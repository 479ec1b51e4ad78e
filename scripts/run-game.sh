#!/usr/bin/env bash
# Starts the game in its run directory, where it finds its assets by bare name. A new player is first
# asked for the MIDI device by tonspire, which writes MidiDevice.ini there.
set -euo pipefail
run_dir=$1
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "quelvane: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop." >&2
    exit 1
fi
cd "$run_dir"
if [[ ! -e MidiDevice.ini ]]; then
    # Cancelled or failed, the game itself then says that tonspire must be run.
    ./tonspire || true
fi
exec ./quelvane
