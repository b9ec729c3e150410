#include "host/shared_with_player.h"

namespace tarnix {

namespace {

SharedWithPlayer g_shared;

}  // namespace

SharedWithPlayer& Shared() { return g_shared; }

}  // namespace tarnix
