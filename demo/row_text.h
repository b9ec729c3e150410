#pragma once
// The text a row of the plug-in's list shows for a key, for the demo's log: the plug-in's own
// row layout (session/row_layout.h) applied to the list it holds (the same ".trk" file it read
// or wrote), in its default layout (track names in the list, no title line above it).

#include "tracklist/item_id.h"
#include "tracklist/track_list.h"

#include <string>

namespace tarnix::demo {

// `multiTrack`: the list shows every track under a header row (a CD, a file with subsongs).
// Empty when the key names no row of `list`. The time column follows a TAB, as in the plug-in.
std::string RowText(const TrackList& list, ItemId key, bool multiTrack);

// "track 1, sub 7" style description of a key; "none" for 0 outside a multi-track list.
std::string DescribeKey(ItemId key);

// The row text with its TAB made readable for a log line.
std::string Printable(const std::string& rowText);

}  // namespace tarnix::demo
