#!/bin/sh
# Removes what `cmake --install` put in place from a build folder: the files that its
# install_manifest.txt lists, then the folders left empty by that, up to the folders
# that Debian gives every prefix (games/, share/, share/man/ and the like), which stay.
# As for cmake --install, DESTDIR goes before every path.
# Usage: sudo sh tools/uninstall.sh [build-folder]      (default: build/release)
set -eu
build=${1:-build/release}
manifest=$build/install_manifest.txt
if [ ! -f "$manifest" ]; then
    echo "$manifest not found: nothing was installed from $build" >&2
    exit 1
fi
root=${DESTDIR:-}
# (The manifest's last line has no line end.)
while IFS= read -r file || [ -n "$file" ]; do
    rm -f "$root$file"
done <"$manifest"
while IFS= read -r file || [ -n "$file" ]; do
    dir=$(dirname "$file")
    while :; do
        case $dir in
        */share/games) ;; # the data folders' parent, made for them
        / | */usr | */local | */opt | */bin | */etc | */games | */include | */lib | */sbin | \
            */share | */share/man | */src) break ;;
        esac
        rmdir "$root$dir" 2>/dev/null || break # still holds something, or gone already
        dir=$(dirname "$dir")
    done
done <"$manifest"
