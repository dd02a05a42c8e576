#!/usr/bin/env bash
# A PostgreSQL server of a test's or a benchmark's own, for the fleet database: its cluster in a
# folder of its own, listening on a free port of 127.0.0.1 (and a socket in that folder) only, with
# trust authentication for its roles and the database "fleet". Run as root, the server runs as the
# postgres user, since PostgreSQL refuses to run as root.
# Usage: tools/fleet_test_server.sh start DIR     makes and starts it; prints its superuser's libpq
#                                                  connection string
#        tools/fleet_test_server.sh restart DIR   stops it at once, as a crash would, and starts it
#        tools/fleet_test_server.sh stop DIR      stops it at once and removes its cluster
set -euo pipefail
command=${1:-} dir=${2:-}
[ -n "$dir" ] || { echo "usage: $0 start|restart|stop DIR" >&2; exit 2; }
# Debian keeps the server's programs out of the PATH, under its major version.
bin=$(find /usr/lib/postgresql -maxdepth 2 -name bin -type d 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] || { echo "no PostgreSQL server is installed (no initdb under /usr/lib/postgresql)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

start_server() {
    local port
    port=$(cat "$dir/port")
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$dir -c fsync=off" start \
        >"$dir/pg_ctl.log" 2>&1 || { cat "$dir/pg_ctl.log" "$dir/server.log" >&2; exit 1; }
}

case $command in
start)
    mkdir -p "$dir"
    chmod 0777 "$dir"  # the postgres user writes its cluster, its log and its socket here
    as_owner "$bin/initdb" -D "$dir/data" -U fleet_admin -A trust -E UTF8 --locale=C --no-sync \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # The port the system hands out for port 0 is free now.
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' >"$dir/port"
    start_server
    psql -X -q -h 127.0.0.1 -p "$(cat "$dir/port")" -U fleet_admin -d postgres -c "CREATE DATABASE fleet" >/dev/null
    echo "host=127.0.0.1 port=$(cat "$dir/port") dbname=fleet user=fleet_admin"
    ;;
restart)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    start_server
    ;;
stop)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir/data"
    ;;
*)
    echo "usage: $0 start|restart|stop DIR" >&2
    exit 2
    ;;
esac
