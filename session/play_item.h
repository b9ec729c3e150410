#pragma once
// Making the player play one row of the list, and finding the playlist entry of a CD track.

#include <cstdint>

#include "tracklist/item_id.h"

namespace tarnix {

// Makes the player play the row `item` (track part 0: a subtrack of the playing track).
void PlayItem(ItemId item);
// Makes the playlist position the file of CD track n; false when no entry matches.
bool SelectCdTrack(int32_t n);

}  // namespace tarnix
