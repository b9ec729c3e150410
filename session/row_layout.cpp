#include "session/row_layout.h"

namespace tarnix {

TextString JoinNames(const TextString& a, const TextString& b) {
  if (a.IsEmpty()) return b;
  return a + " - " + b;
}

int32_t RowIndexFor(const TrackList& list, const RowLayout& layout, ItemId item) {
  int32_t index;
  if (layout.multiTrack == 1) {
    const int n = ItemTrack(item);
    if (n == 0) {
      index = 0;
    } else {
      // 64-bit sum: a list may hold more rows than an int32 row index can name.
      int64_t before = 0;
      for (int t = 1; t < n && t <= list.TrackCount(); ++t) before += list.tracks[static_cast<size_t>(t) - 1].Count();
      const int64_t wide = ItemSubtrack(item) + 1 + before;
      index = wide > INT32_MAX ? INT32_MAX : static_cast<int32_t>(wide);
    }
  } else {
    index = ItemSubtrack(item);
  }
  if (!layout.showTrack || layout.topTrack) --index;
  return index;
}

TextString RowTextFor(const TrackList& list, const RowLayout& layout, ItemId item) {
  const int n = ItemTrack(item);
  const int k = ItemSubtrack(item);
  const int levels = ((layout.multiTrack == 1 && layout.showTrack && n > 0) ? 1 : 0) + (k > 0 ? 1 : 0);
  TextString text = TextString(kRowIndent).Repeat(levels);

  if (layout.multiTrack == 1 && item == kHeaderItem) {
    text += JoinNames(list.artist, list.album);
    return text;
  }
  const Subtrack* entry = list.SubtrackOf(item);
  if (!entry) return text;
  if (k == 0 && layout.multiTrack == 0 && !list.artist.IsEmpty()) {
    text += JoinNames(list.artist, entry->name);
  } else {
    text += entry->name;
  }
  if (k > 0) {
    const long seconds = entry->time / 1000;
    TextString time;
    time.Format("\t%2ld:%02ld", seconds / 60, seconds % 60);
    text += time;
  }
  return text;
}

std::vector<ItemId> LayoutItems(const TrackList& list, const RowLayout& layout) {
  std::vector<ItemId> items;
  if (layout.multiTrack == 1) {
    items.push_back(kHeaderItem);
    const int tracks = list.TrackCount() < kMaxItemPart ? list.TrackCount() : kMaxItemPart;
    for (int n = 1; n <= tracks; ++n) {
      const int count = list.tracks[static_cast<size_t>(n) - 1].Count();
      for (int k = 0; k < count && k <= kMaxItemPart; ++k) items.push_back(MakeItemId(n, k));
    }
  } else if (layout.currentTrack >= 1 && layout.currentTrack <= list.TrackCount() &&
             layout.currentTrack <= kMaxItemPart) {
    const int count = list.tracks[static_cast<size_t>(layout.currentTrack) - 1].Count();
    for (int k = 0; k < count && k <= kMaxItemPart; ++k) items.push_back(MakeItemId(layout.currentTrack, k));
  }
  return items;
}

}  // namespace tarnix
