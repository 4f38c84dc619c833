#!/bin/sh
# Installs those of the given Debian packages that are not installed yet.
# Idempotent; works as root, through sudo, or (a Debian installed with a root password
# has no sudo) through su, which asks for root's password.
set -eu
missing=""
for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
install="apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
--no-install-recommends$missing"
if [ "$(id -u)" -eq 0 ]; then
    sh -c "$install"
elif command -v sudo >/dev/null 2>&1; then
    sudo sh -c "$install"
else
    echo "There is no sudo: su asks for root's password." >&2
    su root -c "$install"
fi
