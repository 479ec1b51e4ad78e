#!/usr/bin/env bash
# Checks that a fresh Debian 12 machine gets everything the tests and scripts run: every program
# they start must come from a package of scripts/packages.txt, from a dependency of one, or from a
# package of priority required, which every Debian system has. The browser build's scripts and
# tests, and any script that installs packages on demand (ensure_packages), may also use what those
# packages bring in. Then checks that the X server has core fonts, which SDL's X11 message box needs
# and which no program's name gives away.
#
#   scripts/check-packages.sh        exit status 0 when all is there, 1 when something is not
#
# The programs are the words in command position in the shell scripts and the Makefile, the
# COMMANDs of the CMake files, the strings of the C++ tests that run a shell, and what the browser
# test starts. Each one installed here is traced to its package with dpkg; what a package brings in
# is what apt's local lists say it depends on. A program that is not installed on this machine
# cannot be traced and is not checked: the test that runs it fails instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# Where Debian puts programs: /usr/local and the user's own folders are no package's.
debian_path=/usr/sbin:/usr/bin:/sbin:/bin:/usr/games
# Programs that a program found here runs in turn (cpack, for a Debian package's dependencies).
declare -A runs_too=([xvfb-run]=xauth [Xvfb]=xkbcomp [cpack]="file dpkg-shlibdeps readelf")
# The pattern SDL 2.26's X11 message box loads its font set with.
message_box_font='-*-*-medium-r-normal--*-120-*-*-*-*-*-*'

failed=0
problem() {
    echo "check-packages: $*" >&2
    failed=1
}

# The first word of every command on standard input: the text is cut at each separator and
# keyword after which a command starts, once comments, ${...} and $((...)) are dropped.
first_words() {
    sed -E -e 's/^\t@/\t/' -e 's/(^|[[:space:]])#.*$//' -e 's/\$\(\([^)]*\)\)/V/g' -e 's/\$\{[^}]*\}/V/g' \
        -e 's/(\$\(|<\(|&&|\|\||[;&|`!{(]|(^|[[:space:]])(then|do|else|if|elif|while|until|exec|time|nice|sudo|as_root|command( -v)?)[[:space:]])/\n/g' |
        awk '{ for (i = 1; i <= NF; i++) if ($i !~ /^[A-Za-z_][A-Za-z0-9_]*=/) { print $i; break } }' |
        sed -E "s/^[\"']+//; s/[\"')]+\$//" | grep -E '^/?[A-Za-z][A-Za-z0-9_./+-]*$' || true
}

# The words that may name a program, of one file.
words_of() {
    case $1 in
    *.cmake | */CMakeLists.txt) sed -E 's/#.*$//' "$1" | grep -oP '\bCOMMAND\s+\K[A-Za-z/][A-Za-z0-9_./+-]*' ;;
    *.cpp) grep -oE '"[^"]*"' "$1" | sed -E 's/^"(.*)"$/\1/' | first_words ;;
    *.mjs) grep -oP "(execFileSync|execFile|spawn|spawnSync)\('\K[^']+|executablePath: '\K[^']+" "$1" ;;
    *) first_words <"$1" ;;
    esac
}

mapfile -t shell_files < <(find scripts tests .ci -type f \( -name '*.sh' -o -name run \) | sort)
mapfile -t files < <(printf '%s\n' "${shell_files[@]}" Makefile
    find tests cmake tools -name '*.cmake' -o -name CMakeLists.txt -o -name '*.mjs' | sort
    grep -rlE 'std::system|popen' tests --include='*.cpp' | sort)

# The shell's own commands and the scripts' functions are no programs.
declare -A function
while read -r name; do
    function[$name]=1
done < <(sed -nE 's/^[[:space:]]*([A-Za-z_][A-Za-z0-9_]*)\(\).*/\1/p' "${shell_files[@]}")

