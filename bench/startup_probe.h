#pragma once
// Marks the moment a program's window has been painted for the first time and its event
// loop has gone idle: prints "IDLE <CLOCK_MONOTONIC ns>" and quits. Used for the
// start-up benchmark, identically in Flinder and in the bare reference program.

#include <QWidget>

void armStartupProbe(QWidget* window);
