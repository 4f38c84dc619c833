#include "game/round_view.h"

#include <cassert>

namespace {
RoundView* current = nullptr;
}

RoundView& roundView() {
    assert(current && "setRoundView() must run before a round starts");
    return *current;
}

void setRoundView(RoundView* view) {
    current = view;
}
