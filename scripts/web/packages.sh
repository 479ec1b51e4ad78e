# shellcheck shell=bash
# Sourced by the web scripts: Debian packages installed on demand, as root or through sudo. The
# caller defines log().

as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
        sudo "$@"
    else
        return 1
    fi
}

apt_updated=0
apt_update_once() {
    [[ $apt_updated -eq 1 ]] && return 0
    as_root apt-get update -qq && apt_updated=1
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Installs the Debian packages given that are missing; returns non-zero if that cannot be done.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do installed "$pkg" || missing+=("$pkg"); done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    log "installing ${missing[*]}"
    apt_update_once || return 1
    as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
