#!/usr/bin/env bash
# Builds static SDL2, FreeType and zlib for the browser from Debian's own source packages with
# Debian's Emscripten, and installs them into a prefix in a cache under the build folder:
#
#   scripts/web/build-deps.sh [CACHE]        CACHE defaults to build/web-deps
#
# CACHE/prefix then holds include/, lib/libSDL2.a, lib/libfreetype.a, lib/libz.a, and SDL's and
# FreeType's CMake and pkg-config files. A rerun does nothing while CACHE/prefix/web-deps.stamp
# names the same pinned versions, emcc version and build options. Installs what it lacks
# (emscripten, cmake, ninja, dpkg-dev) with apt-get, as root or through sudo, and adds deb-src lines
# mirroring the machine's Debian lines if apt has none. Nothing comes from anywhere but Debian's
# archive: Emscripten's ports download from the internet, so -sUSE_SDL=2, -sUSE_FREETYPE=1 and
# -sUSE_ZLIB=1 are never used.
#
# Exit status: 0 built or up to date; 3 Emscripten is missing and cannot be installed here;
# anything else, a failure.
set -euo pipefail

# The versions bookworm has now (Debian 12.11): libsdl2 from bookworm main, freetype from
# bookworm-security, zlib from bookworm main (its security update's sources are not served).
# apt-get source fetches exactly these or fails, saying what apt offers instead.
SDL2_DEB_VERSION=2.26.5+dfsg-1
FREETYPE_DEB_VERSION=2.12.1+dfsg-5+deb12u4
ZLIB_DEB_VERSION=1:1.2.13.dfsg-1

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
cache=$(realpath -m "${1:-$repo/build/web-deps}")
# Two shared cores: more jobs only slow everyone else down.
jobs=${WEB_DEPS_JOBS:-2}

# shellcheck source=scripts/web/emenv.sh
source "$here/emenv.sh"
# shellcheck source=scripts/web/packages.sh
source "$here/packages.sh"

# SDL2 without threads: Emscripten's pthreads need SharedArrayBuffer and cross-origin isolation,
# and SDL's emscripten audio and timers have single-threaded paths for exactly this. The dummy
# video and audio drivers stay in, so a program can start SDL under node with no canvas.
SDL2_CMAKE_ARGS=(
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF
    -DSDL_PTHREADS=OFF -DSDL_DUMMYVIDEO=ON -DSDL_DUMMYAUDIO=ON -DSDL_DISKAUDIO=OFF
)
# FreeType with none of its optional libraries but zlib: Debian's Emscripten sysroot has no libpng,
# bzip2, brotli or HarfBuzz (only Emscripten's ports would), and TrueType fonts need none of them.
# Its inflate (for compressed bitmap fonts) is the zlib built below: its own copy would clash with
# that zlib in a program that links both, as the replay tool does.
FREETYPE_CMAKE_ARGS=(
    -DBUILD_SHARED_LIBS=OFF
    -DFT_REQUIRE_ZLIB=TRUE -DZLIB_INCLUDE_DIR="$cache/prefix/include"
    -DZLIB_LIBRARY="$cache/prefix/lib/libz.a"
    -DFT_DISABLE_BZIP2=TRUE -DFT_DISABLE_PNG=TRUE -DFT_DISABLE_HARFBUZZ=TRUE -DFT_DISABLE_BROTLI=TRUE
)
COMMON_CMAKE_ARGS=(-G Ninja -DCMAKE_BUILD_TYPE=Release)
# SDL's configure runs 159 checks, each an emcc compile and link of a second or two: most of the
# whole build's time. Their answers for the pinned version and emcc are kept beside this script
# and given to CMake as its initial cache (-C), which skips them. Without a file for the versions
# in use the checks run, and their answers are written out for the next pin update.
sdl2_seed_name() { echo "configure-cache/sdl2-$SDL2_DEB_VERSION-emcc-$1.cmake"; }
# Raised whenever a step below changes what lands in the prefix, so that old caches are rebuilt.
RECIPE=2

log() { printf 'web-deps: %s\n' "$*"; }
die() { printf 'web-deps: %s\n' "$1" >&2; exit "${2:-1}"; }

has_deb_src() { apt-cache showsrc libsdl2 2>/dev/null | grep -q '^Package: libsdl2$'; }

