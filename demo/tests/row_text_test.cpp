#include "demo/row_text.h"
#include "demo/demo_log.h"
#include "demo/sample_media.h"

#include <gtest/gtest.h>

namespace tarnix::demo {
namespace {

TEST(RowTextTest, RowsOfASingleTrackList) {
  const TrackList list = ConcertList();
  struct Case {
    ItemId key;
    const char* text;
  };
  const Case cases[] = {
      {MakeItemId(1, 0), "The Examples - Opening"},  // the track's own row shows the artist
      {MakeItemId(1, 1), "     Overture in D\t 7:40"},
      {MakeItemId(1, 9), "     Encore: Old Hall Blues\t101:15"},  // minutes are not cut to two
      {MakeItemId(1, 99), ""},                                    // no such subtrack
      {MakeItemId(2, 0), ""},                                     // no such track
      {kHeaderItem, ""},                                          // no header row
  };
  for (const Case& c : cases) EXPECT_EQ(RowText(list, c.key, false), c.text) << std::hex << c.key;
}

TEST(RowTextTest, RowsOfAMultiTrackList) {
  const TrackList list = CdList();
  struct Case {
    ItemId key;
    const char* text;
  };
  const Case cases[] = {
      {kHeaderItem, "The Examples - Studio Sessions"},
      {MakeItemId(1, 0), "     Morning"},  // no artist on track rows of a multi-track list
      {MakeItemId(1, 2), "          Coffee\t 3:05"},
      {MakeItemId(3, 1), "          Sunset\t 1:10"},
  };
  for (const Case& c : cases) EXPECT_EQ(RowText(list, c.key, true), c.text) << std::hex << c.key;
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
