# Sourced by the tests that run the real game against a real world server: quelvane-world on
# 127.0.0.1 with its SQLite database in a folder of the test's, stopped and started again as a
# player's server may be.
#   world_start PROGRAM DATA PORT   starts it on PORT (0: a free one) and waits until it listens;
#                                   sets $world_pid and $world_port
#   world_stop                      SIGTERM, and waits until it has ended
#   world_get PATH                  the body of a GET of PATH; fails on any status but 200
#   world_wait_for_run ID STATE     waits until run ID is in STATE; its answer is $world_run
# The caller's clean-up calls world_stop.

world_pid=
world_port=
world_starts=0

world_start() {
    local log="$2.$((++world_starts)).log"
    "$1" --data "$2" --listen "127.0.0.1:$3" --workers 1 >"$log" 2>&1 &
    world_pid=$!
    # A bound for a loaded machine, not an expectation.
    for _ in $(seq 300); do
        world_port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
        [[ -n $world_port ]] && return 0
        kill -0 "$world_pid" 2>/dev/null || break
        sleep 0.1
    done
    fail "quelvane-world did not start on port $3: $(cat "$log")"
}

world_stop() {
    [[ -n $world_pid ]] || return 0
    kill -TERM "$world_pid" 2>/dev/null || true
    wait "$world_pid" 2>/dev/null || true
    world_pid=
}

world_get() {
    curl -sf --max-time 10 "http://127.0.0.1:$world_port$1"
}

world_wait_for_run() {
    # The server plays the game again before it places it: up to two minutes on a loaded machine.
    for _ in $(seq 240); do
        world_run=$(world_get "/api/runs/$1") || world_run=
        [[ $world_run == *"\"state\":\"$2\""* ]] && return 0
        sleep 0.5
    done
    fail "run $1 is not $2 on the world table: ${world_run:-no answer}"
}