# deb-src lines for the machine's own Debian lines (those of this release's suites), so the
# sources come from the same mirror as the binaries and no address is written down here.
write_deb_src() {
    local codename out=/etc/apt/sources.list.d/quelvane-web-src.sources f
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    local text=""
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -f $f && $f != "$out" ]] || continue
        text+=$(awk -v codename="$codename" '
            function flush() {
                if (types ~ /(^| )deb( |$)/ && suites ~ ("(^| )" codename "(-[a-z]+)?( |$)")) {
                    printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", uris, suites, comps
                    if (signed != "") printf "Signed-By: %s\n", signed
                    print ""
                }
                types = uris = suites = comps = signed = ""
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            {
                key = $1; sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
                if (key == "Types") types = val; else if (key == "URIs") uris = val
                else if (key == "Suites") suites = val; else if (key == "Components") comps = val
                else if (key == "Signed-By") signed = val
            }
            END { flush() }' "$f")$'\n\n'
    done
    # One-line format: a deb line of this release becomes a deb-src line with the same options.
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f $f ]] || continue
        text+=$(awk -v codename="$codename" '
            $1 == "deb" && $0 ~ (" " codename "(-[a-z]+)? ") { sub(/^deb/, "deb-src"); print }' "$f" |
            sed -E 's/^deb-src (\[[^]]*\] )?([^ ]+) ([^ ]+) (.*)$/Types: deb-src\nURIs: \2\nSuites: \3\nComponents: \4\n/')$'\n\n'
    done
    [[ $text == *"Types: deb-src"* ]] || return 1
    log "adding deb-src lines in $out"
    printf '%s' "$text" | as_root tee "$out" >/dev/null
    apt_updated=0
    apt_update_once
}

# apt-get source of one pinned package into $cache/src; the unpacked folder's path on stdout.
fetch_source() {
    local pkg=$1 version=$2 upstream
    upstream=${version%-*}
    upstream=${upstream#*:}
    (cd "$cache/src" && apt-get source -qq "$pkg=$version" >/dev/null 2>"$cache/src/$pkg.log") || {
        cat "$cache/src/$pkg.log" >&2
        die "apt-get source $pkg=$version failed; apt offers: $(apt-cache showsrc "$pkg" |
            sed -n 's/^Version: //p' | tr '\n' ' ')- update the pin in ${BASH_SOURCE[0]}"
    }
    echo "$cache/src/$pkg-$upstream"
}

# The checks' answers in a configured build folder, as an initial cache for CMake.
write_configure_seed() {
    local obj=$1 out=$2
    {
        printf '# The answers of SDL %s'"'"'s configure checks under emcc %s, written by\n' \
            "$SDL2_DEB_VERSION" "$emcc_version"
        printf '# scripts/web/build-deps.sh: given to CMake with -C, they spare it the checks.\n'
        sed -nE '/^(CMAKE_|_|FIND_PACKAGE_MESSAGE|SDL_|PKG_CONFIG|GIT_)/d
                 s/^([A-Za-z0-9_]+):INTERNAL=(.*)$/set(\1 "\2" CACHE INTERNAL "")/p' "$obj/CMakeCache.txt"
    } >"$out"
}

cmake_build() {
    local name=$1 src=$2; shift 2
    local obj=$cache/obj/$name
    log "building $name"
    emcmake cmake -S "$src" -B "$obj" "${COMMON_CMAKE_ARGS[@]}" \
        -DCMAKE_INSTALL_PREFIX="$cache/prefix" "$@" >"$cache/obj/$name-configure.log" 2>&1 || {
        tail -n 40 "$cache/obj/$name-configure.log" >&2; die "configuring $name failed"
    }
    cmake --build "$obj" -j "$jobs" >"$cache/obj/$name-build.log" 2>&1 || {
        tail -n 40 "$cache/obj/$name-build.log" >&2; die "building $name failed"
    }
    cmake --install "$obj" >"$cache/obj/$name-install.log" 2>&1 || {
        tail -n 40 "$cache/obj/$name-install.log" >&2; die "installing $name failed"
    }
}

