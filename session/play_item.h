#pragma once
// Making the player play one row of the list, and finding the playlist entry of a CD track.

#include <cstdint>

#include "tracklist/item_id.h"

namespace tarnix {

class Plugin;

// Makes the player play the row `item` (track part 0: a subtrack of the playing track).
void PlayItem(Plugin& plugin, ItemId item);
// Makes the playlist position the file of CD track n; false when no entry matches.
bool SelectCdTrack(Plugin& plugin, int32_t n);

}  // namespace tarnix
