#include "game/game_state.h"

GameState gameState{};
std::int32_t backgroundChoice = 0;
QString defaultName;