# zlib, for the replay files, compiled file by file into lib/libz.a: under Emscripten its CMake
# build makes its shared and its static library both as one libz.a, and only the library is wanted.
# The replays (de)compress in memory: the gz* file functions, which want configure's answers about
# the C library, are left out.
ZLIB_SOURCES=(adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil)
build_zlib() {
    local src obj=$cache/obj/zlib name objects=()
    src=$(fetch_source zlib "$ZLIB_DEB_VERSION")
    log "building zlib"
    mkdir -p "$obj" "$cache/prefix/lib" "$cache/prefix/include"
    for name in "${ZLIB_SOURCES[@]}"; do
        emcc -O2 -c "$src/$name.c" -o "$obj/$name.o" >>"$cache/obj/zlib-build.log" 2>&1 || {
            tail -n 20 "$cache/obj/zlib-build.log" >&2; die "compiling zlib's $name.c failed"
        }
        objects+=("$obj/$name.o")
    done
    rm -f "$cache/prefix/lib/libz.a"
    emar rcs "$cache/prefix/lib/libz.a" "${objects[@]}"
    cp "$src/zlib.h" "$src/zconf.h" "$cache/prefix/include/"
}

# A two-second check before minutes of building: optimised linking (acorn), an ASYNCIFY sleep,
# and running the result under node.
toolchain_sanity() {
    local dir=$cache/obj/sanity out
    mkdir -p "$dir"
    printf '%s\n' '#include <emscripten.h>' '#include <stdio.h>' \
        'int main(void) { emscripten_sleep(1); puts("asyncify ok"); return 0; }' >"$dir/sleep.c"
    emcc -O2 -sASYNCIFY "$dir/sleep.c" -o "$dir/sleep.js" >"$dir/emcc.log" 2>&1 || {
        cat "$dir/emcc.log" >&2; die "emcc cannot link an ASYNCIFY program"
    }
    out=$("${WEB_NODE[@]}" "$dir/sleep.js" 2>&1) || true
    [[ $out == "asyncify ok" ]] || die "the ASYNCIFY check under node printed: $out"
}

# SDL's emscripten back ends call two of Emscripten's JS library functions from their EM_ASM code,
# which does not pull them in: Emscripten's own SDL2 port adds them when linking, and so must every
# program linking this libSDL2.a, or opening audio in a browser throws "autoResumeAudioContext is
# not defined". USE_SDL=0 keeps out Emscripten's SDL 1 emulation in JS, which would otherwise stand
# in, silently, for any SDL function the library lacks. sdl2.pc and SDL2's CMake package carry
# both; the function list goes in a file, as a '$' on a command line needs quoting at every turn.
# A program that sets DEFAULT_LIBRARY_FUNCS_TO_INCLUDE itself replaces this list: it must name
# these two as well.
add_sdl_link_flags() {
    local lib=$cache/prefix/lib
    # shellcheck disable=SC2016 # the '$' belongs to the names
    printf '%s\n' '$autoResumeAudioContext' '$dynCall' >"$lib/sdl2-browser-js-funcs.txt"
    # shellcheck disable=SC2016 # ${libdir} is pkg-config's
    sed -i 's|^Libs: .*|& -sUSE_SDL=0 -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${libdir}/sdl2-browser-js-funcs.txt|' \
        "$lib/pkgconfig/sdl2.pc"
    cat >"$lib/cmake/SDL2/SDL2BrowserLink.cmake" <<'CMAKE'
# Written by Quelvane's scripts/web/build-deps.sh: the link options every program using this
# libSDL2.a in a browser needs (see add_sdl_link_flags there).
if(TARGET SDL2::SDL2-static)
    get_filename_component(_sdl2_funcs "${CMAKE_CURRENT_LIST_DIR}/../../sdl2-browser-js-funcs.txt" ABSOLUTE)
    get_target_property(_sdl2_options SDL2::SDL2-static INTERFACE_LINK_OPTIONS)
    if(NOT _sdl2_options MATCHES "sdl2-browser-js-funcs")
        set_property(TARGET SDL2::SDL2-static APPEND PROPERTY INTERFACE_LINK_OPTIONS
            "-sUSE_SDL=0" "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${_sdl2_funcs}")
    endif()
endif()
CMAKE
    # shellcheck disable=SC2016 # CMake's variable
    printf '\ninclude("${CMAKE_CURRENT_LIST_DIR}/SDL2BrowserLink.cmake")\n' \
        >>"$lib/cmake/SDL2/SDL2Config.cmake"
}