# The program a word names, in $path: an absolute path, or the first one found on Debian's path.
resolve() {
    local dir
    path=
    case $(type -t "$1") in builtin | keyword) return 1 ;; esac
    [[ -v function[$1] ]] && return 1
    if [[ $1 == /* ]]; then
        path=$1
    elif [[ $1 != */* ]]; then
        for dir in ${debian_path//:/ }; do
            [[ -f $dir/$1 && -x $dir/$1 ]] && { path=$dir/$1; break; }
        done
    fi
    [[ -n $path && -f $path && -x $path ]]
}

# "PATH FILE" for every program installed here that FILE runs.
programs() {
    local file word path also
    for file in "${files[@]}"; do
        while read -r word; do
            resolve "$word" || continue
            echo "$path $file"
            for also in ${runs_too[$word]:-}; do
                resolve "$also" && echo "$path $file"
            done
        done < <(words_of "$file" | sort -u)
    done
}

# dpkg's owner of each program, read in one call: dpkg may know a program by its path, by where its
# link points (Debian's alternatives), or by either without /usr (merged /usr).
declare -A owner
find_owners() {
    local program path line package candidates=()
    for program in "$@"; do
        path=$(readlink -f "$program")
        candidates+=("$program" "$path" "${program#/usr}" "${path#/usr}")
    done
    while IFS= read -r line; do
        package=${line%%: *}
        owner[${line#*: }]=${package%%:*}
    done < <(dpkg-query -S "${candidates[@]}" 2>/dev/null | grep -v '^diversion')
}
owner_of() {
    local path candidate
    path=$(readlink -f "$1")
    for candidate in "$1" "$path" "${1#/usr}" "${path#/usr}"; do
        [[ -v owner[$candidate] ]] && { echo "${owner[$candidate]}"; return 0; }
    done
    return 1
}

# The packages that the given ones bring in, themselves included.
brought_in() {
    # shellcheck disable=SC2068 # one package a word
    apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
        --no-enhances $@ 2>/dev/null | grep -E '^[a-z0-9]' | sort -u || true
}
listed=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' scripts/packages.txt)
required=$(dpkg-query -W -f='${Package} ${Priority}\n' | awk '$2 == "required" { print $1 }')
always=$(printf '%s\n' "$(brought_in "$listed")" "$required" | sort -u)
on_demand=$(grep -rhoP '\bensure_packages\s+\K[a-z0-9][a-z0-9 .+-]*' scripts tests --include='*.sh' |
    tr ' ' '\n' | sed '/^$/d' | sort -u)
with_on_demand=$(printf '%s\n' "$always" "$(brought_in "$on_demand")" | sort -u)
grep -qx cmake <<<"$always" || problem "apt knows none of scripts/packages.txt: run apt-get update"

mapfile -t runs < <(programs | sort -u)
find_owners "${runs[@]%% *}"
declare -A from
for run in "${runs[@]}"; do
    program=${run%% *}
    file=${run#* }
    provided=$always
    [[ $file == */web/* ]] || grep -q '^[^#]*ensure_packages ' "$file" && provided=$with_on_demand
    if ! package=$(owner_of "$program"); then
        problem "$file runs $program, which belongs to no Debian package"
    elif ! grep -qxF "$package" <<<"$provided"; then
        problem "$file runs $program from $package, which scripts/packages.txt does not bring in"
    else
        from[$package]=1
    fi
done
echo "check-packages: $(printf '%s\n' "${runs[@]%% *}" | sort -u | wc -l) programs run," \
    "from $(printf '%s\n' "${!from[@]}" | sort | xargs)"

# A server of its own, as the tests start theirs, asked for fonts in SDL's pattern.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 320x200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
if ! read -r -t 30 -u "$fd" display; then
    problem "Xvfb did not start"
elif [[ -z $(xlsfonts -display ":$display" -fn "$message_box_font" 2>/dev/null) ]]; then
    problem "the X server has no core font for SDL's message box ($message_box_font): install xfonts-base"
else
    echo "check-packages: the X server has core fonts for SDL's message box"
fi
exit "$failed"
