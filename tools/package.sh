#!/bin/sh
# Builds the Debian package: installs what is missing, configures the shipped Release
# configuration (Debian's hardening flags, no tests or benchmarks), builds only what the
# package holds (the program and the compressed manual page and changelog), and makes
# the package with CPack. The last line printed is the package's path.
# Usage: sh tools/package.sh [build-folder]      (default: build/package)
set -eu
build=${1:-build/package}
case $build in
/*) ;;
*) build=$(pwd)/$build ;;
esac
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $BUILD_PACKAGES
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFLINDER_TESTS=OFF
cmake --build "$build" --target flinder compressed_docs
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
set -- "$build"/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "expected one package, got: $*" >&2; exit 1; }
echo "$1"
