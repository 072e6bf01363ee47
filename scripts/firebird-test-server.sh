#!/usr/bin/env bash
# A throwaway Firebird server on 127.0.0.1 for the tests of the shared-database path.
#   firebird-test-server.sh start|stop
# Sets the SYSDBA password the program uses. A server already listening is used as it
# is and left running.
set -euo pipefail
pidfile=/tmp/vexorin-test-server.pid
case "${1:-}" in
start)
    echo "ALTER USER SYSDBA PASSWORD 'plumtower';" |
        isql-fb -q -user SYSDBA /var/lib/firebird/3.0/system/security3.fdb
    mkdir -p /tmp/vexorin-server-tests
    chmod 1777 /tmp/vexorin-server-tests
    if ss -ltn | grep -q '127.0.0.1:3050 \|:3050 '; then
        echo "firebird-test-server: using the server already listening on 3050"
        exit 0
    fi
    /usr/sbin/firebird >/tmp/vexorin-test-server.log 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 50); do
        ss -ltn | grep -q ':3050 ' && exit 0
        sleep 0.2
    done
    echo "firebird-test-server: the server did not start" >&2
    cat /tmp/vexorin-test-server.log >&2
    exit 1
    ;;
stop)
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null || true
        rm -f "$pidfile"
    fi
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
