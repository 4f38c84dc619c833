# Debian 12 packages, sourced by the scripts in tools/.
# To build and play: compiler, CMake, Qt 6 Widgets, the fonts the game draws with.
BUILD_PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libsdl2-dev \
fonts-urw-base35 fonts-ipafont-gothic xfonts-shinonome"
# Additionally for the tests.
TEST_PACKAGES="$BUILD_PACKAGES xvfb xauth xdotool openbox desktop-file-utils appstream man-db lintian"
# Additionally for timed fuzzing with libFuzzer (tools/fuzz.sh).
FUZZ_PACKAGES="$TEST_PACKAGES clang libclang-rt-14-dev"
