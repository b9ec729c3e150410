// Row indexes and texts of every layout, checked against small lists built in place.

#include "session/row_layout.h"

#include <gtest/gtest.h>

namespace tarnix {
namespace {

// Two tracks: "Opening" with "Theme" at 83456 ms and "Coda" at 605000 ms; "Closing" with
// "Solo" at 65160 ms.
TrackList TwoTracks(const char* artist) {
  TrackList list;
  list.Reset("x", 2, 0x0E03C302);
  list.album = "Live Recordings";
  list.artist = artist;
  list.tracks[0].RenameSubtrack(0, "Opening");
  list.tracks[0].AddSubtrack("Theme", 83456);
  list.tracks[0].AddSubtrack("Coda", 605000);
  list.tracks[1].RenameSubtrack(0, "Closing");
  list.tracks[1].AddSubtrack("Solo", 65160);
  return list;
}

struct IndexCase {
  int32_t multiTrack;
  bool showTrack;
  bool topTrack;
  ItemId item;
  int32_t index;
};

TEST(RowLayout, IndexesInEveryLayout) {
  const TrackList list = TwoTracks("");
  const IndexCase cases[] = {
      // One track: subtrack k is row k, or k - 1 when the track's own entry goes to the title.
      {0, true, false, MakeItemId(1, 0), 0},
      {0, true, false, MakeItemId(1, 2), 2},
      {0, false, false, MakeItemId(1, 0), -1},
      {0, false, false, MakeItemId(1, 1), 0},
      {0, true, true, MakeItemId(1, 0), -1},
      {0, true, true, MakeItemId(1, 2), 1},
      {0, false, true, MakeItemId(1, 1), 0},
      // Several tracks: the header, then each track with its subtracks.
      {1, true, false, kHeaderItem, 0},
      {1, true, false, MakeItemId(1, 0), 1},
      {1, true, false, MakeItemId(1, 2), 3},
      {1, true, false, MakeItemId(2, 0), 4},
      {1, true, false, MakeItemId(2, 1), 5},
      {1, false, false, kHeaderItem, -1},
      {1, false, false, MakeItemId(2, 0), 3},
      {1, true, true, kHeaderItem, -1},
      {1, true, true, MakeItemId(1, 0), 0},
      {1, true, true, MakeItemId(2, 1), 4},
  };
  for (const IndexCase& c : cases) {
    RowLayout layout{c.multiTrack, c.showTrack, c.topTrack, 1};
    EXPECT_EQ(RowIndexFor(list, layout, c.item), c.index) << "multi " << c.multiTrack << " show " << c.showTrack
                                                          << " top " << c.topTrack << " item " << std::hex << c.item;
  }
}

struct TextCase {
  const char* artist;
  int32_t multiTrack;
  bool showTrack;
  ItemId item;
  const char* text;
};

TEST(RowLayout, TextsWithIndentationNamesAndTimes) {
  const TextCase cases[] = {
      // 83456 ms reads " 1:23": minutes padded with a blank to two places.
      {"", 0, true, MakeItemId(1, 1), "     Theme\t 1:23"},
      {"", 0, true, MakeItemId(1, 2), "     Coda\t10:05"},
      {"", 0, true, MakeItemId(1, 0), "Opening"},
      // The track's own row names the artist too when there is one, in a one-track list.
      {"The Examples", 0, true, MakeItemId(1, 0), "The Examples - Opening"},
      {"The Examples", 1, true, MakeItemId(1, 0), "     Opening"},
      // The header joins artist and album, or shows the album alone.
      {"The Examples", 1, true, kHeaderItem, "The Examples - Live Recordings"},
      {"", 1, true, kHeaderItem, "Live Recordings"},
      // Several tracks: track rows indented once, subtracks twice; without track names once.
      {"", 1, true, MakeItemId(2, 1), "          Solo\t 1:05"},
      {"", 1, false, MakeItemId(2, 1), "     Solo\t 1:05"},
      {"", 1, false, MakeItemId(2, 0), "Closing"},
      // An item that names nothing gets only its indentation.
      {"", 0, true, MakeItemId(1, 9), "     "},
  };
  for (const TextCase& c : cases) {
    const TrackList list = TwoTracks(c.artist);
    RowLayout layout{c.multiTrack, c.showTrack, false, 1};
    EXPECT_STREQ(RowTextFor(list, layout, c.item).c_str(), c.text) << std::hex << c.item;
  }
}

TEST(RowLayout, MinutesAreNotLimitedToTwoDigits) {
  TrackList list;
  list.Reset("long", 1, 0);
  list.tracks[0].AddSubtrack("Late", 6000000 + 59999);  // 100 minutes 59 seconds
  RowLayout layout;
  layout.currentTrack = 1;
  EXPECT_STREQ(RowTextFor(list, layout, MakeItemId(1, 1)).c_str(), "     Late\t100:59");
}

TEST(RowLayout, ItemsInLayoutOrder) {
  const TrackList list = TwoTracks("");
  RowLayout one{0, true, false, 2};
  EXPECT_EQ(LayoutItems(list, one), (std::vector<ItemId>{MakeItemId(2, 0), MakeItemId(2, 1)}));

  RowLayout several{1, true, false, 1};
  EXPECT_EQ(LayoutItems(list, several), (std::vector<ItemId>{kHeaderItem, MakeItemId(1, 0), MakeItemId(1, 1),
                                                             MakeItemId(1, 2), MakeItemId(2, 0), MakeItemId(2, 1)}));

  // No playing track, or one past the list: no rows.
  RowLayout none{0, true, false, 0};
  EXPECT_TRUE(LayoutItems(list, none).empty());
  none.currentTrack = 3;
  EXPECT_TRUE(LayoutItems(list, none).empty());
}

TEST(RowLayout, RowIndexesMatchLayoutOrder) {
  const TrackList list = TwoTracks("A");
  for (int multi = 0; multi <= 1; ++multi) {
    for (int show = 0; show <= 1; ++show) {
      for (int top = 0; top <= 1; ++top) {
        RowLayout layout{multi, show == 1, top == 1, 1};
        const std::vector<ItemId> items = LayoutItems(list, layout);
        const int32_t offset = (!layout.showTrack || layout.topTrack) ? -1 : 0;
        for (size_t i = 0; i < items.size(); ++i) {
          EXPECT_EQ(RowIndexFor(list, layout, items[i]), static_cast<int32_t>(i) + offset);
        }
      }
    }
  }
}

TEST(RowLayout, JoinNames) {
  EXPECT_STREQ(JoinNames("", "B").c_str(), "B");
  EXPECT_STREQ(JoinNames("A", "B").c_str(), "A - B");
  EXPECT_STREQ(JoinNames("A", "").c_str(), "A - ");
}

}  // namespace
}  // namespace tarnix
