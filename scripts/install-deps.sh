#!/usr/bin/env bash
# Installs what Vexorin needs on Debian 12 and prepares Firebird for several desks on
# one machine. Idempotent; run as root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
    build-essential cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools
    firebird3.0-server firebird3.0-utils firebird-dev libfbclient2
    libjpeg62-turbo-dev libturbojpeg0-dev
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
    libgtest-dev libgmock-dev libbenchmark-dev libyuv-dev
    fonts-wine fonts-liberation fonts-dejavu-core
    xvfb xauth imagemagick x11-utils iproute2
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Firebird's default ServerMode (Super) lets one process at a time open a database
# with the embedded engine; SuperClassic lets every desk on the machine share it.
conf=/etc/firebird/3.0/firebird.conf
if ! grep -q '^ServerMode *= *SuperClassic' "$conf"; then
    sed -i -E 's/^#? *ServerMode *=.*/ServerMode = SuperClassic/' "$conf"
    grep -q '^ServerMode' "$conf" || echo 'ServerMode = SuperClassic' >>"$conf"
fi

# The embedded engine's lock folder: group firebird, files inheriting the group, so
# the desk's user and the server share the locks.
mkdir -p /tmp/firebird
chgrp firebird /tmp/firebird
chmod 2770 /tmp/firebird
if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    usermod -a -G firebird "$SUDO_USER"
fi

# Tahoma and MS Sans Serif come with fonts-wine, outside fontconfig's folders.
install -m 0644 "$(dirname "$0")/fonts/60-vexorin.conf" /etc/fonts/conf.d/60-vexorin.conf
fc-cache -f >/dev/null 2>&1 || true
