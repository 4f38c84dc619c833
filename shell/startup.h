#pragma once
// Start-up: the application object, the three windows, the message loop. main() is this
// and nothing else; the benchmarks run the same start-up with a probe attached.

#include <functional>

// The window icon is set and the gamepads start this long after the main window is
// shown.
constexpr int afterShowDelayMs = 250;

// Runs the program; returns its exit code (always 0). afterShow, when given, runs once
// the main window has been shown and before the message loop starts.
int runFlinder(int& argc, char** argv, const std::function<void()>& afterShow = {});
