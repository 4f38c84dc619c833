#!/bin/sh
# Installs what is missing, builds Flinder (Release) and starts it.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $BUILD_PACKAGES
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target flinder
exec build/release/flinder
