#include "platform/platform.h"

#include <cassert>

namespace {
Platform* current = nullptr;
}

Platform& platform() {
    assert(current && "setPlatform() must run before the game uses the platform");
    return *current;
}

void setPlatform(Platform* p) {
    current = p;
}
