#!/usr/bin/env bash
# Creates a Vexorin database from data/schema.sql.
#   create-database.sh TARGET [--demo]
# TARGET is a file path (embedded engine) or host:path (a Firebird server).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: create-database.sh TARGET [--demo]}
demo=${2:-}
password=${VEXORIN_SYSDBA_PASSWORD:-plumtower}
{
    echo "SET NAMES UTF8;"
    echo "CREATE DATABASE '$target' USER 'SYSDBA' PASSWORD '$password' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;"
    cat "$here/data/schema.sql"
    if [ "$demo" = "--demo" ]; then cat "$here/data/demo-data.sql"; fi
} | isql-fb -q -b -user SYSDBA -password "$password"
