#!/usr/bin/env bash
# Builds the page (scripts/web/build.sh, cached) once, before the browser tests that use it, so that
# they can run beside the other tests without building it at the same time.
#
#   tests/web/page-build.sh BUILD
#
# Exit status: 0 built; 77 skipped, Emscripten being neither installed nor installable here; else
# failed.
set -euo pipefail

[[ $# -eq 1 ]] || { echo "usage: $0 BUILD" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
name="page build"
# shellcheck source=tests/web/web-test.sh
source "$here/web-test.sh"

build_or_skip build.sh "$(realpath "$1")"
