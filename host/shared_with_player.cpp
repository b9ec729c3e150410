#include "host/shared_with_player.h"

namespace tarnix {

SharedWithPlayer g_shared;

}  // namespace tarnix
