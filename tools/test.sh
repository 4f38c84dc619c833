#!/bin/sh
# Installs what is missing, builds the test configuration (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test headless through CTest, which sets
# the tests' environment itself (so `ctest` in build/test does the same). Timed fuzzing
# is a command of its own: sh tools/fuzz.sh.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $TEST_PACKAGES
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFLINDER_SANITIZE=ON
cmake --build build/test
cd build/test
exec ctest --output-on-failure -j2
