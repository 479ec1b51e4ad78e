#!/usr/bin/env bash
# Moves a world server's runs from its SQLite database to an empty PostgreSQL database, with their
# ids, states, verdicts and files as they are, for `quelvane-world --postgres URL` to go on from.
# Stop the service first.
#   scripts/world-sqlite-to-postgres.sh DATA_DIR URL [QUELVANE_WORLD]
set -euo pipefail
if [[ $# -lt 2 ]]; then
    echo "usage: $0 DATA_DIR POSTGRES_URL [quelvane-world]" >&2
    exit 2
fi
data=$1
url=$2
world=${3:-$(dirname "$0")/../build/run/quelvane-world}
database=$data/runs.sqlite3
[[ -f $database ]] || { echo "$0: no $database" >&2; exit 1; }

# The schema is the service's own: it makes it when it first opens the database.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$world" --postgres "$url" --workers 0 --listen 127.0.0.1:0 >"$log" 2>&1 &
server=$!
for _ in $(seq 100); do
    grep -q '^listening on' "$log" && break
    kill -0 "$server" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.1
done
kill -TERM "$server"
wait "$server"

if [[ $(psql "$url" -tAc 'SELECT count(*) FROM runs') != 0 ]]; then
    echo "$0: the PostgreSQL database holds runs already" >&2
    exit 1
fi
rest="file_digest, secret_digest, rules, name, claimed_score, score, length_ms, played_at,
      received_at, state, reason, lease_owner, lease_until_ms, attempts, play_digest, same_as,
      hidden, seconds"
# sqlite3's CSV quotes an empty text and leaves NULL empty, as PostgreSQL's CSV reads them; the
# files go as bytea's hex, and the names as the Latin-1 the game writes them in.
sqlite3 -csv "$database" "SELECT id, '\\x' || hex(file), $rest FROM runs ORDER BY id" |
    PGCLIENTENCODING=LATIN1 psql "$url" -v ON_ERROR_STOP=1 -q \
        -c "CREATE TEMP TABLE moved (LIKE runs)" \
        -c "\\copy moved (id, file, $rest) FROM STDIN WITH (FORMAT csv)" \
        -c "INSERT INTO runs OVERRIDING SYSTEM VALUE SELECT * FROM moved" \
        -c "SELECT setval(pg_get_serial_sequence('runs', 'id'), (SELECT max(id) FROM runs))" \
        >/dev/null
echo "$(psql "$url" -tAc 'SELECT count(*) FROM runs') runs moved to PostgreSQL"
