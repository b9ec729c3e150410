#pragma once
// The list view's rows: the track list shown in the current layout (one track or several, the
// track's name as a row or on the title line), each row keyed by its item.

#include <cstdint>

#include "tracklist/item_id.h"
#include "tracklist/text_string.h"

namespace tarnix {

class Plugin;

// Row index of item in the current layout (-1: the title line, not a row).
int32_t RowIndexOf(const Plugin& plugin, ItemId item);
// The text of item's row (indentation, name, TAB and time for subtracks).
TextString RowText(const Plugin& plugin, ItemId item);
// Writes item's row (or the title line): replacing the row there, or inserting it.
void SetRowText(Plugin& plugin, ItemId item, bool replace);
void RebuildRows(Plugin& plugin);

}  // namespace tarnix
