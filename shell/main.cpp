// Flinder's entry.

#include "shell/startup.h"

int main(int argc, char** argv) {
    return runFlinder(argc, argv);
}
