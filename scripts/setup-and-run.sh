#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database and "Conexao.ini" when
# there are none, installs the fixed files, and starts the desk.
#   sudo scripts/setup-and-run.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
fixed=/var/lib/vexorin65
demo="$fixed/demo/VEXORIN.FDB"

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja
cmake --build "$top/build" -j "$(nproc)" --target vexorin

install -d -m 0755 "$fixed"
install -m 0644 "$top/build/bin/Erro.wav" "$fixed/Erro.wav"
install -d -m 2770 -g firebird "$fixed/demo"
if [ ! -f "$demo" ]; then
    "$top/scripts/create-database.sh" "$demo" --demo
fi
chgrp firebird "$demo"
chmod 0660 "$demo"

ini="$top/build/bin/Conexao.ini"
if [ ! -f "$ini" ]; then
    cat >"$ini" <<INI
[Vexorin]
Server=
Database=$demo

[Parametros]
NomePortaria=PORTARIA PRINCIPAL
PortaEtiqueta=$top/build/etiqueta.zpl
ImprimeEtiqueta=SIM
LiberaSaida=1
CrachaUnico=SIM
INI
fi

user=${SUDO_USER:-root}
chown -R "$user" "$top/build"
if [ "$user" != root ]; then
    # The new group membership is not in this session yet.
    exec sudo -u "$user" -g firebird -E "$top/build/bin/vexorin"
fi
exec "$top/build/bin/vexorin"
