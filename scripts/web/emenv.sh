# shellcheck shell=bash
# Sourced by the web scripts: Debian's Emscripten as it must be run on these machines.

# Debian's emcc runs its JS optimiser (tools/acorn-optimizer.js, used from -O2 on) with the `node`
# on PATH. That is a newer Node.js than Debian's, which does not search /usr/share/nodejs, where
# Debian's node-acorn lives: without this, every optimised link fails on "Cannot find module 'acorn'".
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# How to run emcc's output under node. Node.js 18 and later have a global fetch(), which the
# loader that emcc 3.1.6 writes then prefers for the .wasm, and fetch() rejects a file path. Only
# node runs are affected: a browser loads the .wasm over http as it should.
# shellcheck disable=SC2034 # used by the scripts that source this
WEB_NODE=(node --no-experimental-fetch)

# Debian's Emscripten version; the deps are rebuilt when it changes.
web_emcc_version() {
    emcc --version 2>/dev/null | sed -n '1s/.*) \([0-9][0-9.]*\).*/\1/p'
}
