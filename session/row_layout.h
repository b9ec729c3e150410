#pragma once
// Where each subtrack of the track list goes in the list view and what its row says, as plain
// functions of the list and the layout switches, so that every layout can be checked without
// a window.

#include <cstdint>
#include <vector>

#include "tracklist/item_id.h"
#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix {

// The switches that decide the layout of the rows.
struct RowLayout {
  int32_t multiTrack = 0;    // 1: a header row, then every track with its subtracks
  bool showTrack = true;     // track names in the list
  bool topTrack = false;     // the track name (or the header) in the title line instead
  int32_t currentTrack = 0;  // the playing track shown when multiTrack is 0
};

// Indentation of one level.
constexpr const char* kRowIndent = "     ";

// Row index of item (-1: it goes to the title line). Counts the subtracks of the tracks
// before item's track, whether or not item itself exists.
int32_t RowIndexFor(const TrackList& list, const RowLayout& layout, ItemId item);

// Indentation, name and, for subtracks, a TAB and the time as minutes and seconds.
TextString RowTextFor(const TrackList& list, const RowLayout& layout, ItemId item);

// Every item that RebuildRows lays out, in order (the title line's item first when it has one).
std::vector<ItemId> LayoutItems(const TrackList& list, const RowLayout& layout);

// "a - b", or b alone when a is empty.
TextString JoinNames(const TextString& a, const TextString& b);

}  // namespace tarnix
