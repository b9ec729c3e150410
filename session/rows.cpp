// Filling the list view (and the title line) from the track list in the current layout.

#include "session/rows.h"

#include "host/playback_state.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "session/row_layout.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

RowLayout CurrentLayout() {
  PlaybackState& playback = ThePlugin().playback;
  const Settings& settings = ThePlugin().settings;
  RowLayout layout;
  layout.multiTrack = playback.multiTrack;
  layout.showTrack = settings.showTrack;
  layout.topTrack = settings.topTrack;
  layout.currentTrack = playback.currentTrack;
  return layout;
}

}  // namespace

int32_t RowIndexOf(ItemId item) { return RowIndexFor(ThePlugin().trackList, CurrentLayout(), item); }

TextString RowText(ItemId item) { return RowTextFor(ThePlugin().trackList, CurrentLayout(), item); }

void SetRowText(ItemId item, bool replace) {
  TrackListView* const view = ThePlugin().list;
  const int32_t index = RowIndexOf(item);
  const TextString text = RowText(item);
  if (index == -1) {
    if (ThePlugin().title) ThePlugin().title->SetText(text);
    return;
  }
  if (!view || index < 0) return;
  if (replace) {
    view->SetRow(index, text, item);
  } else {
    view->InsertRow(index, text, item);
  }
}

void RebuildRows() {
  TrackListView* const view = ThePlugin().list;
  if (!view) return;
  view->Clear();
  for (ItemId item : LayoutItems(ThePlugin().trackList, CurrentLayout())) SetRowText(item, false);
}

}  // namespace tarnix
