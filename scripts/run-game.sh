#!/usr/bin/env bash
# Starts the game in its run directory, where it finds its assets by bare name.
set -euo pipefail
run_dir=$1
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "quelvane: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop." >&2
    exit 1
fi
cd "$run_dir"
exec ./quelvane
