#!/usr/bin/env bash
# A throwaway Firebird server on 127.0.0.1 for the tests of the shared-database path.
#   firebird-test-server.sh start|stop
# Sets the SYSDBA password the program uses. A server already listening is used as it
# is and left running.
set -euo pipefail
pidfile=/tmp/vexorin-test-server.pid

listening() { ss -ltn | grep -q ':3050 '; }
# Any answer but a refused login or a dead line means a server with our password.
answers() {
    local err
    err=$(echo "QUIT;" | isql-fb -q -user SYSDBA -password plumtower 127.0.0.1:/nonexistent.fdb 2>&1 || true)
    ! grep -qE "user name and password|Unable to complete network request" <<<"$err"
}
case "${1:-}" in
start)
    mkdir -p /tmp/vexorin-server-tests
    chmod 1777 /tmp/vexorin-server-tests
    if listening; then
        if answers; then
            echo "firebird-test-server: using the server already listening on 3050"
            exit 0
        fi
        # A system server that does not know the program's password: ours replaces it.
        service firebird3.0 stop >/dev/null 2>&1 || pkill -x firebird || true
        for _ in $(seq 50); do listening || break; sleep 0.2; done
    fi
    echo "ALTER USER SYSDBA PASSWORD 'plumtower';" |
        isql-fb -q -user SYSDBA /var/lib/firebird/3.0/system/security3.fdb
    /usr/sbin/firebird >/tmp/vexorin-test-server.log 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 50); do
        listening && answers && exit 0
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
