#!/bin/sh
# Draws the README's pictures into assets/screenshots/: the title screen and a round in
# progress, rendered offscreen by the real main window with a fixed seed, so that
# running it again gives the same files unless the game's look changed.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $BUILD_PACKAGES
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target screenshots
QT_QPA_PLATFORM=offscreen build/release/tools/screenshots/screenshots assets/screenshots
