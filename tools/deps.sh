#!/bin/sh
# Installs those of the given Debian packages that are not installed yet.
# Idempotent; works as root or through sudo.
set -eu
missing=""
for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    run() { "$@"; }
else
    run() { sudo "$@"; }
fi
run apt-get update -qq
# shellcheck disable=SC2086
run env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
