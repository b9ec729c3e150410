// Filling the list view (and the title line) from the track list in the current layout.

#include "session/rows.h"

#include "host/playback_state.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "session/chapter_saves.h"
#include "session/row_layout.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

RowLayout CurrentLayout(const Plugin& plugin) {
  const PlaybackState& playback = plugin.playback();
  const Settings& settings = plugin.settings();
  RowLayout layout;
  layout.multiTrack = playback.multiTrack;
  layout.showTrack = settings.showTrack;
  layout.topTrack = settings.topTrack;
  layout.currentTrack = playback.currentTrack;
  return layout;
}

}  // namespace

int32_t RowIndexOf(const Plugin& plugin, ItemId item) {
  return RowIndexFor(plugin.trackList(), CurrentLayout(plugin), item);
}

TextString RowText(const Plugin& plugin, ItemId item) {
  return RowTextFor(plugin.trackList(), CurrentLayout(plugin), item);
}

void SetRowText(Plugin& plugin, ItemId item, bool replace) {
  TrackListView* const view = plugin.list();
  const int32_t index = RowIndexOf(plugin, item);
  const TextString text = RowText(plugin, item);
  if (index == -1) {
    if (plugin.title()) plugin.title()->SetText(text + WaitingChapterSaveMark(plugin));
    return;
  }
  if (!view || index < 0) return;
  if (replace) {
    view->SetRow(index, text, item);
  } else {
    view->InsertRow(index, text, item);
  }
}

void RebuildRows(Plugin& plugin) {
  TrackListView* const view = plugin.list();
  if (!view) return;
  // The playing row is found again by its item: a change of layout (the track name moved to the
  // title line) moves it, and the row left at its old place would show, and be announced, as
  // playing until the next look.
  const bool playing = view->CurrentRow() >= 0;
  const ItemId playingItem = view->CurrentKey();
  view->Clear();
  for (ItemId item : LayoutItems(plugin.trackList(), CurrentLayout(plugin))) SetRowText(plugin, item, false);
  if (playing) view->SetCurrentByKey(playingItem);
}

}  // namespace tarnix
