#include "demo/row_text.h"
#include "demo/demo_log.h"
#include "demo/sample_media.h"

#include <gtest/gtest.h>

namespace tarnix::demo {
namespace {

// The layout itself is tested with the plug-in's row layout; the log adds only that a key
// naming no row has no text (where the list view would indent an empty name).
TEST(RowTextTest, KeysOfTheSampleListsAndKeysNamingNoRow) {
  struct Case {
    TrackList list;
    bool multiTrack;
    ItemId key;
    const char* text;
  };
  const Case cases[] = {
      {ConcertList(), false, MakeItemId(1, 0), "The Examples - Opening"},
      {ConcertList(), false, MakeItemId(1, 9), "     Encore: Old Hall Blues\t101:15"},
      {ConcertList(), false, MakeItemId(1, 99), ""},
      {ConcertList(), false, MakeItemId(2, 0), ""},
      {ConcertList(), false, kHeaderItem, ""},
      {CdList(), true, kHeaderItem, "The Examples - Studio Sessions"},
      {CdList(), true, MakeItemId(1, 2), "          Coffee\t 3:05"},
      {CdList(), true, MakeItemId(9, 1), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RowText(c.list, c.key, c.multiTrack), c.text) << std::hex << c.key;
}

TEST(RowTextTest, DescriptionsAndPrintableText) {
  EXPECT_EQ(DescribeKey(MakeItemId(2, 5)), "track 2, sub 5");
  EXPECT_EQ(DescribeKey(0), "header/none");
  EXPECT_EQ(Printable("     Walk\t 2:00"), "     Walk   2:00");
}

TEST(RowTextTest, PositionsInTheLog) {
  struct Case {
    int ms;
    const char* text;
  };
  const Case cases[] = {{-1, "stopped"}, {0, "0:00.000"}, {65432, "1:05.432"}, {7800000, "130:00.000"}};
  for (const Case& c : cases) EXPECT_EQ(FormatPosition(c.ms), c.text);
}

}  // namespace
}  // namespace tarnix::demo
