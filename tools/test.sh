#!/bin/sh
# Installs what is missing, builds the test configuration (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test headless through CTest.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
# shellcheck disable=SC2086
sh tools/deps.sh $TEST_PACKAGES
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFLINDER_SANITIZE=ON
cmake --build build/test
# Each fuzz target for 10 seconds on its seed corpus (long runs: sh tools/fuzz.sh 600).
sh tools/fuzz.sh 10
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build/test
exec ctest --output-on-failure -j2