# The installed SDL must have the browser back ends the game needs, not only dummy ones.
check_sdl_config() {
    local config=$cache/prefix/include/SDL2/SDL_config.h define
    for define in SDL_VIDEO_DRIVER_EMSCRIPTEN SDL_AUDIO_DRIVER_EMSCRIPTEN SDL_JOYSTICK_EMSCRIPTEN \
                  SDL_VIDEO_DRIVER_DUMMY SDL_THREADS_DISABLED; do
        grep -Eq "^#define $define +1" "$config" || die "$config lacks $define"
    done
}

ensure_packages emscripten || die "emscripten is not installed and cannot be installed here" 3
command -v emcc >/dev/null || die "emscripten is installed but emcc is not on PATH" 3
ensure_packages cmake ninja-build dpkg-dev xz-utils || die "cannot install cmake, ninja or dpkg-dev"

emcc_version=$(web_emcc_version)
[[ -n $emcc_version ]] || die "cannot read emcc's version"
# The answers are the checks' own, so a build with them is the same as one without: not stamped.
sdl2_seed=$here/$(sdl2_seed_name "$emcc_version")
stamp_text=$(printf '%s\n' "libsdl2=$SDL2_DEB_VERSION" "freetype=$FREETYPE_DEB_VERSION" "zlib=$ZLIB_DEB_VERSION" \
    "emcc=$emcc_version" "sdl2-args=${SDL2_CMAKE_ARGS[*]}" "freetype-args=${FREETYPE_CMAKE_ARGS[*]}" \
    "common-args=${COMMON_CMAKE_ARGS[*]}" "recipe=$RECIPE")
stamp=$cache/prefix/web-deps.stamp

up_to_date() {
    [[ -f $stamp && "$(cat "$stamp")" == "$stamp_text" &&
       -f $cache/prefix/lib/libSDL2.a && -f $cache/prefix/lib/libfreetype.a &&
       -f $cache/prefix/lib/libz.a ]]
}

mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
versions="libsdl2 $SDL2_DEB_VERSION, freetype $FREETYPE_DEB_VERSION, zlib $ZLIB_DEB_VERSION, emcc $emcc_version"
if up_to_date; then
    log "up to date in $cache/prefix ($versions)"
    exit 0
fi

start=$SECONDS
log "building $versions with $jobs jobs"
rm -rf "$cache/src" "$cache/obj" "$cache/prefix"
mkdir -p "$cache/src" "$cache/obj"
toolchain_sanity

has_deb_src || write_deb_src || die "apt has no deb-src lines and none could be added"
has_deb_src || die "apt-cache showsrc libsdl2 finds nothing even with deb-src lines"
sdl2_src=$(fetch_source libsdl2 "$SDL2_DEB_VERSION")
freetype_src=$(fetch_source freetype "$FREETYPE_DEB_VERSION")

if [[ -f $sdl2_seed ]]; then
    log "SDL's configure checks answered by scripts/web/$(sdl2_seed_name "$emcc_version")"
    cmake_build sdl2 "$sdl2_src" -C "$sdl2_seed" "${SDL2_CMAKE_ARGS[@]}"
else
    cmake_build sdl2 "$sdl2_src" "${SDL2_CMAKE_ARGS[@]}"
    write_configure_seed "$cache/obj/sdl2" "$cache/obj/sdl2-configure-cache.cmake"
    log "no answers kept for SDL's configure checks with these versions: to skip them next time," \
        "copy $cache/obj/sdl2-configure-cache.cmake to scripts/web/$(sdl2_seed_name "$emcc_version")"
fi
check_sdl_config
add_sdl_link_flags
build_zlib
cmake_build freetype "$freetype_src" "${FREETYPE_CMAKE_ARGS[@]}"

printf '%s\n' "$stamp_text" >"$stamp"
log "done in $((SECONDS - start)) s: $(du -h "$cache/prefix/lib/libSDL2.a" | cut -f1) libSDL2.a, $(du -h "$cache/prefix/lib/libfreetype.a" | cut -f1) libfreetype.a in $cache/prefix/lib"
